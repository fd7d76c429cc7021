#pragma once

#include <string>

// Why a file operation failed, for the user (Windows-1250, one sentence): the
// common cases in Slovenian, the system's own text for the rest. Both the
// program and the command-line tool word system errors through this.
std::string systemErrorText(int errnum);

// Not one of the system's numbers: the name is a pipe, a socket or a device,
// which is never read as a text file (reading one could wait for ever).
constexpr int kNotRegularFile = -1;
