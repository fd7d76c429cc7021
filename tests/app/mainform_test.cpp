#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/tmainform.h"
#include "app/tsaveform.h"
#include "core/exercise/trainersession.h"
#include "core/transcription/convertdata.h"
#include "shellfixture.h"
#include "ui/help/helpcontext.h"
#include "ui/help/helpengine.h"
#include "ui_tsaveform.h"

namespace {

QTabWidget* pagesOf(TMainForm& form) {
    return form.findChild<QTabWidget*>(QStringLiteral("Pages"));
}

QSize screenSize() {
    return QGuiApplication::primaryScreen()->geometry().size();
}

using MainFormTest = ShellTest;

TEST_F(MainFormTest, SixPagesWithTheirCaptionsAndContexts) {
    TMainForm form;
    EXPECT_EQ(form.size(), QSize(531, 273));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tengwar Ostrel"));
    QTabWidget* pages = pagesOf(form);
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->geometry(), QRect(4, 4, 524, 240));
    const QStringList captions = {QStringLiteral("Naloge"),
                                  QStringLiteral("Pretvorba"),
                                  QStringLiteral("Opisi nalog"),
                                  QStringLiteral("Prepis v latinico"),
                                  QStringLiteral("Pretvorba datotek"),
                                  QStringLiteral("O programu")};
    const int contexts[] = {9701, 9702, 9703, 9704, 9706, 9705};
    ASSERT_EQ(pages->count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(pages->tabText(i), captions[i]);
        EXPECT_EQ(helpContext(pages->widget(i)), contexts[i]) << i;
    }
    EXPECT_EQ(helpContext(&form), 9713);
    EXPECT_EQ(helpContext(pages), 9710);
    auto* closeBtn = form.findChild<QPushButton*>(QStringLiteral("CloseBtn"));
    auto* helpBtn = form.findChild<QPushButton*>(QStringLiteral("HelpBtn"));
    ASSERT_NE(closeBtn, nullptr);
    ASSERT_NE(helpBtn, nullptr);
    EXPECT_EQ(closeBtn->text(), QStringLiteral("Izhod"));
    EXPECT_EQ(helpBtn->text(), QStringLiteral("Pomoč"));
    EXPECT_EQ(helpContext(closeBtn), 9711);
    EXPECT_EQ(helpContext(helpBtn), 9712);
    EXPECT_EQ(closeBtn->geometry(), QRect(372, 248, 75, 21));
    EXPECT_EQ(helpBtn->geometry(), QRect(452, 248, 75, 21));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(MainFormTest, AllSixTabsFitWithoutScrolling) {
    TMainForm form;
    form.show();
    QTabBar* bar = pagesOf(form)->tabBar();
    int total = 0;
    for (int i = 0; i < bar->count(); ++i) {
        total += bar->tabRect(i).width();
        // No caption is cut short.
        EXPECT_GE(bar->tabRect(i).width(), bar->fontMetrics().horizontalAdvance(bar->tabText(i))) << i;
    }
    EXPECT_LE(total, pagesOf(form)->width());
}

// --- placement --------------------------------------------------------------

TEST(PlacementTest, Formula) {
    struct Case {
        StoredRect stored;
        bool zoom;
        QSize screen;
        QSize window;
        QPoint expected;
    };
    const Case cases[] = {
        // Never stored: a sixth of the way into the free width, centred vertically.
        {{-1, -1, -1, -1}, false, {1024, 768}, {531, 273}, {41, 247}},
        // With the zoom window shown the right edge is at nine tenths.
        {{-1, -1, -1, -1}, true, {1024, 768}, {531, 273}, {921 - 531, 247}},
        {{-1, -1, -1, -1}, true, {1280, 1024}, {539, 300}, {1152 - 539, 362}},
        // Divisions round toward zero, also below zero.
        {{-1, -1, -1, -1}, false, {400, 200}, {531, 273}, {-10, -36}},
        // A stored rectangle gives left and top; its size does not matter.
        {{100, 200, 631, 473}, false, {1024, 768}, {531, 273}, {100, 200}},
        {{100, 200, 5, 5}, true, {1024, 768}, {531, 273}, {100, 200}},
        // Only all four at -1 mean "never stored".
        {{-1, -1, -1, 0}, false, {1024, 768}, {531, 273}, {-1, -1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TMainForm::placement(c.stored.left, c.stored.top, c.stored.right, c.stored.bottom, c.zoom,
                                       c.screen, c.window),
                  c.expected)
            << c.stored.left << "," << c.stored.top << " zoom " << c.zoom;
    }
}

TEST_F(MainFormTest, FreshProfilePlacesByTheFormula) {
    const QSize screen = screenSize();
    {
        TMainForm form;
        EXPECT_EQ(form.pos(),
                  QPoint(((screen.width() - form.width()) / 2) / 6, (screen.height() - form.height()) / 2));
    }
    options().SetMainRect({-1, -1, -1, -1});
    options().SetFlag(flag::ZoomShown, true);
    TMainForm zoomed;
    EXPECT_EQ(zoomed.frameGeometry().x() + zoomed.frameGeometry().width(), screen.width() * 9 / 10);
}

TEST_F(MainFormTest, MovedWindowComesBackToTheSamePlace) {
    {
        TMainForm form;
        EXPECT_TRUE(form.trackPlacement());
        form.show();
        form.move(123, 45);
        QCoreApplication::processEvents();
        const StoredRect stored = options().GetMainRect();
        EXPECT_EQ(stored.left, 123);
        EXPECT_EQ(stored.top, 45);
        EXPECT_EQ(stored.right - stored.left, form.frameGeometry().width());
        EXPECT_EQ(stored.bottom - stored.top, form.frameGeometry().height());
    }
    TMainForm again;
    EXPECT_EQ(again.pos(), QPoint(123, 45));
}

TEST_F(MainFormTest, PlaceOffEveryScreenFallsBackToTheFormula) {
    const QSize screen = screenSize();
    const QPoint formula(((screen.width() - 531) / 2) / 6, (screen.height() - 273) / 2);
    options().SetMainRect({screen.width() + 50, 10, screen.width() + 581, 283});
    {
        TMainForm form;
        EXPECT_EQ(form.pos(), formula);
    }
    // A window only partly on the screen is placed where it was left, and
    // once shown is moved wholly onto the screen; the stored place stays
    // for the screen it was made on until the user moves the window.
    const StoredRect left{-100, -20, 431, 253};
    options().SetMainRect(left);
    TMainForm partly;
    EXPECT_EQ(partly.pos(), QPoint(-100, -20));
    partly.show();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_TRUE(QTest::qWaitFor([&] { return available.contains(partly.frameGeometry()); }));
    EXPECT_EQ(partly.pos(), available.topLeft());
    EXPECT_EQ(options().GetMainRect(), left);
    // Once the window system has finished placing it, the user's move is stored.
    int step = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        partly.move(20 + 10 * (++step % 2), 40);
        return options().GetMainRect().left == partly.frameGeometry().left();
    }));
}

