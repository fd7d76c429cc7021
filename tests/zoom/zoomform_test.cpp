// The zoom window: the split bar, the font box, the colours, the drawing of
// the boxes, what it keeps in the store, and its wiring to the main window.
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <tuple>

#include <gtest/gtest.h>

#include "app/shellfixture.h"
#include "core/transcription/convertdata.h"
#include "qtcore/qtext.h"
#include "ui/exercise/exercisepage.h"
#include "ui/help/helpengine.h"
#include "ui/zoom/tzoomform.h"
#include "ui/zoom/zoombox.h"

namespace {

class ZoomFormTest : public ShellTest {
protected:
    template <class T>
    static T* child(QWidget& form, const char* name) {
        T* found = form.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

void sendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, int globalY) {
    const QPointF global(widget->mapToGlobal(QPoint(10, 0)).x(), globalY);
    const QPointF local = widget->mapFromGlobal(global);
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, local, global, type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The pixels that differ from the background, and how many are the text's colour.
struct Ink {
    QRect rect;
    int solid = 0;
};
Ink inkOf(const QImage& image, QRgb background, QRgb text = qRgb(0, 0, 0)) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink.rect |= image.pixel(x, y) != background ? QRect(x, y, 1, 1) : QRect();
            ink.solid += image.pixel(x, y) == text ? 1 : 0;
        }
    }
    return ink;
}

TEST_F(ZoomFormTest, DraggingTheSplitBarStoresBothSharesPastEitherEnd) {
    TZoomForm form(options());
    form.setGeometry(100, 100, 220, 228);  // a display area of 204: the boxes share 200
    form.show();
    auto* bar = child<QWidget>(form, "SplitPanel");
    auto* lower = child<QWidget>(form, "Panel2");
    EXPECT_EQ(lower->height(), 40);  // 20 of 80 + 20
    const auto drag = [&](int by) {
        const int y = bar->mapToGlobal(QPoint(0, 1)).y();
        sendMouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, y);
        sendMouse(bar, QEvent::MouseMove, Qt::LeftButton, y + by / 2);
        sendMouse(bar, QEvent::MouseButtonRelease, Qt::LeftButton, y + by);
        sendMouse(bar, QEvent::MouseMove, Qt::NoButton, y + 7);  // after the release: no drag
        return std::tuple(options().GetZoomA(), options().GetZoomB(), lower->height());
    };
    EXPECT_EQ(drag(-30), std::tuple(130, 70, 70));
    EXPECT_EQ(drag(-1000), std::tuple(0, 200, 200));  // above the top: the item box gets nothing
    EXPECT_EQ(drag(1000), std::tuple(1000, 0, 0));    // below the bottom: the answer box gets nothing
    EXPECT_EQ(form.answerBox()->height(), 0);

    // A resize keeps the proportion.
    options().SetZoomA(1);
    options().SetZoomB(3);
    form.resize(220, 428);
    EXPECT_EQ(lower->height(), 300);
    EXPECT_EQ(form.answerBox()->height(), 298);
}

