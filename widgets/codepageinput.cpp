#include "widgets/codepageinput.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolTip>
#include <QValidator>

#include "transcription/cp1250.h"

namespace {

bool storable(char32_t cp) {
    return cp == QChar::ParagraphSeparator || cp == QChar::LineSeparator || cp1250::fromUnicode(cp) >= 0;
}

void tellRefused(QWidget* field, const QString& refused) {
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), refusedCharacterMessage(refused),
                       field);
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
            tellRefused(m_field, refused);
        }
        return Acceptable;
    }

private:
    QLineEdit* m_field;
};

}  // namespace

QString codePageOnly(const QString& text, QString* firstRefused) {
    QString kept;
    kept.reserve(text.size());
    for (const char32_t cp : text.toUcs4()) {
        if (storable(cp)) {
            kept.append(QString::fromUcs4(&cp, 1));
        } else if (firstRefused != nullptr && firstRefused->isEmpty()) {
            *firstRefused = QString::fromUcs4(&cp, 1);
        }
    }
    return kept;
}

QString refusedCharacterMessage(const QString& refused) {
    return QStringLiteral("Znaka \u201E%1\u201C ni v kodni tabeli Windows-1250, zato je izpu\u0161\u010Den.")
        .arg(refused);
}

void acceptCodePageOnly(QLineEdit* field) {
    field->setValidator(new CodePageValidator(field));
}

void acceptCodePageOnly(QPlainTextEdit* field) {
    QTextDocument* document = field->document();
    QObject::connect(document, &QTextDocument::contentsChange, field,
                     [field, document](int position, int /*removed*/, int added) {
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
                         tellRefused(field, refused);
                     });
}
