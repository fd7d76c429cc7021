#pragma once

#include <QString>
#include <string>

#include "core/settings/valuebackend.h"

// How the settings key is laid out in its QSettings file, on QtCore alone, so
// that both the program's store and the command-line tool (which only reads)
// follow one description.
//
// An INI file keeps no types, so every value carries its kind in front of it:
//
//   Zoom%20A=int:80                          integer, decimal
//   Is%20this...=bool:true                   boolean, "true" or "false"
//   Pisava%20za%20odgovor=text:Times New Roman   text (stored as Unicode)
//   Zastavice=hex:E7 34 06 1B 02             binary, bytes in hexadecimal
//
// A value without one of these forms reads as a value of the wrong kind.
namespace storedform {

// The group that holds the key's values.
QString group();

// The key of a value name; the unnamed default value is the key "Default".
QString keyOf(const std::string& name);
// The value name of a key (the inverse of keyOf).
std::string nameOf(const QString& key);

// The user's settings file: organisation "Brinmoor Software, Inc.",
// application "Tengwar Ostrel", native format. On Linux that is
// "~/.config/Brinmoor Software, Inc./Tengwar Ostrel.conf".
QString userSettingsPath();

// The value of a hexadecimal digit (either case), or -1.
int hexDigitValue(char32_t c);

// The stored form of a value, and back (BadKind when it has none).
QString encode(const StoredValue& value);
ValueBackend::ReadStatus decode(const QString& stored, StoredValue& value);

}  // namespace storedform
