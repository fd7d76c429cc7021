#include "ui/exercise/descriptionspage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "app/tmainform.h"
#include "core/exercise/defaultdescriptions.h"
#include "core/exercise/trainersession.h"
#include "core/settings/memorybackend.h"
#include "core/settings/options.h"
#include "core/transcription/convertdata.h"
#include "qtcore/qtext.h"
#include "ui/exercise/exercisepage.h"
#include "ui/help/helpcontext.h"
#include "ui/help/helpengine.h"
#include "ui/widgets/messages.h"

namespace {

class DescriptionsPageTest : public testing::Test {
protected:
    void SetUp() override {
        installOptions(&m_options);
        messages::setResponder([this](const messages::Request& request) {
            m_boxes << request.text;
            return 0;
        });
        m_form = std::make_unique<TMainForm>();
        m_page = m_form->descriptionsPage();
        m_groups = child<QPlainTextEdit>("MemoSkupine");
        m_tasks = child<QPlainTextEdit>("MemoNaloge");
        m_errorsBtn = child<QPushButton>("ErrorsBtn");
    }
    void TearDown() override {
        m_form.reset();
        messages::setResponder({});
        installOptions(nullptr);
    }

    template <class W>
    W* child(const char* name) {
        W* widget = m_page->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void click(const char* name) { QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton); }

    StringList storedGroups() {
        StringList list;
        m_options.LoadLetterGroups(list);
        return list;
    }
    StringList storedTasks() {
        StringList list;
        m_options.LoadTaskDescriptions(list);
        return list;
    }

