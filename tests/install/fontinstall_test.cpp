#include "ui/install/fontinstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include "core/install/szdd.h"
#include "tools/szddcompress.h"
#include "ui/help/helpcontext.h"
#include "ui/install/tfontpathdlg.h"
#include "ui/widgets/messages.h"

namespace {

const QString kCannotSave =
    QStringLiteral("Ne morem shraniti pisave v mapo, ki ste jo določili!\nPoskusite pisavo namestiti ročno.");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray pack(const QByteArray& bytes) {
    const auto packed =
        szddpack::pack(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
    return QByteArray(reinterpret_cast<const char*>(packed.data()), qsizetype(packed.size()));
}

// The Windows (Unicode) records of a TrueType name table, by name id.
std::map<int, QString> windowsNames(const QByteArray& table) {
    const auto u16 = [&table](qsizetype at) {
        return at + 2 <= table.size() ? (quint16(quint8(table[at])) << 8) | quint8(table[at + 1]) : 0;
    };
    std::map<int, QString> names;
    const int count = u16(2);
    const qsizetype strings = u16(4);
    for (int i = 0; i < count; ++i) {
        const qsizetype record = 6 + 12 * i;
        if (u16(record) != 3 || u16(record + 2) != 1) {
            continue;  // platform 3, encoding 1: UTF-16BE
        }
        const qsizetype length = u16(record + 8);
        const qsizetype offset = strings + u16(record + 10);
        QString text;
        for (qsizetype at = offset; at + 1 < offset + length; at += 2) {
            text += QChar(char16_t(u16(at)));
        }
        names[u16(record + 6)] = text;
    }
    return names;
}

// The dialog's controls, by their object names.
struct DialogControls {
    explicit DialogControls(TFontPathDlg& dialog)
        : EdPath(dialog.findChild<QLineEdit*>(QStringLiteral("EdPath"))),
          BrowseBtn(dialog.findChild<QPushButton*>(QStringLiteral("BrowseBtn"))),
          OKBtn(dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))),
          CancelBtn(dialog.findChild<QPushButton*>(QStringLiteral("CancelBtn"))),
          Label(dialog.findChild<QLabel*>(QStringLiteral("Label"))),
          Panel(dialog.findChild<QWidget*>(QStringLiteral("Panel"))) {}
    QLineEdit* EdPath;
    QPushButton* BrowseBtn;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QLabel* Label;
    QWidget* Panel;
};

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                                  QDir::Name);
}

// Every test runs with its own HOME and XDG_DATA_HOME under a temporary folder,
// answers message boxes through the responder and never shows the dialog.
class FontInstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        m_home = m_root.filePath(QStringLiteral("home"));
        m_dataHome = m_root.filePath(QStringLiteral("data"));  // not there yet
        ASSERT_TRUE(QDir().mkpath(m_home));
        m_oldHome = qgetenv("HOME");
        m_oldDataHome = qgetenv("XDG_DATA_HOME");
        m_hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
        m_hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_root.filePath(QStringLiteral("config")).toLocal8Bit());
        qputenv("HOME", m_home.toLocal8Bit());
        qputenv("XDG_DATA_HOME", m_dataHome.toLocal8Bit());

        messages::setResponder([this](const messages::Request& request) {
            m_messages.push_back(request);
            return 0;
        });
        fontinstall::setEnvironment({nullptr, [this](TFontPathDlg& dialog) {
                                         ++m_dialogs;
                                         if (!m_typedPath) {
                                             return false;
                                         }
                                         DialogControls(dialog).EdPath->setText(*m_typedPath);
                                         return true;
                                     }});
    }

    void TearDown() override {
        QFontDatabase::removeAllApplicationFonts();
        fontinstall::resetEnvironment();
        messages::setResponder({});
        qputenv("HOME", m_oldHome);
        if (m_hadDataHome) {
            qputenv("XDG_DATA_HOME", m_oldDataHome);
        } else {
            qunsetenv("XDG_DATA_HOME");
        }
        if (m_hadConfigHome) {
            qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
        } else {
            qunsetenv("XDG_CONFIG_HOME");
        }
    }

    // The real font, packed by the build; tests that register it need it.
    static bool haveRealFont() {
        return QFile::exists(QString::fromLatin1(fontinstall::kResource)) &&
               !QFontDatabase::families().contains(QString::fromLatin1(fontinstall::kFamily));
    }

    void usePackedFont(const QByteArray& packed) {
        auto dialog = [this](TFontPathDlg& d) {
            ++m_dialogs;
            if (!m_typedPath) {
                return false;
            }
            DialogControls(d).EdPath->setText(*m_typedPath);
            return true;
        };
        fontinstall::setEnvironment({[packed] { return packed; }, dialog});
    }

    QString fontsFolder() const { return m_dataHome + QStringLiteral("/fonts"); }
    QString dotFonts() const { return m_home + QStringLiteral("/.fonts"); }

    QTemporaryDir m_root;
    QString m_home;
    QString m_dataHome;
    QByteArray m_oldHome;
    QByteArray m_oldDataHome;
    bool m_hadDataHome = false;
    QByteArray m_oldConfigHome;
    bool m_hadConfigHome = false;
    std::vector<messages::Request> m_messages;
    int m_dialogs = 0;
    std::optional<QString> m_typedPath;
};

