#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/progress/course.h"
#include "core/progress/drillweights.h"
#include "core/words/recentwords.h"
#include "core/words/worddraw.h"
#include "core/words/wordindex.h"
#include "core/words/wordrun.h"

// What the course needs of the answer history.
class CourseHistory {
public:
    virtual ~CourseHistory() = default;
    // The stored number of unlocked letters; 0 before the first course.
    virtual int unlockedLetters() = 0;
    virtual void setUnlockedLetters(int count) = 0;
    // The letter's most recent answers, newest first.
    virtual std::vector<course::RecentResult> recentResults(unsigned char letter, int count) = 0;
    virtual std::vector<progress::LetterHistory> letterHistory() = 0;
    // Whether answers are being recorded at all.
    virtual bool recording() = 0;
    // Seconds since the epoch.
    virtual std::int64_t now() = 0;
};

// "Tečaj": words made only of the unlocked letters, favouring weak letters;
// after every answer the next letter unlocks when every unlocked one is
// mastered.
class CourseRun : public WordRun {
public:
    // words: the dictionary's or the learner's text's; sourceTitle names the
    // text (Windows-1250), empty for the dictionary. fallback (may be null):
    // the dictionary beside a text, for the unlocked letters the text has no
    // word of; every other word then comes from it.
    CourseRun(std::shared_ptr<const words::WordIndex> words, std::string sourceTitle, CourseHistory& history,
              words::RandomFunction random, std::shared_ptr<const words::WordIndex> fallback = nullptr);

    std::string name() const override;
    std::string next() override;
    void answered(bool right) override;

    int unlocked() const { return m_unlocked; }
    // The letters of the order that the sources' words allow under the
    // unlocked ones (bit per place).
    std::uint64_t practicable() const;
    // The letters that have words of the sources as soon as they are unlocked.
    std::uint64_t openable() const;

    // The course's name, Windows-1250.
    static const std::string& courseName();

private:
    void refreshIndex();
    // Tells of a letter that the learner meets from now on.
    void announce(unsigned char letter);
    // Announces a letter passed over before that has words now.
    void noticeNewlyPracticable();

    std::shared_ptr<const words::WordIndex> m_words;
    std::shared_ptr<const words::WordIndex> m_fallback;
    bool m_fromFallback = false;
    std::string m_sourceTitle;
    CourseHistory& m_history;
    words::RandomFunction m_random;
    int m_unlocked = course::kStartLetters;
    std::array<double, 64> m_weights{};
    bool m_weightsStale = true;
    bool m_toldRecordingOff = false;
    words::RecentWords m_recent;
    // The learner's letters when last looked at.
    std::uint64_t m_known = 0;
};
