#include "cli/cliargs.h"

#include <charconv>

#include "core/transcription/cp1250checked.h"

namespace {

// Which switches each command takes.
struct CommandSwitches {
    bool transcription = true;  // --defaults, --set, --never-tilde
    bool raw = false;
    bool encoding = true;  // --encoding, --replace
    bool form = false;     // --to
    bool yes = false;
    bool draw = false;  // --task, --count, --seed, --list
};

CommandSwitches switchesOf(const std::string& command) {
    if (command == "transcribe") {
        return {true, true, true, true, false, false};
    }
    if (command == "convert") {
        return {true, false, true, false, true, false};
    }
    return {true, false, true, true, false, true};  // draw
}

template <typename T>
std::optional<T> number(const std::string& text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// The stored switches that change a transcription; the others (the test
// size, the zoom window, auto-save, Enter) belong to the windows.
bool isTranscriptionSwitch(int flag) {
    return (flag >= 0 && flag <= flag::VowelsQuenya) || (flag >= flag::Dz && flag <= flag::Ks) ||
           flag == flag::ConvertCaps;
}

SwitchChange parseSet(const std::string& text) {
    const auto equals = text.find('=');
    const std::string bad =
        "--set pričakuje N=on ali N=off, kjer je N stikalo za pretvorbo "
        "(0-18, 24-30 ali 34; seznam: ostrel transcribe --help), ne \"" +
        text + "\"";
    if (equals == std::string::npos) {
        throw UsageError(bad);
    }
    const auto flag = number<int>(text.substr(0, equals));
    const std::string value = text.substr(equals + 1);
    if (!flag || !isTranscriptionSwitch(*flag)) {
        throw UsageError(bad);
    }
    if (value == "on" || value == "1" || value == "da") {
        return {*flag, true};
    }
    if (value == "off" || value == "0" || value == "ne") {
        return {*flag, false};
    }
    throw UsageError(bad);
}

}  // namespace

std::string commandLineText(const std::string& utf8, const std::string& what) {
    std::string out;
    if (const auto fault = cp1250::appendFromUtf8(utf8, out, false)) {
        throw UsageError(what + ": znak v stolpcu " + std::to_string(fault->column) +
                         " ni v kodni tabeli Windows-1250");
    }
    return out;
}

CliArgs parseCommandArgs(const std::string& command, const std::vector<std::string>& args) {
    CliArgs result;
    result.command = command;
    const CommandSwitches allowed = switchesOf(command);
    bool operandsOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (operandsOnly || arg.size() < 2 || arg[0] != '-') {
            result.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
        // --name=value is the same as --name value.
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            if (const auto equals = arg.find('='); equals != std::string::npos) {
                inlineValue = arg.substr(equals + 1);
                arg.resize(equals);
            }
        }
        auto value = [&]() -> std::string {
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 >= args.size()) {
                throw UsageError("stikalu " + arg + " manjka vrednost");
            }
            return args[++i];
        };
        auto refuse = [&] { throw UsageError("ukaz " + command + " ne pozna stikala " + arg); };

        if (arg == "--help" || arg == "-h") {
            result.help = true;
        } else if (arg == "--defaults") {
            result.defaults = true;
        } else if (arg == "--set") {
            result.sets.push_back(parseSet(value()));
        } else if (arg == "--never-tilde") {
            result.neverTilde = value();
        } else if (arg == "--raw") {
            if (!allowed.raw) {
                refuse();
            }
            result.raw = true;
        } else if (arg == "--encoding") {
            const std::string name = value();
            if (name == "utf-8" || name == "utf8" || name == "UTF-8") {
                result.encoding = TextEncoding::Utf8;
            } else if (name == "cp1250" || name == "windows-1250" || name == "CP1250") {
                result.encoding = TextEncoding::Cp1250;
            } else {
                throw UsageError("--encoding pozna utf-8 in cp1250, ne \"" + name + "\"");
            }
        } else if (arg == "--replace") {
            result.replace = true;
        } else if (arg == "--to") {
            if (!allowed.form) {
                refuse();
            }
            const std::string name = value();
            if (name == "codes") {
                result.form = TengwarForm::Codes;
            } else if (name == "unicode") {
                result.form = TengwarForm::Unicode;
            } else {
                throw UsageError("--to pozna codes in unicode, ne \"" + name + "\"");
            }
        } else if (arg == "--yes" || arg == "-y") {
            if (!allowed.yes) {
                refuse();
            }
            result.yes = true;
        } else if (arg == "--task" || arg == "--count" || arg == "--seed" || arg == "--list") {
            if (!allowed.draw) {
                refuse();
            }
            if (arg == "--list") {
                result.list = true;
                continue;
            }
            const std::string text = value();
            if (arg == "--seed") {
                const auto seed = number<std::uint32_t>(text);
                if (!seed) {
                    throw UsageError("--seed pričakuje celo število od 0 do 4294967295, ne \"" + text + "\"");
                }
                result.seed = *seed;
                continue;
            }
            const auto n = number<int>(text);
            if (!n || *n < 1) {
                throw UsageError(arg + " pričakuje pozitivno celo število, ne \"" + text + "\"");
            }
            if (arg == "--task") {
                result.task = *n;
            } else {
                result.count = *n;
            }
        } else {
            throw UsageError("neznano stikalo " + arg);
        }
    }
    if (result.help) {
        return result;
    }
    if (result.form == TengwarForm::Unicode && result.encoding == TextEncoding::Cp1250) {
        throw UsageError("--to unicode potrebuje izhod v UTF-8; opustite --encoding cp1250");
    }
    if (command == "convert" && result.files.size() != 2) {
        throw UsageError("convert potrebuje dve datoteki: VHOD.txt IZHOD.rtf");
    }
    if (command == "draw" && !result.files.empty()) {
        throw UsageError("draw ne sprejme datotek (\"" + result.files.front() + "\")");
    }
    return result;
}

void applySwitchChanges(const CliArgs& args, TConvertData& switches) {
    for (const SwitchChange& change : args.sets) {
        switches.Flags[static_cast<std::size_t>(change.flag)] = change.value;
    }
    if (args.neverTilde) {
        switches.BrezTilde = commandLineText(*args.neverTilde, "--never-tilde");
    }
}
