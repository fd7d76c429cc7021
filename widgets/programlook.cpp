#include "widgets/programlook.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTranslator>

#include "widgets/windowfont.h"

namespace {

class ProgramStyle : public QProxyStyle {
public:
    ProgramStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        switch (metric) {
            case PM_IndicatorWidth:
            case PM_IndicatorHeight:
            case PM_ExclusiveIndicatorWidth:
            case PM_ExclusiveIndicatorHeight:
                return 13;
            case PM_CheckBoxLabelSpacing:
            case PM_RadioButtonLabelSpacing:
                return 3;
            default:
                return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

}  // namespace

void applyProgramLook() {
    if (dynamic_cast<ProgramStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new ProgramStyle);
    }
    QApplication::setFont(windowFont());
}

void loadQtTranslations() {
    // Debian ships Qt's Slovenian texts as the one catalogue "qt_sl"; a split
    // "qtbase_sl" is taken where a Qt has one.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(QApplication::instance());
    if (translator->load(QStringLiteral("qtbase_sl"), folder) ||
        translator->load(QStringLiteral("qt_sl"), folder)) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}
