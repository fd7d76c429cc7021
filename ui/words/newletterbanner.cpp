#include "ui/words/newletterbanner.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "core/progress/course.h"
#include "core/transcription/engine.h"
#include "qtcore/qtext.h"
#include "ui/widgets/tengwarfont.h"

NewLetterBanner::NewLetterBanner(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("NovaCrka"));
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xFF, 0xF6, 0xD0));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(0);
    m_title = new QLabel(QStringLiteral("Nova črka tečaja"), this);
    m_tengwar = new QLabel(this);
    m_tengwar->setObjectName(QStringLiteral("NovaCrkaTengwar"));
    m_tengwar->setFont(tengwarFont(48));
    // Read out as what it is, never as the font codes it is drawn with.
    m_tengwar->setAccessibleName(QStringLiteral("Nova črka v tengwarju"));
    m_reading = new QLabel(this);
    m_reading->setObjectName(QStringLiteral("NovaCrkaBranje"));
    QFont bold = m_reading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    m_reading->setFont(bold);
    for (QLabel* label : {m_title, m_tengwar, m_reading}) {
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(label);
    }
    layout->setStretch(1, 1);
    setToolTip(QStringLiteral("Klik skrije to okence; izgine tudi samo po nekaj odgovorih."));
    setAccessibleName(QStringLiteral("Nova črka tečaja"));
    hide();
}

void NewLetterBanner::showLetter(unsigned char letter) {
    TConvertData settings;
    m_tengwar->setText(fromFontCodes(LatinToTengwar(std::string(1, static_cast<char>(letter)), false, settings, false)));
    m_reading->setText(fromCp1250(course::letterCaption(letter)));
    setAccessibleDescription(m_reading->text());
    m_answersLeft = kAnswersShown;
    raise();
    show();
}

void NewLetterBanner::answered() {
    if (m_answersLeft > 0 && --m_answersLeft == 0)
        hide();
}

QString NewLetterBanner::tengwarText() const {
    return m_tengwar->text();
}

QString NewLetterBanner::readingText() const {
    return m_reading->text();
}

void NewLetterBanner::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        hide();
        m_answersLeft = 0;
    }
    QFrame::mousePressEvent(event);
}
