#include "words/courserun.h"

#include "transcription/cp1250.h"
#include "transcription/settingssource.h"

const std::string& CourseRun::courseName() {
    static const std::string name = cp1250::fromUtf8("Tečaj");
    return name;
}

CourseRun::CourseRun(std::shared_ptr<const words::WordIndex> words, std::string sourceTitle,
                     CourseHistory& history, words::RandomFunction random)
    : m_words(std::move(words)), m_sourceTitle(std::move(sourceTitle)), m_history(history),
      m_random(std::move(random)) {
    const int stored = m_history.unlockedLetters();
    m_unlocked = course::clampUnlocked(stored);
    if (stored != m_unlocked)
        m_history.setUnlockedLetters(m_unlocked);
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
    if (!m_words->madeFor(settings))
        m_words = std::make_shared<const words::WordIndex>(m_words->list(), settings);
}

std::uint64_t CourseRun::practicable() const {
    return m_words->reach(m_unlocked);
}

std::string CourseRun::next() {
    refreshIndex();
    const std::size_t usable = m_words->usable(m_unlocked);
    if (usable == 0) {
        tell(m_sourceTitle.empty()
                 ? cp1250::fromUtf8("V slovarju ni besede samo iz odklenjenih črk tečaja.")
                 : cp1250::fromUtf8("V besedilu „") + m_sourceTitle +
                       cp1250::fromUtf8("“ ni besede samo iz odklenjenih črk tečaja."));
        return {};
    }
    if (m_weightsStale) {
        m_weights = words::courseWeights(m_history.letterHistory(), m_history.now());
        m_weightsStale = false;
    }
    m_last = words::drawWeighted(*m_words, usable, m_weights, m_random, m_last);
    return std::string(m_words->word(m_last));
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
    std::vector<course::Mastery> masteries;
    masteries.reserve(static_cast<std::size_t>(m_unlocked));
    const std::uint64_t canPractise = practicable();
    for (int i = 0; i < m_unlocked; ++i) {
        // A letter that cannot be practised holds nothing back; its history
        // need not be read.
        if (((canPractise >> i) & 1U) == 0) {
            masteries.push_back({});
            continue;
        }
        const auto letter = static_cast<unsigned char>(order[static_cast<std::size_t>(i)]);
        const auto recent = m_history.recentResults(letter, course::kWindow);
        masteries.push_back(course::assess(recent));
        if (!masteries.back().mastered)
            return;
    }
    const int after = course::unlockedAfter(m_unlocked, masteries, canPractise);
    if (after == m_unlocked)
        return;
    m_unlocked = after;
    m_history.setUnlockedLetters(m_unlocked);
    const auto letter = static_cast<unsigned char>(order[static_cast<std::size_t>(m_unlocked - 1)]);
    tell(cp1250::fromUtf8("Tečaj: nova črka „") + course::letterCaption(letter) +
         cp1250::fromUtf8("“ (") + std::to_string(m_unlocked) + cp1250::fromUtf8(". od ") +
         std::to_string(course::letterCount()) + ").");
}
