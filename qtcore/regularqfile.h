#pragma once

#include <QFile>
#include <QString>

// Opens path for reading into file only when it is a regular file, without
// waiting on a named pipe or a device in its place (see openRegularFile).
// On failure returns false with error set: the system's number, EISDIR, or
// kNotRegularFile for another special file; 0 when QFile itself refused.
bool openRegularQFile(QFile& file, const QString& path, int& error);
