// Closing the program while another computer holds the settings' lock: the
// question "cannot save your changes, quit anyway?" comes only when the user
// changed something; a run without changes closes without it.

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/tmainform.h"
#include "core/settings/options.h"
#include "guitestsupport.h"
#include "ui/settings/settingsfilebackend.h"
#include "ui/widgets/messages.h"
#include "ui/widgets/programlook.h"

namespace {

StoreEnvironment testEnvironment() {
    StoreEnvironment env;
    env.executablePath = "/usr/bin/tengwar-ostrel";
    env.screenSize = [] { return StoreEnvironment::ScreenSize{1280, 1024}; };
    return env;
}

class CloseWithForeignLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        applyProgramLook();
        messages::setResponder([this](const messages::Request& request) {
            boxes.push_back(request.text);
            return 1;  // "No": the program stays open
        });
    }
    void TearDown() override {
        form.reset();
        answerUnexpectedBoxes();
        installOptions(nullptr);
        store.reset();
        backend.reset();
    }

    // One run of the program over the settings file, up to its window.
    void start() {
        form.reset();
        installOptions(nullptr);
        store.reset();
        backend = std::make_unique<SettingsFileBackend>(path);
        store = std::make_unique<TOptions>(*backend, testEnvironment());
        installOptions(store.get());
        form = std::make_unique<TMainForm>();
        form->show();
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Tengwar Ostrel.conf"));
    std::unique_ptr<SettingsFileBackend> backend;
    std::unique_ptr<TOptions> store;
    std::unique_ptr<TMainForm> form;
    std::vector<QString> boxes;
};

TEST_F(CloseWithForeignLockTest, AskedOnlyWhenSomethingWasChanged) {
    // Another computer holds the lock of a settings file this one never
    // wrote, or one it wrote whole before: a start that only fills in the
    // defaults and marks the first start done closes without the question.
    QFile lock(path + QStringLiteral(".lock"));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(::getpid()) + "\ntengwar-ostrel\nanother-machine.example\n");
    lock.close();
    for (const bool written : {false, true}) {
        SCOPED_TRACE(written);
        if (written) {
            QFile::rename(lock.fileName(), lock.fileName() + QStringLiteral(".away"));
            start();
            EXPECT_TRUE(form->close());
            QFile::rename(lock.fileName() + QStringLiteral(".away"), lock.fileName());
        }
        boxes.clear();
        start();
        (void)store->TakeStartupNotice();
        EXPECT_TRUE(form->close());
        for (const QString& text : boxes) {
            EXPECT_FALSE(text.contains(QStringLiteral("Vseeno kon"))) << text.toStdString();
        }
    }

    // A change that cannot be saved is asked about.
    boxes.clear();
    start();
    (void)store->TakeStartupNotice();
    store->SetZoomA(33);
    EXPECT_FALSE(form->close());
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(boxes.back().contains(QStringLiteral("Vseeno kon")));
}

}  // namespace
