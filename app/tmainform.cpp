#include "app/tmainform.h"

#include <QCloseEvent>
#include <QTabBar>

#include "app/windowfont.h"
#include "convert/convertpage.h"
#include "exercise/descriptionspage.h"
#include "exercise/exercisepage.h"
#include "help/aboutpage.h"
#include "help/contexthelp.h"
#include "help/helpcontext.h"
#include "help/helpengine.h"
#include "readback/rulespage.h"
#include "transcription/conversionpage.h"
#include "ui_tmainform.h"

TMainForm::TMainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint),
      ui(std::make_unique<Ui::TMainForm>()),
      m_activeRules(std::make_unique<RulesTable>()),
      m_editRules(std::make_unique<RulesTable>()) {
    setFont(windowFont());
    ui->setupUi(this);
    setFixedSize(531, 273);

    m_exercisePage = new ExercisePage(*this);
    m_conversionPage = new ConversionPage(*this);
    m_descriptionsPage = new DescriptionsPage(*this);
    m_rulesPage = new RulesPage(*this);
    m_convertPage = new ConvertPage(*this);
    m_aboutPage = new AboutPage(*this);
    ui->Pages->addTab(m_exercisePage, QStringLiteral("Naloge"));
    ui->Pages->addTab(m_conversionPage, QStringLiteral("Pretvorba"));
    ui->Pages->addTab(m_descriptionsPage, QStringLiteral("Opisi nalog"));
    ui->Pages->addTab(m_rulesPage, QStringLiteral("Prepis v latinico"));
    ui->Pages->addTab(m_convertPage, QStringLiteral("Pretvorba datotek"));
    ui->Pages->addTab(m_aboutPage, QStringLiteral("O programu"));

    setHelpContext(this, 9713);
    setHelpContext(ui->Pages, 9710);
    setHelpContext(ui->CloseBtn, 9711);
    setHelpContext(ui->HelpBtn, 9712);
    installContextHelp(this);

    // A change of the live descriptions ends the running exercise; "Nova
    // naloga" follows whether they hold a task.
    connect(m_descriptionsPage, &DescriptionsPage::exerciseEndRequested, m_exercisePage,
            [this] { m_exercisePage->StartTask(0); });
    connect(m_descriptionsPage, &DescriptionsPage::newTaskAvailable, m_exercisePage,
            &ExercisePage::setNewTaskAvailable);

    connect(ui->CloseBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->HelpBtn, &QPushButton::clicked, this, &TMainForm::HelpBtnClick);
}

TMainForm::~TMainForm() {
    HelpEngine::instance().closeWindow(QStringLiteral("sec"));
    HelpEngine::instance().quit();
}

// "Pomoč": the topic of the shown page in the help window.
void TMainForm::HelpBtnClick() {
    HelpEngine::instance().jumpContext(kPageHelpTopic + currentPage());
}

void TMainForm::showPage(int index) {
    m_programPageChange = true;
    ui->Pages->setCurrentIndex(index);
    m_programPageChange = false;
}

int TMainForm::currentPage() const {
    return ui->Pages->currentIndex();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    event->accept();
}