// --- page memory ------------------------------------------------------------

TEST_F(MainFormTest, FirstRunShowsAboutWithoutStoringIt) {
    ASSERT_TRUE(options().GetFirstTime());
    {
        TMainForm form;
        EXPECT_EQ(form.currentPage(), TMainForm::PageAbout);
        EXPECT_FALSE(options().GetFirstTime());
        EXPECT_EQ(options().GetActivePage(), 4);
    }
    TMainForm second;
    EXPECT_EQ(second.currentPage(), TMainForm::PageConvert);
}

TEST_F(MainFormTest, PageChosenByTheUserIsStoredProgramChoiceIsNot) {
    options().SetFirstTime(false);
    TMainForm form;
    form.show();
    QTabBar* bar = pagesOf(form)->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(TMainForm::PageConversion).center());
    EXPECT_EQ(form.currentPage(), TMainForm::PageConversion);
    EXPECT_EQ(options().GetActivePage(), TMainForm::PageConversion);
    form.showPage(TMainForm::PageExercise);
    EXPECT_EQ(options().GetActivePage(), TMainForm::PageConversion);
}

TEST_F(MainFormTest, StoredPageOutOfRangeFallsBackToTheFirst) {
    options().SetFirstTime(false);
    for (const int stored : {-1, 6, 1000}) {
        options().SetActivePage(stored);
        TMainForm form;
        EXPECT_EQ(form.currentPage(), TMainForm::PageExercise) << stored;
        EXPECT_EQ(options().GetActivePage(), stored) << "the program's own choice is not stored";
    }
    options().SetActivePage(3);
    TMainForm form;
    EXPECT_EQ(form.currentPage(), TMainForm::PageRules);
}

