#pragma once

#include <cstddef>
#include <string>

#include "core/transcription/cp1250checked.h"

// The message (UTF-8) for a text that could not be taken into Windows-1250:
// where it is (file, line, column) and what to do about it.
std::string describeDecodeFault(const std::string& name, std::size_t line, const cp1250::DecodeFault& fault);
