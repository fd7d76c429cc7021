#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "shellfixture.h"
#include "widgets/codepageinput.h"
#include "widgets/programlook.h"

TEST(CodePageInput, KeepsWhatWindows1250HoldsAndNamesTheFirstLeftOut) {
    struct Case {
        QString text;
        QString kept;
        QString refused;
    };
    const Case cases[] = {
        {QStringLiteral("Čaj ž €"), QStringLiteral("Čaj ž €"), QString()},
        {QStringLiteral("emo=ж€"), QStringLiteral("emo=€"), QStringLiteral("ж")},
        {QStringLiteral("a\U0001F600b\u4E2D"), QStringLiteral("ab"), QStringLiteral("\U0001F600")},
        // A text document's paragraph and line breaks are line breaks.
        {QStringLiteral("a\u2029b\u2028c\td"), QStringLiteral("a\u2029b\u2028c\td"), QString()},
    };
    for (const Case& c : cases) {
        QString refused;
        EXPECT_EQ(codePageOnly(c.text, &refused), c.kept) << c.text.toStdString();
        EXPECT_EQ(refused, c.refused) << c.text.toStdString();
    }
    EXPECT_TRUE(refusedCharacterMessage(QStringLiteral("ж")).contains(QStringLiteral("\u201Eж\u201C")));
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