    // Shows the main window on the page, active, so that shortcuts work.
    void showPage() {
        m_form->show();
        m_form->showPage(TMainForm::PageDescriptions);
        QApplication::setActiveWindow(m_form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    }

    std::vector<std::string> liveNames() {
        std::vector<std::string> names;
        for (const auto& task : m_form->session().liveDescriptions().tasks) {
            names.push_back(task.name);
        }
        return names;
    }

    MemoryBackend m_backend;
    TOptions m_options{m_backend};
    QStringList m_boxes;
    std::unique_ptr<TMainForm> m_form;
    DescriptionsPage* m_page = nullptr;
    QPlainTextEdit* m_groups = nullptr;
    QPlainTextEdit* m_tasks = nullptr;
    QPushButton* m_errorsBtn = nullptr;
};

TEST_F(DescriptionsPageTest, StartUpLoadsTheStoredTextsAndTheAutoSaveBox) {
    m_form.reset();
    m_options.SaveTaskDescriptions({"ena=soglasniki", "dve=bla"});
    m_options.SetFlag(flag::AutoSaveDescriptions, true);
    m_form = std::make_unique<TMainForm>();
    m_page = m_form->descriptionsPage();
    EXPECT_EQ(m_page->taskLines(), (StringList{"ena=soglasniki", "dve=bla"}));
    EXPECT_EQ(m_form->session().liveDescriptions().taskCount(), 1);
    EXPECT_EQ(m_form->session().descriptionErrors().size(), 2u);
    EXPECT_TRUE(m_page->findChild<QPushButton*>(QStringLiteral("ErrorsBtn"))->isVisibleTo(m_page));
    EXPECT_TRUE(m_page->findChild<QCheckBox*>(QStringLiteral("CbAutoSaveOpisi"))->isChecked());
    EXPECT_FALSE(m_form->session().descriptionsChanged());
}

TEST_F(DescriptionsPageTest, ClosingWithAutoSaveStoresTheEditedTexts) {
    m_options.SetFlag(flag::AutoSaveDescriptions, true);
    m_groups->setPlainText(QStringLiteral("g=abc"));
    m_tasks->setPlainText(QStringLiteral("t=g"));
    ASSERT_TRUE(m_form->session().descriptionsChanged());
    EXPECT_TRUE(m_form->close());
    EXPECT_TRUE(m_boxes.isEmpty());
    EXPECT_EQ(storedGroups(), StringList{"g=abc"});
    EXPECT_EQ(storedTasks(), StringList{"t=g"});
    EXPECT_FALSE(m_form->session().descriptionsChanged());
}

TEST_F(DescriptionsPageTest, ControlsCarryCaptionsAndHelpContexts) {
    struct Expect {
        const char* name;
        const char* caption;  // null for the fields and panels
        int context;
    };
    const Expect controls[] = {
        {"PnlSkupine", nullptr, 1201},
        {"MemoSkupine", nullptr, 1201},
        {"PnlNaloge", nullptr, 1202},
        {"MemoNaloge", nullptr, 1202},
        {"ConfirmTasksBtn", "Potrdi", 1203},
        {"CancelTasksBtn", "Prekliči", 1204},
        {"ErrorsBtn", "Napake", 1205},
        {"DefaultDescBtn", "Nazaj na privzete vrednosti", 1206},
        {"CbAutoSaveOpisi", "Vedno shrani ob izhodu", 1210},
    };
    for (const Expect& c : controls) {
        QWidget* widget = child<QWidget>(c.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(helpContext(widget), c.context) << c.name;
        if (c.caption != nullptr) {
            EXPECT_EQ(qobject_cast<QAbstractButton*>(widget)->text(), QString::fromUtf8(c.caption)) << c.name;
        }
    }
    EXPECT_EQ(helpContext(m_page), 9703);
    EXPECT_EQ(m_groups->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(m_tasks->lineWrapMode(), QPlainTextEdit::NoWrap);
    QStringList labels;
    for (const QLabel* label : m_page->findChildren<QLabel*>()) {
        labels << label->text();
    }
    for (const char* text :
         {"Skupine črk:", "Naloge:", "ime=abcde...", "ime=črka+črka+...;pogoj,pogoj,..."}) {
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    }
    EXPECT_EQ(labels.count(QStringLiteral("Oblika:")), 2);
}

TEST_F(DescriptionsPageTest, EveryControlFitsItsTextAndThePage) {
    m_form->show();
    m_form->showPage(TMainForm::PageDescriptions);
    m_errorsBtn->show();
    const QRect pageRect = m_page->rect();
    for (QWidget* widget : m_page->findChildren<QWidget*>()) {
        if (widget->isWindow() || widget->parentWidget() == nullptr ||
            widget->objectName().startsWith("qt_")) {
            continue;
        }
        const QRect inPage(widget->mapTo(m_page, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(pageRect.contains(inPage)) << widget->objectName().toStdString();
        const std::string name = widget->objectName().toStdString();
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            // The style's size hint has a minimum width of its own; what matters
            // is that the caption and the picture are not cut.
            const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
            const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
            EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + icon + 2 * margin,
                      button->width())
                << name;
            EXPECT_LE(button->sizeHint().height(), button->height() + 2) << name;
        } else if (qobject_cast<QCheckBox*>(widget) != nullptr || qobject_cast<QLabel*>(widget) != nullptr) {
            EXPECT_LE(widget->sizeHint().width(), widget->width()) << name;
            EXPECT_LE(widget->sizeHint().height(), widget->height() + 2) << name;
        }
    }
}

TEST_F(DescriptionsPageTest, LoadFillsFieldsAndLiveDescriptions) {
    m_options.SaveLetterGroups({"a=xyz", "", "b=\xE8\x9A"});
    m_options.SaveTaskDescriptions({"# komentar", "prva=a", "druga=b+a;1!2"});
    QSignalSpy ends(m_page, &DescriptionsPage::exerciseEndRequested);
    QSignalSpy available(m_page, &DescriptionsPage::newTaskAvailable);
    m_form->session().setDescriptionsChanged(true);

    m_page->LoadDescriptions();

    EXPECT_EQ(m_groups->toPlainText(), QString::fromUtf8("a=xyz\n\nb=čš"));
    EXPECT_EQ(m_page->groupLines(), (std::vector<std::string>{"a=xyz", "", "b=\xE8\x9A"}));
    EXPECT_EQ(liveNames(), (std::vector<std::string>{"prva", "druga"}));
    EXPECT_EQ(m_form->session().liveDescriptions().tasks[1].conditions, std::vector<int>{2});
    EXPECT_FALSE(m_form->session().descriptionsChanged());
    EXPECT_TRUE(m_form->session().descriptionErrors().empty());
    EXPECT_FALSE(m_errorsBtn->isVisibleTo(m_page));
    EXPECT_GE(ends.count(), 1);
    ASSERT_FALSE(available.isEmpty());
    EXPECT_TRUE(available.last().at(0).toBool());
}

TEST_F(DescriptionsPageTest, ErrorsButtonFollowsEveryEditAndLiveStaysUntouched) {
    m_page->LoadDescriptions();
    const auto liveBefore = liveNames();
    ASSERT_FALSE(m_errorsBtn->isVisibleTo(m_page));

    m_tasks->appendPlainText(QStringLiteral("nova=neznana"));
    EXPECT_TRUE(m_errorsBtn->isVisibleTo(m_page));
    EXPECT_TRUE(m_form->session().descriptionsChanged());
    ASSERT_EQ(m_form->session().descriptionErrors().size(), 2u);
    EXPECT_EQ(m_form->session().descriptionErrors()[0].code, 13);
    EXPECT_EQ(liveNames(), liveBefore);

    m_tasks->appendPlainText(QStringLiteral("še=soglasniki"));  // the fault stays
    EXPECT_TRUE(m_errorsBtn->isVisibleTo(m_page));
    m_groups->appendPlainText(QStringLiteral("neznana=abc"));  // now the group exists
    EXPECT_FALSE(m_errorsBtn->isVisibleTo(m_page));
    EXPECT_EQ(m_form->session().scratchDescriptions().taskCount(), 7);
    EXPECT_EQ(liveNames(), liveBefore);

    m_groups->clear();
    EXPECT_TRUE(m_errorsBtn->isVisibleTo(m_page));
    EXPECT_EQ(m_form->session().descriptionErrors().front().code, 1);
}

TEST_F(DescriptionsPageTest, LineNumbersCountBlankAndCommentLines) {
    m_page->LoadDescriptions();
    m_tasks->setPlainText(QStringLiteral("a=soglasniki\n\n# komentar\n   \n"));
    ASSERT_EQ(m_form->session().descriptionErrors().size(), 1u);
    EXPECT_EQ(fromCp1250(m_form->session().descriptionErrors()[0].message),
              QString::fromUtf8("naloge (4): ne najdem enačaja!"));
}

TEST_F(DescriptionsPageTest, ConfirmWithErrorsStoresTextsAndMakesAcceptedTasksLive) {
    m_page->LoadDescriptions();
    m_tasks->setPlainText(QString::fromUtf8("prva=soglasniki\ndruga=bla\ntretja & četrta=samoglasniki;1!2"));
    ASSERT_TRUE(m_errorsBtn->isVisibleTo(m_page));
    QSignalSpy ends(m_page, &DescriptionsPage::exerciseEndRequested);
    QSignalSpy available(m_page, &DescriptionsPage::newTaskAvailable);

    click("ConfirmTasksBtn");

    EXPECT_TRUE(m_boxes.isEmpty()) << m_boxes.join('\n').toStdString();
    EXPECT_EQ(storedTasks(), (StringList{"prva=soglasniki", "druga=bla",
                                         "tretja & \xE8"
                                         "etrta=samoglasniki;1!2"}));
    EXPECT_EQ(storedGroups(), kDefaultLetterGroups);
    EXPECT_EQ(liveNames(), (std::vector<std::string>{"prva",
                                                     "tretja & \xE8"
                                                     "etrta"}));
    EXPECT_FALSE(m_form->session().descriptionsChanged());
    EXPECT_TRUE(m_errorsBtn->isVisibleTo(m_page));
    std::vector<int> codes;
    for (const auto& e : m_form->session().descriptionErrors()) {
        codes.push_back(e.code);
    }
    EXPECT_EQ(codes, (std::vector<int>{13, 14, 22}));
    EXPECT_EQ(ends.count(), 2);
    ASSERT_EQ(available.count(), 1);
    EXPECT_TRUE(available.at(0).at(0).toBool());

    // The task menu of "Nova naloga" offers exactly the accepted tasks.
    QMenu* taskMenu = m_form->exercisePage()->nalogePopup();
    ASSERT_NE(taskMenu, nullptr);
    emit taskMenu->aboutToShow();
    QStringList offered;
    for (QAction* item : taskMenu->actions()) {
        if (item->isSeparator())
            break;  // below it the drills of real words
        offered << item->text();
    }
    EXPECT_EQ(offered, (QStringList{QStringLiteral("prva"), QString::fromUtf8("tretja && četrta")}));

    // No task left: "Nova naloga" goes off.
    m_tasks->setPlainText(QStringLiteral("# nič"));
    click("ConfirmTasksBtn");
    EXPECT_EQ(m_form->session().liveDescriptions().taskCount(), 0);
    ASSERT_EQ(available.count(), 2);
    EXPECT_FALSE(available.at(1).at(0).toBool());
}

TEST_F(DescriptionsPageTest, ConfirmEndsTheRunningExerciseAndSetsNewTask) {
    m_page->LoadDescriptions();
    ExercisePage* exercise = m_form->exercisePage();
    auto* newTask = exercise->findChild<QPushButton*>(QStringLiteral("Restart1Btn"));
    ASSERT_NE(newTask, nullptr);
    EXPECT_TRUE(newTask->isEnabled());
    exercise->StartTask(1);
    ASSERT_EQ(exercise->state().taskNumber, 1);

    m_tasks->setPlainText(QStringLiteral("t=soglasniki"));
    EXPECT_EQ(exercise->state().taskNumber, 1);  // editing alone changes nothing live
    click("ConfirmTasksBtn");
    EXPECT_EQ(exercise->state().taskNumber, 0);
    EXPECT_TRUE(newTask->isEnabled());

    m_tasks->setPlainText(QStringLiteral("t=bla"));
    click("ConfirmTasksBtn");
    EXPECT_FALSE(newTask->isEnabled());
    click("CancelTasksBtn");  // the stored text is the faulty one
    EXPECT_FALSE(newTask->isEnabled());
    click("DefaultDescBtn");
    EXPECT_TRUE(newTask->isEnabled());
}

TEST_F(DescriptionsPageTest, CancelRestoresTheStoredTexts) {
    m_page->LoadDescriptions();
    m_groups->setPlainText(QStringLiteral("x=abc"));
    m_tasks->setPlainText(QStringLiteral("t=x"));
    ASSERT_TRUE(m_form->session().descriptionsChanged());

    click("CancelTasksBtn");

    EXPECT_EQ(m_page->groupLines(), kDefaultLetterGroups);
    EXPECT_EQ(m_page->taskLines(), kDefaultTaskDescriptions);
    EXPECT_EQ(m_form->session().liveDescriptions().taskCount(), 5);
    EXPECT_FALSE(m_form->session().descriptionsChanged());
    EXPECT_EQ(storedTasks(), kDefaultTaskDescriptions);
}

TEST_F(DescriptionsPageTest, DefaultsAreWrittenAndLoaded) {
    m_options.SaveLetterGroups({"x=abc"});
    m_options.SaveTaskDescriptions({"t=x", "u=y"});
    m_page->LoadDescriptions();
    ASSERT_TRUE(m_errorsBtn->isVisibleTo(m_page));
    m_tasks->appendPlainText(QStringLiteral("v=x"));
    QSignalSpy ends(m_page, &DescriptionsPage::exerciseEndRequested);

    click("DefaultDescBtn");

    EXPECT_EQ(storedGroups(), kDefaultLetterGroups);
    EXPECT_EQ(storedTasks(), kDefaultTaskDescriptions);
    EXPECT_EQ(m_page->taskLines(), kDefaultTaskDescriptions);
    EXPECT_EQ(m_form->session().liveDescriptions().taskCount(), 5);
    EXPECT_FALSE(m_form->session().descriptionsChanged());
    EXPECT_FALSE(m_errorsBtn->isVisibleTo(m_page));
    EXPECT_GE(ends.count(), 1);
}

TEST_F(DescriptionsPageTest, SaveWritesTheFieldsLineByLine) {
    m_page->LoadDescriptions();
    m_groups->setPlainText(QString::fromUtf8("a=čšž\n\n# x\n"));
    m_tasks->setPlainText(QStringLiteral("t=a\r\nu=a"));
    ASSERT_TRUE(m_form->session().descriptionsChanged());
    m_page->SaveDescriptions();
    EXPECT_EQ(storedGroups(), (StringList{"a=\xE8\x9A\x9E", "", "# x"}));
    EXPECT_EQ(storedTasks(), (StringList{"t=a", "u=a"}));
    EXPECT_FALSE(m_form->session().descriptionsChanged());
}

TEST_F(DescriptionsPageTest, ErrorMenuListsMessagesInOrderWithLiteralAmpersands) {
    m_page->LoadDescriptions();
    m_groups->setPlainText(QStringLiteral("a&b=xy\na&b=z"));
    m_tasks->setPlainText(QStringLiteral("t&t=a&b\nt&t=c"));
    QMenu* menu = m_page->errorsPopup();
    ASSERT_NE(menu, nullptr);

    click("ErrorsBtn");
    ASSERT_TRUE(menu->isVisible());
    // Opened under the button, at its left edge.
    EXPECT_EQ(menu->pos(), m_errorsBtn->mapToGlobal(QPoint(0, m_errorsBtn->height())));
    QStringList captions;
    QList<int> contexts;
    for (QAction* item : menu->actions()) {
        captions << item->text();
        contexts << item->property(kHelpContextProperty).toInt();
    }
    const QStringList expected = {
        QString::fromUtf8("skupine (2): ime „a&&b“ se ponavlja!"),
        QString::fromUtf8("naloge (2): ime „t&&t“ se ponavlja!"),
        QString::fromUtf8("naloge (2): ne poznam skupine črk „c“!"),
        QString::fromUtf8("naloge (2): 1. črka je nedefinirana!"),
    };
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(contexts, (QList<int>{9905, 9910, 9913, 9914}));
    // "&&" is how a menu shows one "&": the text without mnemonics has the single one.
    EXPECT_EQ(QAction(captions[0]).iconText(), QString::fromUtf8("skupine (2): ime „a&b“ se ponavlja!"));
    menu->hide();

    // The next opening shows only the current list.
    m_groups->setPlainText(QStringLiteral("a=xy\n="));
    m_tasks->setPlainText(QStringLiteral("t=a\nu=a+a;1!1"));
    click("ErrorsBtn");
    ASSERT_TRUE(menu->isVisible());
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), QString::fromUtf8("skupine (2): skupina nima imena!"));
    EXPECT_EQ(menu->actions()[1]->property(kHelpContextProperty).toInt(), 9921);
    menu->hide();
}

TEST_F(DescriptionsPageTest, ChoosingAnErrorShowsItsHelpTopic) {
    m_page->LoadDescriptions();
    m_tasks->setPlainText(QStringLiteral("t=soglasniki;1!!2"));
    QSignalSpy popups(&HelpEngine::instance(), &HelpEngine::popupShown);
    click("ErrorsBtn");
    QMenu* menu = m_page->errorsPopup();
    ASSERT_EQ(menu->actions().size(), 1);
    menu->actions()[0]->trigger();
    ASSERT_EQ(popups.count(), 1);
    EXPECT_EQ(popups.at(0).at(0).toInt(), 9922);
    menu->hide();
    HelpEngine::instance().quit();
}

TEST_F(DescriptionsPageTest, RightButtonShowsTheTopicOfTheControlOrItsPanel) {
    m_page->LoadDescriptions();
    showPage();
    QSignalSpy popups(&HelpEngine::instance(), &HelpEngine::popupShown);
    struct Press {
        const char* control;
        int topic;
    };
    const Press presses[] = {
        {"LabSkupine", 1201},
        {"LabVzorecNaloge", 1202},
        {"DefaultDescBtn", 1206},
        {"ConfirmTasksBtn", 1203},
    };
    for (const Press& p : presses) {
        popups.clear();
        QTest::mousePress(child<QWidget>(p.control), Qt::RightButton);
        ASSERT_EQ(popups.count(), 1) << p.control;
        EXPECT_EQ(popups.at(0).at(0).toInt(), p.topic) << p.control;
        HelpEngine::instance().quit();
    }
    // The text fields keep the right button for their own menu.
    popups.clear();
    QTest::mousePress(m_tasks->viewport(), Qt::RightButton);
    EXPECT_EQ(popups.count(), 0);
    HelpEngine::instance().quit();
}

TEST_F(DescriptionsPageTest, EscapeOpensTheMenuOnlyOutsideTheFields) {
    m_page->LoadDescriptions();
    showPage();
    QMenu* menu = m_page->errorsPopup();
    auto* confirm = child<QPushButton>("ConfirmTasksBtn");

    // No errors: the button is hidden and Esc does nothing.
    confirm->setFocus();
    QTest::keyClick(confirm, Qt::Key_Escape);
    EXPECT_FALSE(menu->isVisible());

    m_tasks->setPlainText(QStringLiteral("=x"));
    ASSERT_TRUE(m_errorsBtn->isVisible());
    m_tasks->setFocus();
    QTest::keyClick(m_tasks, Qt::Key_Escape);
    EXPECT_FALSE(menu->isVisible());

    confirm->setFocus();
    QTest::keyClick(confirm, Qt::Key_Escape);
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->actions().size(), 1);
    menu->hide();

