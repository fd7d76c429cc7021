#include "ui/install/shortcuts.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "../app/shellfixture.h"
#include "app/startup.h"
#include "core/exercise/trainersession.h"
#include "core/install/desktopentry.h"
#include "ui/help/helpengine.h"
#include "ui/install/tshortcutform.h"

namespace {

const QString kEntry = QString::fromLatin1(desktopentry::kFileName);

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The dialog answered by a test: the boxes it ticks and the button it presses.
struct Answer {
    bool start = true;
    bool desktop = false;
    bool ok = true;
};

// Menu and desktop folders under a temporary folder, and a program path with
// a blank in it.
class ShortcutsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(m_root.isValid());
        applications = m_root.filePath(QStringLiteral("share/applications"));
        desktop = m_root.filePath(QStringLiteral("Namizje"));
        program = m_root.filePath(QStringLiteral("Moji programi/tengwar-ostrel"));
        shortcuts::setEnvironment({[this](TShortcutForm& form) {
                                       ++dialogs;
                                       form.CbStart()->setChecked(answer.start);
                                       form.CbDesktop()->setChecked(answer.desktop);
                                       return answer.ok;
                                   },
                                   [this] { return applications; }, [this] { return desktop; },
                                   [this] { return program; }, [this] { return packaged; }});
    }
    void TearDown() override {
        shortcuts::resetEnvironment();
        HelpEngine::instance().quit();
        ShellTest::TearDown();
    }

    QString rootPath(const QString& name) const { return m_root.filePath(name); }

    Answer answer;
    int dialogs = 0;
    QString applications;
    QString desktop;
    QString program;
    bool packaged = false;  // the installed package's menu entry is there

private:
    QTemporaryDir m_root;
};

TEST_F(ShortcutsTest, VRedWritesTheChosenEntriesExecutableAndSaysNothing) {
    const Answer choices[] = {
        {true, true, true}, {true, false, true}, {false, true, true}, {false, false, true}};
    for (const Answer& choice : choices) {
        SCOPED_TRACE(testing::Message() << "start " << choice.start << " desktop " << choice.desktop);
        QDir(applications).removeRecursively();
        QDir(desktop).removeRecursively();
        answer = choice;
        EXPECT_TRUE(OfferShortcuts());
        for (const auto& [folder, chosen] :
             {std::pair{applications, choice.start}, {desktop, choice.desktop}}) {
            const QFileInfo entry(QDir(folder).filePath(kEntry));
            ASSERT_EQ(entry.exists(), chosen) << folder.toStdString();
            if (chosen) {
                EXPECT_TRUE(entry.permissions().testFlag(QFileDevice::ExeOwner));
                EXPECT_EQ(readAll(entry.filePath()).toStdString(),
                          desktopentry::entryText(program.toStdString()));
            }
        }
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ShortcutsTest, AnUnwritableFolderGivesTheMessageAndTheOtherEntryIsStillWritten) {
    // A folder that cannot be made: its parent is a file.
    QFile blocker(rootPath(QStringLiteral("datoteka")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    applications = rootPath(QStringLiteral("datoteka/applications"));
    answer = {true, true, true};

    EXPECT_TRUE(OfferShortcuts());
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], QString::fromUtf8(shortcuts::kFailureText));
    EXPECT_TRUE(QFileInfo::exists(QDir(desktop).filePath(kEntry)));
}

TEST_F(ShortcutsTest, IzhodWritesNothingAndAsksToEnd) {
    answer = {true, true, false};
    EXPECT_FALSE(OfferShortcuts());
    EXPECT_FALSE(QFileInfo::exists(applications));
    EXPECT_FALSE(QFileInfo::exists(desktop));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ShortcutsTest, WrittenEntryPassesDesktopFileValidate) {
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty()) {
        GTEST_SKIP() << "desktop-file-validate is not installed (Debian desktop-file-utils)";
    }
    ASSERT_TRUE(writeDesktopEntry(applications, program));
    QProcess process;
    process.start(validator, {QDir(applications).filePath(kEntry)});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardOutput().toStdString();
}

TEST_F(ShortcutsTest, DialogDefaultsAndItsOneHelpTopic) {
    TShortcutForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(form.CbStart()->isChecked());
    EXPECT_FALSE(form.CbDesktop()->isChecked());

    QSignalSpy shown(&HelpEngine::instance(), &HelpEngine::popupShown);
    QTest::mouseClick(form.CbDesktop(), Qt::RightButton);
    form.CbStart()->setFocus();
    QTest::keyClick(form.CbStart(), Qt::Key_F1);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].at(0).toInt(), TShortcutForm::kHelpContext);
    EXPECT_EQ(shown[1].at(0).toInt(), TShortcutForm::kHelpContext);
    EXPECT_TRUE(form.CbStart()->isChecked());  // a right press does not tick
}

TEST_F(ShortcutsTest, OneMenuEntryNotTwo) {
    // A user entry written earlier for a program that is there, or for one that has gone.
    enum class Earlier { None, Working, Stale };
    const struct {
        bool packaged;
        Earlier earlier;
        bool offeredTicked;  // the menu box as the dialog opens
        bool earlierKept;    // the earlier entry after the start's clean-up
    } cases[] = {
        {false, Earlier::None, true, true},   {false, Earlier::Working, false, true},
        {false, Earlier::Stale, true, true},  {true, Earlier::None, false, true},
        {true, Earlier::Working, false, true}, {true, Earlier::Stale, false, false},
    };
    const QString gone = rootPath(QStringLiteral("izbrisan/tengwar-ostrel"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(program).absolutePath()));
    QFile(program).open(QIODevice::WriteOnly);
    QFile(program).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QString entry = QDir(applications).filePath(kEntry);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "packaged " << c.packaged << " earlier " << int(c.earlier));
        QDir(applications).removeRecursively();
        packaged = c.packaged;
        if (c.earlier != Earlier::None) {
            ASSERT_TRUE(writeDesktopEntry(applications, c.earlier == Earlier::Working ? program : gone));
        }
        shortcuts::dropStaleMenuEntry();
        EXPECT_EQ(QFileInfo::exists(entry), c.earlier != Earlier::None && c.earlierKept);

        bool ticked = false;
        QString text;
        shortcuts::setEnvironment({[&](TShortcutForm& form) {
                                       ticked = form.CbStart()->isChecked();
                                       text = form.findChild<QLabel*>(QStringLiteral("Label"))->text();
                                       return false;
                                   },
                                   [this] { return applications; }, [this] { return desktop; },
                                   [this] { return program; }, [this] { return packaged; }});
        EXPECT_FALSE(OfferShortcuts());
        EXPECT_EQ(ticked, c.offeredTicked);
        EXPECT_EQ(text == QString::fromUtf8(TShortcutForm::kMenuPresentText), !c.offeredTicked);
    }
}

// "Izhod" at the first start: the main window is still made (the first-start
// marker goes), then the loop ends without the close query; the next start
// offers nothing.
TEST_F(ShortcutsTest, IzhodAtFirstStartEndsWithoutCloseQueryAndOnlyOnce) {
    answer = {true, true, false};
    ASSERT_TRUE(options().GetFirstTime());
    EXPECT_FALSE(offerShortcutsAtFirstStart(options()));

    TMainForm form;
    form.show();
    form.session().setDescriptionsChanged(true);  // a close query would ask to save
    endOnceIdle();
    QTimer::singleShot(10000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(options().GetFirstTime());

    EXPECT_TRUE(offerShortcutsAtFirstStart(options()));
    EXPECT_EQ(dialogs, 1);
}

}  // namespace