TEST_F(ZoomFormTest, FontBoxStoresAListedNameAtOnceAndAnyNameOnEnterOrLeaving) {
    const QStringList& families = TZoomForm::answerFamilies();
    ASSERT_TRUE(families.contains(QStringLiteral("Liberation Serif"))) << "fonts-liberation2 draws č š ž";
    EXPECT_FALSE(families.contains(QStringLiteral("Tengwar Quenya")));
    EXPECT_TRUE(std::is_sorted(families.begin(), families.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }));

    TZoomForm form(options());
    form.show();
    auto* combo = child<QComboBox>(form, "FontCombo");
    EXPECT_EQ(combo->currentText(), QStringLiteral("Times New Roman"));
    constexpr int kLeave = -1;
    struct Step {
        const char* typed;  // replaces the box's text
        int key;            // then pressed, or kLeave
        const char* stored;
        const char* shown;
    };
    const Step steps[] = {
        {"Nepisava", 0, "Times New Roman", "Nepisava"},                   // not listed: not yet
        {nullptr, Qt::Key_Escape, "Times New Roman", "Times New Roman"},  // the stored name back
        {"Nepisava", Qt::Key_Return, "Nepisava", "Nepisava"},             // Enter: any name
        {"liberation serif", 0, "liberation serif", "liberation serif"},  // listed, any case: at once
        {"Druga", kLeave, "Druga", "Druga"},                              // leaving: any name
    };
    for (const Step& step : steps) {
        if (step.typed != nullptr) {
            combo->lineEdit()->selectAll();
            QTest::keyClicks(combo, QString::fromUtf8(step.typed));
        }
        if (step.key == kLeave) {
            QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
            QApplication::sendEvent(combo, &leave);
        } else if (step.key != 0) {
            QTest::keyClick(combo, Qt::Key(step.key));
        }
        EXPECT_EQ(options().GetAnswerFont(), step.stored) << step.typed;
        EXPECT_EQ(combo->currentText(), QString::fromUtf8(step.shown)) << step.typed;
        EXPECT_EQ(form.answerBox()->look().family, QString::fromUtf8(step.stored)) << step.typed;
    }
    EXPECT_EQ(combo->count(), families.size());  // Enter adds nothing to the list
}

TEST_F(ZoomFormTest, ColourDialogStoresWindowsColourValuesAndAlwaysTheCustomColours) {
    TZoomForm form(options());
    form.show();
    // Opens the dialog from a button, adds a custom colour and picks a colour;
    // returns the colour the dialog came up with.
    const auto pick = [this](QToolButton* button, QColor color, bool accept, int slot, QColor custom) {
        QColor shown;
        withModal<QColorDialog>([&] { button->click(); },
                                [&](QColorDialog& dialog) {
                                    shown = dialog.currentColor();
                                    QColorDialog::setCustomColor(slot, custom);
                                    dialog.setCurrentColor(color);
                                    accept ? dialog.accept() : dialog.reject();
                                });
        return shown;
    };
    auto* textButton = child<QToolButton>(form, "BtnTextCol");
    auto* backButton = child<QToolButton>(form, "BtnBackCol");
    options().SaveCustomColors({"ColorB=0000FF"});

    EXPECT_EQ(pick(textButton, QColor(0x12, 0x34, 0x56), true, 3, QColor(1, 2, 3)), QColor(Qt::black));
    EXPECT_EQ(options().GetTextColor(), 0x563412);
    EXPECT_EQ(form.answerBox()->look().text, QColor(0x12, 0x34, 0x56));
    // Cancelled: the colour stays, the custom colours are stored all the same.
    EXPECT_EQ(pick(backButton, Qt::red, false, 15, QColor(0xAA, 0xBB, 0xCC)), QColor(0x00, 0x80, 0x80));
    EXPECT_EQ(options().GetBackColor(), 0x808000);
    StringList custom;
    options().LoadCustomColors(custom);
    ASSERT_EQ(custom.size(), 16u);
    EXPECT_EQ(custom[0], "ColorA=FFFFFF");
    EXPECT_EQ(custom[1], "ColorB=0000FF");
    EXPECT_EQ(custom[3], "ColorD=030201");
    EXPECT_EQ(custom[15], "ColorP=CCBBAA");

    pick(backButton, QColor(0xFF, 0xEE, 0x00), true, 0, Qt::white);
    EXPECT_EQ(options().GetBackColor(), 0x00EEFF);
    EXPECT_EQ(form.itemBox()->picture(QSize(50, 40), 1.0).pixel(0, 0), qRgb(0xFF, 0xEE, 0x00));
    EXPECT_EQ(child<QWidget>(form, "Panel2")->palette().color(QPalette::Window), QColor(0xFF, 0xEE, 0x00));
}

