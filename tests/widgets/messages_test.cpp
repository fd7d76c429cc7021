#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "guitestsupport.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/messages.h"

namespace {

class MessagesTest : public ::testing::Test {
protected:
    void TearDown() override {
        answerUnexpectedBoxes();
        messages::setHelpHandler({});
    }
};

TEST_F(MessagesTest, ResponderAnswersInsteadOfABox) {
    std::vector<messages::Request> seen;
    messages::setResponder([&](const messages::Request& r) {
        seen.push_back(r);
        return 1;  // "Ne"
    });
    EXPECT_FALSE(messages::question(nullptr, QStringLiteral("Ali naj?"), QStringLiteral("Opozorilo"),
                                    messages::Icon::Warning));
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_EQ(seen[0].buttons, (QStringList{QStringLiteral("Da"), QStringLiteral("Ne")}));
    EXPECT_EQ(seen[0].title, QStringLiteral("Opozorilo"));
    EXPECT_EQ(seen[0].icon, messages::Icon::Warning);
    EXPECT_EQ(seen[0].escapeButton, 1);
}

TEST_F(MessagesTest, StandardButtonsMapBackFromTheChosenIndex) {
    messages::setResponder([](const messages::Request& r) { return static_cast<int>(r.buttons.size()) - 1; });
    const auto answer =
        messages::askButtons(nullptr, QStringLiteral("x"), QStringLiteral("t"), messages::Icon::None,
                             {messages::Button::Abort, messages::Button::Retry, messages::Button::Ignore},
                             messages::Button::Retry, messages::Button::Abort);
    EXPECT_EQ(answer, messages::Button::Ignore);
    // An answer outside the buttons (a responder's mistake) counts as Esc.
    messages::setResponder([](const messages::Request&) { return 7; });
    EXPECT_EQ(messages::askButtons(nullptr, {}, {}, messages::Icon::None,
                                   {messages::Button::Ok, messages::Button::Cancel}, messages::Button::Ok,
                                   messages::Button::Cancel),
              messages::Button::Cancel);
}

TEST_F(MessagesTest, RealBoxShowsTextLiterallyAndHelpKeepsItOpen) {
    messages::setResponder({});
    int helpAsked = -1;
    messages::setHelpHandler([&](int context) { helpAsked = context; });
    messages::Request request;
    request.title = QStringLiteral("Error");
    request.text = QStringLiteral("Ne morem najti & <b>niza</b>");
    request.icon = messages::Icon::Error;
    request.buttons = {messages::caption(messages::Button::Ok)};
    request.hasHelp = true;
    request.helpContext = 0;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), request.text);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Error"));
        QPushButton* help = nullptr;
        QPushButton* ok = nullptr;
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == QStringLiteral("Pomoč")) {
                help = qobject_cast<QPushButton*>(b);
            } else if (b->text() == QStringLiteral("V redu")) {
                ok = qobject_cast<QPushButton*>(b);
            }
        }
        ASSERT_NE(help, nullptr);
        ASSERT_NE(ok, nullptr);
        help->click();
        EXPECT_TRUE(box->isVisible());
        checked = true;
        ok->click();
    });
    EXPECT_EQ(messages::ask(request), 0);
    EXPECT_TRUE(checked);
    EXPECT_EQ(helpAsked, 0);
}

TEST_F(MessagesTest, GuardShowsTheErrorAndStopsTheAction) {
    std::vector<QString> shown;
    messages::setResponder([&](const messages::Request& r) {
        shown.push_back(r.text);
        EXPECT_EQ(r.icon, messages::Icon::Error);
        return 0;
    });
    bool after = false;
    EXPECT_FALSE(guarded(nullptr, [&] {
        throw std::runtime_error("Invalid data type for 'Zastavice'");
        after = true;
    }));
    EXPECT_FALSE(after);
    // Windows-1250 bytes in an error text come out as the letters they stand for.
    EXPECT_FALSE(
        guarded(nullptr, [] { throw std::runtime_error("Failed to get data for 'Skupine \xE8rk'"); }));
    EXPECT_FALSE(guarded(nullptr, [] { throw 42; }));
    EXPECT_TRUE(guarded(nullptr, [] {}));
    ASSERT_EQ(shown.size(), 3U);
    EXPECT_EQ(shown[0], QStringLiteral("Invalid data type for 'Zastavice'"));
    EXPECT_EQ(shown[1], QStringLiteral("Failed to get data for 'Skupine črk'"));
    EXPECT_FALSE(shown[2].isEmpty());
}

TEST_F(MessagesTest, GuardedSlotPassesArgumentsThrough) {
    messages::setResponder([](const messages::Request&) { return 0; });
    int got = 0;
    auto slot = guardedSlot(nullptr, [&](int value) {
        got = value;
        if (value < 0) {
            throw std::runtime_error("negative");
        }
    });
    slot(5);
    EXPECT_EQ(got, 5);
    slot(-1);  // must not throw
    EXPECT_EQ(got, -1);
}

}  // namespace
