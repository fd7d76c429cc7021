#include "ui/widgets/codepageinput.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolTip>
#include <QValidator>
#include <QVariant>

#include "core/transcription/cp1250.h"
#include "ui/widgets/localetext.h"

namespace {

bool storable(char32_t cp) {
    return cp == QChar::ParagraphSeparator || cp == QChar::LineSeparator || cp1250::fromUnicode(cp) >= 0;
}

// The text the field holds once the characters were left out: the tooltip
// stays while that is the text and goes with the next change.
const char* const kTipText = "codePageTipText";

void tellRefused(QWidget* field, const QString& refused, const QString& textAfter) {
    field->setProperty(kTipText, textAfter);
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), refusedCharacterMessage(refused),
                       field);
}

void hideTipOnChange(QWidget* field, const QString& text) {
    const QVariant shownFor = field->property(kTipText);
    if (shownFor.isValid() && shownFor.toString() != text) {
        field->setProperty(kTipText, QVariant());
        QToolTip::hideText();
    }
}

class CodePageValidator : public QValidator {
public:
    explicit CodePageValidator(QLineEdit* field) : QValidator(field), m_field(field) {}

    State validate(QString& input, int& pos) const override {
        QString refused;
        const QString kept = codePageOnly(input, &refused);
        if (!refused.isEmpty()) {
            // The cursor stays after what was typed, less what was left out.
            pos -= static_cast<int>(input.left(pos).size() - codePageOnly(input.left(pos)).size());
            input = kept;
            tellRefused(m_field, refused, kept);
        }
        return Acceptable;
    }

private:
    QLineEdit* m_field;
};

}  // namespace

QString codePageOnly(const QString& text, QString* refused) {
    QString kept;
    kept.reserve(text.size());
    for (const char32_t cp : text.toUcs4()) {
        const QString character = QString::fromUcs4(&cp, 1);
        if (storable(cp)) {
            kept.append(character);
        } else if (refused != nullptr && !refused->contains(character)) {
            refused->append(character);
        }
    }
    return kept;
}

QString refusedCharacterMessage(const QString& refused) {
    // Enough to recognise what was pasted; a whole foreign text is not listed.
    constexpr int kNamed = 8;
    QStringList named;
    for (const char32_t cp : refused.toUcs4()) {
        named.append(QStringLiteral("\u201E%1\u201C").arg(QString::fromUcs4(&cp, 1)));
    }
    if (named.size() == 1) {
        return QStringLiteral("Znaka %1 ni v kodni tabeli Windows-1250, zato je izpu\u0161\u010Den.")
            .arg(named[0]);
    }
    QString list;
    if (named.size() > kNamed) {
        // "Znakov ... in še 1 drugega ni": the genitive of the negation.
        const qsizetype more = named.size() - kNamed;
        list = QStringList(named.mid(0, kNamed)).join(QStringLiteral(", ")) +
               QStringLiteral(" in \u0161e %1 %2")
                   .arg(more)
                   .arg(countWord(more, QStringLiteral("drugega"), QStringLiteral("drugih"),
                                  QStringLiteral("drugih"), QStringLiteral("drugih")));
    } else {
        list = QStringList(named.mid(0, named.size() - 1)).join(QStringLiteral(", ")) +
               QStringLiteral(" in ") + named.constLast();
    }
    return QStringLiteral("Znakov %1 ni v kodni tabeli Windows-1250, zato so izpu\u0161\u010Deni.").arg(list);
}

void acceptCodePageOnly(QLineEdit* field) {
    field->setValidator(new CodePageValidator(field));
    QObject::connect(field, &QLineEdit::textChanged, field,
                     [field](const QString& text) { hideTipOnChange(field, text); });
}

void acceptCodePageOnly(QPlainTextEdit* field) {
    QTextDocument* document = field->document();
    QObject::connect(document, &QTextDocument::contentsChange, field,
                     [field, document](int position, int /*removed*/, int added) {
                         hideTipOnChange(field, document->toPlainText());
                         if (added <= 0) {
                             return;
                         }
                         QTextCursor cursor(document);
                         cursor.setPosition(position);
                         cursor.setPosition(std::min(position + added, document->characterCount() - 1),
                                            QTextCursor::KeepAnchor);
                         const QString inserted = cursor.selectedText();
                         QString refused;
                         const QString kept = codePageOnly(inserted, &refused);
                         if (refused.isEmpty()) {
                             return;
                         }
                         // Replacing the insertion changes the document again; that
                         // second change holds only storable text and stops here.
                         cursor.joinPreviousEditBlock();
                         cursor.insertText(kept);
                         cursor.endEditBlock();
                         tellRefused(field, refused, document->toPlainText());
                     });
}
