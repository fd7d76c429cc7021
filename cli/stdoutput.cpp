#include "cli/stdoutput.h"

#include <unistd.h>

#include <cstdio>

#include "cli/fileio.h"

bool writeStdout(std::string_view bytes) {
    if (fileio::writeAll(STDOUT_FILENO, bytes)) {
        return true;
    }
    std::fprintf(stderr, "ostrel: pisanje na standardni izhod ni uspelo: %s\n", fileio::lastError().c_str());
    return false;
}
