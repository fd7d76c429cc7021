#include "cli/progressbar.h"

#include <unistd.h>

#include <chrono>
#include <string>

#include "cli/fileio.h"

namespace {
constexpr int kWidth = 40;
}

ProgressBar::ProgressBar(const ConvertControl& control) : m_control(control) {
    if (::isatty(STDERR_FILENO) == 1) {
        m_thread = std::thread([this] { run(); });
    }
}

ProgressBar::~ProgressBar() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_wake.notify_one();
    m_thread.join();
    if (m_drawn) {
        fileio::writeAll(STDERR_FILENO, "\r" + std::string(kWidth + 12, ' ') + "\r");
    }
}

void ProgressBar::run() {
    std::unique_lock lock(m_mutex);
    int shown = -1;
    while (!m_wake.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_done; })) {
        // Nothing until the input is open (the overwrite question comes first).
        const int percent = m_control.percent();
        if (m_control.total.load(std::memory_order_relaxed) != 0 && percent != shown) {
            draw(percent);
            shown = percent;
        }
    }
}

void ProgressBar::draw(int percent) {
    const int filled = percent * kWidth / 100;
    m_drawn = true;
    std::string line = "\r[";
    line.append(static_cast<std::size_t>(filled), '#');
    line.append(static_cast<std::size_t>(kWidth - filled), '.');
    line += "] " + std::to_string(percent) + " %";
    fileio::writeAll(STDERR_FILENO, line);
}
