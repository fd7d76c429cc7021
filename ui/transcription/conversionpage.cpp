#include "ui/transcription/conversionpage.h"

#include <QSignalBlocker>

#include "core/settings/options.h"
#include "core/transcription/convertdata.h"
#include "core/transcription/engine.h"
#include "qtcore/qtext.h"
#include "ui/help/helpcontext.h"
#include "ui/widgets/codepageinput.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/tengwarfont.h"
#include "ui/widgets/windowfont.h"
#include "ui_conversionpage.h"

ConversionPage::ConversionPage(TrainerSession& /*session*/, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ConversionPage>()) {
    ui->setupUi(this);
    setBoldCaption(ui->GrpSettings);
    setBoldCaption(ui->GrpTest);

    ui->EdTestTengwar->setFont(tengwarFont(27));
    ui->EdTestTengwar->setAccessibleName(QStringLiteral("Besedilo v tengwarju"));

    m_switches = {{
        {flag::Th, ui->CbTh},
        {flag::Dh, ui->CbDh},
        {flag::Gh, ui->cbGh},
        {flag::DzCaron, ui->CbDz},
        {flag::Sh, ui->CbSh},
        {flag::Ld, ui->CbLd},
        {flag::Nj, ui->CbNj},
        {flag::Ng, ui->CbNg},
        {flag::Nk, ui->CbNk},
        {flag::Rd, ui->CbRd},
        {flag::Rh, ui->CbRh},
        {flag::Lh, ui->CbLh},
        {flag::Lj, ui->CbLj},
        {flag::Zh, ui->CbZh},
        {flag::Zz, ui->CbZz},
        {flag::Ss, ui->CbSs},
        {flag::FinalSilentE, ui->CbNemiE},
        {flag::Ps, ui->CbPs},
        {flag::Ts, ui->CbTs},
        {flag::Ks, ui->CbKs},
        {flag::AccentedSToPlain, ui->CbSszz},
        {flag::SBeforeVowel, ui->CbManageS},
        {flag::Dz, ui->CbCDz},
        {flag::SzBeforeTilde, ui->CbDoubleSZ},
    }};

    setHelpContext(this, 9702);
    setHelpContext(ui->GrpSettings, 1160);
    const std::pair<QWidget*, int> contexts[] = {
        {ui->CbTh, 1101},           {ui->CbDh, 1102},          {ui->cbGh, 1103},
        {ui->CbRd, 1104},           {ui->CbLd, 1105},          {ui->CbNj, 1106},
        {ui->CbNg, 1107},           {ui->CbNk, 1108},          {ui->CbRh, 1109},
        {ui->CbLh, 1110},           {ui->CbSh, 1111},          {ui->CbZh, 1112},
        {ui->CbSs, 1113},           {ui->CbZz, 1114},          {ui->CbLj, 1115},
        {ui->CbNemiE, 1116},        {ui->CbPs, 1117},          {ui->CbTs, 1118},
        {ui->CbKs, 1119},           {ui->CbSszz, 1120},        {ui->CbManageS, 1121},
        {ui->CbDoubleSZ, 1122},     {ui->CbCDz, 1123},         {ui->CbDz, 1124},
        {ui->PanelOu, 1125},        {ui->RbOuQuenya, 1126},    {ui->RbOuBlack, 1127},
        {ui->PanelSam, 1128},       {ui->RbSamQuenya, 1129},   {ui->RbSamSindarin, 1130},
        {ui->PanelBrezTilde, 1131}, {ui->BtnDefault, 1140},    {ui->GrpTest, 1150},
        {ui->EdTest, 1151},         {ui->EdTestTengwar, 1152}, {ui->RbMin, 1153},
        {ui->RbMed, 1154},          {ui->RbMax, 1155},
    };
    for (const auto& [widget, context] : contexts) {
        setHelpContext(widget, context);
    }

    const auto store = guardedSlot(this, [this] { StoreSwitches(); });
    for (const SwitchBox& s : m_switches) {
        connect(s.box, &QCheckBox::toggled, this, store);
    }
    // A radio pair reports the newly selected button only.
    for (QRadioButton* radio : {ui->RbOuQuenya, ui->RbOuBlack, ui->RbSamQuenya, ui->RbSamSindarin}) {
        connect(radio, &QRadioButton::toggled, this, guardedSlot(this, [this](bool on) {
                    if (on) {
                        StoreSwitches();
                    }
                }));
    }
    acceptCodePageOnly(ui->EdBrezTilde);
    ui->EdBrezTilde->setAccessibleName(QStringLiteral("Črke brez tilde"));
    acceptCodePageOnly(ui->EdTest);
    connect(ui->EdBrezTilde, &QLineEdit::textChanged, this, store);
    connect(ui->BtnDefault, &QPushButton::clicked, this, guardedSlot(this, [this] { BtnDefaultClick(); }));
    for (QRadioButton* radio : {ui->RbMin, ui->RbMed, ui->RbMax}) {
        connect(radio, &QRadioButton::toggled, this, guardedSlot(this, [this](bool on) {
                    if (on) {
                        ChooseTestMode();
                    }
                }));
    }
    connect(ui->EdTest, &QLineEdit::textChanged, this, guardedSlot(this, [this] { RecomputeTest(); }));
}

