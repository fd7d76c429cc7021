#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWhatsThis>

#include <gtest/gtest.h>

#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/help/helpengine.h"
#include "ui/help/helppopup.h"
#include "ui/install/tfontpathdlg.h"

namespace {

// A window laid out like the program's: a statistics panel with a caption label in
// a small panel of its own, a page control with two pages, a text field, a check
// box that keeps right presses to itself, and a button.
class RoutedWindow : public QWidget {
public:
    explicit RoutedWindow(bool install = true) {
        setHelpContext(this, 9713);
        resize(560, 300);

        stats = new QFrame(this);
        stats->setGeometry(10, 10, 200, 100);
        setHelpContext(stats, 1510);
        avgPanel = new QFrame(stats);
        avgPanel->setGeometry(10, 10, 120, 30);
        setHelpContext(avgPanel, 1514);
        avgLabel = new QLabel(QStringLiteral("Povprečen čas:"), avgPanel);
        avgLabel->setGeometry(2, 2, 100, 20);

        pages = new QTabWidget(this);
        pages->setGeometry(220, 10, 320, 220);
        setHelpContext(pages, 9710);
        page0 = new QWidget;
        setHelpContext(page0, 9701);
        page1 = new QWidget;
        setHelpContext(page1, 9702);
        pages->addTab(page0, QStringLiteral("Naloge"));
        pages->addTab(page1, QStringLiteral("Pretvorba"));
        autoSave = new QCheckBox(QStringLiteral("Vedno shrani ob izhodu"), page0);
        autoSave->setGeometry(10, 10, 180, 20);
        setHelpContext(autoSave, 1210);
        setMouseHelp(autoSave, false);
        edit = new QLineEdit(page0);
        edit->setGeometry(10, 40, 100, 20);
        setHelpContext(edit, 1151);

        button = new QPushButton(QStringLiteral("Izhod"), this);
        button->setGeometry(10, 240, 75, 21);
        setHelpContext(button, 9711);

        noContext = new QLabel(QStringLiteral("x"), this);
        noContext->setGeometry(100, 240, 50, 20);

        if (install) {
            installContextHelp(this);
        }
    }

    // A point of the window at the centre of a control.
    QPoint at(const QWidget* control) const { return control->mapTo(this, control->rect().center()); }

    QFrame* stats;
    QFrame* avgPanel;
    QLabel* avgLabel;
    QTabWidget* pages;
    QWidget* page0;
    QWidget* page1;
    QCheckBox* autoSave;
    QLineEdit* edit;
    QPushButton* button;
    QLabel* noContext;
};

class ContextHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override {
        QWhatsThis::leaveWhatsThisMode();
        engine().quit();
    }
    static HelpEngine& engine() { return HelpEngine::instance(); }

    // Presses and releases a button through the window system, so that the press
    // reaches the control under the point as a user's would. Returns the context of
    // the popup it brought up, or 0 when none came up.
    int click(Qt::MouseButton mouseButton, const QPoint& windowPos) {
        engine().quit();
        QSignalSpy shown(&engine(), &HelpEngine::popupShown);
        QTest::mouseClick(window.windowHandle(), mouseButton, {}, windowPos);
        if (shown.isEmpty()) {
            return 0;
        }
        EXPECT_EQ(shown.count(), 1);
        EXPECT_TRUE(engine().isPopupVisible());
        return shown.constLast().at(0).toInt();
    }

    RoutedWindow window;
};

TEST_F(ContextHelpTest, RightPressShowsTheTopicOfWhatIsUnderThePointer) {
    struct Case {
        const char* where;
        QPoint pos;
        int expected;
    };
    const QPoint statsOrigin = window.stats->pos();
    const Case cases[] = {
        // The label has no context of its own: its panel's.
        {"caption label", window.at(window.avgLabel), 1514},
        {"small panel beside its label", statsOrigin + QPoint(10 + 115, 10 + 25), 1514},
        {"empty spot of the statistics panel", statsOrigin + QPoint(150, 80), 1510},
        {"page's empty area", window.page0->mapTo(&window, QPoint(250, 150)), 9701},
        {"tab row", window.pages->tabBar()->mapTo(&window, window.pages->tabBar()->tabRect(1).center()),
         9710},
        {"button", window.at(window.button), 9711},
        {"label without context on the window", window.at(window.noContext), 9713},
        {"window surface", QPoint(550, 290), 9713},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(click(Qt::RightButton, c.pos), c.expected) << c.where;
        EXPECT_EQ(engine().popup() != nullptr ? engine().popup()->context() : 0, c.expected) << c.where;
    }
    // The press showed help only: the shown page did not change.
    EXPECT_EQ(window.pages->currentIndex(), 0);
}

TEST_F(ContextHelpTest, DisabledControlStillShowsItsTopic) {
    // Help tells what a control is for, also while it cannot be used.
    window.button->setEnabled(false);
    EXPECT_EQ(click(Qt::RightButton, window.at(window.button)), 9711);
}