TEST_F(FontInstallTest, PathExistsTellsFoldersFromFiles) {
    const QString folder = m_root.filePath(QStringLiteral("folder"));
    const QString file = m_root.filePath(QStringLiteral("file"));
    const QString dangling = m_root.filePath(QStringLiteral("dangling"));
    ASSERT_TRUE(QDir().mkpath(folder));
    writeAll(file, "x");
    ASSERT_TRUE(QFile::link(m_root.filePath(QStringLiteral("nowhere")), dangling));
    struct Case {
        QString path;
        bool folder;
        bool other;
    };
    const Case cases[] = {
        {folder, true, false},     {file, false, true},
        {dangling, false, true},   {m_root.filePath(QStringLiteral("missing")), false, false},
        {QString(), false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathExists(c.path, true), c.folder) << c.path.toStdString();
        EXPECT_EQ(PathExists(c.path, false), c.other) << c.path.toStdString();
    }
}

TEST_F(FontInstallTest, UniqueFontFileNameSkipsTakenNames) {
    const QString folder = m_root.path();
    EXPECT_EQ(UniqueFontFileName(folder), QStringLiteral("quenya.ttf"));

    // A folder of that name does not take it.
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("quenya.ttf")));
    EXPECT_EQ(UniqueFontFileName(folder), QStringLiteral("quenya.ttf"));
    ASSERT_TRUE(QDir(folder).rmdir(QStringLiteral("quenya.ttf")));

    writeAll(folder + QStringLiteral("/quenya.ttf"), "stale");
    EXPECT_EQ(UniqueFontFileName(folder), QStringLiteral("quenya.ttf (1)"));
    writeAll(folder + QStringLiteral("/quenya.ttf (2)"), "x");
    EXPECT_EQ(UniqueFontFileName(folder), QStringLiteral("quenya.ttf (1)"));  // the first free one
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("quenya.ttf (1)")));
    EXPECT_EQ(UniqueFontFileName(folder), QStringLiteral("quenya.ttf (1)"));
    ASSERT_TRUE(QDir(folder).rmdir(QStringLiteral("quenya.ttf (1)")));

    for (int i = 1; i <= 100; ++i) {
        writeAll(folder + QStringLiteral("/quenya.ttf (%1)").arg(i), "x");
    }
    EXPECT_EQ(UniqueFontFileName(folder), QString());
}

TEST_F(FontInstallTest, WriteFontToFolderUnpacksUnderTheFreeName) {
    const QByteArray font = QByteArray("\x00\x01\x00\x00", 4) + "a font of sorts, a font of sorts";
    usePackedFont(pack(font));
    const QString folder = m_root.path();
    writeAll(folder + QStringLiteral("/quenya.ttf"), "stale");

    QString path;
    ASSERT_TRUE(WriteFontToFolder(folder, path));
    EXPECT_EQ(path, folder + QStringLiteral("/quenya.ttf (1)"));
    EXPECT_EQ(readAll(path), font);
    EXPECT_EQ(readAll(folder + QStringLiteral("/quenya.ttf")), QByteArray("stale"));

    // All names taken: nothing is written and nothing is overwritten.
    for (int i = 2; i <= 100; ++i) {
        writeAll(folder + QStringLiteral("/quenya.ttf (%1)").arg(i), "x");
    }
    const QStringList before = entries(folder);
    EXPECT_FALSE(WriteFontToFolder(folder, path));
    EXPECT_EQ(entries(folder), before);
    EXPECT_EQ(readAll(folder + QStringLiteral("/quenya.ttf")), QByteArray("stale"));

    EXPECT_FALSE(WriteFontToFolder(m_root.filePath(QStringLiteral("missing")), path));
}

