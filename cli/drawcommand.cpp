#include "cli/drawcommand.h"

#include <cstdio>

#include "cli/stdoutput.h"
#include "core/exercise/descriptionsparser.h"
#include "core/exercise/exerciseitem.h"
#include "core/exercise/random.h"
#include "core/settings/options.h"
#include "core/text/plural.h"
#include "core/transcription/cp1250.h"
#include "core/transcription/settingssource.h"
#include "core/transcription/tengwarunicode.h"

namespace {

std::string textOut(const std::string& cp1250Text, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? cp1250::toUtf8(cp1250Text) : cp1250Text;
}

}  // namespace

int runDraw(const CliArgs& args, const TConvertData& switches, TOptions& options) {
    StringList groups;
    StringList tasks;
    options.LoadLetterGroups(groups);
    options.LoadTaskDescriptions(tasks);
    TaskDescriptions descriptions;
    DescriptionErrors errors;
    ParseDescriptions(groups, tasks, descriptions, errors);
    for (const DescriptionError& error : errors) {
        std::fprintf(stderr, "ostrel: opisi nalog: %s\n", cp1250::toUtf8(error.message).c_str());
    }
    if (descriptions.taskCount() == 0) {
        throw RunError(
            "v opisih nalog ni nobene naloge. Popravite jih na strani \"Opisi nalog\" v programu.");
    }

    std::string out;
    if (args.list) {
        for (int k = 1; k <= descriptions.taskCount(); ++k) {
            out += std::to_string(k) + "\t" +
                   textOut(descriptions.tasks[static_cast<std::size_t>(k - 1)].name, args.encoding) + "\n";
        }
        return writeStdout(out) ? 0 : 1;
    }

    const int task = args.task.value_or(1);
    if (task > descriptions.taskCount()) {
        const int count = descriptions.taskCount();
        throw UsageError("naloga " + std::to_string(task) + " ne obstaja; opisi imajo " + std::to_string(count) +
                         " " + std::string(plural::choose(count, "nalogo", "nalogi", "naloge", "nalog")) +
                         " (ostrel draw --list)");
    }
    ReadBackRules rules;
    options.LoadReadBackRules(rules);

    // Items are transcribed with the switches of this run.
    setSettingsSource([&switches](TConvertData& data) { data = switches; });
    if (args.seed) {
        random_source::setSeed(*args.seed);
    } else {
        Randomize();
    }
    for (int i = 0; i < args.count; ++i) {
        int number = task;
        std::string failedTask;
        const ExerciseItem item =
            PrepareItem(descriptions, number, rules, [&](const std::string& name) { failedTask = name; });
        if (number == 0) {
            if (!writeStdout(out)) {
                return 1;
            }
            throw RunError(cp1250::toUtf8(drawFailureMessage(failedTask)) +
                           " Omilite pogoje naloge na strani \"Opisi nalog\".");
        }
        out += textOut(item.letters, args.encoding);
        out += '\t';
        if (args.form == TengwarForm::Unicode) {
            tengwarunicode::appendUtf8(out, item.tengwar);
        } else {
            out += item.tengwar;
        }
        out += '\t';
        out += textOut(item.answer, args.encoding);
        out += '\n';
        if (out.size() > (1 << 16)) {
            if (!writeStdout(out)) {
                return 1;
            }
            out.clear();
        }
    }
    return writeStdout(out) ? 0 : 1;
}
