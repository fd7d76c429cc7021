// libFuzzer target for the task generator on parsed descriptions: group lines,
// a zero byte, task lines, a zero byte, the random numbers. Every draw of every
// task must end within its search budget's time (checked generously, for the
// sanitizers) and give one letter of an allowed group per position.

#include <chrono>
#include <cstdlib>

#include "core/exercise/descriptionsparser.h"
#include "core/exercise/generator.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const auto groups = FuzzInput::lines(input.part());
    const auto tasks = FuzzInput::lines(input.part());
    TaskDescriptions descriptions;
    DescriptionErrors errors;
    ParseDescriptions(groups, tasks, descriptions, errors);

    const std::string_view numbers = input.rest();
    std::size_t next = 0;
    const RandomFunction random = [&](int n) {
        const int value = numbers.empty() ? 0 : static_cast<unsigned char>(numbers[next++ % numbers.size()]);
        return value % n;
    };
    const int taskCount = static_cast<int>(descriptions.tasks.size());
    for (int task = 1; task <= taskCount && task <= 8; ++task) {
        const auto started = std::chrono::steady_clock::now();
        const auto drawn = drawTaskString(descriptions, task, random);
        if (std::chrono::steady_clock::now() - started > std::chrono::seconds(2)) {
            std::abort();
        }
        if (!drawn) {
            continue;
        }
        const TaskDescription& description = descriptions.tasks[static_cast<std::size_t>(task - 1)];
        if (static_cast<int>(drawn->size()) != description.letterCount) {
            std::abort();
        }
        for (std::size_t p = 0; p < drawn->size(); ++p) {
            bool allowed = false;
            for (int g = 0; g < descriptions.groupCount(); ++g) {
                allowed = allowed || (((description.positions[p] >> g) & 1U) != 0 &&
                                      descriptions.groups[static_cast<std::size_t>(g)].letters.find(
                                          (*drawn)[p]) != std::string::npos);
            }
            if (!allowed) {
                std::abort();
            }
        }
    }
    return 0;
}
