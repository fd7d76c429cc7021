#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <algorithm>

#include <gtest/gtest.h>

#include "../app/shellfixture.h"
#include "app/tmainform.h"
#include "core/transcription/convertdata.h"
#include "core/transcription/flagset.h"
#include "ui/help/helpcontext.h"
#include "ui/transcription/conversionpage.h"
#include "ui_conversionpage.h"

namespace {

class ConversionPageTest : public ShownMainFormTest {
protected:
    void SetUp() override {
        ShownMainFormTest::SetUp();
        form->showPage(TMainForm::PageConversion);
        ui = &form->conversionPage()->form();
    }
    void type(const QString& text) {
        ui->EdTest->clear();
        QTest::keyClicks(ui->EdTest, text);
    }
    QString result() const { return ui->EdTestTengwar->text(); }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    Ui::ConversionPage* ui = nullptr;
};

TEST_F(ConversionPageTest, MinShowsTheTypedCodesWhateverTheSwitches) {
    click(ui->RbMin);
    type(QStringLiteral("1"));
    EXPECT_EQ(result(), QStringLiteral("1"));
    click(ui->CbTh);
    click(ui->RbOuBlack);
    EXPECT_EQ(result(), QStringLiteral("1"));
    // The full transcription of the digit is empty.
    click(ui->RbMax);
    EXPECT_EQ(result(), QString());
}

TEST_F(ConversionPageTest, MedLooksLettersUpOnly) {
    click(ui->RbMed);
    type(QStringLiteral("th"));
    EXPECT_EQ(result(), QStringLiteral("\x31\x39"));
    type(QStringLiteral("T"));
    EXPECT_EQ(result(), QStringLiteral("\x33"));
    type(QStringLiteral("th"));
    click(ui->CbTh);
    EXPECT_EQ(result(), QStringLiteral("\x31\x39")) << "the switches have no effect";
}

TEST_F(ConversionPageTest, MaxFollowsASwitchAtOnce) {
    click(ui->RbMax);
    type(QStringLiteral("th"));
    ASSERT_TRUE(ui->CbTh->isChecked());
    EXPECT_EQ(result(), QStringLiteral("\x33"));
    click(ui->CbTh);
    EXPECT_FALSE(options().GetFlag(flag::Th));
    EXPECT_EQ(result(), QStringLiteral("\x31\x39"));
    click(ui->CbTh);
    EXPECT_TRUE(options().GetFlag(flag::Th));
    EXPECT_EQ(result(), QStringLiteral("\x33"));
}

TEST_F(ConversionPageTest, LettersInBrezTildeNeverTakeTheTilde) {
    click(ui->RbMax);
    type(QStringLiteral("tt"));
    const QString withTilde = result();
    EXPECT_NE(withTilde, QStringLiteral("11"));
    QTest::keyClicks(ui->EdBrezTilde, QStringLiteral("t"));
    EXPECT_EQ(options().GetNeverTilde(), "t");
    EXPECT_EQ(result(), QStringLiteral("11"));
}

TEST_F(ConversionPageTest, DefaultsKeepBrezTildeAndTheOtherFlags) {
    click(ui->RbMax);
    type(QStringLiteral("th tt"));
    const QString atDefaults = result();
    QTest::keyClicks(ui->EdBrezTilde, QStringLiteral("t"));
    options().SetFlag(flag::WaitForEnter, false);
    options().SetFlag(flag::AutoSaveRules, true);
    click(ui->CbTh);
    click(ui->CbSh);
    click(ui->RbSamSindarin);
    const QString changed = result();
    ASSERT_NE(changed, atDefaults);

    click(ui->BtnDefault);
    const FlagBytes flags = options().GetFlags();
    EXPECT_EQ(flags, flagset::withDefaultSwitches(flags));
    EXPECT_TRUE(ui->CbTh->isChecked());
    EXPECT_FALSE(ui->CbSh->isChecked());
    EXPECT_TRUE(ui->RbSamQuenya->isChecked());
    EXPECT_EQ(ui->EdBrezTilde->text(), QStringLiteral("t"));
    EXPECT_EQ(options().GetNeverTilde(), "t");
    EXPECT_FALSE(options().GetFlag(flag::WaitForEnter));
    EXPECT_TRUE(options().GetFlag(flag::AutoSaveRules));

    // Again at the defaults: the same writes, the same result.
    const QString before = result();
    click(ui->BtnDefault);
    EXPECT_EQ(result(), before);
    EXPECT_EQ(options().GetFlags(), flags);
}

TEST_F(ConversionPageTest, SwitchesAreStoredInTheirOrder) {
    // Invert every switch behind the page's back: then each write of the
    // page's next store flips exactly one bit, which shows the order.
    FlagBytes inverted = options().GetFlags();
    const int switches[] = {0,  1,  25, 2,  3,  4,  5,  6,  28, 7,  8,  9,  10,
                            11, 12, 13, 14, 15, 29, 30, 16, 26, 24, 27, 17, 18};
    for (int f : switches) {
        flagset::set(inverted, f, !flagset::get(inverted, f));
    }
    backend.values()["Zastavice"] = StoredValue::binary(std::string(inverted.begin(), inverted.end()));
    backend.writes.clear();

    QTest::keyClicks(ui->EdBrezTilde, QStringLiteral("x"));

    std::vector<int> order;
    FlagBytes last = inverted;
    bool listLast = false;
    for (const auto& [name, value] : backend.writes) {
        if (name == "Zastavice") {
            ASSERT_FALSE(listLast);
            FlagBytes now{};
            std::copy_n(value.bytes.begin(), 5, now.begin());
            for (int f = 0; f < flagset::kFlagCount; ++f) {
                if (flagset::get(now, f) != flagset::get(last, f)) {
                    order.push_back(f);
                }
            }
            last = now;
        } else if (name == "Nikoli s ~") {
            listLast = true;
            EXPECT_EQ(value.bytes, "x");
        }
    }
    EXPECT_TRUE(listLast);
    EXPECT_EQ(order, std::vector<int>(std::begin(switches), std::end(switches)));
}

TEST_F(ConversionPageTest, LoadingWritesNothingBack) {
    FlagBytes flags = options().GetFlags();
    flagset::set(flags, flag::Th, false);
    flagset::set(flags, flag::OuQuenya, false);
    backend.values()["Zastavice"] = StoredValue::binary(std::string(flags.begin(), flags.end()));
    backend.values()["Nikoli s ~"] = StoredValue::text("\x9A");  // š
    backend.writes.clear();
    form->conversionPage()->LoadSwitches();
    EXPECT_TRUE(backend.writes.empty());
    EXPECT_FALSE(ui->CbTh->isChecked());
    EXPECT_TRUE(ui->RbOuBlack->isChecked());
    EXPECT_EQ(ui->EdBrezTilde->text(), QStringLiteral("š"));
    EXPECT_FALSE(form->conversionPage()->loadingGuard());
}

TEST_F(ConversionPageTest, TestLevelIsStoredAsFlags19And20) {
    struct Step {
        QRadioButton* button;
        bool min;
        bool med;
    };
    for (const Step& step : {Step{ui->RbMin, true, false}, Step{ui->RbMed, false, true},
                             Step{ui->RbMax, false, false}, Step{ui->RbMed, false, true}}) {
        click(step.button);
        EXPECT_EQ(options().GetFlag(flag::TestMin), step.min);
        EXPECT_EQ(options().GetFlag(flag::TestMed), step.med);
    }
    // The next start selects the stored level.
    form.reset();
    TMainForm again;
    EXPECT_TRUE(again.conversionPage()->form().RbMed->isChecked());
}

TEST_F(ConversionPageTest, LayoutCarriesTheCaptionsAndContexts) {
    EXPECT_EQ(ui->GrpSettings->title(), QStringLiteral("Nastavitve za pretvorbo latinice v Tengwar"));
    EXPECT_EQ(ui->GrpSettings->geometry(), QRect(4, 4, 297, 197));
    EXPECT_EQ(ui->GrpTest->geometry(), QRect(308, 4, 201, 125));
    EXPECT_TRUE(ui->GrpSettings->font().bold());
    EXPECT_FALSE(ui->CbTh->font().bold());
    EXPECT_EQ(ui->EdTestTengwar->font().family(), QStringLiteral("Tengwar Quenya"));
    EXPECT_EQ(ui->EdTestTengwar->font().pixelSize(), 27);
    EXPECT_FALSE(ui->EdTestTengwar->font().kerning());
    EXPECT_EQ(helpContext(ui->PanelOu), 1125);
    EXPECT_EQ(helpContext(ui->PanelBrezTilde), 1131);
    EXPECT_EQ(helpContext(ui->EdTestTengwar), 1152);
    EXPECT_EQ(helpContext(ui->CbDz), 1124);
    EXPECT_EQ(ui->CbDoubleSZ->text(), QStringLiteral("SźZŹ~->Śzzz~"));
    // Every check box and radio button shows its whole caption.
    for (QAbstractButton* button : form->conversionPage()->findChildren<QAbstractButton*>()) {
        const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
        if (!radio && qobject_cast<QCheckBox*>(button) == nullptr) {
            continue;
        }
        const QStyle* style = button->style();
        const int needed =
            style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth) +
            style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing) +
            button->fontMetrics().horizontalAdvance(button->text());
        EXPECT_LE(needed, button->width()) << button->objectName().toStdString();
    }
}

// A switch the disk refuses to store holds in memory, without a box per click.
TEST_F(ConversionPageTest, ASwitchThatCannotBeStoredHoldsInMemory) {
    backend.failWrites = true;
    click(ui->CbTh);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(options().GetFlag(flag::Th), ui->CbTh->isChecked());
    backend.failWrites = false;
    click(ui->CbTh);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(options().GetFlag(flag::Th), ui->CbTh->isChecked());
    EXPECT_EQ(backend.values().at(storename::kFlags), StoredValue::binary([&] {
                  const FlagBytes bytes = options().GetFlags();
                  return std::string(bytes.begin(), bytes.end());
              }()));
}

}  // namespace