TEST_F(FontInstallTest, WriteFontToFolderWritesNothingFromABrokenResource) {
    const QByteArray good = pack(QByteArray(3000, 'q'));
    const QByteArray cases[] = {QByteArray(), good.left(good.size() - 1), QByteArray("SZDD but not really")};
    const QString folder = m_root.filePath(QStringLiteral("target"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const auto& packed : cases) {
        usePackedFont(packed);
        QString path;
        EXPECT_FALSE(WriteFontToFolder(folder, path));
        EXPECT_TRUE(entries(folder).isEmpty());
    }
}

TEST_F(FontInstallTest, EmbeddedResourceUnpacksToTheFontFile) {
    const QByteArray ttf = readAll(QStringLiteral(OSTREL_FONT_FILE));
    if (ttf.isEmpty()) {
        GTEST_SKIP() << "the font is not in the source tree";
    }
    const QByteArray packed = readAll(QString::fromLatin1(fontinstall::kResource));
    ASSERT_FALSE(packed.isEmpty());
    const auto unpacked =
        DecompressSzdd(reinterpret_cast<const std::uint8_t*>(packed.constData()), std::size_t(packed.size()));
    ASSERT_TRUE(unpacked.has_value());
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(unpacked->data()), qsizetype(unpacked->size())), ttf);
    EXPECT_LT(packed.size(), ttf.size());
}

