#pragma once

#include <string>

// Opens a file that must be a regular file, for reading, without waiting: a
// named pipe, a socket or a device under the name would otherwise hold the
// open (a pipe until someone writes to it) or give endless bytes. The file
// is opened non-blocking, its kind is checked on the open descriptor (so a
// name swapped in between is caught too), and it is then read as usual.
//
// Returns the descriptor, or -1 with the reason: the system's number, EISDIR
// for a folder, kNotRegularFile (systemerror.h) for any other special file.
int openRegularFile(const std::string& path, int& error);

// Whether something that is not a regular file stands under the name
// (following links); checked without opening it. False when nothing does.
bool isSpecialFile(const std::string& path);
