// The help window comes back where the user left it, at its size, from the
// real settings file, which keeps its other sections.
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "core/settings/options.h"
#include "ui/help/helpengine.h"
#include "ui/help/helpwindow.h"
#include "ui/settings/settingsfilebackend.h"

namespace {

// One start of the program over the settings file: the store on the file,
// installed as the program's.
struct Start {
    explicit Start(const QString& path) : backend(path), options(std::make_unique<TOptions>(backend)) {
        installOptions(options.get());
    }
    ~Start() {
        HelpEngine::instance().quit();
        installOptions(nullptr);
    }
    SettingsFileBackend backend;
    std::unique_ptr<TOptions> options;
};

HelpWindow* openHelp() {
    HelpEngine::instance().jumpContext(kPageHelpTopic);
    HelpWindow* window = HelpEngine::instance().secondaryWindow();
    EXPECT_NE(window, nullptr);
    if (window != nullptr) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    return window;
}

TEST(HelpPlace, TheHelpWindowKeepsItsSizeAndPlaceAcrossStarts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tengwar Ostrel.conf"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Drugo]\nkljuc=vrednost\n");
    }
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect chosen(area.left() + 40, area.top() + 30, area.width() / 2, area.height() / 2);
    QSize firstSize;
    {
        Start first(path);
        EXPECT_FALSE(first.options->GetHelpRect().has_value()) << "nothing stored before it was open";
        HelpWindow* help = openHelp();
        ASSERT_NE(help, nullptr);
        firstSize = help->size();
        help->setGeometry(chosen);
        QTest::qWait(20);
        ASSERT_EQ(help->geometry(), chosen);
    }
    {
        Start second(path);
        HelpWindow* help = openHelp();
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->geometry(), chosen);
        EXPECT_NE(help->size(), firstSize);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[Drugo]\nkljuc=vrednost\n")) << text.toStdString();
}

}  // namespace
