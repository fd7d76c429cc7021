#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/tmainform.h"
#include "core/exercise/descriptionsparser.h"
#include "core/exercise/random.h"
#include "core/exercise/tickclock.h"
#include "core/exercise/trainersession.h"
#include "core/readback/readbackrules.h"
#include "core/settings/memorybackend.h"
#include "core/settings/options.h"
#include "core/transcription/convertdata.h"
#include "ui/exercise/exercisepage.h"
#include "ui/help/helpcontext.h"
#include "ui/help/helpengine.h"
#include "ui/widgets/messages.h"

namespace {

// Tasks whose items are known in advance: "B" always draws b (read "b"),
// "Q" draws q, read "k w" (with a blank); "Nic" draws x, read as nothing.
const std::vector<std::string> kGroups = {"b=b", "q=q", "x=x", "ena=a"};
const std::vector<std::string> kTasks = {"B=b", "Q=q", "Nic=x", "R&D=ena+ena;1!2", "Dve=b+q"};
enum Task { TaskB = 1, TaskQ, TaskNic, TaskImpossible, TaskTwo };

class ExercisePageTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        m_options = std::make_unique<TOptions>(m_backend);
        installOptions(m_options.get());
        messages::setResponder([this](const messages::Request& request) {
            boxes.push_back(request);
            if (onBox)
                onBox();
            return 0;
        });
        tickclock::setSource([this] { return now; });
        m_options->SetFlag(flag::WaitForEnter, false);
        // Not a first start: the window opens on the exercise page.
        m_options->SetFirstTime(false);
        m_options->SetActivePage(TMainForm::PageExercise);

        form = std::make_unique<TMainForm>();
        // The window seeds the random source from the clock while it starts.
        random_source::setSeed(1);
        DescriptionErrors errors;
        ParseDescriptions(kGroups, kTasks, form->session().liveDescriptions(), errors);
        ASSERT_TRUE(errors.empty());
        form->session().activeRules() = readback::defaultRules();
        form->session().activeRules()['q'] = "k w";
        form->session().activeRules()['x'] = "";
        page = form->exercisePage();
        page->resetExercise();
        page->StartTask(0);
        form->show();
    }
    void TearDown() override {
        form.reset();
        tickclock::setSource({});
        messages::setResponder({});
        installOptions(nullptr);
        m_options.reset();
        QLocale::setDefault(QLocale::system());
    }

    template <class T>
    T* child(const char* name) {
        T* widget = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* answer() { return child<QLineEdit>("EdOdgovor1"); }
    QString text(const char* label) { return child<QLabel>(label)->text(); }
    void type(const QString& keys) { QTest::keyClicks(answer(), keys); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(answer(), key, modifiers);
    }
    void setWaitForEnter(bool on) { m_options->SetFlag(flag::WaitForEnter, on); }
    const ExerciseState& state() { return page->state(); }

    std::uint32_t now = 1000;
    std::vector<messages::Request> boxes;
    std::function<void()> onBox;
    std::unique_ptr<TMainForm> form;
    ExercisePage* page = nullptr;

private:
    MemoryBackend m_backend;
    std::unique_ptr<TOptions> m_options;
};

TEST_F(ExercisePageTest, JudgesAsSoonAsTheAnswerIsAsLongAsExpected) {
    page->StartTask(TaskB);
    EXPECT_EQ(text("NaslovVaje1"), QStringLiteral("B"));
    type(QStringLiteral("c"));  // wrong first letter of a one-letter answer
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Napaka"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Pravilni odgovor je: „b“."));
    EXPECT_EQ(boxes[0].icon, messages::Icon::Warning);
    EXPECT_EQ(answer()->text(), QString());
    type(QStringLiteral("b"));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(state().answers, 2);
    EXPECT_EQ(state().correct, 1);
    type(QStringLiteral("B"));  // case matters
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(state().correct, 1);
}

