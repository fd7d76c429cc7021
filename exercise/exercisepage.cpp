#include "exercise/exercisepage.h"

#include "help/helpcontext.h"
#include "ui_exercisepage.h"

ExercisePage::ExercisePage(TMainForm& mainForm, QWidget* parent)
    : QWidget(parent), m_mainForm(mainForm), ui(std::make_unique<Ui::ExercisePage>()) {
    ui->setupUi(this);
    setHelpContext(this, 9701);
}

ExercisePage::~ExercisePage() = default;

// The exercise run is not built yet; the main window already calls these at
// their places in its start-up.
void ExercisePage::resetExercise() {}

void ExercisePage::ShowStatistics() {}

void ExercisePage::setWaitForEnter(bool /*on*/) {}

void ExercisePage::setZoomChecked(bool /*on*/) {}

void ExercisePage::FocusExercise() {}
