#include "exercise/descriptionspage.h"

#include "app/tmainform.h"
#include "help/helpcontext.h"
#include "ui_descriptionspage.h"

DescriptionsPage::DescriptionsPage(TMainForm& mainForm, QWidget* parent)
    : QWidget(parent), m_mainForm(mainForm), ui(std::make_unique<Ui::DescriptionsPage>()) {
    ui->setupUi(this);
    setHelpContext(this, 9703);
}

DescriptionsPage::~DescriptionsPage() = default;

// The descriptions editor is not built yet: loading and saving only keep the
// main window's edit flag right.
void DescriptionsPage::LoadDescriptions() {
    m_mainForm.setDescriptionsChanged(false);
}

void DescriptionsPage::SaveDescriptions() {
    m_mainForm.setDescriptionsChanged(false);
}

void DescriptionsPage::setAutoSave(bool /*on*/) {}