TEST_F(ExercisePageTest, WithWaitForEnterOnlyEnterJudges) {
    setWaitForEnter(true);
    page->StartTask(TaskTwo);
    type(QStringLiteral("bk w"));
    EXPECT_EQ(state().answers, 0);
    EXPECT_EQ(answer()->text(), QStringLiteral("bk w"));
    press(Qt::Key_Return);
    EXPECT_EQ(state().answers, 1);
    EXPECT_EQ(state().correct, 1);
    // An empty answer is judged too, and is wrong.
    press(Qt::Key_Enter);
    EXPECT_EQ(state().answers, 2);
    EXPECT_EQ(state().correct, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Pravilni odgovor je: „bk w“."));
}

TEST_F(ExercisePageTest, TurningWaitForEnterOffJudgesACompleteAnswer) {
    auto* wait = child<QCheckBox>("CbWaitEnter");
    // No task: the flag is written, nothing is judged.
    page->setWaitForEnter(true);
    setWaitForEnter(true);
    wait->click();
    EXPECT_FALSE(Options().GetFlag(flag::WaitForEnter));
    EXPECT_EQ(state().answers, 0);
    wait->click();
    EXPECT_TRUE(Options().GetFlag(flag::WaitForEnter));

    page->StartTask(TaskB);
    type(QStringLiteral("b"));
    EXPECT_EQ(state().answers, 0);
    wait->click();
    EXPECT_FALSE(Options().GetFlag(flag::WaitForEnter));
    EXPECT_EQ(state().answers, 1);
    EXPECT_EQ(state().correct, 1);
}

TEST_F(ExercisePageTest, TimesCountFromTheFirstAnswerAndLeaveOutBoxesAndPauses) {
    page->StartTask(TaskB);
    now += 2000;
    type(QStringLiteral("b"));
    EXPECT_EQ(state().fastest, 2000);  // from the first answer, not from 0
    EXPECT_EQ(state().slowest, 2000);

    // The time the wrong-answer box stays open is not counted.
    onBox = [this] { now += 10000; };
    now += 700;
    type(QStringLiteral("c"));
    onBox = nullptr;
    EXPECT_EQ(state().slowest, 2000);
    EXPECT_EQ(state().fastest, 700);

    // Neither is a pause.
    now += 300;
    press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(state().paused);
    now += 50000;
    press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(state().paused);
    now += 200;
    type(QStringLiteral("b"));
    EXPECT_EQ(state().answers, 3);
    EXPECT_EQ(state().totalTime, 2000 + 700 + 500);
    EXPECT_EQ(state().fastest, 500);
    EXPECT_EQ(text("Najhitrejsi"), QStringLiteral("0.50 s"));
    EXPECT_EQ(text("Najpocasnejsi"), QStringLiteral("2.00 s"));
    EXPECT_EQ(text("Povprecje"), QStringLiteral("1.07 s"));
}

TEST_F(ExercisePageTest, ClockDifferencesWrapAround32Bits) {
    now = 0xFFFFFF00u;
    page->StartTask(TaskB);
    now += 0x200;  // wraps
    page->TimerTimer();
    EXPECT_EQ(text("TimeLabel"), QStringLiteral("0.5 s"));
    type(QStringLiteral("b"));
    EXPECT_EQ(state().slowest, 0x200);
}

TEST_F(ExercisePageTest, StatisticsWithTheLocalesDecimalSeparator) {
    page->StartTask(TaskB);
    EXPECT_EQ(text("StVaj"), QStringLiteral("0"));
    EXPECT_EQ(text("Pravilni"), QStringLiteral("0 (0.0 %)"));
    EXPECT_EQ(text("Povprecje"), QStringLiteral("0.00 s"));
    type(QStringLiteral("b"));
    type(QStringLiteral("b"));
    type(QStringLiteral("c"));
    EXPECT_EQ(text("StVaj"), QStringLiteral("3"));
    EXPECT_EQ(text("Pravilni"), QStringLiteral("2 (66.7 %)"));
    EXPECT_EQ(text("Napacni"), QStringLiteral("1 (33.3 %)"));

    QLocale::setDefault(QLocale(QLocale::Slovenian, QLocale::Slovenia));
    page->ShowStatistics();
    EXPECT_EQ(text("Pravilni"), QStringLiteral("2 (66,7 %)"));
    EXPECT_EQ(text("Napacni"), QStringLiteral("1 (33,3 %)"));
    now += 1234;
    page->TimerTimer();
    EXPECT_EQ(text("TimeLabel"), QStringLiteral("1,2 s"));
}

TEST_F(ExercisePageTest, RandomizeReplacesTheItemAndKeepsTheStatistics) {
    page->StartTask(TaskB);
    type(QStringLiteral("b"));
    now += 5000;
    const std::uint32_t before = random_source::seed();
    child<QPushButton>("Randomize1Btn")->click();
    EXPECT_NE(random_source::seed(), before);
    EXPECT_EQ(state().answers, 1);
    EXPECT_EQ(state().itemTime, 0);
    now += 100;
    type(QStringLiteral("b"));  // the abandoned item's 5 s are not counted
    EXPECT_EQ(state().slowest, 100);
    EXPECT_EQ(state().answers, 2);
}

TEST_F(ExercisePageTest, EndingKeepsTheStatisticsAndANewTaskZeroesThem) {
    page->StartTask(TaskB);
    type(QStringLiteral("b"));
    type(QStringLiteral("c"));
    auto* konec = child<QPushButton>("KonecBtn");
    auto* premor = child<QCheckBox>("CbPremor1");
    EXPECT_TRUE(konec->isEnabled());
    konec->click();
    EXPECT_EQ(state().taskNumber, 0);
    EXPECT_FALSE(konec->isEnabled());
    EXPECT_FALSE(premor->isEnabled());
    EXPECT_EQ(text("StVaj"), QStringLiteral("2"));
    EXPECT_EQ(text("NaslovVaje1"), QString());
    EXPECT_EQ(text("TengwarLabel1"), QString());
    EXPECT_EQ(text("TimeLabel"), QString());
    type(QStringLiteral("abc"));  // no task: keys are discarded
    EXPECT_EQ(answer()->text(), QString());

    page->StartTask(TaskB);
    EXPECT_EQ(state().answers, 0);
    EXPECT_EQ(text("StVaj"), QStringLiteral("0"));
}

TEST_F(ExercisePageTest, SpaceTypesABlankOnlyWhenTheAnswerNeedsOne) {
    setWaitForEnter(true);
    page->StartTask(TaskB);
    press(Qt::Key_Space);
    EXPECT_TRUE(state().paused);
    EXPECT_TRUE(answer()->isReadOnly());
    EXPECT_TRUE(child<QCheckBox>("CbPremor1")->isChecked());
    press(Qt::Key_Space);
    EXPECT_FALSE(state().paused);
    EXPECT_EQ(answer()->text(), QString());

    page->StartTask(TaskQ);
    type(QStringLiteral("k w"));
    EXPECT_EQ(answer()->text(), QStringLiteral("k w"));
    EXPECT_FALSE(state().paused);
    press(Qt::Key_P, Qt::ControlModifier);  // Ctrl+P still pauses
    EXPECT_TRUE(state().paused);
    EXPECT_EQ(answer()->text(), QStringLiteral("k w"));
}

TEST_F(ExercisePageTest, KeysDuringAPause) {
    setWaitForEnter(true);
    page->StartTask(TaskB);
    press(Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(state().paused);
    // Ctrl pressed alone is only the start of Ctrl+P: the pause stays, and
    // Ctrl+P then ends it.
    press(Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(state().paused);
    press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(state().paused);
    // Any other key ends the pause and types.
    press(Qt::Key_P, Qt::ControlModifier);
    type(QStringLiteral("b"));
    EXPECT_FALSE(state().paused);
    EXPECT_EQ(answer()->text(), QStringLiteral("b"));
    // Enter judges even while paused, and the next item is not paused.
    press(Qt::Key_P, Qt::ControlModifier);
    press(Qt::Key_Return);
    EXPECT_EQ(state().answers, 1);
    EXPECT_EQ(state().correct, 1);
    EXPECT_FALSE(state().paused);
    EXPECT_FALSE(answer()->isReadOnly());
    // A click on the box pauses too.
    child<QCheckBox>("CbPremor1")->click();
    EXPECT_TRUE(state().paused);
}

TEST_F(ExercisePageTest, AnEmptyExpectedAnswerIsJudgedOnlyOnInput) {
    page->StartTask(TaskNic);
    EXPECT_EQ(state().answers, 0);  // emptying the field is no answer
    press(Qt::Key_Return);
    EXPECT_EQ(state().answers, 1);
    EXPECT_EQ(state().correct, 1);
    type(QStringLiteral("x"));
    EXPECT_EQ(state().answers, 1);
    // Emptying the field for the next item judges nothing either.
    press(Qt::Key_Return);
    EXPECT_EQ(state().answers, 2);
    EXPECT_EQ(state().correct, 1);
}

TEST_F(ExercisePageTest, TaskMenuListsTasksLiterallyAndStartsTheChosenOne) {
    auto* button = child<QPushButton>("Restart1Btn");
    EXPECT_TRUE(button->isEnabled());
    QMenu* menu = page->nalogePopup();
    QTest::mousePress(button, Qt::RightButton);
    EXPECT_FALSE(menu->isVisible());
    QTest::mousePress(button, Qt::LeftButton);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
    const QList<QAction*> items = menu->actions();
    // The five tasks, then below a separator the three drills of real words.
    ASSERT_EQ(items.size(), 9);
    EXPECT_TRUE(items[5]->isSeparator());
    EXPECT_EQ(items[3]->text(), QStringLiteral("R&&D"));  // shown as "R&D"
    items[1]->trigger();
    menu->hide();
    EXPECT_EQ(state().taskNumber, TaskQ);
    EXPECT_EQ(text("NaslovVaje1"), QStringLiteral("Q"));
    QTest::mouseRelease(button, Qt::LeftButton);
}

// A drill typed start to end while the page's boxes and "Randomize" are
// clicked: after every click the keys still reach the answer field.
TEST_F(ExercisePageTest, ClicksOnThePageLeaveTheKeyboardWithTheAnswer) {
    setWaitForEnter(true);
    page->setWaitForEnter(true);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    page->StartTask(TaskB);
    ASSERT_TRUE(answer()->hasFocus());
    QSignalSpy zoom(page, &ExercisePage::zoomToggled);
    const auto click = [this](const char* name) {
        QWidget* control = page->findChild<QWidget*>(QString::fromLatin1(name));
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, control->height() / 2));
        EXPECT_EQ(QApplication::focusWidget(), answer()) << name;
    };
    const auto keys = [](const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); };
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = {}) {
        QTest::keyClick(QApplication::focusWidget(), k, m);
    };

    click("CbZoomWin");
    EXPECT_EQ(zoom.size(), 1);
    keys(QStringLiteral("b"));
    key(Qt::Key_Return);
    EXPECT_EQ(state().answers, 1);

    click("CbWaitEnter");  // off: the answer is judged as soon as it is whole
    keys(QStringLiteral("b"));
    EXPECT_EQ(state().answers, 2);
    click("CbWaitEnter");

    click("CbPremor1");
    EXPECT_TRUE(state().paused);
    key(Qt::Key_Space);
    EXPECT_FALSE(state().paused);
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(state().paused);
    click("CbPremor1");
    EXPECT_FALSE(state().paused);

    click("Randomize1Btn");
    keys(QStringLiteral("b"));
    key(Qt::Key_Return);
    EXPECT_EQ(state().answers, 3);
    EXPECT_EQ(state().correct, 3);

    // Reached with Tab, a box keeps the keyboard: Space toggles it.
    auto* pause = child<QCheckBox>("CbPremor1");
    pause->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Space);
    EXPECT_TRUE(state().paused);
    EXPECT_TRUE(pause->hasFocus());
}

