#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/shellfixture.h"
#include "core/exercise/descriptionsparser.h"
#include "core/exercise/trainersession.h"
#include "core/readback/readbackrules.h"
#include "ui/exercise/exercisepage.h"
#include "ui/progress/historystore.h"
#include "ui/progress/tprogressform.h"
#include "ui_tprogressform.h"

namespace {

class ProgressWiringTest : public ShownMainFormTest {};

// A learner misreads b once, opens "Napredek" and drills the weak letters:
// every judged answer is in the history, and the drill runs on "Naloge".
TEST_F(ProgressWiringTest, AnswersAreRecordedAndTheDrillRunsOnTheExercisePage) {
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    form->setHistory(&store);
    options().SetFlag(flag::WaitForEnter, false);
    DescriptionErrors errors;
    ParseDescriptions({"b=b"}, {"Samo b=b"}, form->session().liveDescriptions(), errors);
    form->session().activeRules() = readback::defaultRules();
    ExercisePage* page = form->exercisePage();
    page->StartTask(1);
    auto* answer = page->findChild<QLineEdit*>(QStringLiteral("EdOdgovor1"));
    QTest::keyClicks(answer, QStringLiteral("d"));
    QTest::keyClicks(answer, QStringLiteral("b"));
    ASSERT_EQ(boxes.size(), 1u);  // the right answer after the wrong one

    EXPECT_EQ(store.answerCount(), 2);
    const auto letters = store.letterHistory();
    ASSERT_EQ(letters.size(), 1u);
    EXPECT_EQ(letters[0].letter, 'b');
    EXPECT_EQ(letters[0].wrong, 1);
    const auto confusions = store.confusions(5);
    ASSERT_EQ(confusions.size(), 1u);
    EXPECT_EQ(confusions[0].typed, "d");

    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("BtnNapredek")), Qt::LeftButton);
    ASSERT_NE(form->progressForm(), nullptr);
    EXPECT_TRUE(form->progressForm()->isVisible());
    QTest::mouseClick(form->progressForm()->form().BtnVadi, Qt::LeftButton);
    EXPECT_EQ(form->currentPage(), TMainForm::PageExercise);
    EXPECT_EQ(page->taskName(), QStringLiteral("Šibke črke"));
    EXPECT_EQ(page->state().item.letters, "b");
    QTest::keyClicks(answer, QStringLiteral("b"));
    EXPECT_EQ(store.answerCount(), 3);
    EXPECT_EQ(page->state().answers, 1);

    // A task of the menu ends the drill.
    page->StartTask(1);
    EXPECT_EQ(page->taskName(), QStringLiteral("Samo b"));
    form.reset();  // the window goes before the history it shows
}

}  // namespace
