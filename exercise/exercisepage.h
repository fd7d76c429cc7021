#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class ExercisePage;
}
class TMainForm;

// The page "Naloge": the exercise run.
class ExercisePage : public QWidget {
    Q_OBJECT

public:
    explicit ExercisePage(TMainForm& mainForm, QWidget* parent = nullptr);
    ~ExercisePage() override;

    // Called by the main window while it is created: no task, nothing
    // counted, not paused.
    void resetExercise();
    void ShowStatistics();
    // The check box "Čakaj na Enter", set from the stored flag at start.
    void setWaitForEnter(bool on);
    // The check box "Zoom".
    void setZoomChecked(bool on);
    // When a task runs: shows this page and gives the answer field the focus.
    void FocusExercise();

private:
    TMainForm& m_mainForm;
    std::unique_ptr<Ui::ExercisePage> ui;
};