// --- close query ------------------------------------------------------------

class CloseQueryTest : public ShownMainFormTest {
protected:
    // Marks the rules as edited with a recognisable change.
    void editRules() {
        form->session().editRules()['a'] = "EDIT";
        form->session().setRulesChanged(true);
    }
    bool rulesSaved() {
        ReadBackRules stored;
        options().LoadReadBackRules(stored);
        return stored['a'] == "EDIT";
    }

    // Closes the window; `answer` handles the save dialog if it comes up.
    // Returns whether the dialog came up; `closed` tells whether the window closed.
    bool closeWith(const std::function<void(TSaveForm&)>& answer) {
        return withModal<TSaveForm>([this] { closed = form->close(); }, answer);
    }

    bool closed = false;
};

TEST_F(CloseQueryTest, NothingEditedClosesWithoutAsking) {
    EXPECT_FALSE(closeWith([](TSaveForm&) {}));
    EXPECT_TRUE(closed);
}

TEST_F(CloseQueryTest, DescriptionsEditedShowsOnlyTheDescriptionsGroup) {
    form->session().setDescriptionsChanged(true);
    const bool shown = closeWith([](TSaveForm& dialog) {
        Ui::TSaveForm& ui = dialog.form();
        EXPECT_TRUE(ui.CbShraniOpise->isVisible());
        EXPECT_TRUE(ui.CbShraniOpise->isChecked());
        EXPECT_TRUE(ui.CbShraniOpise->isEnabled());
        EXPECT_TRUE(ui.CbAutoOpisi->isVisible());
        EXPECT_FALSE(ui.CbAutoOpisi->isChecked());
        EXPECT_FALSE(ui.LabOpisi->isVisible());
        EXPECT_TRUE(ui.LabPrepis->isVisible());
        EXPECT_EQ(ui.LabPrepis->text(),
                  QStringLiteral("Pravil prepisa v latinico od zadnje potrditve niste spreminjali."));
        EXPECT_FALSE(ui.CbShraniPrepis->isVisible());
        EXPECT_FALSE(ui.CbAutoPrepis->isVisible());
        ui.OKBtn->click();
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form->session().descriptionsChanged()) << "the descriptions were saved";
}

TEST_F(CloseQueryTest, BothEditedWithBothAutoFlagsSavesWithoutAsking) {
    options().SetFlag(flag::AutoSaveRules, true);
    options().SetFlag(flag::AutoSaveDescriptions, true);
    form->session().setDescriptionsChanged(true);
    editRules();
    EXPECT_FALSE(closeWith([](TSaveForm&) {}));
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form->session().descriptionsChanged());
    EXPECT_TRUE(rulesSaved());
}

