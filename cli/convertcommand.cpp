#include "cli/convertcommand.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <iterator>

#include "cli/decodefault.h"
#include "cli/progressbar.h"
#include "core/convert/convertfile.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/cp1250checked.h"

namespace {

// Ctrl+C, a kill (SIGTERM) and a closed terminal (SIGHUP) ask the running
// conversion to stop; it then closes the document properly, as the page's
// stop button does, and the tool ends by that signal.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<ConvertControl*> g_running{nullptr};
volatile std::sig_atomic_t g_stopSignal = 0;

void stopOnSignal(int signal) {
    g_stopSignal = signal;
    if (ConvertControl* control = g_running.load()) {
        control->stopRequested.store(true, std::memory_order_relaxed);
    }
}

class StopOnSignals {
public:
    explicit StopOnSignals(ConvertControl& control) {
        g_running.store(&control);
        struct sigaction action {};
        action.sa_handler = stopOnSignal;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
            ::sigaction(kStopSignals[i], &action, &m_previous[i]);
            // Started with the signal ignored (in the background, under
            // nohup): it stays ignored, as for any Unix tool.
            if (m_previous[i].sa_handler == SIG_IGN) {
                ::sigaction(kStopSignals[i], &m_previous[i], nullptr);
            }
        }
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;
    ~StopOnSignals() {
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
            ::sigaction(kStopSignals[i], &m_previous[i], nullptr);
        }
        g_running.store(nullptr);
    }

private:
    struct sigaction m_previous[std::size(kStopSignals)] {};
};

// After the clean-up, a stopped run ends by the signal itself, so that a
// shell loop around the tool stops too (status 128 + the signal).
void endBySignal() {
    std::fflush(stdout);
    std::fflush(stderr);
    const int signal = g_stopSignal;
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// The message (UTF-8) for a failure of the conversion.
std::string failureMessage(const ConvertError& error, const std::string& input) {
    using Kind = ConvertError::Kind;
    if (error.kind() == Kind::EmptyInput) {
        return "datoteka \"" + input + "\" je prazna; ni česa pretvoriti.";
    }
    if (error.kind() == Kind::NotUtf8 || error.kind() == Kind::NotInCodePage) {
        cp1250::DecodeFault fault;
        fault.kind = error.kind() == Kind::NotUtf8 ? cp1250::DecodeFault::Kind::InvalidUtf8
                                                   : cp1250::DecodeFault::Kind::NotInCodePage;
        fault.column = static_cast<std::size_t>(error.place().column);
        fault.codePoint = error.place().codePoint;
        return describeDecodeFault(input, static_cast<std::size_t>(error.place().line), fault);
    }
    std::string message = cp1250::toUtf8(error.what());
    for (char& c : message) {
        if (c == '\r') {
            c = ' ';
        }
    }
    return message;
}

bool askToOverwrite(const std::string& outputUtf8) {
    if (::isatty(STDIN_FILENO) != 1) {
        std::fprintf(
            stderr,
            "ostrel: datoteka \"%s\" že obstaja. Dodajte --yes, da jo prepišete, ali izberite drugo ime.\n",
            outputUtf8.c_str());
        return false;
    }
    std::fprintf(stderr, "Datoteka \"%s\" že obstaja. Jo prepišem? [d/N] ", outputUtf8.c_str());
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "d" || answer == "D" || answer == "da" || answer == "y" || answer == "yes";
}

}  // namespace

int runConvert(const CliArgs& args, const TConvertData& switches) {
    const std::string& input = args.files[0];
    const std::string& output = args.files[1];

    ConvertJob job;
    job.inputName = commandLineText(input, "ime vhodne datoteke");
    job.outputName = commandLineText(output, "ime izhodne datoteke");
    job.settings.lowerCase = switches.Flags[flag::ConvertCaps];
    job.settings.switches = switches;
    // UTF-8 is read as a stream through the checked decoder, as the
    // program's page does; never through a copy.
    job.encoding = args.encoding == TextEncoding::Utf8 ? InputEncoding::Utf8 : InputEncoding::Cp1250;
    job.replaceUnmappable = args.replace;

    ConvertControl control;
    ConvertFileOutcome outcome{};
    try {
        const StopOnSignals stopping(control);
        const ProgressBar bar(control);
        outcome =
            convertFile(job, control, [&](const std::string&) { return args.yes || askToOverwrite(output); });
    } catch (const ConvertError& error) {
        if (g_stopSignal != 0) {
            endBySignal();
        }
        throw RunError(failureMessage(error, input));
    }
    switch (outcome) {
        case ConvertFileOutcome::Finished:
            break;
        case ConvertFileOutcome::Declined:
            break;
        case ConvertFileOutcome::Stopped:
            std::fprintf(stderr, "ostrel: pretvorba prekinjena; \"%s\" vsebuje pretvorjeni začetek.\n",
                         output.c_str());
            break;
        case ConvertFileOutcome::StoppedBeforeWriting:
            std::fprintf(stderr, "ostrel: pretvorba prekinjena, preden se je začelo pisanje.\n");
            break;
        case ConvertFileOutcome::ChangedBeforeWriting:
            std::fprintf(stderr, "ostrel: %s\n", cp1250::toUtf8(inputChangedMessage(job.inputName)).c_str());
            break;
        case ConvertFileOutcome::Changed:
            std::fprintf(stderr, "ostrel: %s \"%s\" vsebuje pretvorbo prebranega dela.\n",
                         cp1250::toUtf8(inputChangedMessage(job.inputName)).c_str(), output.c_str());
            break;
    }
    if (g_stopSignal != 0) {
        endBySignal();
    }
    return outcome == ConvertFileOutcome::Finished ? 0 : 1;
}
