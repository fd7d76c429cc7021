#include "convert/convertfile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>

#include "transcription/cp1250.h"

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now; false when the system reports a failure (for the output,
    // a late write error).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

class Mapping {
public:
    Mapping(void* address, std::size_t size) : m_address(address), m_size(size) {}
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() {
        if (m_address != MAP_FAILED) {
            ::munmap(m_address, m_size);
        }
    }
    bool valid() const { return m_address != MAP_FAILED; }
    const char* data() const { return static_cast<const char*>(m_address); }

private:
    void* m_address;
    std::size_t m_size;
};

// Writes everything it is given unless the system refuses; a write may take
// only part of a large piece, so it goes on with the rest.
class FileSink : public ByteSink {
public:
    explicit FileSink(int fd) : m_fd(fd) {}
    std::size_t write(const char* data, std::size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(m_fd, data + done, size - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

private:
    int m_fd;
};

}  // namespace

std::string systemPath(const std::string& name) {
    return cp1250::toUtf8(name);
}

namespace {

bool sameFile(const struct stat& first, const struct stat& second) {
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

bool isSameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 && sameFile(a, b);
}

ConvertFileOutcome convertFile(const ConvertJob& job, ConvertControl& control,
                               const OverwriteQuestion& askOverwrite) {
    using Kind = ConvertError::Kind;
    const std::string inputPath = systemPath(job.inputName);
    const std::string outputPath = systemPath(job.outputName);

    struct stat outputStat {};
    const bool outputExists = ::stat(outputPath.c_str(), &outputStat) == 0;
    if (outputExists && askOverwrite && !askOverwrite(job.outputName)) {
        return ConvertFileOutcome::Declined;
    }

    FileDescriptor input(::open(inputPath.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat inputStat {};
    if (!input.valid() || ::fstat(input.get(), &inputStat) != 0 || !S_ISREG(inputStat.st_mode)) {
        throw ConvertError(Kind::OpenInput, job.inputName);
    }
    // Truncating the output would destroy the input when both are one file.
    struct stat existing {};
    if (::stat(outputPath.c_str(), &existing) == 0 && sameFile(existing, inputStat)) {
        throw ConvertError(Kind::OpenOutput, job.outputName);
    }
    FileDescriptor output(::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!output.valid()) {
        throw ConvertError(Kind::OpenOutput, job.outputName);
    }

    const auto size = static_cast<std::uint64_t>(inputStat.st_size);
    if (size == 0) {
        throw ConvertError(Kind::EmptyInput, job.inputName);
    }
    if (size > std::numeric_limits<std::size_t>::max()) {
        throw ConvertError(Kind::MapInput, job.inputName);
    }
    const Mapping mapping(::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, input.get(), 0), size);
    if (!mapping.valid()) {
        throw ConvertError(Kind::MapInput, job.inputName);
    }
    ::madvise(const_cast<char*>(mapping.data()), size, MADV_SEQUENTIAL);

    FileSink sink(output.get());
    BufferedWriter writer(sink, job.outputName);
    const ConvertOutcome outcome = writeRtfDocument({mapping.data(), size}, writer, job.settings, control);
    if (!output.close()) {
        throw ConvertError(Kind::Write, job.outputName);
    }
    return outcome == ConvertOutcome::Stopped ? ConvertFileOutcome::Stopped : ConvertFileOutcome::Finished;
}
