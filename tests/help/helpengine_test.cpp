#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

#include "ui/help/helpengine.h"
#include "ui/help/helppopup.h"
#include "ui/help/helpwindow.h"

namespace {

constexpr int kNoSuchTopic = 4242;

class HelpEngineTest : public ::testing::Test {
protected:
    void TearDown() override { engine().quit(); }
    static HelpEngine& engine() { return HelpEngine::instance(); }
};

TEST_F(HelpEngineTest, PopupShowsTheTopicNearThePoint) {
    QSignalSpy shown(&engine(), &HelpEngine::popupShown);
    engine().showPopup(1101, QPoint(100, 120));
    ASSERT_TRUE(engine().isPopupVisible());
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(engine().lastPopupContext(), 1101);
    HelpPopup* popup = engine().popup();
    EXPECT_EQ(popup->context(), 1101);
    EXPECT_TRUE(popup->plainText().startsWith(QStringLiteral("th -> T\n")))
        << popup->plainText().toStdString();
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::Popup));
    // Just below and right of the pointer, not over it.
    const QRect frame = popup->geometry();
    EXPECT_GT(frame.left(), 100);
    EXPECT_GT(frame.top(), 120);
    EXPECT_LT(frame.left(), 120);
    EXPECT_LT(frame.top(), 140);
}

TEST_F(HelpEngineTest, PopupStaysOnTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    engine().showPopup(9702, area.bottomRight());
    const QRect frame = engine().popup()->frameGeometry();
    EXPECT_TRUE(area.contains(frame))
        << area.width() << "x" << area.height() << " " << engine().popup()->geometry().x() << " " << frame.x()
        << "," << frame.y() << " " << frame.width() << "x" << frame.height();
}

TEST_F(HelpEngineTest, MissingTopicShowsTheShortNote) {
    engine().showPopup(kNoSuchTopic, QPoint(10, 10));
    ASSERT_TRUE(engine().isPopupVisible());
    EXPECT_EQ(engine().lastPopupContext(), kNoSuchTopic);
    EXPECT_EQ(engine().popup()->plainText(), QStringLiteral("Za to temo ni pomoči."));

    engine().jumpContext(0);
    ASSERT_TRUE(engine().isWindowVisible());
    EXPECT_EQ(engine().secondaryWindow()->plainText(), QStringLiteral("Za to temo ni pomoči."));
}

TEST_F(HelpEngineTest, PopupClosesOnClickOrKey) {
    QWidget other;
    other.resize(200, 200);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));

    struct Closer {
        const char* how;
        std::function<void(HelpPopup*)> act;
    };
    const Closer closers[] = {
        {"left click inside", [](HelpPopup* p) { QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(5, 5)); }},
        {"right click inside", [](HelpPopup* p) { QTest::mouseClick(p, Qt::RightButton, {}, QPoint(5, 5)); }},
        {"letter key", [](HelpPopup* p) { QTest::keyClick(p, Qt::Key_A); }},
        {"Escape", [](HelpPopup* p) { QTest::keyClick(p, Qt::Key_Escape); }},
        {"key typed while another window has the focus",
         [&other](HelpPopup*) { QTest::keyClick(other.windowHandle(), Qt::Key_B); }},
        {"click in another window",
         [&other](HelpPopup*) {
             QTest::mouseClick(other.windowHandle(), Qt::LeftButton, {}, QPoint(150, 150));
         }},
    };
    for (const Closer& closer : closers) {
        engine().showPopup(1102, QPoint(10, 10));
        ASSERT_TRUE(engine().isPopupVisible()) << closer.how;
        closer.act(engine().popup());
        EXPECT_FALSE(engine().isPopupVisible()) << closer.how;
    }
}

