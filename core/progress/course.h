#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The course "Tečaj": the letters come one by one in a fixed teaching order,
// and the next one is unlocked when every unlocked letter is mastered. Plain
// data and rules; the history that feeds them and the words drawn for them
// live elsewhere.
namespace course {

// Mastery, in one place. A letter is mastered when its last kWindow answers
// hold at least kRightShare right ones and the median time per letter of those
// answers is at most kMedianMsPerLetter.
inline constexpr int kWindow = 20;
inline constexpr int kRightPercent = 90;
inline constexpr int kMedianMsPerLetter = 2000;
// How many letters a new course starts with.
inline constexpr int kStartLetters = 5;

// The teaching order: phonetic letters (Windows-1250 bytes), first to last.
std::string_view order();
// The letter's place in the order (0 first), -1 for a letter outside it.
int position(unsigned char letter);
// How many letters the order has.
int letterCount();

// A letter as the learner knows it (Windows-1250): "t", "ng, nj", "nemi e".
std::string letterCaption(unsigned char letter);

// One answer that held the letter: whether the letter was read right, and
// the answer's time divided by the number of letters of its item.
struct RecentResult {
    bool right = false;
    int msPerLetter = 0;
};

// What the recent answers of one letter say.
struct Mastery {
    int answers = 0;  // of the last kWindow
    int right = 0;
    int medianMs = 0;  // per letter; 0 without answers
    bool mastered = false;
};

// Assesses a letter from its most recent answers, newest first; only the
// first kWindow count.
Mastery assess(std::span<const RecentResult> newestFirst);

// The number of unlocked letters (the places of the order passed so far)
// after an answer. When every unlocked letter that can be practised is
// mastered, the course moves on to the next letter that can be practised once
// it is unlocked (its bit set in openable, bit i for the letter at place i):
// the letters before it that cannot, the source having no word of them, are
// passed over. A letter without words now (its bit clear in practicable) does
// not hold the course back. Never more than one letter of words at a time,
// never past the end of the order, never fewer than kStartLetters; nothing
// unlocks while no unlocked letter can be practised, nor when no letter after
// them can.
int unlockedAfter(int unlocked, std::span<const Mastery> unlockedLetters, std::uint64_t practicable,
                  std::uint64_t openable);
// The same, asking masteryOf(i) for the letter at place i only while it
// matters: in order, for letters that can be practised, until one is not
// mastered (a letter's history is read only when needed).
int unlockedAfter(int unlocked, const std::function<Mastery(int)>& masteryOf, std::uint64_t practicable,
                  std::uint64_t openable);

// The learner's letters: the unlocked ones that can be practised (bit i for
// the letter at place i). A letter passed over is none of them until words
// with it can be drawn.
std::uint64_t learnerLetters(int unlocked, std::uint64_t practicable);

// A new course's count (a stored 0), or a stored one brought into range.
int clampUnlocked(int stored);

}  // namespace course