TEST_F(ZoomFormTest, BoxesDrawTheirTextWithinTheBoxOrOnlyTheBackground) {
    options().SetAnswerFont("Liberation Serif");
    TZoomForm form(options());
    const QRgb back = QColor(0x00, 0x80, 0x80).rgb();
    ZoomBox* answer = form.answerBox();

    EXPECT_TRUE(inkOf(answer->picture(QSize(300, 120), 1.0), back).rect.isNull());

    struct Case {
        const char* text;
        QSize box;
    };
    for (const Case& c : {Case{"a", {300, 120}}, Case{"abcdefghijklmnopqrstuvwxyz", {300, 120}},
                          Case{"WWWWWWWWWW", {120, 300}}}) {
        form.showAnswer(QString::fromLatin1(c.text));
        for (const qreal ratio : {1.0, 2.0}) {
            const Ink ink = inkOf(answer->picture(c.box, ratio), back);
            const QRect inside(QPoint(0, 0), c.box * ratio);
            EXPECT_TRUE(inside.contains(ink.rect)) << c.text;
            EXPECT_LE(ink.rect.width(), (c.box.width() - 4) * ratio) << c.text;
            // As large as the box allows: a quarter of its width or height at least.
            EXPECT_GE(std::max(double(ink.rect.width()) / inside.width(),
                               double(ink.rect.height()) / inside.height()),
                      0.25)
                << c.text;
            EXPECT_GT(ink.solid, 0) << c.text;
        }
    }
}

TEST_F(ZoomFormTest, EverySettingAndThePlaceComeBackInTheNextWindow) {
    {
        TZoomForm form(options());
        form.show();
        EXPECT_EQ(form.geometry(), QRect(102, 15, 220, 220));  // a tenth and a fiftieth of 1024 x 768
        child<QToolButton>(form, "BtnBold")->click();
        child<QToolButton>(form, "BtnItalic")->click();
        child<QToolButton>(form, "BtnItalic")->click();
        form.setGeometry(300, 200, 400, 350);
        EXPECT_EQ(options().GetZoomRect(), (StoredRect{300, 200, 700, 550}));
    }
    EXPECT_TRUE(options().GetFlag(flag::ZoomBold));
    EXPECT_FALSE(options().GetFlag(flag::ZoomItalic));
    options().SetAnswerFont("Liberation Sans");
    options().SetTextColor(0x0000FF);

    TZoomForm again(options());
    EXPECT_EQ(again.geometry(), QRect(300, 200, 400, 350));
    EXPECT_TRUE(child<QToolButton>(again, "BtnBold")->isChecked());
    EXPECT_EQ(child<QComboBox>(again, "FontCombo")->currentText(), QStringLiteral("Liberation Sans"));
    const ZoomBoxLook look = again.answerBox()->look();
    EXPECT_TRUE(look.bold);
    EXPECT_FALSE(look.italic);
    EXPECT_EQ(look.text, QColor(0xFF, 0, 0));
    EXPECT_FALSE(again.itemBox()->look().bold);  // the item is never bold
}

// A place stored on another screen or at another scale: the window opens
// wholly on this screen, as large as it was where it fits, and the stored
// place stays for the screen it was made on; a move of the user's is stored.
TEST_F(ZoomFormTest, AStoredPlaceThatDoesNotFitIsShownOnScreenAndKept) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* what;
        StoredRect stored;
        QSize shown;
    } cases[] = {
        {"on no screen", {-9000, -9000, -8700, -8750}, {300, 250}},
        {"off the right edge", {available.right() - 100, 40, available.right() + 200, 290}, {300, 250}},
        {"taller than the screen", {20, 10, 320, 10 + available.height() + 400}, {300, available.height()}},
    };
    for (const auto& c : cases) {
        options().SetZoomRect(c.stored);
        TZoomForm form(options());
        form.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return available.contains(form.frameGeometry()); })) << c.what;
        const QSize border = form.frameGeometry().size() - form.size();
        EXPECT_EQ(form.size(), c.shown.boundedTo(available.size() - border)) << c.what;
        EXPECT_EQ(options().GetZoomRect(), c.stored) << c.what;
        // Once the window system has finished placing it, the user's move is stored.
        const QPoint fitted = form.pos();
        int step = 0;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            form.move(fitted + QPoint(0, 10 + 10 * (++step % 2)));
            return options().GetZoomRect().top == form.geometry().top();
        })) << c.what;
    }
}

