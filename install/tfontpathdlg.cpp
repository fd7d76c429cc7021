#include "install/tfontpathdlg.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStyle>

#include "app/programicon.h"
#include "help/contexthelp.h"
#include "help/helpcontext.h"
#include "ui_tfontpathdlg.h"

namespace {

TFontPathDlg::FolderBrowser& folderBrowser() {
    static TFontPathDlg::FolderBrowser instance;
    return instance;
}

bool isBlankOrControl(QChar c) {
    return c.unicode() <= 0x20 || c.category() == QChar::Other_Control || c.isSpace();
}

}  // namespace

QString trimBlanksAndControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlankOrControl(text[first])) {
        ++first;
    }
    while (last > first && isBlankOrControl(text[last - 1])) {
        --last;
    }
    return text.mid(first, last - first);
}

TFontPathDlg::TFontPathDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::TFontPathDlg>()) {
    ui->setupUi(this);
    setFixedSize(size());
    ui->Image->setPixmap(programIcon().pixmap(32, 32));

    setHelpContext(this, kHelpContext);
    for (QWidget* child : findChildren<QWidget*>()) {
        setHelpContext(child, kHelpContext);
    }
    // Shown before the main window exists: the dialog asks for its one topic itself.
    installContextHelp(this, kHelpContext);

    connect(ui->EdPath, &QLineEdit::textChanged, this, &TFontPathDlg::EdPathChange);
    connect(ui->BrowseBtn, &QPushButton::clicked, this, &TFontPathDlg::BrowseBtnClick);
    connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

TFontPathDlg::~TFontPathDlg() = default;

void TFontPathDlg::setFolderBrowser(FolderBrowser browser) {
    folderBrowser() = std::move(browser);
}

QString TFontPathDlg::path() const {
    return trimBlanksAndControls(ui->EdPath->text());
}

void TFontPathDlg::FormCreate() {
    EdPathChange();
}

void TFontPathDlg::EdPathChange() {
    // The path is used without the blanks around it, so it is judged that way too.
    const QString folder = path();
    ui->OKBtn->setEnabled(!folder.isEmpty() && QFileInfo(folder).isDir());
}

void TFontPathDlg::BrowseBtnClick() {
    const QString prompt = QStringLiteral("Kam naj namestim pisavo Tengwar Quenya?");
    QString chosen;
    if (folderBrowser()) {
        chosen = folderBrowser()(this, prompt);
    } else {
        chosen = QFileDialog::getExistingDirectory(this, prompt, QDir::homePath(), QFileDialog::ShowDirsOnly);
    }
    if (!chosen.isEmpty()) {
        ui->EdPath->setText(QDir::toNativeSeparators(chosen));
    }
}
