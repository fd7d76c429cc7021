// libFuzzer target for the first reading of a file to convert: any bytes,
// read as a real file in pieces of any size, give the same survey as when
// read in one piece (a character cut by a piece's end is never taken for a
// fault), and the survey never names more characters than it counted.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/convert/inputfile.h"
#include "core/convert/textsurvey.h"

namespace {

// The input as a file: one file in memory, written anew for every run.
const std::string& fileOfInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = ::memfd_create("textsurvey", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 ||
        (size > 0 && ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))) {
        std::abort();
    }
    return path;
}

Utf8Survey survey(const std::string& path, std::size_t pieceSize) {
    InputFile input(path, "fuzz", pieceSize);
    ConvertControl control;
    return surveyUtf8(input, control);
}

bool samePlace(const TextPlace& a, const TextPlace& b) {
    return a.line == b.line && a.column == b.column && a.codePoint == b.codePoint;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t pieceSize = 4 + data[0] % 13;
    const std::string& path = fileOfInput(data + 1, size - 1);
    const Utf8Survey whole = survey(path, std::size_t{1} << 20);
    const Utf8Survey pieces = survey(path, pieceSize);
    if (whole.byteOrderMark != pieces.byteOrderMark || whole.multiByte != pieces.multiByte ||
        whole.invalid.has_value() != pieces.invalid.has_value() ||
        (whole.invalid && !samePlace(*whole.invalid, *pieces.invalid)) ||
        whole.unmappableCount != pieces.unmappableCount || whole.unmappable.size() != pieces.unmappable.size() ||
        whole.unmappable.size() > whole.unmappableCount) {
        std::abort();
    }
    for (std::size_t i = 0; i < whole.unmappable.size(); ++i) {
        if (!samePlace(whole.unmappable[i], pieces.unmappable[i])) {
            std::abort();
        }
    }
    return 0;
}
