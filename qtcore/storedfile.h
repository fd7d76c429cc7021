#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <map>

// The settings file as bytes, in Qt's INI layout, so that QSettings and older
// versions of the program read it too:
//
//   ; Tengwar Ostrel
//   [1.0]
//   Zoom%20A=int:80
//   ...
//   ; konec 1634
//
// The first line names the program and the last one tells that the file was
// written to its end (with the length of what precedes it). A file that
// starts with the first line but lacks the last was cut short (a crash, a
// full disk, a copy that stopped); a file without the first line (older, or
// written by hand) is read as it is. The program and the command-line tool
// both read the file through here, so they agree on every file.
namespace storedfile {

enum class Shape {
    Sound,       // read in full
    Cut,         // the program's file, ended early: the whole lines before the cut were read
    Unreadable,  // zero bytes, not UTF-8, an unclosed section, a line without '=', a cut quote
};

struct Contents {
    // The settings group's values: key -> the value as the file spells it
    // (still escaped; see valueText).
    std::map<QString, QByteArray> values;
    // Lines before the first section and the lines of other sections, kept
    // as they were.
    QByteArray leading;
    QByteArray otherSections;
};

struct ReadResult {
    Shape shape = Shape::Sound;
    Contents contents;
};

// `group` is the section that holds the program's values. A UTF-8
// byte-order mark at the start is skipped, as editors add one.
ReadResult parse(QByteArrayView data, const QString& group);
// The whole file for these contents, with its first and last line.
QByteArray compose(const Contents& contents, const QString& group);

// The string a value holds; false for a value that holds none (a list made
// by unquoted commas, or one of Qt's "@Variant(...)" forms).
bool valueText(QByteArrayView raw, QString& text);
// A string as a value is spelled in the file.
QByteArray spellValue(const QString& text);

// Keys as the file spells them ("Zoom%20A"), and back.
QByteArray spellKey(const QString& key);
QString readKey(QByteArrayView spelled);

// The mark in the names of the program's own temporary files: "<file>" plus
// this plus six letters or digits. Only files of this name are ever removed
// as leftovers.
QString temporaryMark();

}  // namespace storedfile
