#include "ui/readback/rulespage.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/tmainform.h"
#include "core/exercise/descriptionsparser.h"
#include "core/exercise/trainersession.h"
#include "core/readback/readbackrules.h"
#include "core/settings/memorybackend.h"
#include "core/settings/options.h"
#include "core/transcription/alphabet.h"
#include "core/transcription/convertdata.h"
#include "qtcore/qtext.h"
#include "ui/exercise/exercisepage.h"
#include "ui/help/helpengine.h"
#include "ui/widgets/messages.h"
#include "ui/widgets/programlook.h"

namespace {

// Windows-1250 bytes of the letters the tests use.
constexpr char kLongA = '\xE1';  // á

// A task whose every item is the letters á and b (read "aab" by default).
const std::vector<std::string> kGroups = {"dolgi=\xE1", "b=b"};
const std::vector<std::string> kTasks = {"AB=dolgi+b"};

// The program's Tengwar font from the source tree, so that the Tengwar row
// is drawn in it.
void loadTengwarFont() {
    static const bool loaded = [] {
        const char* root = std::getenv("OSTREL_SOURCE_DIR");
        if (root == nullptr) {
            return false;
        }
        const QString path = QString::fromLocal8Bit(root) + QStringLiteral("/resources/font/quenya.ttf");
        return QFontDatabase::addApplicationFont(path) >= 0;
    }();
    (void)loaded;
}

// Inked pixels: clearly darker than the window colour behind the text.
bool inked(QRgb pixel) {
    return qGray(pixel) < 160;
}

class RulesPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        loadTengwarFont();
        applyProgramLook();
        installOptions(&m_options);
        messages::setResponder([this](const messages::Request& request) {
            m_boxes << request.text;
            return 0;
        });
        m_form = std::make_unique<TMainForm>();
        m_page = m_form->rulesPage();
        setUpTables();
    }
    void TearDown() override {
        m_form.reset();
        HelpEngine::instance().quit();
        messages::setResponder({});
        installOptions(nullptr);
    }

    // What the main window does at its creation: both tables from the store,
    // then the page (for tests that change the store after the window is made).
    void setUpTables() {
        m_options.LoadReadBackRules(m_form->session().activeRules());
        m_options.LoadReadBackRules(m_form->session().editRules());
        m_page->setUpRules();
        m_form->session().setRulesChanged(false);
    }

    template <class W>
    W* child(const char* name) {
        W* widget = m_page->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* box(int k) {
        return child<QLineEdit>(QStringLiteral("EdTrans%1").arg(k).toLatin1().constData());
    }
    QScrollBar* scroll() { return child<QScrollBar>("TransScroll"); }
    void click(const char* name) { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); }

    QStringList boxTexts() {
        QStringList texts;
        for (int k = 1; k <= RulesPage::kColumns; ++k) {
            texts << box(k)->text();
        }
        return texts;
    }
    static QStringList readings(std::initializer_list<const char*> utf8) {
        QStringList list;
        for (const char* s : utf8) {
            list << QString::fromUtf8(s);
        }
        return list;
    }

    // Shows the main window on the page, active, so that focus and keys work.
    void showPage() {
        m_form->show();
        m_form->showPage(TMainForm::PageRules);
        QApplication::setActiveWindow(m_form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    }

    // Puts the caret at the end of box k and types there.
    void typeAtEnd(int k, const QString& keys) {
        QLineEdit* edit = box(k);
        edit->setFocus();
        edit->deselect();
        edit->end(false);
        QTest::keyClicks(edit, keys);
    }

    // Runs task "AB" so that the exercise has a current item.
    void startTask(const char* answer = "aab") {
        DescriptionErrors errors;
        ParseDescriptions(kGroups, kTasks, m_form->session().liveDescriptions(), errors);
        ASSERT_TRUE(errors.empty());
        m_form->exercisePage()->StartTask(1);
        ASSERT_EQ(item().letters, std::string("\xE1"
                                              "b"));
        ASSERT_EQ(item().answer, answer);
    }
    const ExerciseItem& item() { return m_form->exercisePage()->state().item; }

    // Scrolls so that the letter stands in some column; returns the column.
    int showLetter(char letter) {
        const std::string_view letters = alphabet::ruleLetters();
        const int index = static_cast<int>(letters.find(letter)) + 1;
        EXPECT_GT(index, 0);
        const int position = std::min(index, scroll()->maximum());
        scroll()->setValue(position);
        return index - position + 1;
    }

    QImage rowImage(const char* name) { return child<QWidget>(name)->grab().toImage(); }

    // The columns of a cell's inner area (cell k of a row picture) that hold ink,
    // as the rows in which ink appears.
    struct Ink {
        int left = -1, right = -1;
        std::vector<int> rows;  // rows with ink, top to bottom
    };
    Ink inkIn(const QImage& image, int k) {
        const int l = box(k)->x() - box(1)->x() + 2;
        const int r = l + box(k)->width() - 4;
        Ink ink;
        for (int y = 2; y < image.height() - 2; ++y) {
            bool any = false;
            for (int x = l; x < r; ++x) {
                if (inked(image.pixel(x, y))) {
                    any = true;
                    ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                    ink.right = std::max(ink.right, x);
                }
            }
            if (any) {
                ink.rows.push_back(y);
            }
        }
        return ink;
    }

    MemoryBackend m_backend;
    TOptions m_options{m_backend};
    QStringList m_boxes;
    std::unique_ptr<TMainForm> m_form;
    RulesPage* m_page = nullptr;
};

