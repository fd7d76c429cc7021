#include "core/words/courserun.h"

#include <bit>

#include "core/transcription/cp1250.h"
#include "core/transcription/settingssource.h"

const std::string& CourseRun::courseName() {
    static const std::string name = cp1250::fromUtf8("Tečaj");
    return name;
}

CourseRun::CourseRun(std::shared_ptr<const words::WordIndex> words, std::string sourceTitle,
                     CourseHistory& history, words::RandomFunction random,
                     std::shared_ptr<const words::WordIndex> fallback)
    : m_words(std::move(words)), m_fallback(std::move(fallback)), m_sourceTitle(std::move(sourceTitle)),
      m_history(history), m_random(std::move(random)) {
    const int stored = m_history.unlockedLetters();
    m_unlocked = course::clampUnlocked(stored);
    if (stored != m_unlocked)
        m_history.setUnlockedLetters(m_unlocked);
    m_known = course::learnerLetters(m_unlocked, practicable());
    if (!m_sourceTitle.empty())
        tell(cp1250::fromUtf8("Tečaj jemlje besede iz besedila „") + m_sourceTitle + cp1250::fromUtf8("“."));
}

std::string CourseRun::name() const {
    return courseName();
}

void CourseRun::refreshIndex() {
    // The switches decide which letters a word is read as; a change of them
    // indexes the words anew.
    TConvertData settings;
    loadSettings(settings);
    m_words = words::forSwitches(m_words, settings);
    m_fallback = words::forSwitches(m_fallback, settings);
}

std::uint64_t CourseRun::practicable() const {
    return m_words->reach(m_unlocked) | (m_fallback ? m_fallback->reach(m_unlocked) : 0);
}

std::uint64_t CourseRun::openable() const {
    return m_words->openable() | (m_fallback ? m_fallback->openable() : 0);
}

void CourseRun::announce(unsigned char letter) {
    const int count = std::popcount(course::learnerLetters(m_unlocked, practicable()));
    tell(cp1250::fromUtf8("Tečaj: nova črka „") + course::letterCaption(letter) + cp1250::fromUtf8("“ (") +
         std::to_string(count) + cp1250::fromUtf8(". od ") + std::to_string(course::letterCount()) + ").");
    announceLetter(letter);
}

void CourseRun::noticeNewlyPracticable() {
    const std::uint64_t now = course::learnerLetters(m_unlocked, practicable());
    const std::uint64_t fresh = now & ~m_known;
    // One letter at a time: another that came with it is told with the next word.
    const std::uint64_t first = fresh & (~fresh + 1);
    m_known = (m_known & now) | first;
    if (first != 0)
        announce(static_cast<unsigned char>(course::order()[static_cast<std::size_t>(std::countr_zero(first))]));
}

std::string CourseRun::next() {
    refreshIndex();
    // Other switches may give words to a letter passed over before.
    noticeNewlyPracticable();
    const bool own = m_words->usable(m_unlocked) > 0;
    const bool spare = m_fallback && m_fallback->usable(m_unlocked) > 0;
    if (!own && !spare) {
        tell(m_sourceTitle.empty()
                 ? cp1250::fromUtf8("V slovarju ni besede samo iz odklenjenih črk tečaja.")
                 : cp1250::fromUtf8("V besedilu „") + m_sourceTitle +
                       cp1250::fromUtf8("“ ni besede samo iz odklenjenih črk tečaja."));
        return {};
    }
    // A text that lacks words of some unlocked letter shares the words with
    // the dictionary, every other one, so that every letter is practised.
    const bool textLacks = spare && (practicable() & ~m_words->reach(m_unlocked)) != 0;
    m_fromFallback = !own || (textLacks && !m_fromFallback);
    const words::WordIndex& source = m_fromFallback ? *m_fallback : *m_words;
    if (m_weightsStale) {
        m_weights = words::courseWeights(m_history.letterHistory(), m_history.now());
        m_weightsStale = false;
    }
    const std::string word(source.word(words::drawWeighted(source, m_unlocked, m_weights, m_random, m_recent)));
    m_recent.add(word);
    return word;
}

void CourseRun::answered(bool) {
    m_weightsStale = true;
    if (!m_history.recording()) {
        if (!m_toldRecordingOff) {
            m_toldRecordingOff = true;
            tell(cp1250::fromUtf8("Beleženje odgovorov je izklopljeno (okno »Napredek«), zato tečaj ne "
                                  "odklene novih črk."));
        }
        return;
    }
    // Another window may have moved the course on meanwhile.
    m_unlocked = std::max(m_unlocked, course::clampUnlocked(m_history.unlockedLetters()));
    const std::string_view order = course::order();
    const int after = course::unlockedAfter(
        m_unlocked,
        [&](int i) {
            const auto letter = static_cast<unsigned char>(order[static_cast<std::size_t>(i)]);
            return course::assess(m_history.recentResults(letter, course::kWindow));
        },
        practicable(), openable());
    if (after == m_unlocked)
        return;
    m_unlocked = after;
    m_history.setUnlockedLetters(m_unlocked);
    // A letter passed over that the new one gives words to is told with the
    // next word.
    m_known |= std::uint64_t{1} << (m_unlocked - 1);
    announce(static_cast<unsigned char>(order[static_cast<std::size_t>(m_unlocked - 1)]));
}
