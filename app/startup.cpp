#include "app/startup.h"

#include <QCoreApplication>

#include "app/messages.h"
#include "app/qtext.h"
#include "install/shortcuts.h"
#include "settings/options.h"

void reportStoreNotice(TOptions& options, QWidget* parent) {
    const std::string notice = options.TakeStartupNotice();
    if (!notice.empty()) {
        messages::warning(parent, fromCp1250(notice));
    }
}

bool offerShortcutsAtFirstStart(TOptions& options) {
    if (!options.GetFirstTime()) {
        return true;
    }
    return OfferShortcuts();
}

void endOnceIdle() {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}
