#include "app/startup.h"

#include "app/messages.h"
#include "app/qtext.h"
#include "settings/options.h"

void reportStoreNotice(TOptions& options, QWidget* parent) {
    const std::string notice = options.TakeStartupNotice();
    if (!notice.empty()) {
        messages::warning(parent, fromCp1250(notice));
    }
}
