#pragma once

#include <QFrame>

class QLabel;

// The course's new letter shown large in Tengwar with its reading, in the
// drill's own area. It never takes the keyboard: the answer field keeps it.
// It goes after a few answers, at a click, or when the drill ends.
class NewLetterBanner : public QFrame {
    Q_OBJECT

public:
    // How many answers the letter stays for.
    static constexpr int kAnswersShown = 3;

    explicit NewLetterBanner(QWidget* parent);

    // Shows a phonetic letter (Windows-1250 byte) as the transcription writes
    // it alone under the stored switches.
    void showLetter(unsigned char letter);
    // An answer was judged.
    void answered();

    QString tengwarText() const;
    QString readingText() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QLabel* m_title = nullptr;
    QLabel* m_tengwar = nullptr;
    QLabel* m_reading = nullptr;
    int m_answersLeft = 0;
};
