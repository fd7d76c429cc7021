#include "ui/help/aboutpage.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "../app/shellfixture.h"
#include "app/tmainform.h"
#include "ui/help/helpengine.h"
#include "ui/help/teastereggform.h"

namespace {

const QString kPhrase = QStringLiteral("Ostrel-bere-tengwar-in-jih-prepise-v-latinico!!");
constexpr Qt::KeyboardModifiers kAllThree = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

struct TriggerCase {
    Qt::MouseButton button;
    Qt::MouseButtons held;  // including the pressed one
    Qt::KeyboardModifiers modifiers;
    bool trigger;
};

TEST(AboutIcon, TriggerNeedsAllThreeKeysAndBothMainButtons) {
    const TriggerCase cases[] = {
        {Qt::LeftButton, Qt::LeftButton | Qt::RightButton, kAllThree, true},
        {Qt::RightButton, Qt::LeftButton | Qt::RightButton, kAllThree, true},
        {Qt::RightButton, Qt::LeftButton | Qt::RightButton | Qt::MiddleButton, kAllThree, true},
        {Qt::LeftButton, Qt::LeftButton, kAllThree, false},
        {Qt::RightButton, Qt::RightButton, kAllThree, false},
        {Qt::MiddleButton, Qt::LeftButton | Qt::RightButton | Qt::MiddleButton, kAllThree, false},
        {Qt::LeftButton, Qt::LeftButton | Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, false},
        {Qt::RightButton, Qt::LeftButton | Qt::RightButton, Qt::ControlModifier | Qt::AltModifier, false},
        {Qt::LeftButton, Qt::LeftButton | Qt::RightButton, Qt::NoModifier, false},
    };
    for (const TriggerCase& c : cases) {
        EXPECT_EQ(AboutIcon::isTrigger(c.button, c.held, c.modifiers), c.trigger)
            << int(c.button) << " " << int(c.held) << " " << int(c.modifiers);
    }
}

class AboutPageTest : public ShownMainFormTest {
protected:
    void SetUp() override {
        ShownMainFormTest::SetUp();
        form->showPage(TMainForm::PageAbout);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        icon = form->aboutPage()->findChild<AboutIcon*>(QStringLiteral("Image"));
        answer = form->findChild<QLineEdit*>(QStringLiteral("EdOdgovor1"));
        ASSERT_NE(icon, nullptr);
        ASSERT_NE(answer, nullptr);
    }
    void TearDown() override {
        HelpEngine::instance().quit();
        ShownMainFormTest::TearDown();
    }

    // A press on the icon through the application, as the window system
    // delivers it; returns whether the hidden window came up (it is closed),
    // and leaves the context of the popup it brought up in `popup` (0: none).
    bool press(Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
        HelpEngine::instance().quit();
        QSignalSpy shown(&HelpEngine::instance(), &HelpEngine::popupShown);
        const QPointF at(16, 16);
        QMouseEvent event(QEvent::MouseButtonPress, at, icon->mapToGlobal(at), button, held, modifiers);
        const bool egg = withModal<TEasterEggForm>([&] { QApplication::sendEvent(icon, &event); },
                                                   [](TEasterEggForm& window) {
                                                       EXPECT_GT(window.path().period(), 0);
                                                       window.reject();
                                                   });
        popup = shown.isEmpty() ? 0 : shown.constLast().at(0).toInt();
        return egg;
    }
    int lastPopup() const { return popup; }
    int popup = 0;

    AboutIcon* icon = nullptr;
    QLineEdit* answer = nullptr;
};

TEST_F(AboutPageTest, ThePhraseInTheAnswerFieldOpensTheHiddenWindow) {
    answer->setText(kPhrase);
    EXPECT_TRUE(press(Qt::RightButton, Qt::LeftButton | Qt::RightButton, kAllThree));
    EXPECT_EQ(lastPopup(), 0);
}

TEST_F(AboutPageTest, AWrongPhraseShowsOneOfTheTwoHelpPopups) {
    QString oneOff = kPhrase;
    oneOff[3] = QLatin1Char('X');
    for (const QString& text : {QString(), kPhrase.left(46), oneOff}) {
        answer->setText(text);
        EXPECT_FALSE(press(Qt::LeftButton, Qt::LeftButton | Qt::RightButton, kAllThree));
        EXPECT_TRUE(lastPopup() == 9998 || lastPopup() == 9999) << lastPopup();
    }
}

TEST_F(AboutPageTest, APlainRightPressGivesThePagesHelpAndTheKeysAloneNothing) {
    answer->setText(kPhrase);
    EXPECT_FALSE(press(Qt::RightButton, Qt::RightButton, Qt::NoModifier));
    EXPECT_EQ(lastPopup(), 9705);
    EXPECT_FALSE(press(Qt::RightButton, Qt::RightButton, kAllThree));
    EXPECT_EQ(lastPopup(), 0);
}

TEST(TEasterEggForm, GlidesLeftAndStartsAgainWithTextOnScreen) {
    TEasterEggForm egg;
    EXPECT_EQ(egg.size(), QSize(427, 247));
    EXPECT_EQ(egg.offset(), egg.startOffset());
    int steps = 0;
    int drawnMost = 0;
    do {
        egg.TimerTimer();
        if (steps % 40 == 0) {
            egg.grab();
            drawnMost = std::max(drawnMost, egg.groupsDrawn());
        }
        ++steps;
    } while (egg.offset() != egg.startOffset() && steps < 100000);
    EXPECT_EQ(steps, (egg.startOffset() - egg.endOffset()) / 5 + 1);
    EXPECT_GT(drawnMost, 5);
    EXPECT_LT(drawnMost, 116);
}

}  // namespace
