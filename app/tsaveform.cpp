#include "app/tsaveform.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>

#include "core/settings/options.h"
#include "core/transcription/convertdata.h"
#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/programicon.h"
#include "ui/widgets/windowfont.h"
#include "ui_tsaveform.h"

TSaveForm::TSaveForm(QWidget* owner, bool descriptionsChanged, bool rulesChanged)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint),
      ui(std::make_unique<Ui::TSaveForm>()),
      m_descriptionsChanged(descriptionsChanged),
      m_rulesChanged(rulesChanged) {
    setFont(windowFont());
    ui->setupUi(this);
    setFixedSize(393, 229);
    setBoldCaption(ui->GrpOpisi);
    setBoldCaption(ui->GrpPrepis);

    ui->Image1->setPixmap(programIcon().pixmap(32, 32));

    setHelpContext(this, 9501);
    setHelpContext(ui->CbShraniOpise, 9503);
    setHelpContext(ui->CbAutoOpisi, 9504);
    setHelpContext(ui->CbShraniPrepis, 9506);
    setHelpContext(ui->CbAutoPrepis, 9507);
    setHelpContext(ui->OKBtn, 9508);
    setHelpContext(ui->CancelBtn, 9509);
    setHelpContext(ui->NoSaveBtn, 9510);
    installContextHelp(this);

    connect(ui->CbAutoOpisi, &QCheckBox::toggled, this, &TSaveForm::CbAutoOpisiToggled);
    connect(ui->CbAutoPrepis, &QCheckBox::toggled, this, &TSaveForm::CbAutoPrepisToggled);
    connect(ui->OKBtn, &QPushButton::clicked, this, guardedSlot(this, [this] { OKBtnClick(); }));
    connect(ui->NoSaveBtn, &QPushButton::clicked, this, [this] { NoSaveBtnClick(); });
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    const bool d = descriptionsChanged;
    const bool r = rulesChanged;
    ui->CbShraniOpise->setVisible(d);
    ui->CbShraniOpise->setChecked(d);
    ui->LabOpisi->setVisible(!d);
    ui->CbAutoOpisi->setVisible(d);
    ui->CbShraniPrepis->setVisible(r);
    ui->CbShraniPrepis->setChecked(r);
    ui->LabPrepis->setVisible(!r);
    ui->CbAutoPrepis->setVisible(r);
    // Setting an always-save box here counts as checking it: the toggled
    // handlers disable the save-now box.
    ui->CbAutoOpisi->setChecked(Options().GetFlag(flag::AutoSaveDescriptions));
    ui->CbAutoPrepis->setChecked(Options().GetFlag(flag::AutoSaveRules));

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

TSaveForm::~TSaveForm() = default;

bool TSaveForm::saveDescriptions() const {
    return ui->CbShraniOpise->isChecked() || ui->CbAutoOpisi->isChecked();
}

bool TSaveForm::saveRules() const {
    return ui->CbShraniPrepis->isChecked() || ui->CbAutoPrepis->isChecked();
}

void TSaveForm::OKBtnClick() {
    Options().SetFlag(flag::AutoSaveDescriptions, ui->CbAutoOpisi->isChecked());
    Options().SetFlag(flag::AutoSaveRules, ui->CbAutoPrepis->isChecked());
    done(Ok);
}

void TSaveForm::NoSaveBtnClick() {
    done(Abort);
}

void TSaveForm::CbAutoOpisiToggled(bool checked) {
    ui->CbShraniOpise->setEnabled(!checked);
}

void TSaveForm::CbAutoPrepisToggled(bool checked) {
    ui->CbShraniPrepis->setEnabled(!checked);
}
