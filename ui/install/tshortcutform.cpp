#include "ui/install/tshortcutform.h"

#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/widgets/programicon.h"
#include "ui/widgets/windowfont.h"
#include "ui_tshortcutform.h"

TShortcutForm::TShortcutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::TShortcutForm>()) {
    setFont(windowFont());
    ui->setupUi(this);
    setFixedSize(size());
    setWindowIcon(programIcon());
    ui->Image->setPixmap(programIcon().pixmap(32, 32));

    for (QWidget* child : findChildren<QWidget*>()) {
        setHelpContext(child, kControlContext);
    }
    // The dialog's own surface does not forward right presses; every control
    // does, and all of them show the dialog's one topic. Shown before the main
    // window exists, the dialog asks for it itself.
    setMouseHelp(this, false);
    installContextHelp(this, kHelpContext);

    connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TShortcutForm::~TShortcutForm() = default;

QCheckBox* TShortcutForm::CbStart() const {
    return ui->CbStart;
}

QCheckBox* TShortcutForm::CbDesktop() const {
    return ui->CbDesktop;
}

void TShortcutForm::setMenuEntryPresent() {
    ui->CbStart->setChecked(false);
    ui->Label->setText(QString::fromUtf8(kMenuPresentText));
}