TEST_F(FontInstallTest, TheWrittenFontCarriesItsCopyrightAndLicence) {
    const QString licenceFile = QFileInfo(QStringLiteral(OSTREL_FONT_FILE)).dir().filePath(QStringLiteral("OFL.txt"));
    const QStringList licence = QString::fromUtf8(readAll(licenceFile)).split(QLatin1Char('\n'));
    ASSERT_GE(licence.size(), 5) << licenceFile.toStdString();
    const QString folder = m_root.filePath(QStringLiteral("fonts"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QString path;
    ASSERT_TRUE(WriteFontToFolder(folder, path));

    const QRawFont font(readAll(path), 12);
    ASSERT_TRUE(font.isValid());
    const std::map<int, QString> names = windowsNames(font.fontTable("name"));
    const QString url = QStringLiteral("https://openfontlicense.org");
    ASSERT_TRUE(licence.at(4).trimmed() == url) << "OFL.txt names another address";
    // 0 copyright, 13 licence description, 14 licence address.
    EXPECT_EQ(names.count(0) ? names.at(0) : QString(), licence.at(0).trimmed());
    EXPECT_TRUE(names.count(13) && names.at(13).contains(QStringLiteral("SIL Open Font License, Version 1.1")) &&
                names.at(13).contains(url));
    EXPECT_EQ(names.count(14) ? names.at(14) : QString(), url);
}

TEST_F(FontInstallTest, FirstStartWritesIntoTheNewFontsFolderAndRegisters) {
    if (!haveRealFont()) {
        GTEST_SKIP() << "no embedded font, or Tengwar Quenya is installed on this machine";
    }
    ASSERT_FALSE(QFileInfo::exists(fontsFolder()));
    ASSERT_TRUE(InstallFont());
    EXPECT_EQ(entries(fontsFolder()), QStringList{QStringLiteral("quenya.ttf")});
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Tengwar Quenya")));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_dialogs, 0);

    // The next start finds the face and touches nothing.
    const QByteArray written = readAll(fontsFolder() + QStringLiteral("/quenya.ttf"));
    const QDateTime stamp = QFileInfo(fontsFolder() + QStringLiteral("/quenya.ttf")).lastModified();
    ASSERT_TRUE(InstallFont());
    EXPECT_EQ(entries(fontsFolder()), QStringList{QStringLiteral("quenya.ttf")});
    EXPECT_EQ(QFileInfo(fontsFolder() + QStringLiteral("/quenya.ttf")).lastModified(), stamp);
    EXPECT_EQ(readAll(fontsFolder() + QStringLiteral("/quenya.ttf")), written);
    EXPECT_FALSE(QFileInfo::exists(dotFonts()));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_dialogs, 0);
}

TEST_F(FontInstallTest, StaleFontFileGetsANumberedNeighbour) {
    if (!haveRealFont()) {
        GTEST_SKIP() << "no embedded font, or Tengwar Quenya is installed on this machine";
    }
    ASSERT_TRUE(QDir().mkpath(fontsFolder()));
    writeAll(fontsFolder() + QStringLiteral("/quenya.ttf"), "not a font any more");
    ASSERT_TRUE(InstallFont());
    EXPECT_EQ(entries(fontsFolder()),
              (QStringList{QStringLiteral("quenya.ttf"), QStringLiteral("quenya.ttf (1)")}));
    EXPECT_EQ(readAll(fontsFolder() + QStringLiteral("/quenya.ttf")), QByteArray("not a font any more"));
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("Tengwar Quenya")));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(FontInstallTest, UnusableFontsFolderFallsBackToDotFonts) {
    if (!haveRealFont()) {
        GTEST_SKIP() << "no embedded font, or Tengwar Quenya is installed on this machine";
    }
    // XDG_DATA_HOME names a file, so no fonts folder can be made under it.
    writeAll(m_dataHome, "a file");
    ASSERT_TRUE(QDir().mkpath(dotFonts()));
    ASSERT_TRUE(InstallFont());
    EXPECT_EQ(entries(dotFonts()), QStringList{QStringLiteral("quenya.ttf")});
    EXPECT_EQ(m_dialogs, 0);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(FontInstallTest, NoFolderTakesItSoTheUserIsAsked) {
    if (!haveRealFont()) {
        GTEST_SKIP() << "no embedded font, or Tengwar Quenya is installed on this machine";
    }
    writeAll(m_dataHome, "a file");  // and there is no ~/.fonts
    const QString chosen = m_root.filePath(QStringLiteral("chosen"));
    ASSERT_TRUE(QDir().mkpath(chosen));

    // Closed without OK: false, and nothing is said.
    EXPECT_FALSE(InstallFont());
    EXPECT_EQ(m_dialogs, 1);
    EXPECT_TRUE(m_messages.empty());

    // A folder that does not exist.
    m_typedPath = m_root.filePath(QStringLiteral("nowhere"));
    EXPECT_FALSE(InstallFont());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].text, kCannotSave);
    EXPECT_EQ(m_messages[0].title, QString());  // the program's name
    EXPECT_EQ(m_messages[0].buttons.size(), 1);

    // The typed path is used without the blanks and control characters around it.
    m_messages.clear();
    m_typedPath = QStringLiteral("  \t") + chosen + QStringLiteral(" \x01 ");
    EXPECT_TRUE(InstallFont());
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(entries(chosen), QStringList{QStringLiteral("quenya.ttf")});
    EXPECT_EQ(m_dialogs, 3);
}

// A folder chosen in the dialog is made known to the font scanner, so that the
// next start finds the face there and neither asks nor writes again.
TEST_F(FontInstallTest, AChosenFolderIsFoundByTheFontScannerAtTheNextStart) {
    if (!haveRealFont() || QStandardPaths::findExecutable(QStringLiteral("fc-list")).isEmpty()) {
        GTEST_SKIP() << "no embedded font, Tengwar Quenya is installed, or no fc-list";
    }
    writeAll(m_dataHome, "a file");  // and there is no ~/.fonts
    const QString chosen = m_root.filePath(QStringLiteral("my <fonts> & more"));
    ASSERT_TRUE(QDir().mkpath(chosen));
    m_typedPath = chosen;
    ASSERT_TRUE(InstallFont());
    ASSERT_TRUE(RememberFontFolder(chosen));  // a second time names the folder once
    const QString conf = m_root.filePath(QStringLiteral("config/fontconfig/conf.d/50-tengwar-ostrel.conf"));
    const QString text = QString::fromUtf8(readAll(conf));
    EXPECT_EQ(text.count(QStringLiteral("<dir>")), 1) << text.toStdString();

    QProcess scanner;
    scanner.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    scanner.start(QStringLiteral("fc-list"),
                  {QString::fromLatin1(fontinstall::kFamily), QStringLiteral("file")});
    ASSERT_TRUE(scanner.waitForFinished(60000));
    EXPECT_TRUE(
        QString::fromUtf8(scanner.readAllStandardOutput()).contains(chosen + QStringLiteral("/quenya.ttf")))
        << text.toStdString();
}