TEST_F(CloseQueryTest, AutoDescriptionsCheckedDisablesSaveNowAndStillSaves) {
    options().SetFlag(flag::AutoSaveDescriptions, true);
    form->session().setDescriptionsChanged(true);
    editRules();
    const bool shown = closeWith([](TSaveForm& dialog) {
        Ui::TSaveForm& ui = dialog.form();
        EXPECT_TRUE(ui.CbAutoOpisi->isChecked());
        EXPECT_FALSE(ui.CbShraniOpise->isEnabled());
        EXPECT_TRUE(ui.CbShraniPrepis->isChecked());
        EXPECT_TRUE(ui.CbShraniPrepis->isEnabled());
        // Unchecking the always-save box enables the save-now box again.
        ui.CbAutoPrepis->setChecked(true);
        EXPECT_FALSE(ui.CbShraniPrepis->isEnabled());
        ui.CbAutoPrepis->setChecked(false);
        EXPECT_TRUE(ui.CbShraniPrepis->isEnabled());
        // The disabled box's own state does not matter.
        ui.CbShraniOpise->setChecked(false);
        ui.OKBtn->click();
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(form->session().descriptionsChanged());
    EXPECT_TRUE(rulesSaved());
}

TEST_F(CloseQueryTest, OkStoresTheAlwaysSaveBoxes) {
    form->session().setDescriptionsChanged(true);
    editRules();
    closeWith([](TSaveForm& dialog) {
        dialog.form().CbAutoOpisi->setChecked(true);
        dialog.form().CbAutoPrepis->setChecked(false);
        dialog.form().OKBtn->click();
    });
    EXPECT_TRUE(closed);
    EXPECT_TRUE(options().GetFlag(flag::AutoSaveDescriptions));
    EXPECT_FALSE(options().GetFlag(flag::AutoSaveRules));
}

TEST_F(CloseQueryTest, UncheckedSaveNowSkipsTheRules) {
    editRules();
    const bool shown = closeWith([](TSaveForm& dialog) {
        EXPECT_FALSE(dialog.form().CbAutoPrepis->isChecked());
        dialog.form().CbShraniPrepis->setChecked(false);
        dialog.form().OKBtn->click();
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(rulesSaved());
}

TEST_F(CloseQueryTest, NoSaveClosesAndLeavesEverything) {
    form->session().setDescriptionsChanged(true);
    editRules();
    const FlagBytes before = options().GetFlags();
    const bool shown = closeWith([](TSaveForm& dialog) {
        dialog.form().CbAutoOpisi->setChecked(true);
        dialog.form().CbAutoPrepis->setChecked(true);
        EXPECT_EQ(dialog.form().NoSaveBtn->text(), QStringLiteral("Ne shranjuj ničesar"));
        dialog.form().NoSaveBtn->click();
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(form->session().descriptionsChanged());
    EXPECT_FALSE(rulesSaved());
    EXPECT_EQ(options().GetFlags(), before);
}

TEST_F(CloseQueryTest, CancelEscAndClosingTheDialogKeepTheProgramRunning) {
    const std::function<void(TSaveForm&)> ways[] = {
        [](TSaveForm& dialog) { dialog.form().CancelBtn->click(); },
        [](TSaveForm& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](TSaveForm& dialog) { dialog.close(); },
    };
    for (const auto& way : ways) {
        form->session().setDescriptionsChanged(true);
        editRules();
        const FlagBytes before = options().GetFlags();
        const bool shown = closeWith([&](TSaveForm& dialog) {
            dialog.form().CbAutoOpisi->setChecked(true);
            way(dialog);
        });
        EXPECT_TRUE(shown);
        EXPECT_FALSE(closed);
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->session().descriptionsChanged());
        EXPECT_TRUE(form->session().rulesChanged());
        EXPECT_FALSE(rulesSaved());
        EXPECT_EQ(options().GetFlags(), before);
    }
}

TEST_F(CloseQueryTest, EnterInTheDialogMeansOk) {
    editRules();
    closeWith([](TSaveForm& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
    EXPECT_TRUE(closed);
    EXPECT_TRUE(rulesSaved());
}

// Edits that cannot be saved at the close (a folder made read-only, a full
// disk): the user is told once and chooses to leave them or go back; the
// window never stays stuck.
TEST_F(CloseQueryTest, EditsThatCannotBeSavedAreToldOnceAndTheUserChooses) {
    options().SetFlag(flag::AutoSaveRules, true);
    int answer = 1;  // "Ne": back to the window
    messages::setResponder([&](const messages::Request& request) {
        boxes.push_back(request.text);
        return answer;
    });
    editRules();
    backend.failWrites = true;
    EXPECT_FALSE(closeWith([](TSaveForm&) {}));
    EXPECT_FALSE(closed);
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Nastavitev ni mogo\u010De shraniti"))) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].endsWith(QStringLiteral("Vseeno kon\u010Dam?"))) << boxes[0].toStdString();
    // Once the disk works again the close goes through and saves.
    backend.failWrites = false;
    closeWith([](TSaveForm&) {});
    EXPECT_TRUE(closed);
    EXPECT_EQ(boxes.size(), 1U);
    EXPECT_TRUE(rulesSaved());

    // Or the user leaves the edits behind.
    form->show();
    closed = false;
    form->session().editRules()['a'] = "LOST";
    form->session().setRulesChanged(true);
    backend.failWrites = true;
    answer = 0;  // "Da"
    closeWith([](TSaveForm&) {});
    EXPECT_TRUE(closed);
    EXPECT_EQ(boxes.size(), 2U);
    backend.failWrites = false;
}

// A damaged switch set is mended on the way; a setting that cannot be read at
// all is shown, and the program closes all the same.
TEST_F(CloseQueryTest, ReadErrorsNeverKeepTheProgramOpen) {
    backend.values()[storename::kFlags] = StoredValue::text("hex:ZZ QQ");
    EXPECT_FALSE(closeWith([](TSaveForm&) {}));
    EXPECT_TRUE(closed);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(options().GetFlags(), flagset::kDefaultBytes);
    (void)options().TakeStartupNotice();

    form->show();
    backend.failReads = true;
    closed = false;
    EXPECT_FALSE(closeWith([](TSaveForm&) {}));
    backend.failReads = false;
    EXPECT_TRUE(closed);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], QStringLiteral("Failed to get data for 'Zastavice'"));
}

// A page change the disk refuses to store raises no box (one per tab
// change before); it is stored once the disk takes writes again.
TEST_F(MainFormTest, APageChangeThatCannotBeStoredRaisesNoBox) {
    options().SetFirstTime(false);
    TMainForm form;
    form.show();
    backend.failWrites = true;
    QTabBar* bar = pagesOf(form)->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(TMainForm::PageRules).center());
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(TMainForm::PageDescriptions).center());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(form.currentPage(), TMainForm::PageDescriptions);
    backend.failWrites = false;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(TMainForm::PageExercise).center());
    EXPECT_EQ(backend.values().at(storename::kActivePage), StoredValue::integer(TMainForm::PageExercise));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFormTest, StoreErrorAtStartIsShownAndTheWindowStillWorks) {
    options().SetFirstTime(false);
    backend.failReads = true;
    TMainForm form;  // the start-up meets the error and stops its steps
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("Failed to get data for '"))) << boxes[0].toStdString();
    backend.failReads = false;
    form.show();
    form.showPage(TMainForm::PageRules);
    EXPECT_EQ(form.currentPage(), TMainForm::PageRules);
}

}  // namespace

