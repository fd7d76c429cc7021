#pragma once

#include <QThread>
#include <atomic>
#include <functional>
#include <vector>

#include "core/convert/convertfile.h"

class QWidget;

// One file conversion on its own thread. It asks the overwrite question and
// shows its errors in message boxes owned by the owner window (shown on the
// main thread while the worker waits, so the main window stays live). When
// the body has ended, whatever the outcome, the termination handler runs on
// the main thread; then the object deletes itself and the running reference
// is cleared. At most one exists at a time.
class TConvertThread : public QThread {
    Q_OBJECT

public:
    using TerminationHandler = std::function<void()>;

    // Starts at once, all fields set.
    static TConvertThread* start(QWidget* owner, bool lowerCase, const std::string& inputName,
                                 const std::string& outputName, TerminationHandler onTerminate);
    ~TConvertThread() override;

    // The running conversion, or nullptr.
    static TConvertThread* active();
    static bool running() { return active() != nullptr; }

    // Asks the body to stop before its next input byte.
    void Terminate();
    const ConvertControl& control() const { return m_control; }

    // The question asked when a UTF-8 input holds characters Windows-1250
    // lacks: names the first of them with their places.
    static QString replaceQuestionText(const std::string& inputName, const std::vector<TextPlace>& first,
                                       std::uint64_t count);

    // The question asked when a UTF-8 input holds bytes that are not UTF-8:
    // names their place and offers to read the file as Windows-1250.
    static QString cp1250QuestionText(const std::string& inputName, const TextPlace& place);

    // At program end: stops a running conversion and waits for it, so that
    // it never outlives the settings store. The handler is not run.
    static void stopAndWait();

protected:
    void run() override;

private:
    TConvertThread(QWidget* owner, ConvertJob job, TerminationHandler onTerminate);
    void finishOnMainThread();

    QWidget* m_owner;  // outlives the thread: the window waits for it at its end
    ConvertJob m_job;
    TerminationHandler m_onTerminate;
    ConvertControl m_control;
    // Set when the program ends the conversion: its stop is not told.
    std::atomic<bool> m_quiet{false};
};
