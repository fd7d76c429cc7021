#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;

// Text fields whose text the program stores or transcribes take only what
// Windows-1250 can hold. A character outside it (Cyrillic, CJK, emoji...) is
// left out as it is typed, pasted or dropped, the rest of the text stays, and
// a tooltip at the field names what was left out until the text changes again.
void acceptCodePageOnly(QLineEdit* field);
void acceptCodePageOnly(QPlainTextEdit* field);

// `text` without the characters Windows-1250 lacks; those left out are added
// to `refused`, each once, in the order met (nothing when none was). Line and
// paragraph breaks of a text document count as line breaks.
QString codePageOnly(const QString& text, QString* refused = nullptr);

// What the tooltip says when the distinct characters `refused` were left out.
QString refusedCharacterMessage(const QString& refused);
