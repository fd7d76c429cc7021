#pragma once

#include <string>

// Why a file operation failed, for the user (Windows-1250, one sentence): the
// common cases in Slovenian, the system's own text for the rest. Both the
// program and the command-line tool word system errors through this.
std::string systemErrorText(int errnum);
