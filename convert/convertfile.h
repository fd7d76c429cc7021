#pragma once

#include <functional>
#include <string>

#include "convert/convertrun.h"

// One conversion of a text file into an RTF file.
struct ConvertJob {
    std::string inputName;   // Windows-1250 path of the text file
    std::string outputName;  // Windows-1250 path of the RTF file
    ConvertSettings settings;
};

// Asked when the output exists: true to write over it.
using OverwriteQuestion = std::function<bool(const std::string& outputName)>;

enum class ConvertFileOutcome { Finished, Declined, Stopped };

// Converts the input file into the output file: asks before writing over an
// existing output, opens the input (a regular file only), refuses an output
// that is the input itself (also through a link) before anything is
// truncated, creates or truncates the output, maps the input read-only and
// writes the document. Sizes are 64-bit. Failures raise ConvertError (an
// empty input raises one with no message); whatever was written before a
// failure stays in the output. Files and the mapping are released on every
// path.
ConvertFileOutcome convertFile(const ConvertJob& job, ConvertControl& control,
                               const OverwriteQuestion& askOverwrite);

// File names are Windows-1250 in the program and UTF-8 on this system.
std::string systemPath(const std::string& name);

// Whether two system paths name one existing file (also through a link).
bool isSameFile(const std::string& first, const std::string& second);