    // Not on another page.
    m_form->showPage(TMainForm::PageExercise);
    QTest::keyClick(m_form.get(), Qt::Key_Escape);
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(DescriptionsPageTest, AutoSaveBoxWritesFlag32OnClickOnly) {
    auto* box = child<QCheckBox>("CbAutoSaveOpisi");
    m_page->setAutoSave(true);
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(m_options.GetFlag(32));
    click("CbAutoSaveOpisi");
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(m_options.GetFlag(32));
    click("CbAutoSaveOpisi");
    EXPECT_TRUE(m_options.GetFlag(32));
    const FlagBytes before = m_options.GetFlags();
    click("CbAutoSaveOpisi");
    EXPECT_FALSE(m_options.GetFlag(32));
    FlagBytes after = m_options.GetFlags();
    after[4] |= 1;  // bit 32 is bit 0 of byte 4; every other bit is unchanged
    EXPECT_EQ(after, before);
}

// Descriptions the disk refuses to store are confirmed all the same and
// kept in memory by the store (which tells the user once).
TEST_F(DescriptionsPageTest, ConfirmedDescriptionsThatCannotBeStoredHoldInMemory) {
    m_page->LoadDescriptions();
    m_tasks->setPlainText(QStringLiteral("nova=soglasniki"));
    m_backend.failWrites = true;
    click("ConfirmTasksBtn");
    EXPECT_EQ(m_boxes.size(), 0);
    EXPECT_EQ(m_form->session().liveDescriptions().taskCount(), 1);
    StringList stored;
    m_options.LoadTaskDescriptions(stored);
    EXPECT_EQ(stored, StringList{"nova=soglasniki"});
    m_backend.failWrites = false;
}

}  // namespace
