#pragma once

#include <string_view>

// Writes to the standard output; when the system refuses (a full disk, a
// closed pipe), says so on stderr and returns false, so the command can end
// with status 1 instead of claiming success.
bool writeStdout(std::string_view bytes);