TEST_F(RulesPageTest, StartShowsTheFirstSixLettersWithTheirDefaultReadings) {
    EXPECT_EQ(boxTexts(), readings({"a", "aa", "a", "b", "c", "C"}));
    EXPECT_EQ(m_page->position(), 1);
    EXPECT_EQ(scroll()->minimum(), 1);
    EXPECT_EQ(scroll()->maximum(), 71);
    EXPECT_EQ(scroll()->singleStep(), 1);
    EXPECT_EQ(scroll()->pageStep(), 6);
    EXPECT_FALSE(m_form->session().rulesChanged());
    EXPECT_EQ(m_form->session().editRules(), readback::defaultRules());
    for (int k = 1; k <= RulesPage::kColumns; ++k) {
        EXPECT_EQ(box(k)->maxLength(), 5) << k;
    }
}

TEST_F(RulesPageTest, StartUpLoadsTheStoredRulesAndTheAutoSaveBox) {
    m_form.reset();
    ReadBackRules custom = readback::defaultRules();
    custom[0xE1] = "a:";
    m_options.SaveReadBackRules(custom);
    m_options.SetFlag(flag::AutoSaveRules, true);
    m_form = std::make_unique<TMainForm>();
    m_page = m_form->rulesPage();
    EXPECT_EQ(boxTexts(), readings({"a", "a:", "a", "b", "c", "C"}));
    EXPECT_EQ(m_form->session().activeRules(), custom);
    EXPECT_EQ(m_form->session().editRules(), custom);
    EXPECT_TRUE(child<QCheckBox>("CbAutoSavePrepis")->isChecked());
    EXPECT_FALSE(m_form->session().rulesChanged());
}

TEST_F(RulesPageTest, ClosingWithAutoSaveStoresTheUnconfirmedEdits) {
    click("CbAutoSavePrepis");
    ASSERT_TRUE(m_options.GetFlag(flag::AutoSaveRules));
    box(3)->setText(QStringLiteral("A"));
    scroll()->setValue(20);
    EXPECT_TRUE(m_form->close());
    EXPECT_TRUE(m_boxes.isEmpty());
    ReadBackRules stored;
    m_options.LoadReadBackRules(stored);
    EXPECT_EQ(stored['A'], "A");
    EXPECT_EQ(stored, m_form->session().editRules());
}