TEST_F(ContextHelpTest, ShownPageAnswersForItsArea) {
    window.pages->setCurrentIndex(1);
    EXPECT_EQ(click(Qt::RightButton, window.page1->mapTo(&window, QPoint(100, 100))), 9702);
}

TEST_F(ContextHelpTest, OtherButtonsNeverShowHelp) {
    const QPoint points[] = {window.at(window.avgLabel), window.at(window.stats),
                             window.page0->mapTo(&window, QPoint(250, 150)), window.at(window.button),
                             QPoint(550, 290)};
    QSignalSpy pressed(window.button, &QPushButton::clicked);
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::MiddleButton}) {
        for (const QPoint& p : points) {
            EXPECT_EQ(click(b, p), 0) << "button " << b << " at " << p.x() << "," << p.y();
        }
    }
    // The left click still did the button's own work.
    EXPECT_EQ(pressed.count(), 1);
}

TEST_F(ContextHelpTest, ControlsThatKeepTheirRightPressShowNothing) {
    // Neither the check box set aside nor the text field, nor the page behind them.
    EXPECT_EQ(click(Qt::RightButton, window.at(window.autoSave)), 0);
    EXPECT_EQ(click(Qt::RightButton, window.at(window.edit)), 0);
    // The text field showed its own menu instead.
    QWidget* menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    EXPECT_STREQ(menu->metaObject()->className(), "QMenu");
    menu->close();
    // Their help is still there for F1.
    EXPECT_EQ(controlHelpContext(window.edit), 1151);
    EXPECT_EQ(controlHelpContext(window.autoSave), 1210);
}

TEST_F(ContextHelpTest, WindowWithoutContextHelpShowsNothing) {
    RoutedWindow plain(false);
    plain.move(0, 0);
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
    QSignalSpy shown(&engine(), &HelpEngine::popupShown);
    QTest::mouseClick(plain.windowHandle(), Qt::RightButton, {}, plain.at(plain.button));
    QTest::keyClick(plain.button, Qt::Key_F1);
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(ContextHelpTest, RightPressOpensNoContextMenu) {
    // Without context help the platform's context-menu request reaches the control;
    // with it, the press shows help and nothing else.
    RoutedWindow plain(false);
    plain.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plain));
    for (RoutedWindow* w : {&plain, &window}) {
        w->button->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    QSignalSpy plainMenu(plain.button, &QWidget::customContextMenuRequested);
    QSignalSpy helpMenu(window.button, &QWidget::customContextMenuRequested);
    QTest::mouseClick(plain.windowHandle(), Qt::RightButton, {}, plain.at(plain.button));
    ASSERT_EQ(plainMenu.count(), 1);
    EXPECT_EQ(click(Qt::RightButton, window.at(window.button)), 9711);
    EXPECT_EQ(helpMenu.count(), 0);
}

TEST_F(ContextHelpTest, EveryNewPressCountsEvenWithTheSameTimeStamp) {
    // Synthetic events may all carry time stamp 0; a press after a release is a new
    // press, not the first one travelling on to a parent.
    QSignalSpy shown(&engine(), &HelpEngine::popupShown);
    const QPointF local(10, 10);
    const QPointF global = window.button->mapToGlobal(local);
    for (int i = 0; i < 2; ++i) {
        engine().quit();
        QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::RightButton, Qt::RightButton, {});
        QApplication::sendEvent(window.button, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::RightButton, {}, {});
        QApplication::sendEvent(window.button, &release);
    }
    ASSERT_EQ(shown.count(), 2);
    EXPECT_EQ(shown[1].at(0).toInt(), 9711);
}

TEST_F(ContextHelpTest, OneLevelChildSearch) {
    // The press point is in the pressed control's coordinates; only its direct
    // children are looked at, and only strictly inside.
    struct Case {
        const char* what;
        QWidget* control;
        QPoint pos;
        int expected;
    };
    const Case cases[] = {
        {"inside the small panel", window.stats, QPoint(50, 20), 1514},
        {"on the small panel's left edge", window.stats, QPoint(10, 20), 1510},
        {"on the small panel's top edge", window.stats, QPoint(50, 10), 1510},
        {"just inside its corner", window.stats, QPoint(11, 11), 1514},
        {"just past its right edge", window.stats, QPoint(130, 20), 1510},
        {"the label is two levels down", &window, window.stats->pos() + QPoint(15, 15), 1510},
        {"the label itself", window.avgPanel, QPoint(50, 10), 1514},
    };
    for (const Case& c : cases) {
        engine().quit();
        EXPECT_TRUE(ctlMouseDown(c.control, Qt::RightButton, c.pos, QPoint(0, 0))) << c.what;
        EXPECT_EQ(engine().lastPopupContext(), c.expected) << c.what;
    }
    // A hidden child is passed over.
    window.avgPanel->hide();
    EXPECT_TRUE(ctlMouseDown(window.stats, Qt::RightButton, QPoint(50, 20), QPoint(0, 0)));
    EXPECT_EQ(engine().lastPopupContext(), 1510);
    // Only the right button counts.
    engine().quit();
    EXPECT_FALSE(ctlMouseDown(window.stats, Qt::LeftButton, QPoint(50, 20), QPoint(0, 0)));
    EXPECT_FALSE(ctlMouseDown(window.stats, Qt::MiddleButton, QPoint(50, 20), QPoint(0, 0)));
    EXPECT_FALSE(engine().isPopupVisible());
}

