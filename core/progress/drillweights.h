#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/exercise/taskdescriptions.h"

// The drill "Šibke črke": letters drawn with weights from the answer history.
// A letter missed often or lately, or not seen for long, comes more often;
// every letter seen at all keeps a share. The weights become repeats in one
// letter group, so the drill runs through the ordinary generator, where a
// letter listed k times is drawn k times as often.
namespace progress {

// What the history says of one letter. Times are seconds since the epoch,
// 0 when it never happened.
struct LetterHistory {
    unsigned char letter = 0;
    int shown = 0;
    int wrong = 0;
    std::int64_t lastSeen = 0;
    std::int64_t lastWrong = 0;
    double averageMs = 0;  // of the answers to items that held the letter
};

// The weight of a seen letter at time now: about 1 for a letter always read
// right and seen today, up to 19.
double drillWeight(const LetterHistory& letter, std::int64_t now);

// How many times a weight puts its letter into the drill's group (at least 1).
int drillTickets(double weight);

// The drill's group: every seen letter (shown > 0) repeated by its tickets,
// in the order given. Empty when nothing was seen.
std::string drillLetters(const std::vector<LetterHistory>& history, std::int64_t now);

// The one task "Šibke črke" (Windows-1250): items of one letter from the
// drill's group. No task when nothing was seen.
TaskDescriptions drillDescriptions(const std::vector<LetterHistory>& history, std::int64_t now);

// The drill's task name in Windows-1250.
const std::string& drillTaskName();

}  // namespace progress
