#pragma once

#include <QApplication>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/tmainform.h"
#include "core/settings/memorybackend.h"
#include "core/settings/options.h"
#include "guitestsupport.h"
#include "ui/widgets/messages.h"
#include "ui/widgets/programlook.h"

// A settings key in memory that remembers every write, in order.
class RecordingBackend : public MemoryBackend {
public:
    bool write(const std::string& name, const StoredValue& value) override {
        const bool ok = MemoryBackend::write(name, value);
        if (ok) {
            writes.emplace_back(name, value);
        }
        return ok;
    }
    std::string takeNotice() override { return std::exchange(notice, {}); }

    std::vector<std::pair<std::string, StoredValue>> writes;
    std::string notice;
};

// A fresh store installed as the program's one, and every message box
// answered by its first button and remembered.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        applyProgramLook();
        m_options = std::make_unique<TOptions>(backend);
        installOptions(m_options.get());
        messages::setResponder([this](const messages::Request& request) {
            boxes.push_back(request.text);
            return 0;
        });
    }
    void TearDown() override {
        answerUnexpectedBoxes();
        installOptions(nullptr);
        m_options.reset();
    }

    TOptions& options() { return *m_options; }

    // Runs `trigger`, which may open a modal dialog of type Dialog; `answer`
    // acts on the dialog once it is up. Returns whether a dialog came up.
    template <class Dialog>
    bool withModal(const std::function<void()>& trigger, const std::function<void(Dialog&)>& answer) {
        bool seen = false;
        QTimer timer;
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                timer.stop();
                seen = true;
                answer(*dialog);
            }
        });
        timer.start();
        trigger();
        timer.stop();
        return seen;
    }

    RecordingBackend backend;
    std::vector<QString> boxes;

private:
    std::unique_ptr<TOptions> m_options;
};

// The main window shown over a fresh store, as on a start that is not the first.
class ShownMainFormTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        options().SetFirstTime(false);
        form = std::make_unique<TMainForm>();
        form->show();
    }
    void TearDown() override {
        form.reset();
        ShellTest::TearDown();
    }

    std::unique_ptr<TMainForm> form;
};
