#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/convert/convertrun.h"

// A bar on the standard error that follows a conversion, redrawn ten times a
// second on a thread of its own while it lives; cleared when it ends. Drawn
// only when the standard error is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(const ConvertControl& control);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    ~ProgressBar();

private:
    void run();
    void draw(int percent);

    const ConvertControl& m_control;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    bool m_drawn = false;
    std::thread m_thread;
};
