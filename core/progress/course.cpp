#include "core/progress/course.h"

#include <algorithm>
#include <array>

#include "core/transcription/alphabet.h"

namespace course {

namespace {

// The teaching order. Tengwar are learnt by their rows and by their marks, and
// a learner should read real words from the first minute, so:
// - t and n first: tinco and númen, the plainest shapes of the first row and
//   two of the commonest Slovene consonants;
// - the vowel marks early: a, e and i complete the first five letters, which
//   already write words such as "ne", "in", "titan"; the silent e follows
//   them (the engine writes it only when the switch for a final e is on, and
//   then for every final e); o comes next;
// - then the frequent consonants, each chosen so that it opens the most new
//   words of the dictionary (r s m k l v p d), with u, the last vowel mark,
//   among them;
// - then the rarer consonants (j g z b č š c h ž);
// - then the special tengwar for sounds that Slovene writes with two letters
//   (nj/ng/nk, lj), and f, rare in Slovene words;
// - last the rare forms made from letter pairs (rd, dž, dz, ss, zz, th, dh,
//   gh, rh, ps, ks) and the letters of foreign words (w, y, q).
constexpr std::string_view kOrder =
    "tnaei\xEC"
    "orsmklvpdujgzb\xE8\x9A"
    "ch\x9E"
    "NLf\xE0\xF0"
    "CSZTDGR\xE7xwyq";

static_assert(kOrder.size() <= 63, "a word's letters are a 64-bit mask with one bit for other letters");

constexpr std::array<signed char, 256> makePositions() {
    std::array<signed char, 256> positions{};
    for (auto& p : positions)
        p = -1;
    for (std::size_t i = 0; i < kOrder.size(); ++i)
        positions[static_cast<unsigned char>(kOrder[i])] = static_cast<signed char>(i);
    return positions;
}

constexpr auto kPositions = makePositions();

}  // namespace

std::string_view order() {
    return kOrder;
}

int position(unsigned char letter) {
    return kPositions[letter];
}

int letterCount() {
    return static_cast<int>(kOrder.size());
}

std::string letterCaption(unsigned char letter) {
    std::string caption = alphabet::meaning(letter);
    for (char& c : caption) {
        if (c == '\r')
            c = ' ';
    }
    return caption.empty() ? std::string(1, static_cast<char>(letter)) : caption;
}

Mastery assess(std::span<const RecentResult> newestFirst) {
    Mastery m;
    const auto recent = newestFirst.first(std::min<std::size_t>(newestFirst.size(), kWindow));
    m.answers = static_cast<int>(recent.size());
    if (m.answers == 0)
        return m;
    std::vector<int> times;
    times.reserve(recent.size());
    for (const RecentResult& r : recent) {
        m.right += r.right ? 1 : 0;
        times.push_back(r.msPerLetter);
    }
    // The median of an even count is the mean of the two middle times.
    const std::size_t half = times.size() / 2;
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(half), times.end());
    if (times.size() % 2 == 1) {
        m.medianMs = times[half];
    } else {
        const int upper = times[half];
        const int lower = *std::max_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(half));
        m.medianMs = static_cast<int>((static_cast<long long>(lower) + upper) / 2);
    }
    m.mastered = m.answers >= kWindow && 100 * m.right >= kRightPercent * m.answers && m.medianMs <= kMedianMsPerLetter;
    return m;
}

int clampUnlocked(int stored) {
    return std::clamp(stored, kStartLetters, letterCount());
}

int unlockedAfter(int unlocked, const std::function<Mastery(int)>& masteryOf, std::uint64_t practicable,
                  std::uint64_t openable) {
    unlocked = clampUnlocked(unlocked);
    int next = unlocked;
    while (next < letterCount() && ((openable >> next) & 1U) == 0)
        ++next;
    if (next >= letterCount())
        return unlocked;
    bool practised = false;
    for (int i = 0; i < unlocked; ++i) {
        const bool canPractise = ((practicable >> i) & 1U) != 0;
        if (!canPractise)
            continue;
        practised = true;
        if (!masteryOf(i).mastered)
            return unlocked;
    }
    return practised ? next + 1 : unlocked;
}

int unlockedAfter(int unlocked, std::span<const Mastery> unlockedLetters, std::uint64_t practicable,
                  std::uint64_t openable) {
    return unlockedAfter(
        unlocked,
        [&](int i) { return static_cast<std::size_t>(i) < unlockedLetters.size() ? unlockedLetters[i] : Mastery{}; },
        practicable, openable);
}

std::uint64_t learnerLetters(int unlocked, std::uint64_t practicable) {
    const int count = std::clamp(unlocked, 0, letterCount());
    const std::uint64_t prefix = count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1;
    return practicable & prefix;
}

}  // namespace course