TEST_F(RulesPageTest, EveryLabelShowsItsWholeText) {
    showPage();
    for (const QLabel* label : m_page->findChildren<QLabel*>()) {
        // On one line: a wrapped heading would be cut off by the row below it.
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
            << label->objectName().toStdString();
        EXPECT_LE(metrics.height(), label->height()) << label->objectName().toStdString();
    }
    for (const QAbstractButton* button : m_page->findChildren<QAbstractButton*>()) {
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), button->width())
            << button->objectName().toStdString();
    }
}

TEST_F(RulesPageTest, RightAtTheEndOfTheLastBoxScrollsOneColumnAndKeepsTheReading) {
    showPage();
    typeAtEnd(6, QStringLiteral("h"));
    EXPECT_EQ(box(6)->text(), QStringLiteral("Ch"));
    EXPECT_TRUE(m_form->session().rulesChanged());
    QTest::keyClick(box(6), Qt::Key_Right);
    EXPECT_EQ(m_page->position(), 2);
    EXPECT_EQ(boxTexts(), readings({"aa", "a", "b", "c", "Ch", "č"}));
    EXPECT_EQ(m_form->session().editRules()['C'], "Ch");
    EXPECT_EQ(m_form->session().activeRules()['C'], "C");
    EXPECT_TRUE(box(6)->hasFocus());
    EXPECT_EQ(box(6)->cursorPosition(), 0);
    EXPECT_TRUE(m_form->session().rulesChanged());
}

TEST_F(RulesPageTest, ScrollingAwayAndBackShowsTheEditedReading) {
    showPage();
    box(1)->selectAll();
    QTest::keyClicks(box(1), QStringLiteral("x"));
    scroll()->setValue(40);
    EXPECT_NE(box(1)->text(), QStringLiteral("x"));
    scroll()->setValue(1);
    EXPECT_EQ(box(1)->text(), QStringLiteral("x"));
    EXPECT_EQ(m_form->session().editRules()['a'], "x");
    EXPECT_EQ(m_form->session().activeRules()['a'], "a");
    EXPECT_TRUE(m_form->session().rulesChanged());
}

TEST_F(RulesPageTest, TypingCountsAsAnEditEvenWhenTheReadingStaysTheSame) {
    showPage();
    box(4)->selectAll();
    QTest::keyClicks(box(4), QStringLiteral("b"));
    EXPECT_EQ(box(4)->text(), QStringLiteral("b"));
    EXPECT_TRUE(m_form->session().rulesChanged());
}

