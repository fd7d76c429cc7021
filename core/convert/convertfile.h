#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/convert/convertrun.h"

// How the input's bytes are read.
enum class InputEncoding {
    Detect,  // UTF-8 when the file is (see Utf8Survey::isUtf8), else Windows-1250
    Cp1250,
    Utf8,
};

// One conversion of a text file into an RTF file.
struct ConvertJob {
    ConvertJob(std::string input = {}, std::string output = {}, ConvertSettings conversion = {},
               InputEncoding inputEncoding = InputEncoding::Detect)
        : inputName(std::move(input)),
          outputName(std::move(output)),
          settings(std::move(conversion)),
          encoding(inputEncoding) {}

    std::string inputName;   // Windows-1250 path of the text file
    std::string outputName;  // Windows-1250 path of the RTF file
    ConvertSettings settings;
    InputEncoding encoding = InputEncoding::Detect;
    // A UTF-8 input's characters that Windows-1250 lacks become '?' without
    // a question.
    bool replaceUnmappable = false;
    // Bytes read at a time; tests make it small.
    std::size_t pieceSize = std::size_t{1} << 20;
    // Called before every read of the input with its position; tests change
    // the file there.
    std::function<void(std::uint64_t position)> beforeRead;
};

// Asked when the output exists: true to write over it.
using OverwriteQuestion = std::function<bool(const std::string& outputName)>;
// Asked when a UTF-8 input holds characters Windows-1250 lacks, with the
// first few of them and how many there are: true to go on with each of them
// written as '?'.
using ReplaceQuestion =
    std::function<bool(const std::string& inputName, const std::vector<TextPlace>& first, std::uint64_t count)>;
// Asked when an input told apart by its bytes holds UTF-8 characters but
// also bytes that are not UTF-8 (at `place`; a cut last character, say):
// true to read the whole file as Windows-1250.
using Cp1250Question = std::function<bool(const std::string& inputName, const TextPlace& place)>;

enum class ConvertFileOutcome {
    Finished,
    Declined,  // a question was answered no; nothing was written
    Stopped,   // a stop was asked for; the output holds a shorter document
    StoppedBeforeWriting,  // a stop was asked for before the output was opened
    Changed,   // the input ended early or changed; the output is a whole document of what was read
    ChangedBeforeWriting,  // the input changed while it was first read through; nothing was written
};

// Converts the input file into the output file: refuses an output that is a
// folder or the input itself (also through a link) before it asks about
// writing over an existing output, opens the input (a regular file only),
// checks again that the output is not the file opened, refuses an empty
// input, reads it through once as UTF-8 unless it is Windows-1250 by the job
// (to tell the encodings apart, and to find faults before anything is
// written), then creates or truncates the output and writes the document,
// reading the input again in pieces. The input is never mapped, copied or
// held whole. Sizes are 64-bit. Failures raise ConvertError; nothing is
// created for a failure of the input found before the output is opened;
// whatever was written before a later failure stays in the output. Without a
// replace question, a character Windows-1250 lacks raises
// ConvertError::NotInCodePage unless the job replaces them. Without a
// Windows-1250 question, an input that is UTF-8 but for some bytes is read
// as Windows-1250.
ConvertFileOutcome convertFile(const ConvertJob& job, ConvertControl& control, const OverwriteQuestion& askOverwrite,
                               const ReplaceQuestion& askReplace = {}, const Cp1250Question& askCp1250 = {});

// What to tell the user when the input changed during the conversion
// (Windows-1250).
std::string inputChangedMessage(const std::string& inputName);
// What to tell the user after a stop: the output holds the converted
// beginning, or nothing was written (Windows-1250).
std::string stoppedMessage(const std::string& outputName);
std::string stoppedBeforeWritingMessage(const std::string& outputName);

// File names are Windows-1250 in the program and UTF-8 on this system.
std::string systemPath(const std::string& name);

// Whether two system paths name one existing file (also through a link).
bool isSameFile(const std::string& first, const std::string& second);
