#include "cli/fileio.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/convert/systemerror.h"
#include "core/transcription/cp1250.h"

namespace fileio {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

long readSome(int fd, char* data, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return static_cast<long>(n);
    }
}

std::string lastError() {
    std::string text = cp1250::toUtf8(systemErrorText(errno));
    // Said inside a sentence of the tool.
    if (text.ends_with('.')) {
        text.pop_back();
    }
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') {
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    }
    return text;
}

}  // namespace fileio