TEST_F(FontInstallTest, RefusedRegistrationIsReportedAndTheFileStays) {
    const QByteArray notAFont = QByteArray(5000, '\x7F');
    usePackedFont(pack(notAFont));
    EXPECT_FALSE(InstallFont());
    const QString path = fontsFolder() + QStringLiteral("/quenya.ttf");
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].text, QStringLiteral("Ne morem namestiti pisave v datoteko %1!\n"
                                                 "Poskusite pisavo namestiti ročno.")
                                      .arg(path));
    EXPECT_EQ(readAll(path), notAFont);
    EXPECT_EQ(m_dialogs, 0);
}

TEST_F(FontInstallTest, AFontWithAnotherFaceDoesNotCount) {
    const QByteArray other =
        readAll(QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf"));
    if (other.isEmpty()) {
        GTEST_SKIP() << "fonts-liberation2 is not installed";
    }
    usePackedFont(pack(other));
    EXPECT_FALSE(InstallFont());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].text.startsWith(QStringLiteral("Ne morem namestiti pisave v datoteko ")));
    EXPECT_FALSE(QFontDatabase::families().contains(QStringLiteral("Tengwar Quenya")));
}

TEST_F(FontInstallTest, CandidateFoldersFollowXdgDataHome) {
    EXPECT_EQ(fontinstall::candidateFolders(), (QStringList{fontsFolder(), dotFonts()}));
    for (const char* unusable : {"", "relative/path"}) {
        qputenv("XDG_DATA_HOME", unusable);
        EXPECT_EQ(fontinstall::candidateFolders(),
                  (QStringList{m_home + QStringLiteral("/.local/share/fonts"), dotFonts()}))
            << unusable;
    }
}

class FontPathDlgTest : public ::testing::Test {
protected:
    void TearDown() override { TFontPathDlg::setFolderBrowser({}); }
    QTemporaryDir m_root;
};

TEST_F(FontPathDlgTest, OkIsEnabledExactlyForAnExistingFolder) {
    TFontPathDlg dialog;
    DialogControls ui(dialog);
    ASSERT_TRUE(ui.EdPath && ui.BrowseBtn && ui.OKBtn && ui.CancelBtn && ui.Label && ui.Panel);
    EXPECT_FALSE(ui.OKBtn->isEnabled());
    writeAll(m_root.filePath(QStringLiteral("file")), "x");
    struct Case {
        QString text;
        bool enabled;
    };
    const Case cases[] = {
        {m_root.path(), true},
        {QStringLiteral("  ") + m_root.path() + QStringLiteral("\t"), true},
        {m_root.filePath(QStringLiteral("file")), false},
        {m_root.filePath(QStringLiteral("missing")), false},
        {QStringLiteral("   "), false},
        {QString(), false},
    };
    for (const auto& c : cases) {
        ui.EdPath->setText(c.text);
        EXPECT_EQ(ui.OKBtn->isEnabled(), c.enabled) << c.text.toStdString();
    }
    ui.EdPath->setText(QStringLiteral(" \n") + m_root.path() + QStringLiteral("  "));
    EXPECT_EQ(dialog.path(), m_root.path());
}

