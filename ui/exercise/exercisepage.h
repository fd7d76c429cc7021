#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "core/exercise/exercisestate.h"
#include "core/exercise/taskdescriptions.h"
#include "ui/words/wordentries.h"

namespace Ui {
class ExercisePage;
}
class QKeyEvent;
class QMenu;
class QTimer;
class NewLetterBanner;
class TrainerSession;
class WordRun;

// The page "Naloge": the exercise run. The user picks a task from the menu of
// "Nova naloga", reads each item in Tengwar and types its Latin reading; every
// answer is judged, timed and counted.
class ExercisePage : public QWidget {
    Q_OBJECT

public:
    explicit ExercisePage(TrainerSession& session, QWidget* parent = nullptr);
    ~ExercisePage() override;

    // Called by the main window while it is created: no task, nothing
    // counted, not paused.
    void resetExercise();
    // Starts task n of the live descriptions afresh (0: ends the run).
    void StartTask(int n);
    // Starts the drill of the weak letters: task 1 of drill, run like any
    // task, until another task is chosen or the run ends.
    void startDrill(const TaskDescriptions& drill);
    // Starts a drill of real words (from the entries below the tasks), run
    // like any task until another task is chosen or the run ends.
    void startWordRun(std::shared_ptr<WordRun> run);
    // Which of those entries can be chosen, and why not.
    void setWordEntries(const WordEntries& entries);
    // The running task's name, empty when none runs.
    QString taskName() const;
    // Draws and shows the next item of the running task.
    void NextItem();
    // The read-back rules were confirmed or reset: the current item's expected
    // answer is read again from the session's active rules.
    void updateExpectedAnswer();
    // Judges the answer field, counts it and moves on to the next item.
    void CheckAnswer();
    void ShowStatistics();
    // When a task runs: asks for this page to be shown and gives the answer
    // field the focus.
    void FocusExercise();
    // A key typed in another window of the program (the zoom window) while
    // a task runs: it goes to the answer field as if typed there.
    void takeKey(const QKeyEvent& key);

    // The check box "Čakaj na Enter", set from the stored flag at start.
    void setWaitForEnter(bool on);
    // The check box "Zoom".
    void setZoomChecked(bool on);
    // Whether "Nova naloga" may be used: the live descriptions hold a task.
    void setNewTaskAvailable(bool available);

    const ExerciseState& state() const { return m_state; }
    QMenu* nalogePopup() const { return m_nalogePopup; }

    // The 50 ms timer's work: the item clock in the time panel.
    void TimerTimer();

signals:
    // For the zoom window: the Tengwar text (font codes) of the item now shown
    // (a new item, or the item panel written again; empty when no task runs)
    // and the answer as typed.
    void itemTextChanged(const QString& tengwar);
    void answerTextChanged(const QString& answer);
    // An answer was judged: the item's phonetic letters, the expected and the
    // typed answer, whether they matched, and the item's time in milliseconds
    // (pauses not counted). Sent before the right answer is shown after a
    // wrong one.
    void answerJudged(const QString& letters, const QString& expected, const QString& typed, bool right,
                      int milliseconds);
    // A running task wants its page in front (the program's own choice of
    // page, not stored).
    void pageShowRequested();
    // The user ticked or cleared "Zoom".
    void zoomToggled(bool shown);
    // An entry of the word drills was chosen.
    void wordDrillChosen(WordDrill drill);
    // Something to say in the window's status line (no box): a letter of the
    // course unlocked, a text read to its end, an entry not available.
    void statusMessage(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Restart1BtnMouseDown();
    void NalogePopupPopup();
    void KonecBtnClick();
    void Randomize1BtnClick();
    void EdOdgovor1Change();
    bool EdOdgovor1KeyDown(QKeyEvent* event);
    void CbPremor1Click();
    void CbWaitEnterClick();
    void CbZoomWinClick();
    void focusAfterClick(QWidget* control);

    void SetPause(bool on);
    void judgeIfComplete();
    std::string answerBytes() const;
    bool expectsBlank() const;
    void startRun(int n);
    // The descriptions the running task comes from: the drill's while one
    // runs, else the live ones.
    const TaskDescriptions& runDescriptions() const;

    TrainerSession& m_session;
    std::unique_ptr<Ui::ExercisePage> ui;
    // The session's exercise run.
    ExerciseState& m_state;
    QMenu* m_nalogePopup = nullptr;
    QTimer* m_timer = nullptr;
    // Set while the program itself empties the answer field.
    bool m_clearingAnswer = false;
    // The drill's own task, kept apart from the menu's tasks.
    std::optional<TaskDescriptions> m_drill;
    // The drill of real words while one runs (its task number is kWordRunTask).
    std::shared_ptr<WordRun> m_wordRun;
    WordEntries m_wordEntries;
    // The course's new letter, large, over the statistics.
    NewLetterBanner* m_newLetter = nullptr;
    void addWordEntries();
    // Ends the drill of real words (if one runs): its letter and its line go.
    void endWordRun();
    void showItem();
    void nextWord();
    void tellWordRunNotice();
};
