#include "core/convert/convertfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/convert/inputfile.h"
#include "core/convert/textsurvey.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/cp1250checked.h"

namespace {

// The output file; closed at the end so a late write error is seen.
class OutputFile : public ByteSink {
public:
    explicit OutputFile(int fd) : m_fd(fd) {
        struct stat info {};
        m_regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() override {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    // Writes everything unless the system refuses; a write may take only part
    // of a large piece, so it goes on with the rest.
    std::size_t write(const char* data, std::size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(m_fd, data + done, size - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                m_error = n < 0 ? errno : ENOSPC;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        return done;
    }
    int lastError() const override { return m_error; }
    // Whether the output is a regular file (not a device such as /dev/null).
    bool isRegular() const { return m_regular; }
    // False when the system reports a failure.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        if (fd < 0) {
            return true;
        }
        if (::close(fd) != 0) {
            m_error = errno;
            return false;
        }
        return true;
    }

private:
    int m_fd;
    int m_error = 0;
    bool m_regular = false;
};

// Converts the pieces of a Windows-1250 input. `before` is what was read of
// it before (counted in the progress).
void convertCp1250(InputFile& input, RtfDocument& document, ConvertControl& control, std::uint64_t before) {
    while (input.next() && document.add(input.piece())) {
        control.scanned.store(before + input.position(), std::memory_order_relaxed);
    }
}

// Decodes the pieces of a UTF-8 input (a character cut by a piece's end is
// taken with the next piece) and converts them. Bytes that are not UTF-8 can
// only have come with a change after the first reading: the input then
// counts as changed, and the document ends before them.
bool convertUtf8(InputFile& input, RtfDocument& document, ConvertControl& control, std::uint64_t before) {
    std::string decoded;
    std::size_t keep = 0;
    bool first = true;
    while (input.next(keep)) {
        std::string_view piece = input.piece();
        if (first && startsWithByteOrderMark(piece)) {
            piece.remove_prefix(3);
        }
        first = false;
        const std::size_t complete = completeUtf8Prefix(piece);
        decoded.clear();
        const auto fault = cp1250::appendFromUtf8(piece.substr(0, complete), decoded, true);
        if (!document.add(decoded)) {
            return true;
        }
        if (fault) {
            return false;
        }
        keep = piece.size() - complete;
        control.scanned.store(before + input.position(), std::memory_order_relaxed);
    }
    decoded.clear();
    const auto fault = cp1250::appendFromUtf8(input.piece(), decoded, true);
    document.add(decoded);
    return !fault;
}

// Removes what a failed conversion wrote into a regular file; the sentence
// that tells the user what became of it (Windows-1250).
std::string removePartialOutput(OutputFile& output, const std::string& path, const std::string& name) {
    output.close();
    if (::unlink(path.c_str()) == 0) {
        return "Nedokon\xE8" "ana datoteka \x84" + name + "\x93 je odstranjena.";
    }
    return "Nedokon\xE8" "ane datoteke \x84" + name + "\x93 ni bilo mogo\xE8" "e odstraniti; ni cel dokument.";
}

}  // namespace

std::string systemPath(const std::string& name) {
    return cp1250::toUtf8(name);
}

bool isSameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

std::string inputChangedMessage(const std::string& inputName) {
    return "Datoteka \x84" + inputName + "\x93 se je med pretvorbo spremenila.";
}

std::string stoppedMessage(const std::string& outputName) {
    return "Pretvorba je bila prekinjena. Datoteka \x84" + outputName +
           "\x93 vsebuje le pretvorjeni za\xE8" "etek besedila.";
}

std::string stoppedBeforeWritingMessage(const std::string& outputName) {
    return "Pretvorba je bila prekinjena, preden se je za\xE8" "elo pisanje; datoteke \x84" + outputName +
           "\x93 nisem spremenil.";
}

ConvertFileOutcome convertFile(const ConvertJob& job, ConvertControl& control, const OverwriteQuestion& askOverwrite,
                               const ReplaceQuestion& askReplace, const Cp1250Question& askCp1250) {
    using Kind = ConvertError::Kind;
    const std::string inputPath = systemPath(job.inputName);
    const std::string outputPath = systemPath(job.outputName);

    // Said at once: no question about writing over a folder or the input.
    struct stat outputStat {};
    const bool outputExists = ::stat(outputPath.c_str(), &outputStat) == 0;
    if (outputExists && S_ISDIR(outputStat.st_mode)) {
        throw ConvertError(Kind::OpenOutput, job.outputName, EISDIR);
    }
    if (outputExists && isSameFile(inputPath, outputPath)) {
        throw ConvertError(Kind::SameAsInput, job.outputName);
    }
    if (outputExists && askOverwrite && !askOverwrite(job.outputName)) {
        return ConvertFileOutcome::Declined;
    }

    InputFile input(inputPath, job.inputName, job.pieceSize);
    input.beforeRead = job.beforeRead;
    // Truncating the output would destroy the input when both are one file
    // (checked again on the file opened, which the names may no longer be).
    if (input.isFile(outputPath)) {
        throw ConvertError(Kind::SameAsInput, job.outputName);
    }
    if (input.size() == 0) {
        throw ConvertError(Kind::EmptyInput, job.inputName);
    }

    bool utf8 = job.encoding == InputEncoding::Utf8;
    // The progress counts the first reading too: as half of the work while it
    // goes on, then as far as it went, so the figure never falls back.
    std::uint64_t surveyed = 0;
    if (job.encoding != InputEncoding::Cp1250) {
        control.total.store(2 * input.size(), std::memory_order_relaxed);
        control.scanned.store(0, std::memory_order_relaxed);
        const Utf8Survey survey = surveyUtf8(input, control);
        if (survey.stopped) {
            return ConvertFileOutcome::StoppedBeforeWriting;
        }
        if (input.changed()) {
            return ConvertFileOutcome::ChangedBeforeWriting;
        }
        // UTF-8 characters before bytes that are not UTF-8: a UTF-8 text
        // with a fault more likely than a Windows-1250 one.
        if (!utf8 && !survey.isUtf8() && survey.invalid && survey.multiByte && askCp1250 &&
            !askCp1250(job.inputName, *survey.invalid)) {
            return ConvertFileOutcome::Declined;
        }
        utf8 = utf8 || survey.isUtf8();
        if (utf8 && survey.invalid) {
            throw ConvertError(Kind::NotUtf8, job.inputName, 0, *survey.invalid);
        }
        if (utf8 && survey.unmappableCount > 0 && !job.replaceUnmappable) {
            if (!askReplace) {
                throw ConvertError(Kind::NotInCodePage, job.inputName, 0, survey.unmappable.front());
            }
            if (!askReplace(job.inputName, survey.unmappable, survey.unmappableCount)) {
                return ConvertFileOutcome::Declined;
            }
        }
        surveyed = input.position();
        input.rewind();
    }

    const int fd = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        throw ConvertError(Kind::OpenOutput, job.outputName, errno);
    }
    OutputFile output(fd);
    bool whole = true;
    bool stopped = false;
    try {
        BufferedWriter writer(output, job.outputName);
        control.total.store(surveyed + input.size(), std::memory_order_relaxed);
        control.scanned.store(surveyed, std::memory_order_relaxed);
        RtfDocument document(writer, job.settings, control);
        if (utf8) {
            whole = convertUtf8(input, document, control, surveyed);
        } else {
            convertCp1250(input, document, control, surveyed);
        }
        document.finish();
        stopped = document.stopped();
        if (!output.close()) {
            throw ConvertError(Kind::Write, job.outputName, output.lastError());
        }
    } catch (const ConvertError& error) {
        // A full disk or a failed read leaves a document without its end,
        // which no reader opens as a whole: it goes, and the message says so.
        // A device (/dev/full) holds no document to remove.
        if (!output.isRegular()) {
            throw;
        }
        throw ConvertError(error, removePartialOutput(output, outputPath, job.outputName));
    }
    if (stopped) {
        return ConvertFileOutcome::Stopped;
    }
    return input.changed() || !whole ? ConvertFileOutcome::Changed : ConvertFileOutcome::Finished;
}
