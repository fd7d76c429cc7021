#include "ui/widgets/programlook.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTranslator>

#include "ui/widgets/slovenianfiledialogs.h"
#include "ui/widgets/windowfont.h"

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
    QObject* const app = QApplication::instance();
    if (app->property("ostrelQtTexts").toBool()) {
        return;
    }
    app->setProperty("ostrelQtTexts", true);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(app);
    if (translator->load(QStringLiteral("qtbase_sl"), folder) ||
        translator->load(QStringLiteral("qt_sl"), folder)) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
    // The texts that catalogue lacks (the menus of multi-line fields, the
    // standard buttons, parts of the file and colour dialogs), installed
    // after it so that they are asked first.
    auto* own = new QTranslator(app);
    if (own->load(QStringLiteral(":/i18n/qt_sl_ostrel.qm"))) {
        QApplication::installTranslator(own);
    } else {
        delete own;
    }
    installSlovenianFileDialogs(app);
}
