#pragma once

#include <QString>
#include <exception>
#include <type_traits>
#include <utility>

#include "core/settings/options.h"
#include "qtcore/qtext.h"
#include "ui/widgets/messages.h"

class QWidget;

namespace errorguard {

// The text of an exception for the error box: the program's own errors carry
// UTF-8 or Windows-1250 bytes; whichever decodes cleanly is used.
QString exceptionText(const char* what);

// Shows a caught error the way the program's general error handler does.
void showError(QWidget* parent, const QString& text);

}  // namespace errorguard

// Runs one user action. Any error it raises (a settings store error or any
// other exception) ends the action, is shown in a message box and never
// crosses the event loop. Returns false when the action failed.
template <class Action>
bool guarded(QWidget* parent, Action&& action) noexcept {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (const StoreError& e) {
        errorguard::showError(parent, fromCp1250(e.what()));
    } catch (const std::exception& e) {
        errorguard::showError(parent, errorguard::exceptionText(e.what()));
    } catch (...) {
        errorguard::showError(parent, QStringLiteral("Neznana napaka."));
    }
    return false;
}

namespace errorguard {
// Calls a slot handler with the signal's arguments, or with none when it takes none.
template <class Handler, class... Args>
void invokeHandler(Handler& handler, Args&&... args) {
    if constexpr (std::is_invocable_v<Handler&, Args...>) {
        handler(std::forward<Args>(args)...);
    } else {
        handler();
    }
}
}  // namespace errorguard

// Wraps a handler for a signal connection: the handler runs guarded. A
// handler that takes no arguments ignores the signal's.
template <class Handler>
auto guardedSlot(QWidget* parent, Handler handler) {
    return [ parent, handler = std::move(handler) ](
               auto&&... args) mutable -> void requires(std::is_invocable_v<Handler&, decltype(args)...> ||
                                                        std::is_invocable_v<Handler&>) {
        guarded(parent, [&] { errorguard::invokeHandler(handler, std::forward<decltype(args)>(args)...); });
    };
}
