#pragma once

#include <QString>

class QLineEdit;
class QPlainTextEdit;

// Text fields whose text the program stores or transcribes take only what
// Windows-1250 can hold. A character outside it (Cyrillic, CJK, emoji...) is
// left out as it is typed, pasted or dropped, the rest of the text stays, and
// a tooltip at the field says why.
void acceptCodePageOnly(QLineEdit* field);
void acceptCodePageOnly(QPlainTextEdit* field);

// `text` without the characters Windows-1250 lacks; the first one left out
// goes to `firstRefused` (empty when nothing was). Line and paragraph breaks
// of a text document count as line breaks.
QString codePageOnly(const QString& text, QString* firstRefused = nullptr);

// What the tooltip says when `refused` was left out.
QString refusedCharacterMessage(const QString& refused);
