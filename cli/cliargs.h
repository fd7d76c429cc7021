#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/transcription/convertdata.h"

// A wrong command line: the message (UTF-8) says what is wrong; the tool
// prints it with a pointer to --help and ends with status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure of a run (status 1): the message (UTF-8) names the file and says
// what to do.
class RunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TextEncoding { Utf8, Cp1250 };
enum class TengwarForm { Codes, Unicode };

// One switch change from --set N=on|off.
struct SwitchChange {
    int flag = 0;
    bool value = false;
};

// The command line of one command, after parsing.
struct CliArgs {
    std::string command;  // "transcribe", "convert", "draw"
    bool help = false;

    bool defaults = false;
    std::vector<SwitchChange> sets;
    std::optional<std::string> neverTilde;  // UTF-8 as typed
    bool raw = false;
    TextEncoding encoding = TextEncoding::Utf8;
    bool replace = false;
    TengwarForm form = TengwarForm::Codes;
    bool yes = false;

    std::optional<int> task;
    int count = 1;
    std::optional<std::uint32_t> seed;
    bool list = false;

    std::vector<std::string> files;  // operands
};

// Parses the arguments after the command name. Throws UsageError.
CliArgs parseCommandArgs(const std::string& command, const std::vector<std::string>& args);

// Applies --set and --never-tilde to switches. Throws UsageError for letters
// that Windows-1250 lacks.
void applySwitchChanges(const CliArgs& args, TConvertData& switches);

// Text given on the command line (UTF-8) as Windows-1250; throws UsageError
// naming what for a character the code page lacks.
std::string commandLineText(const std::string& utf8, const std::string& what);
