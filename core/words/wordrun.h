#pragma once

#include <string>
#include <utility>

// A drill of real words: where the exercise takes its next word from, and what
// it tells after an answer. The exercise shows each word in Tengwar and judges
// the answer by the script; the run only chooses the words. Text is
// Windows-1250.
class WordRun {
public:
    virtual ~WordRun() = default;

    // The run's name, shown as the task's and kept in the history.
    virtual std::string name() const = 0;
    // The next word to read, as it is written; empty when there is none (the
    // notice then says why, and the run ends).
    virtual std::string next() = 0;
    // The word last given was answered.
    virtual void answered(bool right) { (void)right; }
    // What the learner should hear now (a letter unlocked, the text read to
    // its end, ...), once; empty when nothing.
    std::string takeNotice() {
        std::string notice;
        notice.swap(m_notice);
        return notice;
    }

    // A letter the learner meets from now on (the course unlocked it), to be
    // shown large, once; 0 when none.
    unsigned char takeNewLetter() { return std::exchange(m_newLetter, static_cast<unsigned char>(0)); }

protected:
    void tell(std::string notice) { m_notice = std::move(notice); }
    void announceLetter(unsigned char letter) { m_newLetter = letter; }

private:
    std::string m_notice;
    unsigned char m_newLetter = 0;
};