TEST_F(RulesPageTest, OnlyLettersOfTheCodePageCanBeTyped) {
    showPage();
    box(1)->selectAll();
    // ž, Cyrillic zhe, ł, typed one key each.
    for (const QChar c : QString::fromUtf8("ž\u0436ł")) {
        QTest::sendKeyEvent(QTest::Click, box(1), Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    EXPECT_EQ(box(1)->text(), QString::fromUtf8("žł"));
    EXPECT_EQ(m_form->session().editRules()['a'], "\x9E\xB3");
}

TEST_F(RulesPageTest, ScrollingAndRefillingAreNoEdits) {
    for (int position : {7, 71, 33, 1}) {
        scroll()->setValue(position);
        m_page->RefreshRulesPage();
    }
    EXPECT_FALSE(m_form->session().rulesChanged());
    EXPECT_EQ(m_form->session().editRules(), m_form->session().activeRules());
    // Once edited, the flag stays set through refills.
    box(2)->setText(QStringLiteral("A"));
    scroll()->setValue(20);
    m_page->RefreshRulesPage();
    EXPECT_TRUE(m_form->session().rulesChanged());
}

struct NavigationCase {
    const char* name;
    int position;
    int box;
    int caret;      // -1: at the end of the text
    bool selected;  // the text selected, the caret at position 0
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int wantPosition;
    int wantBox;
    int wantCaret;  // -1: at the end of the text
};

void PrintTo(const NavigationCase& c, std::ostream* os) {
    *os << c.name;
}

class RulesPageNavigation : public RulesPageTest, public ::testing::WithParamInterface<NavigationCase> {};

TEST_P(RulesPageNavigation, ArrowsCrossColumnsOnlyAtTheEdges) {
    const NavigationCase& c = GetParam();
    showPage();
    scroll()->setValue(c.position);
    QLineEdit* start = box(c.box);
    start->setFocus();
    if (c.selected) {
        start->setSelection(static_cast<int>(start->text().size()), -static_cast<int>(start->text().size()));
    } else {
        start->setCursorPosition(c.caret < 0 ? static_cast<int>(start->text().size()) : c.caret);
    }
    QTest::keyClick(start, c.key, c.modifiers);
    EXPECT_EQ(m_page->position(), c.wantPosition);
    QLineEdit* focused = box(c.wantBox);
    EXPECT_TRUE(focused->hasFocus()) << "box " << c.wantBox;
    const int want = c.wantCaret < 0 ? static_cast<int>(focused->text().size()) : c.wantCaret;
    EXPECT_EQ(focused->cursorPosition(), want);
    EXPECT_FALSE(m_form->session().rulesChanged());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RulesPageNavigation,
    ::testing::Values(
        NavigationCase{"LeftAtStartGoesToTheEndOfThePreviousBox", 1, 3, 0, false, Qt::Key_Left, {}, 1, 2, -1},
        NavigationCase{"LeftInTheFirstBoxScrollsBack", 10, 1, 0, false, Qt::Key_Left, {}, 9, 1, -1},
        NavigationCase{"LeftInTheFirstBoxAtTheStartDoesNothing", 1, 1, 0, false, Qt::Key_Left, {}, 1, 1, 0},
        NavigationCase{"RightAtEndGoesToTheStartOfTheNextBox", 1, 2, -1, false, Qt::Key_Right, {}, 1, 3, 0},
        NavigationCase{
            "RightInTheLastBoxAtTheEndDoesNothing", 71, 6, -1, false, Qt::Key_Right, {}, 71, 6, -1},
        NavigationCase{"RightInsideTheTextMovesTheCaret", 1, 2, 0, false, Qt::Key_Right, {}, 1, 2, 1},
        NavigationCase{"LeftInsideTheTextMovesTheCaret", 1, 2, 2, false, Qt::Key_Left, {}, 1, 2, 1},
        NavigationCase{"ShiftRightStaysInTheBox", 1, 2, -1, false, Qt::Key_Right, Qt::ShiftModifier, 1, 2,
                       -1},
        NavigationCase{"ShiftLeftInTheFirstBoxDoesNotScroll", 10, 1, 0, false, Qt::Key_Left,
                       Qt::ShiftModifier, 10, 1, 0},
        NavigationCase{"LeftWithSelectionStaysInTheBox", 1, 2, 0, true, Qt::Key_Left, {}, 1, 2, 0}),
    [](const ::testing::TestParamInfo<NavigationCase>& info) { return std::string(info.param.name); });

TEST_F(RulesPageTest, CancelRestoresTheStoredReadingsAndLeavesTheAnswer) {
    startTask();
    showPage();
    box(2)->setText(QStringLiteral("A"));  // á
    box(4)->setText(QString());            // b
    scroll()->setValue(30);
    box(1)->setText(QStringLiteral("zz"));
    ASSERT_TRUE(m_form->session().rulesChanged());
    click("CancelTransBtn");
    EXPECT_FALSE(m_form->session().rulesChanged());
    EXPECT_EQ(m_form->session().editRules(), readback::defaultRules());
    EXPECT_EQ(m_form->session().activeRules(), readback::defaultRules());
    EXPECT_EQ(box(1)->text(),
              fromCp1250(readback::defaultRules()[static_cast<unsigned char>(m_page->columnLetter(1))]));
    scroll()->setValue(1);
    EXPECT_EQ(boxTexts(), readings({"a", "aa", "a", "b", "c", "C"}));
    EXPECT_EQ(item().answer, "aab");
    EXPECT_TRUE(m_boxes.isEmpty());
}

TEST_F(RulesPageTest, ConfirmChangesTheCurrentItemsAnswerAtOnce) {
    startTask();
    showPage();
    const int column = showLetter(kLongA);
    QLineEdit* reading = box(column);
    reading->selectAll();
    QTest::keyClicks(reading, QStringLiteral("A"));
    // Not before the edit is confirmed.
    EXPECT_EQ(item().answer, "aab");
    click("ConfirmTransBtn");
    EXPECT_EQ(item().answer, "Ab");
    EXPECT_FALSE(m_form->session().rulesChanged());
    EXPECT_EQ(m_form->session().activeRules()[0xE1], "A");
    EXPECT_EQ(m_form->session().editRules(), m_form->session().activeRules());
    ReadBackRules stored;
    m_options.LoadReadBackRules(stored);
    EXPECT_EQ(stored, m_form->session().activeRules());

    // An emptied reading makes the letter vanish from the answer.
    reading->clear();
    click("ConfirmTransBtn");
    EXPECT_EQ(item().answer, "b");
}

TEST_F(RulesPageTest, DefaultsRestoreBothTablesTheBoxesAndTheAnswer) {
    ReadBackRules custom = readback::defaultRules();
    custom['a'] = "A";
    custom[0xE1] = "";
    m_options.SaveReadBackRules(custom);
    setUpTables();
    startTask("b");
    ASSERT_EQ(boxTexts(), readings({"A", "", "a", "b", "c", "C"}));
    box(3)->setText(QStringLiteral("q"));
    click("DefaultTransBtn");
    EXPECT_EQ(boxTexts(), readings({"a", "aa", "a", "b", "c", "C"}));
    EXPECT_EQ(m_form->session().editRules(), readback::defaultRules());
    EXPECT_EQ(m_form->session().activeRules(), readback::defaultRules());
    EXPECT_FALSE(m_form->session().rulesChanged());
    EXPECT_EQ(item().answer, "aab");
    ReadBackRules stored;
    m_options.LoadReadBackRules(stored);
    EXPECT_EQ(stored, readback::defaultRules());
}

TEST_F(RulesPageTest, ATroughClickMovesSixColumnsAndTheLastColumnIsTheColon) {
    showPage();
    QScrollBar* bar = scroll();
    const QPoint trough(bar->width() - 24, bar->height() / 2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, trough);
    EXPECT_EQ(m_page->position(), 7);
    EXPECT_EQ(box(1)->text(), QStringLiteral("č"));  // the 7th letter
    for (int i = 0; i < 20; ++i) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, trough);
    }
    EXPECT_EQ(m_page->position(), 71);
    EXPECT_EQ(m_page->columnLetter(6), ':');
    EXPECT_EQ(boxTexts(), readings({"ž", "ž", "", " ", ".", ":"}));
    // The right arrow of the bar cannot move it further either.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, bar->height() / 2));
    EXPECT_EQ(m_page->position(), 71);
    EXPECT_FALSE(m_form->session().rulesChanged());
}