ConversionPage::~ConversionPage() = default;

void ConversionPage::StoreSwitches() {
    if (!m_loading) {
        TOptions& options = Options();
        for (const SwitchBox& s : m_switches) {
            options.SetFlag(s.flag, s.box->isChecked());
        }
        options.SetFlag(flag::OuQuenya, ui->RbOuQuenya->isChecked());
        options.SetFlag(flag::VowelsQuenya, ui->RbSamQuenya->isChecked());
        options.SetNeverTilde(toCp1250(ui->EdBrezTilde->text()));
    }
    RecomputeTest();
}

void ConversionPage::LoadSwitches() {
    TOptions& options = Options();
    m_loading = true;
    try {
        const FlagBytes flags = options.GetFlags();
        for (const SwitchBox& s : m_switches) {
            s.box->setChecked(flagset::get(flags, s.flag));
        }
        ui->EdBrezTilde->setText(fromCp1250(options.GetNeverTilde()));
        (flagset::get(flags, flag::OuQuenya) ? ui->RbOuQuenya : ui->RbOuBlack)->setChecked(true);
        (flagset::get(flags, flag::VowelsQuenya) ? ui->RbSamQuenya : ui->RbSamSindarin)->setChecked(true);
    } catch (...) {
        m_loading = false;
        throw;
    }
    m_loading = false;
}

void ConversionPage::BtnDefaultClick() {
    Options().SetDefaultSwitches();
    LoadSwitches();
}

void ConversionPage::selectTestLevel() {
    const FlagBytes flags = Options().GetFlags();
    QRadioButton* level = flagset::get(flags, flag::TestMin)   ? ui->RbMin
                          : flagset::get(flags, flag::TestMed) ? ui->RbMed
                                                               : ui->RbMax;
    {
        // Showing the stored choice does not store it again.
        const QSignalBlocker blockMin(ui->RbMin);
        const QSignalBlocker blockMed(ui->RbMed);
        const QSignalBlocker blockMax(ui->RbMax);
        level->setChecked(true);
    }
    RecomputeTest();
}

void ConversionPage::ChooseTestMode() {
    TOptions& options = Options();
    options.SetFlag(flag::TestMin, ui->RbMin->isChecked());
    options.SetFlag(flag::TestMed, ui->RbMed->isChecked());
    RecomputeTest();
}

void ConversionPage::RecomputeTest() {
    const QString text = ui->EdTest->text();
    if (ui->RbMin->isChecked()) {
        // The typed characters themselves, drawn as the font's glyphs.
        ui->EdTestTengwar->setText(text);
        return;
    }
    TConvertData settings;
    const std::string latin = toCp1250(text);
    const std::string codes = ui->RbMed->isChecked() ? LatinToTengwar(latin, true, settings, true)
                                                     : LatinToTengwar(latin, false, settings, false);
    ui->EdTestTengwar->setText(fromFontCodes(codes));
}
