#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolTip>
#include <functional>
#include <utility>

#include "shellfixture.h"
#include "widgets/codepageinput.h"
#include "widgets/programlook.h"

TEST(CodePageInput, KeepsWhatWindows1250HoldsAndNamesEveryCharacterLeftOut) {
    struct Case {
        QString text;
        QString kept;
        QString refused;
    };
    const Case cases[] = {
        {QStringLiteral("Čaj ž €"), QStringLiteral("Čaj ž €"), QString()},
        {QStringLiteral("emo=ж€"), QStringLiteral("emo=€"), QStringLiteral("ж")},
        {QStringLiteral("a\U0001F600b\u4E2D"), QStringLiteral("ab"), QStringLiteral("\U0001F600\u4E2D")},
        // Each character once, in the order met.
        {QStringLiteral("жaжbщж"), QStringLiteral("ab"), QStringLiteral("жщ")},
        // A text document's paragraph and line breaks are line breaks.
        {QStringLiteral("a\u2029b\u2028c\td"), QStringLiteral("a\u2029b\u2028c\td"), QString()},
    };
    for (const Case& c : cases) {
        QString refused;
        EXPECT_EQ(codePageOnly(c.text, &refused), c.kept) << c.text.toStdString();
        EXPECT_EQ(refused, c.refused) << c.text.toStdString();
    }
    const std::pair<QString, QString> messages[] = {
        {QStringLiteral("ж"),
         QStringLiteral("Znaka \u201Eж\u201C ni v kodni tabeli Windows-1250, zato je izpuščen.")},
        {QStringLiteral("жщ"),
         QStringLiteral(
             "Znakov \u201Eж\u201C in \u201Eщ\u201C ni v kodni tabeli Windows-1250, zato so izpuščeni.")},
        {QStringLiteral("абвгдежзий"),
         QStringLiteral("Znakov \u201Eа\u201C, \u201Eб\u201C, \u201Eв\u201C, \u201Eг\u201C, \u201Eд\u201C, "
                        "\u201Eе\u201C, \u201Eж\u201C, \u201Eз\u201C in še 2 drugih ni v kodni tabeli "
                        "Windows-1250, zato so izpuščeni.")},
    };
    for (const auto& [refused, message] : messages) {
        EXPECT_EQ(refusedCharacterMessage(refused), message) << refused.toStdString();
    }
}

// The tooltip names what a paste left out and goes with the next change.
TEST(CodePageInput, TheTipGoesAwayWhenTheTextChanges) {
    QLineEdit line;
    acceptCodePageOnly(&line);
    QPlainTextEdit memo;
    acceptCodePageOnly(&memo);
    const std::pair<QWidget*, std::function<void(const QString&)>> fields[] = {
        {&line, [&](const QString& text) { line.insert(text); }},
        {&memo, [&](const QString& text) { memo.insertPlainText(text); }},
    };
    for (const auto& [field, insert] : fields) {
        field->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(field));
        insert(QStringLiteral("aжbщ"));
        ASSERT_TRUE(QToolTip::isVisible());
        EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("\u201Eж\u201C in \u201Eщ\u201C")));
        insert(QStringLiteral("c"));
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        field->hide();
    }
}

TEST(QtTranslations, QtsOwnTextsSpeakSlovenian) {
    loadQtTranslations();
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Razveljavi"));
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Paste"), QStringLiteral("Pri&lepi"));
}

class CodePageFieldsTest : public ShownMainFormTest {};

TEST_F(CodePageFieldsTest, TypedAndPastedTextKeepsOnlyWhatCanBeStored) {
    // The test pane: a pasted text loses only the foreign letter.
    form->showPage(TMainForm::PageConversion);
    auto* test = form->findChild<QLineEdit*>(QStringLiteral("EdTest"));
    auto* tengwar = form->findChild<QLineEdit*>(QStringLiteral("EdTestTengwar"));
    ASSERT_TRUE(test != nullptr && tengwar != nullptr);
    test->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("ta\u0436ta"));
    test->paste();
    EXPECT_EQ(test->text(), QStringLiteral("tata"));
    const QString shown = tengwar->text();
    test->clear();
    QTest::keyClicks(test, QStringLiteral("tata"));
    EXPECT_EQ(tengwar->text(), shown);

    // A description field: the foreign letter never reaches the text that is stored.
    form->showPage(TMainForm::PageDescriptions);
    auto* memo = form->findChild<QPlainTextEdit*>(QStringLiteral("MemoSkupine"));
    ASSERT_NE(memo, nullptr);
    memo->selectAll();
    memo->insertPlainText(QStringLiteral("emo=\u0436\u20AC\nx=\U0001F600y"));
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("emo=\u20AC\nx=y"));
}
