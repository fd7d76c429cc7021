#pragma once

class QObject;

// Qt's file dialog writes sizes, dates and file kinds in the system's locale;
// the program speaks Slovenian, so every file dialog it shows (its own and
// those of Qt's static helpers) gets them in Slovenian, whatever the system's
// language. Installed once on the application (with the Qt texts).
void installSlovenianFileDialogs(QObject* application);
