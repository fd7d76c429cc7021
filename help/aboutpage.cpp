#include "help/aboutpage.h"

#include "help/helpcontext.h"
#include "ui_aboutpage.h"

AboutPage::AboutPage(TrainerSession& session, QWidget* parent)
    : QWidget(parent), m_session(session), ui(std::make_unique<Ui::AboutPage>()) {
    ui->setupUi(this);
    setHelpContext(this, 9705);
}

AboutPage::~AboutPage() = default;
