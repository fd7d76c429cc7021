#include "app/startup.h"

#include "app/messages.h"
#include "app/options.h"
#include "app/qtext.h"

void reportStoreNotice(TOptions& options, QWidget* parent) {
    const std::string notice = options.TakeStartupNotice();
    if (!notice.empty()) {
        messages::warning(parent, fromCp1250(notice));
    }
}
