#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QTranslator>
#include <QTreeView>
#include <functional>
#include <utility>

#include "shellfixture.h"
#include "ui/widgets/codepageinput.h"
#include "ui/widgets/programlook.h"

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
        // The genitive of "ni": one more is "drugega", two and more "drugih".
        {QStringLiteral("абвгдежзи"),
         QStringLiteral("Znakov \u201Eа\u201C, \u201Eб\u201C, \u201Eв\u201C, \u201Eг\u201C, \u201Eд\u201C, "
                        "\u201Eе\u201C, \u201Eж\u201C, \u201Eз\u201C in še 1 drugega ni v kodni tabeli "
                        "Windows-1250, zato so izpuščeni.")},
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

namespace {

// What the user reads in Qt's own menus and dialogs as the program shows them:
// the menus of a multi-line field and of the help window (on a link), a
// question's standard buttons, the file dialog (open and save, with its
// columns filled) and the colour dialog. File names are left out.
QSet<QString> qtShownTexts(const QString& folder) {
    QSet<QString> texts;
    const auto add = [&texts](QString text) {
        text = text.section(QLatin1Char('\t'), 0, 0);  // the shortcut after a tab
        if (text.contains(QRegularExpression(QStringLiteral("\\p{L}")))) {
            texts.insert(text);
        }
    };
    const auto addWidgets = [&](const QWidget& window) {
        add(window.windowTitle());
        for (const auto* action : window.findChildren<QAction*>()) {
            add(action->text());
        }
        for (const auto* button : window.findChildren<QAbstractButton*>()) {
            add(button->text());
            add(button->toolTip());
        }
        for (const auto* label : window.findChildren<QLabel*>()) {
            add(label->text());
        }
    };

    // The menus belong to their fields.
    QPlainTextEdit memo(QStringLiteral("opis"));
    memo.selectAll();
    memo.insertPlainText(QStringLiteral("nov opis"));
    memo.undo();
    addWidgets(*memo.createStandardContextMenu());

    QTextBrowser help;
    help.setHtml(QStringLiteral("<a href=\"https://example.org/\">povezava</a>"));
    help.resize(300, 100);
    QTextCursor onLink(help.document());
    onLink.setPosition(2);
    addWidgets(*help.createStandardContextMenu(help.cursorRect(onLink).center()));

    QMessageBox question(QMessageBox::Question, QString(), QStringLiteral("?"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    addWidgets(question);

    for (const auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
        QFileDialog files(nullptr, QString(), folder);
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setViewMode(QFileDialog::Detail);
        files.setAcceptMode(mode);
        files.show();
        const auto* view = files.findChild<QTreeView*>(QStringLiteral("treeView"));
        EXPECT_TRUE(view != nullptr && QTest::qWaitFor([view] {
            const QModelIndex first = view->model()->index(0, 3, view->rootIndex());
            return !first.data().toString().isEmpty();
        }));
        if (view != nullptr) {
            const QAbstractItemModel& model = *view->model();
            for (int column = 1; column < model.columnCount(view->rootIndex()); ++column) {
                add(model.headerData(column, Qt::Horizontal).toString());
                add(model.index(0, column, view->rootIndex()).data().toString());
            }
            // The question its menu's "Delete" asks, answered "No".
            view->selectionModel()->select(model.index(0, 0, view->rootIndex()),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            auto* remove = files.findChild<QAction*>(QStringLiteral("qt_delete_action"));
            EXPECT_NE(remove, nullptr);
            bool asked = false;
            QTimer::singleShot(0, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    asked = true;
                    addWidgets(*box);
                    box->button(QMessageBox::No)->click();
                }
            });
            if (remove != nullptr) {
                remove->setEnabled(true);  // as the menu shows it for a file that may go
                remove->trigger();
            }
            EXPECT_TRUE(asked);
        }
        addWidgets(files);
    }

    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    addWidgets(colours);
    return texts;
}

}  // namespace

TEST(QtTranslations, QtsOwnTextsSpeakSlovenian) {
    loadQtTranslations();
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Razveljavi"));
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Paste"), QStringLiteral("Pri&lepi"));

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile file(folder.filePath(QStringLiteral("pesem.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("tengwar\n");
    file.close();

    // The same menus and dialogs without any catalogue, and file dialogs left
    // to the system's locale, show Qt's English.
    const QList<QTranslator*> translators = qApp->findChildren<QTranslator*>();
    ASSERT_EQ(translators.size(), 2);  // Debian's Qt catalogue and the program's own
    QObject* const fileDialogs = qApp->findChild<QObject*>(QStringLiteral("slovenianFileDialogs"));
    ASSERT_NE(fileDialogs, nullptr);
    for (QTranslator* translator : translators) {
        QCoreApplication::removeTranslator(translator);
    }
    qApp->removeEventFilter(fileDialogs);
    const QSet<QString> english = qtShownTexts(folder.path());
    for (QTranslator* translator : translators) {
        QCoreApplication::installTranslator(translator);
    }
    qApp->installEventFilter(fileDialogs);
    for (const char* text : {"Copy &Link Location", "Select All", "&Yes", "Cancel", "Date Modified", "Delete",
                             "&Pick Screen Color"}) {
        EXPECT_TRUE(english.contains(QString::fromLatin1(text))) << text;  // each place was reached
    }

    const QSet<QString> sameInSlovenian = {QStringLiteral("&HTML:")};
    for (const QString& text : qtShownTexts(folder.path())) {
        EXPECT_TRUE(!english.contains(text) || sameInSlovenian.contains(text)) << text.toStdString();
    }
    EXPECT_TRUE(file.exists());  // "No" kept it
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
