#pragma once

#include <QLabel>
#include <QWidget>
#include <memory>
#include <string>

namespace Ui {
class AboutPage;
}

// The emblem of the About page: the program's name in Tengwar, turned by 24
// degrees, over its shadow.
class EmblemBox : public QWidget {
    Q_OBJECT

public:
    // "tengwar ostrel" in the font's codes, transcribed once with the default
    // switches; in lower case, since a capital is another sound here (T: th).
    static constexpr char kEmblemCodes[] = "1^by%7 `>*17^j";
    static constexpr double kAngleDegrees = 24;

    explicit EmblemBox(QWidget* parent = nullptr);

    // Where the unturned text of size w x h starts in an area `areaWidth` wide.
    static QPoint origin(int areaWidth, int w, int h);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The program's icon on the About page; a press with Shift, Ctrl and Alt held
// and both main buttons down is the way to the hidden window. Any other press
// is an ordinary one (context help on a right press).
class AboutIcon : public QLabel {
    Q_OBJECT

public:
    explicit AboutIcon(QWidget* parent = nullptr);

    static bool isTrigger(Qt::MouseButton button, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

signals:
    void triggered(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The page "O programu".
class AboutPage : public QWidget {
    Q_OBJECT

public:
    // The help topics shown, one of the two at random, for a wrong phrase.
    static constexpr int kWrongPhraseTopics[2] = {9998, 9999};

    explicit AboutPage(QWidget* parent = nullptr);
    ~AboutPage() override;

    // The text of the exercise's answer field, where the access phrase is
    // typed; the main window passes on every change.
    void setAnswerText(const QString& answer);

private:
    void ImageMouseDown(const QPoint& globalPos);

    std::unique_ptr<Ui::AboutPage> ui;
    std::string m_answer;  // Windows-1250
};