TEST_F(RulesPageTest, AStoredReadingLongerThanTheLimitIsShownWholeAndCanOnlyShrink) {
    ReadBackRules custom = readback::defaultRules();
    custom['a'] = "abcdefg";
    m_options.SaveReadBackRules(custom);
    setUpTables();
    showPage();
    EXPECT_EQ(box(1)->text(), QStringLiteral("abcdefg"));
    EXPECT_EQ(m_form->session().editRules()['a'], "abcdefg");
    EXPECT_FALSE(m_form->session().rulesChanged());
    typeAtEnd(1, QStringLiteral("x"));
    EXPECT_EQ(box(1)->text(), QStringLiteral("abcdefg"));
    QTest::keyClick(box(1), Qt::Key_Backspace);
    QTest::keyClicks(box(1), QStringLiteral("xy"));
    EXPECT_EQ(box(1)->text(), QStringLiteral("abcdef"));
    EXPECT_EQ(m_form->session().editRules()['a'], "abcdef");
    // Scrolling it out of the box and back in cuts nothing either.
    scroll()->setValue(50);
    scroll()->setValue(1);
    EXPECT_EQ(box(1)->text(), QStringLiteral("abcdef"));
    EXPECT_EQ(m_form->session().editRules()['a'], "abcdef");
    // A box holding a short reading takes five characters.
    typeAtEnd(2, QStringLiteral("xxxxx"));
    EXPECT_EQ(box(2)->text(), QStringLiteral("aaxxx"));
    EXPECT_EQ(m_form->session().editRules()[0xE1], "aaxxx");
}

