#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Plain POSIX files for the tool: whole writes, reads that retry on signals.
namespace fileio {

// Writes all bytes to a descriptor; false when the system refuses.
bool writeAll(int fd, std::string_view bytes);

// Reads up to size bytes; returns the count (0 at the end), -1 on an error.
long readSome(int fd, char* data, std::size_t size);

// The reason for the last failure (errno), UTF-8: Slovenian for the common
// ones, the system's text for the rest.
std::string lastError();

}  // namespace fileio
