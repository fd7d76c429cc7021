// ostrel: what Tengwar Ostrel computes, from a terminal and in scripts.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/cliargs.h"
#include "cli/convertcommand.h"
#include "cli/drawcommand.h"
#include "cli/helptext.h"
#include "cli/stdoutput.h"
#include "cli/storedsettings.h"
#include "cli/transcribecommand.h"
#include "core/settings/options.h"
#include "core/transcription/cp1250.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

int usageError(const std::string& message, const std::string& command) {
    std::fprintf(stderr, "ostrel: %s\nPomoč: ostrel %s--help\n", message.c_str(),
                 command.empty() ? "" : (command + " ").c_str());
    return kUsage;
}

int run(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        std::fputs(overviewHelp().c_str(), stderr);
        return kUsage;
    }
    const std::string& command = argv.front();
    if (command == "--help" || command == "-h" || command == "help") {
        // "help UKAZ" is the command's page; "help --help" the overview.
        if (command == "help" && argv.size() > 1 && argv[1] != "--help" && argv[1] != "-h") {
            const std::string page = commandHelp(argv[1]);
            if (page.empty()) {
                return usageError("ukaz \"" + argv[1] + "\" ne obstaja", {});
            }
            return writeStdout(page) ? kSuccess : kFailure;
        }
        return writeStdout(overviewHelp()) ? kSuccess : kFailure;
    }
    if (command == "--version") {
        return writeStdout("ostrel (Tengwar Ostrel) 1.0\n"
                           "Licenca: GPL 3 ali novejša <https://www.gnu.org/licenses/gpl-3.0.html>.\n"
                           "To je prosto programje: smete ga spreminjati in razširjati. Brez jamstva, kolikor "
                           "dovoljuje zakon.\n")
                   ? kSuccess
                   : kFailure;
    }
    if (commandHelp(command).empty()) {
        return usageError("ukaz \"" + command + "\" ne obstaja (transcribe, convert, draw)", {});
    }

    CliArgs args;
    try {
        args = parseCommandArgs(command, {argv.begin() + 1, argv.end()});
    } catch (const UsageError& error) {
        return usageError(error.what(), command);
    }
    if (args.help) {
        return writeStdout(commandHelp(command)) ? kSuccess : kFailure;
    }

    try {
        StoredSettings stored(!args.defaults);
        TConvertData switches = stored.convertData();
        for (const std::string& notice : stored.notices()) {
            std::fprintf(stderr, "ostrel: opozorilo: %s\n", notice.c_str());
        }
        applySwitchChanges(args, switches);
        if (command == "transcribe") {
            return runTranscribe(args, switches);
        }
        if (command == "convert") {
            return runConvert(args, switches);
        }
        return runDraw(args, switches, stored.options());
    } catch (const UsageError& error) {
        return usageError(error.what(), command);
    } catch (const RunError& error) {
        std::fprintf(stderr, "ostrel: %s\n", error.what());
    } catch (const StoreError& error) {
        std::fprintf(stderr, "ostrel: nastavitve: %s\n", cp1250::toUtf8(error.what()).c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ostrel: %s\n", error.what());
    }
    return kFailure;
}

}  // namespace

int main(int argc, char** argv) {
    return run({argv + 1, argv + argc});
}
