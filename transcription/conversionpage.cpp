#include "transcription/conversionpage.h"

#include "help/helpcontext.h"
#include "ui_conversionpage.h"

ConversionPage::ConversionPage(TMainForm& mainForm, QWidget* parent)
    : QWidget(parent), m_mainForm(mainForm), ui(std::make_unique<Ui::ConversionPage>()) {
    ui->setupUi(this);
    setHelpContext(this, 9702);
}

ConversionPage::~ConversionPage() = default;

void ConversionPage::LoadSwitches() {}

void ConversionPage::selectTestLevel() {}
