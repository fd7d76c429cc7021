#include "app/windowframe.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

void afterFrameKnown(QWidget* window, std::function<void()> then) {
    // The frame arrives asynchronously after the window is mapped; a window
    // manager that draws none, or the off-screen platform, never changes it.
    constexpr int stepMs = 10;
    constexpr int maxSteps = 30;
    auto steps = std::make_shared<int>(0);
    auto* timer = new QTimer(window);
    timer->setInterval(stepMs);
    QObject::connect(timer, &QTimer::timeout, window,
                     [target = QPointer<QWidget>(window), timer, steps, then = std::move(then)] {
                         if (target.isNull()) {
                             return;
                         }
                         const bool framed = target->frameGeometry().size() != target->size();
                         if (framed || ++*steps >= maxSteps) {
                             timer->stop();
                             timer->deleteLater();
                             then();
                         }
                     });
    timer->start();
}