// Owned by the main window, it is its transient dialog: the window manager
// keeps it above the main window and minimises it with it. It does not take
// the keyboard from the exercise when it comes up.
TEST_F(ZoomFormTest, TheZoomWindowBelongsToTheMainWindow) {
    options().SetFirstTime(false);
    options().SetFlag(flag::ZoomShown, true);
    TMainForm owner;
    auto* zoom = new TZoomForm(options(), &owner);
    owner.show();
    ASSERT_TRUE(QTest::qWaitFor([zoom] { return zoom->isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(zoom));
    EXPECT_EQ(zoom->windowType(), Qt::Dialog);
    ASSERT_NE(zoom->windowHandle(), nullptr);
    EXPECT_EQ(zoom->windowHandle()->transientParent(), owner.windowHandle());
    EXPECT_TRUE(zoom->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_FALSE(zoom->isModal());
}

TEST_F(ZoomFormTest, RightPressesAndF1ShowTheControlsTopics) {
    TZoomForm form(options());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    HelpEngine& engine = HelpEngine::instance();
    const std::pair<const char*, int> controls[] = {{"BtnBold", 1403},    {"BtnItalic", 1404},
                                                    {"BtnTextCol", 1405}, {"BtnBackCol", 1406},
                                                    {"SplitPanel", 1410}, {"PaintBox2", 1401}};
    for (const auto& [name, context] : controls) {
        engine.quit();
        QSignalSpy shown(&engine, &HelpEngine::popupShown);
        auto* control = child<QWidget>(form, name);
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, {},
                          control->mapTo(&form, control->rect().center()));
        EXPECT_EQ(shown.isEmpty() ? 0 : shown.constLast().at(0).toInt(), context) << name;
    }
    engine.quit();
    QSignalSpy shown(&engine, &HelpEngine::popupShown);
    child<QWidget>(form, "FontCombo")->setFocus();
    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_EQ(shown.isEmpty() ? 0 : shown.constLast().at(0).toInt(), 1402);
    engine.quit();
}

// Wired to the main window as at start-up: it follows the "Zoom" box and the
// exercise, and brings the exercise back when clicked.
class ZoomWiringTest : public ShellTest {
protected:
    // Main window, then the zoom window, then the event loop's first round.
    void start() {
        options().SetFirstTime(false);
        form = std::make_unique<TMainForm>();
        zoom = new TZoomForm(options(), form.get());
        form->show();
        QCoreApplication::processEvents();
        zoomBox = form->findChild<QCheckBox*>(QStringLiteral("CbZoomWin"));
        ASSERT_NE(zoomBox, nullptr);
    }
    void TearDown() override {
        form.reset();
        ShellTest::TearDown();
    }

    std::unique_ptr<TMainForm> form;
    TZoomForm* zoom = nullptr;
    QCheckBox* zoomBox = nullptr;
};

TEST_F(ZoomWiringTest, ClosedByTheUserItStaysHiddenUntilZoomIsTickedAgain) {
    options().SetFlag(flag::ZoomShown, true);
    start();
    EXPECT_TRUE(zoom->isVisible());
    EXPECT_TRUE(zoomBox->isChecked());

    zoom->close();
    EXPECT_FALSE(zoom->isVisible());
    EXPECT_FALSE(options().GetFlag(flag::ZoomShown));
    EXPECT_FALSE(zoomBox->isChecked());

    start();
    EXPECT_FALSE(zoom->isVisible());
    EXPECT_FALSE(zoomBox->isChecked());
    zoomBox->click();
    EXPECT_TRUE(zoom->isVisible());
    EXPECT_TRUE(options().GetFlag(flag::ZoomShown));

    // Closed with the program, it comes back at the next start.
    form->close();
    zoom->close();
    EXPECT_TRUE(options().GetFlag(flag::ZoomShown));
}

TEST_F(ZoomWiringTest, ShowsTheItemAndTheAnswerAndAClickBringsTheExerciseBack) {
    start();
    auto* answer = form->findChild<QLineEdit*>(QStringLiteral("EdOdgovor1"));
    ASSERT_NE(answer, nullptr);
    form->exercisePage()->StartTask(1);
    EXPECT_FALSE(zoom->itemBox()->text().isEmpty());
    EXPECT_EQ(zoom->itemBox()->text(), form->findChild<QLabel*>(QStringLiteral("TengwarLabel1"))->text());
    QTest::keyClicks(answer, QStringLiteral("b"));
    EXPECT_EQ(zoom->answerBox()->text(), QStringLiteral("b"));

    form->showPage(TMainForm::PageAbout);
    const int storedPage = options().GetActivePage();
    QTest::mouseClick(zoom->answerBox(), Qt::LeftButton);
    EXPECT_EQ(form->currentPage(), TMainForm::PageExercise);
    EXPECT_EQ(form->focusWidget(), answer);
    EXPECT_EQ(options().GetActivePage(), storedPage) << "the program's own page change is not stored";

    // Without a running task a click changes nothing.
    form->exercisePage()->StartTask(0);
    EXPECT_TRUE(zoom->itemBox()->text().isEmpty());
    form->showPage(TMainForm::PageAbout);
    QTest::mouseClick(zoom->itemBox(), Qt::LeftButton);
    EXPECT_EQ(form->currentPage(), TMainForm::PageAbout);
}

}  // namespace

namespace {

// Makes `window` the active one, as the window system does, and waits until
// the application knows it.
// As a user's click does: asked again while another window took the keyboard
// back in between (the main window does so, a moment later, when one of the
// program's windows hides during a drill).
bool activate(QWidget* window) {
    return QTest::qWaitFor([&] {
        if (QApplication::activeWindow() != window)
            window->activateWindow();
        return QApplication::activeWindow() == window;
    });
}

// A click on the zoom window's picture during a drill, under a window system
// that leaves the zoom window active: the next keys are still the answer's,
// the font box and the stored font are untouched. The font box takes keys
// when it is clicked into.
TEST_F(ZoomWiringTest, KeysAfterAClickOnThePictureGoToTheAnswerNotToTheFontBox) {
    options().SetFlag(flag::WaitForEnter, true);
    options().SetFlag(flag::ZoomShown, true);
    start();
    auto* answer = form->findChild<QLineEdit*>(QStringLiteral("EdOdgovor1"));
    auto* fontBox = zoom->findChild<QComboBox*>(QStringLiteral("FontCombo"));
    ASSERT_NE(fontBox, nullptr);
    form->exercisePage()->StartTask(1);
    const std::string storedFont = options().GetAnswerFont();

    for (ZoomBox* box : {zoom->itemBox(), zoom->answerBox()}) {
        answer->clear();
        // The window system activates the window under the click and keeps it so.
        ASSERT_TRUE(activate(zoom));
        EXPECT_NE(qobject_cast<ZoomBox*>(QApplication::focusWidget()), nullptr)
            << "activated, the keys are a box's, not the font box's";
        QTest::mouseClick(box, Qt::LeftButton);
        ASSERT_TRUE(activate(zoom));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
        EXPECT_EQ(answer->text(), QStringLiteral("ab"));
        EXPECT_EQ(fontBox->currentText(), fromCp1250(storedFont));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(options().GetAnswerFont(), storedFont);
    }
    EXPECT_EQ(form->exercisePage()->state().answers, 2);

    // Clicked into, the font box takes what is typed.
    ASSERT_TRUE(activate(zoom));
    QTest::mouseClick(fontBox->lineEdit(), Qt::LeftButton);
    fontBox->lineEdit()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Moja pisava"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(options().GetAnswerFont(), "Moja pisava");
    EXPECT_TRUE(answer->text().isEmpty());

    // Without a drill the keys typed on the picture go nowhere.
    form->exercisePage()->StartTask(0);
    QTest::mouseClick(zoom->itemBox(), Qt::LeftButton);
    zoom->itemBox()->setFocus();
    QTest::keyClicks(zoom->itemBox(), QStringLiteral("x"));
    EXPECT_TRUE(answer->text().isEmpty());
}

}  // namespace
