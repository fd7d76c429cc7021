#include "ui/words/ttextform.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/widgets/windowfont.h"
#include "ui_ttextform.h"

TTextForm::TTextForm(QWidget* parent, const QString& lastFile)
    : QDialog(parent), ui(std::make_unique<Ui::TTextForm>()), m_lastFile(lastFile) {
    setFont(windowFont());
    ui->setupUi(this);
    if (lastFile.isEmpty()) {
        ui->BtnNadaljuj->hide();
    } else {
        ui->BtnNadaljuj->setText(QStringLiteral("Nadaljuj: %1").arg(QFileInfo(lastFile).fileName()));
        ui->BtnNadaljuj->setToolTip(QDir::toNativeSeparators(lastFile));
    }
    setHelpContext(this, 1725);
    setHelpContext(ui->MemoBesedilo, 1726);
    setHelpContext(ui->BtnOdpri, 1727);
    setHelpContext(ui->BtnNadaljuj, 1728);
    setHelpContext(ui->BtnBeri, 1729);
    setHelpContext(ui->BtnPreklici, 1725);
    installContextHelp(this);

    connect(ui->MemoBesedilo, &QPlainTextEdit::textChanged, this,
            [this] { ui->BtnBeri->setEnabled(!pastedText().trimmed().isEmpty()); });
    connect(ui->BtnOdpri, &QPushButton::clicked, this, [this] { BtnOdpriClick(); });
    connect(ui->BtnNadaljuj, &QPushButton::clicked, this, [this] {
        m_file = m_lastFile;
        accept();
    });
    connect(ui->BtnBeri, &QPushButton::clicked, this, [this] {
        m_file.clear();
        accept();
    });
    connect(ui->BtnPreklici, &QPushButton::clicked, this, &QDialog::reject);
    ui->BtnOdpri->setDefault(true);
}

TTextForm::~TTextForm() = default;

QString TTextForm::pastedText() const {
    return ui->MemoBesedilo->toPlainText();
}

void TTextForm::BtnOdpriClick() {
    const QString folder = m_lastFile.isEmpty() ? QDir::homePath() : QFileInfo(m_lastFile).absolutePath();
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Odpri besedilo"), folder,
        QStringLiteral("Besedila (*.txt);;Vse datoteke (*)"));
    if (path.isEmpty())
        return;
    m_file = path;
    accept();
}
