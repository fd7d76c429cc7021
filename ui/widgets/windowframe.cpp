#include "ui/widgets/windowframe.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

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

QRect fitFrame(const QRect& frame, const QRect& available, QSize minimum) {
    const auto fit = [](int start, int length, int areaStart, int areaLength, int least) {
        const int size = std::max(std::min(length, areaLength), std::min(least, length));
        // Too big even when shrunk: the start edge (the title bar) stays on the area.
        const int highest = std::max(areaStart, areaStart + areaLength - size);
        return std::pair{std::clamp(start, areaStart, highest), size};
    };
    const auto [left, width] =
        fit(frame.left(), frame.width(), available.left(), available.width(), minimum.width());
    const auto [top, height] =
        fit(frame.top(), frame.height(), available.top(), available.height(), minimum.height());
    return {left, top, width, height};
}

QRect availableAreaFor(const QRect& frame) {
    const QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->geometry().intersected(frame);
        const qint64 area = shared.isEmpty() ? 0 : qint64(shared.width()) * shared.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    if (best == nullptr)
        best = QGuiApplication::primaryScreen();
    return best != nullptr ? best->availableGeometry() : QRect();
}

QRect keepOnScreen(QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect available = availableAreaFor(frame);
    if (available.isEmpty())
        return {};
    // The frame's own share (title bar, borders) cannot shrink.
    const QSize border = frame.size() - window->size();
    const QRect fitted = fitFrame(frame, available, window->minimumSize() + border);
    if (fitted == frame)
        return {};
    if (fitted.size() != frame.size())
        window->resize(fitted.size() - border);
    window->move(fitted.topLeft());
    return window->geometry();
}

void ProgramPlace::holdUnlessFits(const QRect& storedFrame, const QRect& shown) {
    const QRect available = availableAreaFor(storedFrame);
    if (!available.isEmpty() && !available.contains(storedFrame))
        hold(shown);
}

void ProgramPlace::framed(QWidget* window) {
    if (!keepOnScreen(window).isEmpty() || held())
        hold(window->geometry());
    settle();
    // By then the window system has long finished placing it.
    QTimer::singleShot(1000, window, [this, window] { reach(window->geometry()); });
}

void ProgramPlace::reach(const QRect& place) {
    if (!m_place)
        return;
    m_place = place;
    m_settled = true;
    m_reached = true;
}

bool ProgramPlace::isUsers(const QRect& current) {
    if (!m_place)
        return true;
    // The window system may round the place it was given by a pixel or two
    // (frames at a fractional scale): that is still the program's place.
    constexpr int kSlack = 3;
    const auto near = [](int a, int b) { return std::abs(a - b) <= kSlack; };
    if (near(current.left(), m_place->left()) && near(current.top(), m_place->top()) &&
        near(current.right(), m_place->right()) && near(current.bottom(), m_place->bottom())) {
        m_reached = m_reached || m_settled;
        return false;
    }
    if (!m_reached)
        return false;
    m_place.reset();
    return true;
}
