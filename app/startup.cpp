#include "app/startup.h"

#include <QCoreApplication>

#include "core/settings/options.h"
#include "qtcore/qtext.h"
#include "ui/install/shortcuts.h"
#include "ui/widgets/messages.h"

void reportStoreNotice(TOptions& options, QWidget* parent) {
    const std::string notice = options.TakeStartupNotice();
    if (!notice.empty()) {
        messages::warning(parent, fromCp1250(notice));
    }
}

bool offerShortcutsAtFirstStart(TOptions& options) {
    shortcuts::dropStaleMenuEntry();
    if (!options.GetFirstTime()) {
        return true;
    }
    return OfferShortcuts();
}

void endOnceIdle() {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}