TEST_F(RulesPageTest, TheTengwarRowFollowsTheSwitchesAtTheNextPaint) {
    showPage();
    // ś is written as s when "śŚźŹ -> sSzZ" is on.
    const int column = showLetter('\x9C');
    m_options.SetFlag(flag::AccentedSToPlain, false);
    const std::string own = m_page->cellText(RulesPage::Row::Tengwar, column);
    const QImage before = rowImage("TransTengwarBox");
    m_options.SetFlag(flag::AccentedSToPlain, true);
    const std::string plain = m_page->cellText(RulesPage::Row::Tengwar, column);
    const QImage after = rowImage("TransTengwarBox");
    EXPECT_NE(own, plain);
    EXPECT_EQ(plain, m_page->cellText(RulesPage::Row::Tengwar, showLetter('s')));
    showLetter('\x9C');
    EXPECT_FALSE(inkIn(before, column).rows.empty());
    EXPECT_FALSE(inkIn(after, column).rows.empty());
    EXPECT_NE(before, after);
    m_options.SetFlag(flag::AccentedSToPlain, false);
    EXPECT_EQ(rowImage("TransTengwarBox"), before);
}

TEST_F(RulesPageTest, CellsStandAboveTheirBoxesInSunkenFrames) {
    showPage();
    const QPalette colors = m_page->palette();
    const QImage image = rowImage("TransVhodBox");
    ASSERT_EQ(image.size(), QSize(453, 25));
    const int y = image.height() / 2;
    for (int k = 1; k <= RulesPage::kColumns; ++k) {
        const int l = box(k)->x() - box(1)->x();
        const int r = l + box(k)->width();
        EXPECT_EQ(image.pixel(l, y), colors.color(QPalette::Dark).rgb()) << k;
        EXPECT_EQ(image.pixel(l + 1, y), colors.color(QPalette::Shadow).rgb()) << k;
        EXPECT_EQ(image.pixel(l + 2, 3), colors.color(QPalette::Base).rgb()) << k;
        EXPECT_EQ(image.pixel(r - 3, 3), colors.color(QPalette::Base).rgb()) << k;
        EXPECT_EQ(image.pixel(r - 2, y), colors.color(QPalette::Button).rgb()) << k;
        EXPECT_EQ(image.pixel(r - 1, y), colors.color(QPalette::Light).rgb()) << k;
        EXPECT_EQ(image.pixel(l + 5, image.height() - 1), colors.color(QPalette::Light).rgb()) << k;
        EXPECT_EQ(image.pixel(l + 5, 0), colors.color(QPalette::Dark).rgb()) << k;
        if (k < RulesPage::kColumns) {
            // The gap between two cells is the button face.
            EXPECT_EQ(image.pixel(r, y), colors.color(QPalette::Button).rgb()) << k;
        }
    }
}