TEST_F(HelpEngineTest, SecondaryWindowOpensClosesAndFollowsLinks) {
    QSignalSpy shown(&engine(), &HelpEngine::windowShown);
    engine().jumpContext(kFirstStartHelpTopic);
    ASSERT_TRUE(engine().isWindowVisible());
    HelpWindow* sec = engine().secondaryWindow();
    EXPECT_EQ(sec->objectName(), QStringLiteral("sec"));
    EXPECT_EQ(engine().lastWindowContext(), 9805);
    EXPECT_EQ(sec->context(), 9805);
    EXPECT_FALSE(sec->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_FALSE(sec->plainText().contains(QStringLiteral("Za to temo ni pomoči.")));

    // A topic opens at its top, also after a long one was scrolled to its end.
    QScrollBar* scroll = sec->browser()->verticalScrollBar();
    sec->resize(300, 150);
    engine().jumpContext(9805);
    ASSERT_GT(scroll->maximum(), 0);
    EXPECT_EQ(scroll->value(), 0);
    scroll->setValue(scroll->maximum());
    engine().jumpContext(9802);
    EXPECT_EQ(scroll->value(), 0);
    // The text cursor is at the top too, so that focus does not scroll the window down to it.
    EXPECT_EQ(sec->browser()->textCursor().position(), 0);

    // Another topic goes into the same window.
    engine().jumpContext(9802);
    EXPECT_EQ(engine().secondaryWindow(), sec);
    EXPECT_EQ(sec->context(), 9802);
    EXPECT_EQ(shown.count(), 4);

    // A link "[...](#1140)" opens its topic there.
    emit sec->browser()->anchorClicked(QUrl(QStringLiteral("#1140")));
    EXPECT_EQ(sec->context(), 1140);

    // Only "sec" exists: other names do nothing.
    engine().closeWindow(QStringLiteral("main"));
    EXPECT_TRUE(engine().isWindowVisible());
    engine().closeWindow(QStringLiteral("sec"));
    EXPECT_FALSE(engine().isWindowVisible());
}

// After a link, the way back and forward again: by the buttons, by
// Alt+Left and Alt+Right, and by the mouse's side buttons.
TEST_F(HelpEngineTest, SecondaryWindowGoesBackAndForward) {
    engine().jumpContext(9801);
    HelpWindow* sec = engine().secondaryWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sec));
    auto* back = sec->findChild<QToolButton*>(QStringLiteral("BtnNazaj"));
    auto* forward = sec->findChild<QToolButton*>(QStringLiteral("BtnNaprej"));
    ASSERT_TRUE(back != nullptr && forward != nullptr);
    EXPECT_TRUE(back->toolTip().startsWith(QStringLiteral("Nazaj")));
    EXPECT_TRUE(forward->toolTip().startsWith(QStringLiteral("Naprej")));
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());

    emit sec->browser()->anchorClicked(QUrl(QStringLiteral("#1140")));
    emit sec->browser()->anchorClicked(QUrl(QStringLiteral("#9802")));
    ASSERT_EQ(sec->context(), 9802);
    const auto mouse = [sec](Qt::MouseButton button) {
        QTest::mouseClick(sec->browser()->viewport(), button, {}, QPoint(20, 20));
    };
    const auto key = [sec](Qt::Key k) { QTest::keyClick(sec->browser(), k, Qt::AltModifier); };
    const struct {
        std::function<void()> step;
        int context;
        bool canGoBack;
        bool canGoForward;
    } steps[] = {
        {[&] { back->click(); }, 1140, true, true},
        {[&] { key(Qt::Key_Left); }, 9801, false, true},
        {[&] { key(Qt::Key_Left); }, 9801, false, true},  // nothing before the first
        {[&] { forward->click(); }, 1140, true, true},
        {[&] { key(Qt::Key_Right); }, 9802, true, false},
        {[&] { mouse(Qt::BackButton); }, 1140, true, true},
        {[&] { mouse(Qt::ForwardButton); }, 9802, true, false},
        {[&] { mouse(Qt::BackButton); }, 1140, true, true},
        // A new topic from there drops the way forward.
        {[&] { engine().jumpContext(9803); }, 9803, true, false},
        {[&] { back->click(); }, 1140, true, true},
    };
    for (std::size_t k = 0; k < std::size(steps); ++k) {
        steps[k].step();
        EXPECT_EQ(sec->context(), steps[k].context) << k;
        EXPECT_EQ(back->isEnabled(), steps[k].canGoBack) << k;
        EXPECT_EQ(forward->isEnabled(), steps[k].canGoForward) << k;
        EXPECT_FALSE(sec->plainText().isEmpty()) << k;
    }
}

TEST_F(HelpEngineTest, QuitClosesEverything) {
    engine().jumpContext(9801);
    engine().showPopup(9801, QPoint(10, 10));
    QPointer<HelpWindow> sec = engine().secondaryWindow();
    QPointer<HelpPopup> popup = engine().popup();
    engine().quit();
    EXPECT_TRUE(sec.isNull());
    EXPECT_TRUE(popup.isNull());
    EXPECT_FALSE(engine().isPopupVisible());
    EXPECT_FALSE(engine().isWindowVisible());
    // Help still works afterwards.
    engine().showPopup(9801, QPoint(10, 10));
    EXPECT_TRUE(engine().isPopupVisible());
}

TEST_F(HelpEngineTest, PopupOfAWindowGoesWithIt) {
    auto* owner = new QWidget;
    owner->show();
    engine().showPopup(9713, QPoint(10, 10), owner);
    QPointer<HelpPopup> popup = engine().popup();
    ASSERT_FALSE(popup.isNull());
    delete owner;
    EXPECT_TRUE(popup.isNull());
    EXPECT_FALSE(engine().isPopupVisible());

    // Asked next from a control of another window, it belongs to that window:
    // closing the first leaves it be.
    auto* first = new QWidget;
    QWidget second;
    auto* control = new QWidget(&second);
    first->show();
    second.show();
    engine().showPopup(9713, QPoint(10, 10), first);
    engine().showPopup(9713, QPoint(10, 10), control);
    delete first;
    ASSERT_TRUE(engine().isPopupVisible());
    EXPECT_EQ(engine().popup()->parentWidget(), &second);
}

}  // namespace

TEST(HelpWindowPlacement, GoesBesideTheWindowWhereTheScreenAllows) {
    const QRect screen(0, 0, 1280, 1024);
    const QSize help(462, 445);
    struct Case {
        QRect anchor;
        QPoint expected;
    };
    const Case cases[] = {
        {QRect(62, 365, 533, 298), QPoint(603, 365)},   // room on the right
        {QRect(800, 100, 533, 298), QPoint(330, 100)},  // only on the left
        {QRect(300, 900, 700, 100), QPoint(0, 579)},    // no room beside: the wider side, on the screen
        {QRect(-40, -30, 533, 298), QPoint(501, 0)},    // an anchor partly off the screen
    };
    for (const Case& c : cases) {
        const QPoint place = placeBeside(c.anchor, help, screen);
        EXPECT_EQ(place, c.expected) << c.anchor.x() << "," << c.anchor.y();
        EXPECT_TRUE(screen.contains(QRect(place, help)));
    }
}