namespace {

TEST(StoreNoticeTest, ShownOnceAtStart) {
    RecordingBackend backend;
    backend.notice =
        "Datoteke z nastavitvami ni bilo mogo\xE8"
        "e prebrati.";
    TOptions options(backend);
    std::vector<messages::Request> shown;
    messages::setResponder([&](const messages::Request& r) {
        shown.push_back(r);
        return 0;
    });
    reportStoreNotice(options);
    reportStoreNotice(options);
    answerUnexpectedBoxes();
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].text, QStringLiteral("Datoteke z nastavitvami ni bilo mogoče prebrati."));
    EXPECT_EQ(shown[0].icon, messages::Icon::Warning);
}

}  // namespace

namespace {

using SaveFormTest = ShellTest;

TEST_F(SaveFormTest, RightPressesAndF1ShowTheControlsTopics) {
    TSaveForm dialog(nullptr, true, true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    Ui::TSaveForm& ui = dialog.form();
    HelpEngine& engine = HelpEngine::instance();
    const auto rightPress = [&](QWidget* control) {
        engine.quit();
        QSignalSpy shown(&engine, &HelpEngine::popupShown);
        QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {},
                          control->mapTo(&dialog, control->rect().center()));
        return shown.isEmpty() ? 0 : shown.constLast().at(0).toInt();
    };
    EXPECT_EQ(rightPress(ui.CbShraniOpise), 9503);
    EXPECT_EQ(rightPress(ui.CbAutoPrepis), 9507);
    EXPECT_EQ(rightPress(ui.OKBtn), 9508);
    EXPECT_EQ(rightPress(ui.NoSaveBtn), 9510);
    EXPECT_EQ(rightPress(ui.CancelBtn), 9509);
    // The label has no topic of its own: the dialog's.
    EXPECT_EQ(rightPress(ui.Label1), 9501);

    engine.quit();
    QSignalSpy shown(&engine, &HelpEngine::popupShown);
    ui.CbAutoOpisi->setFocus();
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.constLast().at(0).toInt(), 9504);
    engine.quit();
}

}  // namespace