// "Nova naloga" opens its menu from the keyboard, with the first task ready
// to be chosen.
TEST_F(ExercisePageTest, NewTaskOpensItsMenuFromTheKeyboard) {
    auto* button = child<QPushButton>("Restart1Btn");
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QMenu* menu = page->nalogePopup();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool opens;
    } cases[] = {{Qt::Key_Space, {}, true},
                 {Qt::Key_Return, {}, true},
                 {Qt::Key_Enter, Qt::KeypadModifier, true},
                 {Qt::Key_Down, Qt::AltModifier, true},
                 {Qt::Key_Down, {}, false},
                 {Qt::Key_A, {}, false}};
    for (const auto& each : cases) {
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, each.key, each.modifiers);
        EXPECT_EQ(menu->isVisible(), each.opens) << each.key;
        if (each.opens) {
            ASSERT_NE(menu->activeAction(), nullptr);
            EXPECT_EQ(menu->activeAction(), menu->actions().constFirst());
        }
        menu->hide();
    }
    // Chosen from the keyboard, the first task starts.
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Space);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(state().taskNumber, TaskB);
}

TEST_F(ExercisePageTest, OtherPressesOnNewTaskAskForItsHelp) {
    auto* button = child<QPushButton>("Restart1Btn");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QSignalSpy shown(&HelpEngine::instance(), &HelpEngine::popupShown);
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, button->mapTo(form.get(), QPoint(10, 10)));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.constLast().at(0).toInt(), 1521);
    EXPECT_FALSE(page->nalogePopup()->isVisible());
    HelpEngine::instance().quit();
}

