#include <QTextDocument>

#include <gtest/gtest.h>

#include "ui/help/helpengine.h"
#include "ui/help/helptopics.h"

namespace {

struct MalformedCase {
    const char* name;
    const char* source;
    int errorLine;          // line the (first) message names
    const char* errorPart;  // part of its text
    QList<int> kept;        // topics that still load
};

class MalformedSource : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedSource, IsReportedAndTheRestLoads) {
    const MalformedCase& c = GetParam();
    HelpTopics topics;
    QStringList errors;
    topics.addSource(QString::fromUtf8(c.source), QStringLiteral("test.txt"), &errors);
    ASSERT_EQ(errors.size(), 1) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("test.txt:%1: ").arg(c.errorLine)))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QLatin1String(c.errorPart))) << errors[0].toStdString();
    EXPECT_EQ(topics.contexts(), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Loader, MalformedSource,
    ::testing::Values(
        MalformedCase{"TextBeforeFirstTopic", "Stray text\nmore\n== 5 ==\nfive\n", 1, "outside a topic", {5}},
        MalformedCase{
            "HeaderWithoutClosing", "== 5 ==\nfive\n== 6\nsix\n== 7 ==\nseven\n", 3, "malformed", {5, 7}},
        MalformedCase{"HeaderNotANumber", "== 12a ==\ntext\n== 13 ==\nthirteen\n", 1, "malformed", {13}},
        MalformedCase{"NumberZero", "== 0 ==\nnothing\n== 1 ==\none\n", 1, "outside 1..99999", {1}},
        MalformedCase{"NumberTooLarge", "== 100000 ==\nbig\n", 1, "outside 1..99999", {}},
        MalformedCase{"TopicWithoutText", "== 1 ==\n\n% only a comment\n\n== 2 ==\ntwo\n", 1, "no text", {2}},
        MalformedCase{
            "DuplicateNumber", "== 3 ==\nfirst\n== 3 ==\nsecond\n", 3, "already defined at test.txt:1", {3}}),
    [](const ::testing::TestParamInfo<MalformedCase>& info) { return std::string(info.param.name); });

TEST(HelpTopics, ParsesTitleBodyAndComments) {
    HelpTopics topics;
    QStringList errors;
    topics.addSource(QStringLiteral("% header comment\r\n"
                                    "\r\n"
                                    "==1101==   th -> T  \r\n"
                                    "\r\n"
                                    "First paragraph.\r\n"
                                    "% a comment inside\r\n"
                                    "\r\n"
                                    "Second.\r\n"
                                    "\r\n"
                                    "== 1102 ==\n"
                                    "No title.\n"),
                     QStringLiteral("a.txt"), &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    const HelpTopic* t = topics.find(1101);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->title, QStringLiteral("th -> T"));
    EXPECT_EQ(t->body, QStringLiteral("First paragraph.\n\nSecond."));
    EXPECT_EQ(t->line, 3);
    ASSERT_NE(topics.find(1102), nullptr);
    EXPECT_TRUE(topics.find(1102)->title.isEmpty());
    EXPECT_EQ(topics.find(1103), nullptr);
}

TEST(HelpTopics, DuplicateAcrossFilesKeepsTheFirst) {
    HelpTopics topics;
    QStringList errors;
    topics.addSource(QStringLiteral("== 9 ==\nfrom a\n"), QStringLiteral("a.txt"), &errors);
    topics.addSource(QStringLiteral("== 9 ==\nfrom b\n"), QStringLiteral("b.txt"), &errors);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("b.txt:1: "))) << errors[0].toStdString();
    EXPECT_EQ(topics.find(9)->body, QStringLiteral("from a"));
}

// Titles are captions of controls; characters that Markdown would take as markup
// must come out as written.
TEST(HelpTopics, TitleIsShownLiterally) {
    const char* titles[] = {"SźZŹ~->Śzzz~", "śŚźŹ -> sSzZ", "*_a_* [b] <c> #d", "1. brez ~:"};
    for (const char* title : titles) {
        HelpTopic topic;
        topic.title = QString::fromUtf8(title);
        topic.body = QStringLiteral("Body.");
        for (bool heading : {false, true}) {
            QTextDocument doc;
            doc.setMarkdown(HelpTopics::markdown(topic, heading), QTextDocument::MarkdownNoHTML);
            EXPECT_EQ(doc.toPlainText(), topic.title + QStringLiteral("\nBody.")) << title;
        }
    }
}

// The topics of the main window, its pages, the save dialog, the "Pretvorba" and
// "Pretvorba datotek" pages, the zoom window and the two first-start dialogs.
QList<int> requiredTopics() {
    QList<int> required;
    auto range = [&](int first, int last) {
        for (int i = first; i <= last; ++i) {
            required.append(i);
        }
    };
    range(9701, 9706);
    range(9710, 9713);
    range(9801, 9806);
    range(9501, 9510);
    range(1101, 1131);  // the check boxes, the two radio panels and "brez ~:"
    required << 1140;
    range(1150, 1155);
    required << 1160 << 9600 << 9610;
    range(1601, 1609);  // "Pretvorba datotek"
    range(1401, 1407);  // the zoom window
    required << 1410;
    range(1301, 1310);  // "Prepis v latinico"
    return required;
}

TEST(BuiltInTopics, LoadWithoutErrors) {
    const QStringList errors = HelpEngine::instance().loadErrors();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST(BuiltInTopics, EveryRequiredTopicHasText) {
    const HelpTopics& topics = HelpEngine::instance().topics();
    for (int context : requiredTopics()) {
        const HelpTopic* topic = topics.find(context);
        ASSERT_NE(topic, nullptr) << "missing topic " << context;
        EXPECT_GE(topic->body.size(), 40) << "topic " << context << " is too short";
    }
}

}  // namespace
