#include "core/exercise/exerciseitem.h"

#include "core/exercise/generator.h"
#include "core/transcription/engine.h"

ExerciseItem PrepareItem(const TaskDescriptions& descriptions, int& taskNumber, const ReadBackRules& rules,
                         const DrawFailureHandler& onFailure) {
    ExerciseItem item;
    if (taskNumber == 0)
        return item;
    auto letters = DrawTaskString(descriptions, taskNumber);
    if (!letters) {
        if (onFailure && taskNumber >= 1 && taskNumber <= descriptions.taskCount())
            onFailure(descriptions.tasks[taskNumber - 1].name);
        taskNumber = 0;
        return item;
    }
    item.letters = std::move(*letters);
    TConvertData settings;
    item.tengwar = LatinToTengwar(item.letters, false, settings, false);
    item.answer = TengwarToLatin(item.letters, rules);
    return item;
}

std::string drawFailureMessage(const std::string& taskName) {
    return "Ne morem najti primernega niza za vajo " + taskName +
           ".  Verjetno ste postavili prehude omejitve.";
}
