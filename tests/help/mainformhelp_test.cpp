#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "../app/shellfixture.h"
#include "app/tmainform.h"
#include "app/tsaveform.h"
#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/help/helpengine.h"

namespace {

class MainFormHelpTest : public ShownMainFormTest {
protected:
    void SetUp() override {
        ShownMainFormTest::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        pages = form->findChild<QTabWidget*>(QStringLiteral("Pages"));
        ASSERT_NE(pages, nullptr);
    }
    void TearDown() override {
        form.reset();
        engine().quit();
        ShownMainFormTest::TearDown();
    }
    static HelpEngine& engine() { return HelpEngine::instance(); }

    // Right press through the window system at a point of the main window; the
    // context of the popup it brought up, 0 when none.
    int rightClick(const QPoint& formPos) {
        engine().quit();
        QSignalSpy shown(&engine(), &HelpEngine::popupShown);
        QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, formPos);
        return shown.isEmpty() ? 0 : shown.constLast().at(0).toInt();
    }

    // A point of the page that no control covers.
    static std::optional<QPoint> emptySpot(QWidget* page) {
        for (int y = page->height() - 3; y > 2; y -= 5) {
            for (int x = page->width() - 3; x > 2; x -= 5) {
                if (page->childAt(x, y) == nullptr) {
                    return QPoint(x, y);
                }
            }
        }
        return std::nullopt;
    }

    QTabWidget* pages = nullptr;
};

TEST_F(MainFormHelpTest, PageAreasTabRowAndButtonsShowTheirTopics) {
    const int pageTopics[] = {9701, 9702, 9703, 9704, 9706, 9705};
    for (int i = 0; i < TMainForm::kPageCount; ++i) {
        form->showPage(i);
        QWidget* page = pages->widget(i);
        const std::optional<QPoint> spot = emptySpot(page);
        ASSERT_TRUE(spot.has_value()) << "page " << i << " has no empty spot";
        EXPECT_EQ(rightClick(page->mapTo(form.get(), *spot)), pageTopics[i]) << "page " << i;
        // The press only asked for help: the shown page stays.
        EXPECT_EQ(form->currentPage(), i);
    }
    QTabBar* bar = pages->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        EXPECT_EQ(rightClick(bar->mapTo(form.get(), bar->tabRect(i).center())), 9710) << "tab " << i;
    }
    auto* closeBtn = form->findChild<QPushButton*>(QStringLiteral("CloseBtn"));
    auto* helpBtn = form->findChild<QPushButton*>(QStringLiteral("HelpBtn"));
    EXPECT_EQ(rightClick(closeBtn->geometry().center()), 9711);
    EXPECT_EQ(rightClick(helpBtn->geometry().center()), 9712);
    // Beside the buttons, below the pages: the window's own topic.
    EXPECT_EQ(rightClick(QPoint(100, 260)), 9713);
}

TEST_F(MainFormHelpTest, HelpButtonOpensTheShownPagesTopic) {
    auto* helpBtn = form->findChild<QPushButton*>(QStringLiteral("HelpBtn"));
    ASSERT_NE(helpBtn, nullptr);
    // 9801 + the page's position: "Pretvorba datotek" (4) is 9805, "O programu" (5) 9806.
    for (int i = 0; i < TMainForm::kPageCount; ++i) {
        form->showPage(i);
        QTest::mouseClick(helpBtn, Qt::LeftButton);
        EXPECT_TRUE(engine().isWindowVisible()) << i;
        EXPECT_EQ(engine().lastWindowContext(), 9801 + i);
        EXPECT_EQ(engine().secondaryWindow()->context(), 9801 + i);
    }
}

TEST_F(MainFormHelpTest, ClosingTheProgramClosesTheHelpWindow) {
    form->showPage(TMainForm::PageConversion);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("HelpBtn")), Qt::LeftButton);
    QPointer<HelpWindow> sec = engine().secondaryWindow();
    ASSERT_FALSE(sec.isNull());
    ASSERT_TRUE(sec->isVisible());
    form.reset();
    EXPECT_TRUE(sec.isNull());
    EXPECT_FALSE(engine().isWindowVisible());
}

// In the save dialog every control and the dialog's surface show their help, the
// "always save" boxes included.
TEST_F(MainFormHelpTest, SaveDialogShowsHelpForEveryControl) {
    TSaveForm dialog(form.get(), true, true);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    struct Case {
        const char* name;
        int expected;
    };
    const Case cases[] = {{"CbShraniOpise", 9503}, {"CbAutoOpisi", 9504}, {"CbShraniPrepis", 9506},
                          {"CbAutoPrepis", 9507},  {"OKBtn", 9508},       {"CancelBtn", 9509},
                          {"NoSaveBtn", 9510},     {"Label1", 9501},      {"Image1", 9501}};
    for (const Case& c : cases) {
        auto* control = dialog.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr) << c.name;
        engine().quit();
        QSignalSpy shown(&engine(), &HelpEngine::popupShown);
        QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {}, control->mapTo(&dialog, QPoint(3, 3)));
        ASSERT_EQ(shown.count(), 1) << c.name;
        EXPECT_EQ(shown[0].at(0).toInt(), c.expected) << c.name;
    }
    // The pressed box was not toggled by the right button.
    EXPECT_TRUE(dialog.findChild<QCheckBox*>(QStringLiteral("CbShraniOpise"))->isChecked());
}

// Every control of the main window that carries a help context has a topic to show.
TEST_F(MainFormHelpTest, EveryContextInTheWindowHasATopic) {
    const HelpTopics& topics = engine().topics();
    QList<QWidget*> widgets = form->findChildren<QWidget*>();
    widgets.prepend(form.get());
    for (QWidget* w : widgets) {
        const int context = helpContext(w);
        if (context != 0) {
            EXPECT_NE(topics.find(context), nullptr)
                << "no help topic " << context << " for " << w->metaObject()->className() << " \""
                << w->objectName().toStdString() << "\": add it to a file in resources/help/";
        }
    }
}

}  // namespace