TEST_F(RulesPageTest, AMeaningWithACarriageReturnShowsTwoCentredLines) {
    showPage();
    // Column 6 shows C, "dz (zveneči" / "par c-ja)"; column 1 shows a, "a".
    ASSERT_EQ(m_page->columnLetter(6), 'C');
    const QImage image = rowImage("TransPomenBox");
    const int cellWidth = box(1)->width() - 4;
    const int cellHeight = image.height() - 4;

    const Ink two = inkIn(image, 6);
    ASSERT_FALSE(two.rows.empty());
    int bands = 1;
    for (std::size_t i = 1; i < two.rows.size(); ++i) {
        bands += two.rows[i] > two.rows[i - 1] + 1 ? 1 : 0;
    }
    EXPECT_EQ(bands, 2);
    const int cellLeft = box(6)->x() - box(1)->x() + 2;
    EXPECT_NEAR(two.left - cellLeft, cellLeft + cellWidth - 1 - two.right, 3);
    EXPECT_LT(two.rows.front(), 2 + cellHeight / 2);
    EXPECT_GE(two.rows.back(), 2 + cellHeight / 2);

    const Ink one = inkIn(image, 1);
    ASSERT_FALSE(one.rows.empty());
    EXPECT_EQ(one.rows.back() - one.rows.front() + 1, static_cast<int>(one.rows.size()));
    EXPECT_NEAR(one.left - 2, 2 + cellWidth - 1 - one.right, 3);
    EXPECT_NEAR(one.rows.front() - 2, 2 + cellHeight - 1 - one.rows.back(), 4);
}

TEST_F(RulesPageTest, TheSpaceColumnIsBlankInVhodAndNamedInPomen) {
    showPage();
    scroll()->setValue(71);
    ASSERT_EQ(m_page->columnLetter(4), ' ');
    EXPECT_TRUE(inkIn(rowImage("TransVhodBox"), 4).rows.empty());
    EXPECT_FALSE(inkIn(rowImage("TransVhodBox"), 5).rows.empty());  // the full stop
    EXPECT_EQ(m_page->cellText(RulesPage::Row::Pomen, 4), "(presledek)");
    EXPECT_FALSE(inkIn(rowImage("TransPomenBox"), 4).rows.empty());
}

// The Tengwar row reads the switches while it paints: a failing store leaves
// its cells empty and is reported once, not at every paint.
TEST_F(RulesPageTest, AStoreFailureWhilePaintingIsShownOnce) {
    showPage();
    ASSERT_FALSE(inkIn(rowImage("TransTengwarBox"), 4).rows.empty());
    m_backend.failReads = true;
    const QImage failed = rowImage("TransTengwarBox");
    for (int k = 1; k <= RulesPage::kColumns; ++k) {
        EXPECT_TRUE(inkIn(failed, k).rows.empty()) << k;
    }
    QCoreApplication::processEvents();
    rowImage("TransTengwarBox");
    QCoreApplication::processEvents();
    ASSERT_EQ(m_boxes.size(), 1);
    EXPECT_TRUE(m_boxes[0].contains(QStringLiteral("Zastavice"))) << m_boxes[0].toStdString();
    // The other rows do not need the store.
    EXPECT_FALSE(inkIn(rowImage("TransVhodBox"), 4).rows.empty());
    m_backend.failReads = false;
    EXPECT_FALSE(inkIn(rowImage("TransTengwarBox"), 4).rows.empty());
}

// A store that fails stops the button at the failing step: the edits, the
// boxes and RulesChanged stay as they were, and the error is shown.
struct StoreFailureCase {
    const char* name;
    const char* button;
    bool failWrites;
    bool failReads;
};

void PrintTo(const StoreFailureCase& c, std::ostream* os) {
    *os << c.name;
}

class RulesPageStoreFailure : public RulesPageTest, public ::testing::WithParamInterface<StoreFailureCase> {};

