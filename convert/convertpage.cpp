#include "convert/convertpage.h"

#include "help/helpcontext.h"
#include "ui_convertpage.h"

ConvertPage::ConvertPage(TrainerSession& session, QWidget* parent)
    : QWidget(parent), m_session(session), ui(std::make_unique<Ui::ConvertPage>()) {
    ui->setupUi(this);
    setHelpContext(this, 9706);
}

ConvertPage::~ConvertPage() = default;

// The file conversion is not built yet.
void ConvertPage::PrepareConvertPicture() {}

void ConvertPage::releaseConvertPicture() {}

void ConvertPage::setFileNames(const QString& /*inputFile*/, const QString& /*outputFile*/) {}

void ConvertPage::setConvertCaps(bool /*on*/) {}
