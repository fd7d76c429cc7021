#include "cli/convertcommand.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "cli/decodefault.h"
#include "cli/fileio.h"
#include "cli/progressbar.h"
#include "convert/convertfile.h"
#include "transcription/cp1250.h"
#include "transcription/cp1250checked.h"

namespace {

// Ctrl+C asks the running conversion to stop; it then closes the document
// properly, as the page's stop button does.
std::atomic<ConvertControl*> g_running{nullptr};

void stopOnSignal(int) {
    if (ConvertControl* control = g_running.load()) {
        control->stopRequested.store(true, std::memory_order_relaxed);
    }
}

class StopOnInterrupt {
public:
    explicit StopOnInterrupt(ConvertControl& control) {
        g_running.store(&control);
        struct sigaction action {};
        action.sa_handler = stopOnSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &m_previous);
    }
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;
    ~StopOnInterrupt() {
        ::sigaction(SIGINT, &m_previous, nullptr);
        g_running.store(nullptr);
    }

private:
    struct sigaction m_previous {};
};

// A Windows-1250 copy of a UTF-8 text file, removed again when it goes.
class Cp1250Copy {
public:
    Cp1250Copy() = default;
    Cp1250Copy(const Cp1250Copy&) = delete;
    Cp1250Copy& operator=(const Cp1250Copy&) = delete;
    ~Cp1250Copy() {
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }
    const std::string& path() const { return m_path; }

    // Decodes the input line by line into a temporary file. Throws RunError.
    void make(const std::string& input, bool replace) {
        const int in = ::open(input.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (in < 0 || ::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
            if (in >= 0) {
                ::close(in);
            }
            throw RunError(cp1250::toUtf8(ConvertError::messageFor(ConvertError::Kind::OpenInput,
                                                                   cp1250::fromUtf8(input))) +
                           " Preverite ime in pravice datoteke.");
        }
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/ostrel-XXXXXX";
        const int out = ::mkstemp(pattern.data());
        if (out < 0) {
            ::close(in);
            throw RunError("začasne datoteke ni mogoče ustvariti (" + pattern + "): " + fileio::lastError());
        }
        m_path = pattern;
        const bool ok = copy(in, out, input, replace);
        ::close(in);
        ::close(out);
        if (!ok) {
            throw RunError(m_error);
        }
    }

private:
    bool copy(int in, int out, const std::string& name, bool replace) {
        std::string buffer(1 << 20, '\0');
        std::string carry;
        std::string decoded;
        std::size_t line = 1;
        bool first = true;
        for (;;) {
            const long n = fileio::readSome(in, buffer.data(), buffer.size());
            if (n < 0) {
                m_error = name + " ni mogoče brati: " + fileio::lastError();
                return false;
            }
            carry.append(buffer.data(), static_cast<std::size_t>(n));
            if (first && carry.size() >= 3) {
                if (carry.rfind("\xEF\xBB\xBF", 0) == 0) {
                    carry.erase(0, 3);  // a byte order mark is no text
                }
                first = false;
            }
            // Whole lines only, so that a character is never cut in two.
            const std::size_t cut = n == 0 ? carry.size() : carry.rfind('\n') + 1;
            if (cut == 0 && n != 0) {
                continue;
            }
            decoded.clear();
            std::string_view text(carry.data(), cut);
            while (!text.empty()) {
                const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
                if (const auto fault = cp1250::appendFromUtf8(text.substr(0, end), decoded, replace)) {
                    m_error = describeDecodeFault(name, line, *fault);
                    return false;
                }
                text.remove_prefix(end);
                ++line;
            }
            if (!fileio::writeAll(out, decoded)) {
                m_error = "začasne datoteke ni mogoče pisati (" + m_path + "): " + fileio::lastError();
                return false;
            }
            carry.erase(0, cut);
            if (n == 0) {
                return true;
            }
        }
    }

    std::string m_path;
    std::string m_error;
};

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

    // The output is truncated before the input is read: one file for both
    // would be lost.
    if (isSameFile(input, output)) {
        throw RunError(cp1250::toUtf8(ConvertError::messageFor(ConvertError::Kind::OpenOutput,
                                                               cp1250::fromUtf8(output))) +
                       " Vhodna in izhodna datoteka sta ista; izberite drugo izhodno datoteko.");
    }

    ConvertJob job;
    job.inputName = commandLineText(input, "ime vhodne datoteke");
    job.outputName = commandLineText(output, "ime izhodne datoteke");
    job.settings.lowerCase = switches.Flags[flag::ConvertCaps];
    job.settings.switches = switches;

    Cp1250Copy copy;
    if (args.encoding == TextEncoding::Utf8) {
        copy.make(input, args.replace);
        job.inputName = copy.path();  // a name of ASCII letters
    }

    ConvertControl control;
    ConvertFileOutcome outcome{};
    try {
        const StopOnInterrupt interrupt(control);
        const ProgressBar bar(control);
        outcome =
            convertFile(job, control, [&](const std::string&) { return args.yes || askToOverwrite(output); });
    } catch (const ConvertError& error) {
        if (error.kind() == ConvertError::Kind::EmptyInput) {
            throw RunError("datoteka \"" + input + "\" je prazna; ni česa pretvoriti.");
        }
        // Failures of the copy are failures of the user's input.
        const std::string name = error.fileName() == copy.path() ? cp1250::fromUtf8(input) : error.fileName();
        std::string message = cp1250::toUtf8(ConvertError::messageFor(error.kind(), name));
        for (char& c : message) {
            if (c == '\r') {
                c = ' ';
            }
        }
        throw RunError(message);
    }
    switch (outcome) {
        case ConvertFileOutcome::Finished:
            return 0;
        case ConvertFileOutcome::Declined:
            return 1;
        case ConvertFileOutcome::Stopped:
            std::fprintf(stderr, "ostrel: pretvorba prekinjena; \"%s\" vsebuje pretvorjeni začetek.\n",
                         output.c_str());
            return 1;
    }
    return 1;
}
