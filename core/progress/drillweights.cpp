#include "core/progress/drillweights.h"

#include <algorithm>
#include <cmath>

namespace progress {

namespace {

constexpr double kDay = 24.0 * 60 * 60;
// A miss counts as recent for a few days: its pull halves every 3 days.
constexpr double kMissHalfLife = 3.0;
// A letter not seen for two weeks gets the whole of its pull for being stale.
constexpr double kStaleDays = 14.0;

double daysSince(std::int64_t then, std::int64_t now) {
    return std::max(0.0, static_cast<double>(now - then) / kDay);
}

}  // namespace

double drillWeight(const LetterHistory& letter, std::int64_t now) {
    // The miss rate as if every letter had first been missed once and read
    // right three times: a letter missed once in one showing is not yet as
    // weak as one missed sixteen times in sixteen.
    const double missRate = (letter.wrong + 1.0) / (letter.shown + 4.0);
    const double recentMiss = letter.wrong > 0 && letter.lastWrong > 0
                                  ? std::exp2(-daysSince(letter.lastWrong, now) / kMissHalfLife)
                                  : 0.0;
    const double stale =
        letter.lastSeen > 0 ? std::min(1.0, daysSince(letter.lastSeen, now) / kStaleDays) : 1.0;
    return 1.0 + 12.0 * missRate + 3.0 * recentMiss + 3.0 * stale;
}

int drillTickets(double weight) {
    return std::max(1, static_cast<int>(std::lround(weight * 2.0)));
}

std::string drillLetters(const std::vector<LetterHistory>& history, std::int64_t now) {
    std::string letters;
    for (const LetterHistory& letter : history) {
        if (letter.shown <= 0)
            continue;
        letters.append(static_cast<std::size_t>(drillTickets(drillWeight(letter, now))),
                       static_cast<char>(letter.letter));
    }
    return letters;
}

const std::string& drillTaskName() {
    static const std::string name =
        "\x8A"
        "ibke \xE8rke";  // "Šibke črke"
    return name;
}

TaskDescriptions drillDescriptions(const std::vector<LetterHistory>& history, std::int64_t now) {
    TaskDescriptions descriptions;
    std::string letters = drillLetters(history, now);
    if (letters.empty())
        return descriptions;
    descriptions.groups.push_back(
        LetterGroup{"\x9A"
                    "ibke",
                    std::move(letters)});  // "šibke"
    TaskDescription task;
    task.name = drillTaskName();
    task.letterCount = 1;
    task.positions[0] = 1;
    descriptions.tasks.push_back(std::move(task));
    return descriptions;
}

}  // namespace progress
