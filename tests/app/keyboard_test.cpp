// The keyboard stays with the answer while a drill runs: windows opened from
// the drill give it back when they close.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/exercise/descriptionsparser.h"
#include "core/exercise/trainersession.h"
#include "core/readback/readbackrules.h"
#include "shellfixture.h"
#include "ui/exercise/exercisepage.h"
#include "ui/help/helpengine.h"
#include "ui/progress/historystore.h"
#include "ui/progress/tprogressform.h"

namespace {

class KeyboardTest : public ShownMainFormTest {
protected:
    void SetUp() override {
        ShownMainFormTest::SetUp();
        store = std::make_unique<HistoryStore>(dir.path());
        form->setHistory(store.get());
        options().SetFlag(flag::WaitForEnter, true);
        DescriptionErrors errors;
        ParseDescriptions({"b=b"}, {"Samo b=b"}, form->session().liveDescriptions(), errors);
        form->session().activeRules() = readback::defaultRules();
        answer = form->findChild<QLineEdit*>(QStringLiteral("EdOdgovor1"));
        napredek = form->findChild<QPushButton*>(QStringLiteral("BtnNapredek"));
        form->showPage(TMainForm::PageExercise);
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        // The main window's first showing ends when it has its frame (and
        // takes the keyboard): that is over before a test begins.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return form->findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly).isEmpty(); }));
    }
    void TearDown() override {
        HelpEngine::instance().quit();
        form.reset();  // the window goes before the history it shows
        ShownMainFormTest::TearDown();
    }

    // Clicks a button of the main window as the mouse does: the button takes
    // the focus and the window it opens comes up.
    void clickButton(QPushButton* button) {
        button->setFocus(Qt::MouseFocusReason);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // The next keys, typed wherever the keyboard is now.
    void typeHere(const char* keys) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClicks(target, QString::fromLatin1(keys));
    }
    void waitUntilActive(QWidget* window) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == window; }));
    }

    QTemporaryDir dir;
    std::unique_ptr<HistoryStore> store;
    QLineEdit* answer = nullptr;
    QPushButton* napredek = nullptr;
};

// "Napredek" opened with the mouse during a drill and closed with Esc, and
// the help window opened with "Pomoč" and closed: the next letters are the
// answer's, not the button's (where Space would open the window again).
TEST_F(KeyboardTest, AWindowClosedDuringADrillGivesTheKeysBackToTheAnswer) {
    form->exercisePage()->StartTask(1);
    for (const bool help : {false, true}) {
        SCOPED_TRACE(help ? "Pomoč" : "Napredek");
        answer->clear();
        clickButton(help ? form->findChild<QPushButton*>(QStringLiteral("HelpBtn")) : napredek);
        QWidget* window = help ? static_cast<QWidget*>(HelpEngine::instance().secondaryWindow())
                               : static_cast<QWidget*>(form->progressForm());
        ASSERT_NE(window, nullptr);
        waitUntilActive(window);
        if (help)
            window->close();
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        waitUntilActive(form.get());
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == answer; }));
        typeHere("bb");
        EXPECT_EQ(answer->text(), QStringLiteral("bb"));
    }
}

// Without a drill, or with another page in front, a closed window leaves the
// keyboard and the page where they were.
TEST_F(KeyboardTest, WithoutADrillOnThePageInFrontTheKeyboardStaysWhereItWas) {
    for (const bool running : {false, true}) {
        SCOPED_TRACE(running ? "a drill on another page" : "no drill");
        form->exercisePage()->StartTask(running ? 1 : 0);
        const int page = running ? TMainForm::PageConversion : TMainForm::PageExercise;
        form->showPage(page);
        clickButton(napredek);
        waitUntilActive(form->progressForm());
        form->progressForm()->close();
        QCoreApplication::processEvents();
        EXPECT_EQ(form->currentPage(), page);
        EXPECT_EQ(form->focusWidget(), napredek);
    }
}

}  // namespace