TEST_P(RulesPageStoreFailure, KeepsTheEdits) {
    const StoreFailureCase& c = GetParam();
    startTask();
    box(1)->setText(QStringLiteral("q"));
    // A stored table other than the defaults, so that the defaults must be written.
    m_backend.values()[storename::kReadBack] = StoredValue::binary(storelayout::encodeStringList(StringList(256, "x")));
    m_backend.failWrites = c.failWrites;
    m_backend.failReads = c.failReads;
    click(c.button);
    m_backend.failWrites = false;
    m_backend.failReads = false;
    ASSERT_EQ(m_boxes.size(), 1);
    EXPECT_TRUE(m_boxes[0].contains(QStringLiteral("Prepis v latinico"))) << m_boxes[0].toStdString();
    EXPECT_TRUE(m_form->session().rulesChanged());
    EXPECT_EQ(m_form->session().editRules()['a'], "q");
    EXPECT_EQ(box(1)->text(), QStringLiteral("q"));
    EXPECT_EQ(m_form->session().activeRules(), readback::defaultRules());
    EXPECT_EQ(item().answer, "aab");
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, RulesPageStoreFailure,
    // (A write the disk refuses is kept in memory by the store, so only
    // reads can fail here.)
    ::testing::Values(StoreFailureCase{"CancelCannotRead", "CancelTransBtn", false, true},
                      StoreFailureCase{"DefaultsCannotReadBack", "DefaultTransBtn", false, true}),
    [](const ::testing::TestParamInfo<StoreFailureCase>& info) { return std::string(info.param.name); });

TEST_F(RulesPageTest, TheAutoSaveBoxStoresFlag31) {
    m_page->setAutoSave(true);
    EXPECT_TRUE(child<QCheckBox>("CbAutoSavePrepis")->isChecked());
    EXPECT_FALSE(m_options.GetFlag(flag::AutoSaveRules));  // set from the flag, not written
    click("CbAutoSavePrepis");
    EXPECT_FALSE(m_options.GetFlag(flag::AutoSaveRules));
    click("CbAutoSavePrepis");
    EXPECT_TRUE(m_options.GetFlag(flag::AutoSaveRules));
}

TEST_F(RulesPageTest, RightPressesShowTheTopicsOfRowsScrollBarAndButtons) {
    showPage();
    struct Case {
        const char* name;
        QPoint offset;  // in the control; (-1, -1): its centre
        int context;    // 0: no help
    };
    const Case cases[] = {
        {"TransVhodBox", {-1, -1}, 1301},    {"LbTengwar", {-1, -1}, 1302},
        {"TransPomenBox", {-1, -1}, 1303},   {"PnlPrepis", {4, 4}, 1304},
        {"DefaultTransBtn", {-1, -1}, 1305}, {"ConfirmTransBtn", {-1, -1}, 1306},
        {"CancelTransBtn", {-1, -1}, 1307},  {"TransScroll", {-1, -1}, 1308},
        {"LbNaslov", {-1, -1}, 9704},        {"EdTrans3", {-1, -1}, 0},
        {"CbAutoSavePrepis", {-1, -1}, 0},
    };
    HelpEngine& engine = HelpEngine::instance();
    for (const Case& c : cases) {
        QWidget* control = child<QWidget>(c.name);
        ASSERT_NE(control, nullptr);
        const QPoint at = c.offset == QPoint(-1, -1) ? control->rect().center() : c.offset;
        engine.quit();
        QSignalSpy shown(&engine, &HelpEngine::popupShown);
        QTest::mouseClick(m_form->windowHandle(), Qt::RightButton, {}, control->mapTo(m_form.get(), at));
        EXPECT_EQ(shown.isEmpty() ? 0 : shown.constLast().at(0).toInt(), c.context) << c.name;
    }
    // The scroll bar only showed help: it did not move.
    EXPECT_EQ(m_page->position(), 1);
    // F1 in an entry box asks for the row "prepis", on the check box for its own topic.
    const std::pair<QWidget*, int> focused[] = {{box(5), 1304}, {child<QWidget>("CbAutoSavePrepis"), 1310}};
    for (const auto& [control, context] : focused) {
        engine.quit();
        QSignalSpy shown(&engine, &HelpEngine::popupShown);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
        ASSERT_EQ(shown.size(), 1) << context;
        EXPECT_EQ(shown.constLast().at(0).toInt(), context);
    }
}

}  // namespace