TEST_F(ExercisePageTest, ATaskWithoutItemsShowsTheFailureAndStops) {
    page->StartTask(TaskB);
    type(QStringLiteral("b"));
    page->StartTask(TaskImpossible);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(boxes[0].text,
              QStringLiteral("Ne morem najti primernega niza za vajo R&D.  Verjetno ste postavili "
                             "prehude omejitve."));
    EXPECT_EQ(boxes[0].icon, messages::Icon::Error);
    EXPECT_TRUE(boxes[0].hasHelp);
    EXPECT_EQ(boxes[0].helpContext, 0);
    EXPECT_EQ(state().taskNumber, 0);
    EXPECT_FALSE(child<QPushButton>("KonecBtn")->isEnabled());
    EXPECT_EQ(text("NaslovVaje1"), QString());
}

TEST_F(ExercisePageTest, ItemShownInFullOnThePage) {
    // Two letters b + q: "b" and "k w".
    page->StartTask(TaskTwo);
    EXPECT_EQ(state().item.letters, "bq");
    EXPECT_EQ(state().item.answer, "bk w");
    EXPECT_FALSE(text("TengwarLabel1").isEmpty());
    EXPECT_EQ(text("TengwarLabel1"), QString::fromLatin1(state().item.tengwar.c_str()));
}