TEST_F(ContextHelpTest, NoContextInTheChainShowsNothing) {
    QWidget bare;
    auto* label = new QLabel(QStringLiteral("bare"), &bare);
    installContextHelp(&bare);
    EXPECT_EQ(controlHelpContext(label), 0);
    EXPECT_FALSE(showControlHelp(label, QPoint(0, 0)));
    EXPECT_EQ(engine().popup(), nullptr);
}

TEST_F(ContextHelpTest, F1ShowsTheFocusedControlsTopic) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    struct Case {
        QWidget* focus;
        int expected;
    };
    const Case cases[] = {{window.button, 9711}, {window.edit, 1151}, {window.autoSave, 1210}};
    for (const Case& c : cases) {
        engine().quit();
        c.focus->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), c.focus);
        QTest::keyClick(window.windowHandle(), Qt::Key_F1);
        EXPECT_EQ(engine().lastPopupContext(), c.expected);
        EXPECT_TRUE(engine().isPopupVisible());
        // Shown under the control.
        const QPoint below = c.focus->mapToGlobal(QPoint(0, c.focus->height()));
        EXPECT_GE(engine().popup()->y(), below.y());
    }
    // Other keys are left to the control.
    engine().quit();
    window.edit->setFocus();
    window.edit->clear();
    QTest::keyClick(window.windowHandle(), Qt::Key_T);
    EXPECT_EQ(window.edit->text(), QStringLiteral("t"));
    EXPECT_EQ(engine().popup(), nullptr);
}

TEST_F(ContextHelpTest, ShiftF1EntersWhatsThisModeAndTheNextClickShowsHelp) {
    QTest::keyClick(window.button, Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    QSignalSpy pressed(window.button, &QPushButton::clicked);
    QSignalSpy shown(&engine(), &HelpEngine::popupShown);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, window.at(window.button));
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown[0].at(0).toInt(), 9711);
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
    // The click asked for help; it did not press the button.
    EXPECT_EQ(pressed.count(), 0);

    // In the mode the label under the pointer gets its container's topic too.
    engine().quit();
    QTest::keyClick(window.button, Qt::Key_F1, Qt::ShiftModifier);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, window.at(window.avgLabel));
    EXPECT_EQ(engine().lastPopupContext(), 1514);
    EXPECT_FALSE(QWhatsThis::inWhatsThisMode());
}

TEST_F(ContextHelpTest, FixedContextWindowShowsItsOneTopic) {
    QWidget dialog;
    dialog.resize(200, 150);
    auto* ok = new QPushButton(QStringLiteral("V redu"), &dialog);
    ok->setGeometry(10, 10, 75, 21);
    setHelpContext(ok, 1234);
    auto* path = new QLineEdit(&dialog);
    path->setGeometry(10, 40, 100, 21);
    installContextHelp(&dialog, 9600);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy shown(&engine(), &HelpEngine::popupShown);
    // (An open popup takes the next click for itself, so each request starts without one.)
    for (const QPoint& p : {QPoint(40, 20), QPoint(150, 100), QPoint(40, 50) /* the path field: nothing */}) {
        engine().quit();
        QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {}, p);
    }
    engine().quit();
    QTest::keyClick(path, Qt::Key_F1);
    ASSERT_EQ(shown.count(), 3);
    for (const QList<QVariant>& args : shown) {
        EXPECT_EQ(args.at(0).toInt(), 9600);
    }
}

TEST_F(ContextHelpTest, FontPathDialogShowsItsTopicForEveryControlButThePathField) {
    TFontPathDlg dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const char* controls[] = {"BrowseBtn", "OKBtn", "CancelBtn", "EdPath"};
    for (const char* name : controls) {
        auto* control = dialog.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(control, nullptr) << name;
        engine().quit();
        QSignalSpy shown(&engine(), &HelpEngine::popupShown);
        QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {}, control->mapTo(&dialog, QPoint(3, 3)));
        if (QWidget* menu = QApplication::activePopupWidget(); menu != nullptr && menu != engine().popup()) {
            menu->close();  // the path field's own menu
        }
        if (QString::fromLatin1(name) == QLatin1String("EdPath")) {
            EXPECT_TRUE(shown.isEmpty());
        } else {
            ASSERT_EQ(shown.count(), 1) << name;
            EXPECT_EQ(shown[0].at(0).toInt(), 9600) << name;
        }
    }
    // F1 anywhere, the path field included.
    engine().quit();
    QTest::keyClick(dialog.findChild<QWidget*>(QStringLiteral("EdPath")), Qt::Key_F1);
    EXPECT_EQ(engine().lastPopupContext(), 9600);
}

}  // namespace
