#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "guitestsupport.h"
#include "ui/widgets/messages.h"

namespace {

// One application object for every GUI test of an executable, created before
// the first test runs. Test mode keeps settings away from the user's own.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);
        if (QApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "ostrel-tests";
            static char* argv[] = {name, nullptr};
            m_app = new QApplication(argc, argv);
        }
        answerUnexpectedBoxes();
    }
    void TearDown() override {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication* m_app = nullptr;
};

}  // namespace

void answerUnexpectedBoxes() {
    messages::setResponder([](const messages::Request& request) {
        ADD_FAILURE() << "unexpected message box: " << request.text.toStdString();
        return request.escapeButton >= 0 ? request.escapeButton : 0;
    });
}

namespace {

const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