// What the zoom and progress windows follow: the item shown, the answer as
// typed, and each judged answer with its time, told before the right answer
// is shown; a running task brings its page to the front.
TEST_F(ExercisePageTest, ObserversHearTheItemTheTypingAndEveryJudgement) {
    QSignalSpy items(page, &ExercisePage::itemTextChanged);
    QSignalSpy typing(page, &ExercisePage::answerTextChanged);
    QSignalSpy judged(page, &ExercisePage::answerJudged);
    page->StartTask(TaskTwo);
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(items.last().at(0).toString(), text("TengwarLabel1"));
    EXPECT_FALSE(text("TengwarLabel1").isEmpty());

    now += 1500;
    int judgedAtBox = -1;
    onBox = [&] { judgedAtBox = static_cast<int>(judged.count()); };
    type(QStringLiteral("bkww"));
    onBox = nullptr;
    EXPECT_EQ(judgedAtBox, 1);
    ASSERT_EQ(judged.count(), 1);
    const QList<QVariant> wrong = judged.takeFirst();
    EXPECT_EQ(wrong.at(0).toString(), QStringLiteral("bq"));
    EXPECT_EQ(wrong.at(1).toString(), QStringLiteral("bk w"));
    EXPECT_EQ(wrong.at(2).toString(), QStringLiteral("bkww"));
    EXPECT_FALSE(wrong.at(3).toBool());
    EXPECT_EQ(wrong.at(4).toInt(), 1500);
    ASSERT_GE(typing.count(), 4);
    EXPECT_EQ(typing.at(3).at(0).toString(), QStringLiteral("bkww"));

    now += 250;
    type(QStringLiteral("bk w"));
    ASSERT_EQ(judged.count(), 1);
    EXPECT_TRUE(judged.at(0).at(3).toBool());
    EXPECT_EQ(judged.at(0).at(4).toInt(), 250);

    form->showPage(TMainForm::PageRules);
    page->FocusExercise();
    EXPECT_EQ(form->currentPage(), TMainForm::PageExercise);
}

TEST_F(ExercisePageTest, EveryControlCarriesItsHelpContext) {
    const std::pair<const char*, int> contexts[] = {
        {"NaslovVaje1", 1501},   {"TengwarLabel1", 1502}, {"VprasanjeLabel", 1503}, {"EdOdgovor1", 1503},
        {"TimeLabel", 1504},     {"CbZoomWin", 1505},     {"CbPremor1", 1506},      {"StatistikaPanel", 1510},
        {"LbStVaj", 1511},       {"StVaj", 1511},         {"Napacni", 1513},        {"Najpocasnejsi", 1516},
        {"Randomize1Btn", 1520}, {"Restart1Btn", 1521},   {"KonecBtn", 1522},       {"CbWaitEnter", 1531}};
    for (const auto& [name, context] : contexts) {
        EXPECT_EQ(helpContext(child<QWidget>(name)), context) << name;
    }
    EXPECT_EQ(helpContext(page), 9701);
}

}  // namespace
