#include "readback/rulespage.h"

#include "help/helpcontext.h"
#include "ui_rulespage.h"

RulesPage::RulesPage(TMainForm& mainForm, QWidget* parent)
    : QWidget(parent), m_mainForm(mainForm), ui(std::make_unique<Ui::RulesPage>()) {
    ui->setupUi(this);
    setHelpContext(this, 9704);
}

RulesPage::~RulesPage() = default;

// The rules editor is not built yet.
void RulesPage::setUpRules() {}

void RulesPage::setAutoSave(bool /*on*/) {}