TEST_F(FontPathDlgTest, BrowsingFillsThePath) {
    QString askedWith;
    QString answer = m_root.path();
    TFontPathDlg::setFolderBrowser([&](QWidget*, const QString& prompt) {
        askedWith = prompt;
        return answer;
    });
    TFontPathDlg dialog;
    DialogControls ui(dialog);
    ASSERT_TRUE(ui.EdPath && ui.BrowseBtn && ui.OKBtn && ui.CancelBtn && ui.Label && ui.Panel);
    ui.BrowseBtn->click();
    EXPECT_EQ(askedWith, QStringLiteral("Kam naj namestim pisavo Tengwar Quenya?"));
    EXPECT_EQ(ui.EdPath->text(), m_root.path());
    EXPECT_TRUE(ui.OKBtn->isEnabled());

    // Cancelling the browser keeps what was there.
    answer.clear();
    ui.BrowseBtn->click();
    EXPECT_EQ(ui.EdPath->text(), m_root.path());
}

TEST_F(FontPathDlgTest, ButtonsCloseTheDialog) {
    {
        TFontPathDlg dialog;
        DialogControls(dialog).EdPath->setText(m_root.path());
        dialog.show();
        DialogControls(dialog).OKBtn->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    {
        TFontPathDlg dialog;
        dialog.show();
        DialogControls(dialog).CancelBtn->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
}

TEST_F(FontPathDlgTest, LayoutTextsAndHelpContexts) {
    TFontPathDlg dialog;
    DialogControls ui(dialog);
    ASSERT_TRUE(ui.EdPath && ui.BrowseBtn && ui.OKBtn && ui.CancelBtn && ui.Label && ui.Panel);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Namestitev programa Tengwar Ostrel"));
    // The question may need more lines than the classic layout gave it; the
    // dialog then grows by what it needs, and the rest moves down with it.
    const int extra = dialog.height() - 129;
    EXPECT_GE(extra, 0);
    EXPECT_EQ(dialog.width(), 393);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(ui.Label->text(),
              QStringLiteral("Tengwar Ostrel uporablja pisavo Tengwar Quenya (quenya.ttf), ki na "
                             "vašem sistemu še ni nameščena. V katero mapo naj jo zapišem?"));
    EXPECT_EQ(ui.BrowseBtn->text(), QStringLiteral("Izberi iz drevesa..."));
    EXPECT_EQ(ui.OKBtn->text(), QStringLiteral("V redu"));
    EXPECT_EQ(ui.CancelBtn->text(), QStringLiteral("Izhod"));
    EXPECT_TRUE(ui.OKBtn->isDefault());
    EXPECT_EQ(ui.EdPath->geometry(), QRect(8, 52 + extra, 245, 21));
    EXPECT_EQ(ui.OKBtn->geometry(), QRect(227, 100 + extra, 75, 21));
    EXPECT_TRUE(ui.EdPath->text().isEmpty());
    EXPECT_EQ(helpContext(&dialog), 9600);
    for (QWidget* w : {static_cast<QWidget*>(ui.EdPath), static_cast<QWidget*>(ui.BrowseBtn),
                       static_cast<QWidget*>(ui.OKBtn), static_cast<QWidget*>(ui.CancelBtn),
                       static_cast<QWidget*>(ui.Label), static_cast<QWidget*>(ui.Panel)}) {
        EXPECT_EQ(helpContext(w), 9600) << w->objectName().toStdString();
    }
}

TEST(TrimBlanksAndControls, RemovesOnlyTheEnds) {
    EXPECT_EQ(trimBlanksAndControls(QStringLiteral(" \t\r\n\x01/a b\x02 ")), QStringLiteral("/a b"));
    EXPECT_EQ(trimBlanksAndControls(QStringLiteral("\x1F")), QString());
    EXPECT_EQ(trimBlanksAndControls(QStringLiteral("/x")), QStringLiteral("/x"));
}

}  // namespace

TEST_F(FontPathDlgTest, TheWholeQuestionShowsAboveThePathField) {
    TFontPathDlg dialog;
    DialogControls ui(dialog);
    ASSERT_TRUE(ui.Label && ui.EdPath && ui.OKBtn && ui.Panel);
    EXPECT_GE(ui.Label->height(), ui.Label->heightForWidth(ui.Label->width()));
    EXPECT_LE(ui.Label->geometry().bottom(), ui.EdPath->geometry().top());
    EXPECT_LE(ui.Panel->geometry().bottom(), ui.OKBtn->geometry().top());
    EXPECT_LE(ui.OKBtn->geometry().bottom(), dialog.height());
}
