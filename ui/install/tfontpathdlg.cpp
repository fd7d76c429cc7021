#include "ui/install/tfontpathdlg.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStyle>

#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/widgets/programicon.h"
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
    fitLabel();
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

// The question is laid out for the classic dialog font; with the fonts here
// (and at larger scales) it takes more lines. Everything below it moves down
// by what it needs, so that no word hides under the path field.
void TFontPathDlg::fitLabel() {
    const int needed = ui->Label->heightForWidth(ui->Label->width());
    const int extra = needed - ui->Label->height();
    if (extra <= 0) {
        return;
    }
    ui->Label->resize(ui->Label->width(), needed);
    for (QWidget* below : {static_cast<QWidget*>(ui->EdPath), static_cast<QWidget*>(ui->BrowseBtn),
                           static_cast<QWidget*>(ui->OKBtn), static_cast<QWidget*>(ui->CancelBtn)}) {
        below->move(below->x(), below->y() + extra);
    }
    ui->Panel->resize(ui->Panel->width(), ui->Panel->height() + extra);
    resize(width(), height() + extra);
}

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
