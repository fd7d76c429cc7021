#include "ui/convert/convertpage.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include "../app/shellfixture.h"
#include "app/tmainform.h"
#include "core/transcription/convertdata.h"
#include "qtcore/qtext.h"
#include "ui/convert/tconvertthread.h"
#include "ui_convertpage.h"

namespace {

class ConvertPageTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        m_page = std::make_unique<ConvertPage>(options());
        m_page->PrepareConvertPicture();
        m_page->show();
        ui = &m_page->form();
        answerYes();
    }
    void TearDown() override {
        m_page.reset();
        ShellTest::TearDown();
    }
    void answerYes() {
        messages::setResponder([this](const messages::Request& request) {
            boxes.push_back(request.text);
            titles.push_back(request.title);
            owners.push_back(request.parent);
            defaults.push_back(request.buttons.value(request.defaultButton));
            return 0;  // "Da" to the overwrite question
        });
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const QString& name) {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::string stored(const std::string& name) {
        std::string value;
        for (const auto& [written, stored] : backend.writes) {
            if (written == name) {
                value = stored.bytes;
            }
        }
        return value;
    }
    int storeCount(const std::string& name) {
        return static_cast<int>(std::count_if(backend.writes.begin(), backend.writes.end(),
                                              [&name](const auto& write) { return write.first == name; }));
    }
    // The worker ends on its own time; its end reaches the page through the
    // event loop.
    static bool waitUntil(const std::function<bool()>& done) { return QTest::qWaitFor(done, 60000); }
    void waitForTheEnd() {
        ASSERT_TRUE(waitUntil([] { return !TConvertThread::running(); }));
        EXPECT_TRUE(ui->ConvertBtn->isVisible());
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ConvertPage> m_page;
    Ui::ConvertPage* ui = nullptr;
    std::vector<QString> titles;
    // The button that Enter alone would choose in each box.
    std::vector<QString> defaults;
    std::vector<QWidget*> owners;
};

TEST_F(ConvertPageTest, ButtonsFollowTheNamesAndEveryKeystrokeIsStored) {
    writeFile(QStringLiteral("vhod.txt"), "abc");
    backend.writes.clear();  // the defaults of a fresh store
    const struct {
        QString in;
        QString out;
        bool convert, inOpen, outOpen;
    } cases[] = {
        {path("vhod.txt"), QString(), false, true, false},
        {path("vhod.txt"), path("nova.rtf"), true, true, false},  // a new output is fine
        {path("*.txt"), path("x?.rtf"), true, true, true},        // wildcards count as present
        {path("ni.txt"), path("vhod.txt"), false, false, true},
        {QString(), QString(), false, false, false},
    };
    for (const auto& c : cases) {
        m_page->setFileNames(c.in, c.out);
        EXPECT_EQ(ui->ConvertBtn->isEnabled(), c.convert) << c.in.toStdString() << " " << c.out.toStdString();
        EXPECT_EQ(ui->InOpenBtn->isEnabled(), c.inOpen) << c.in.toStdString();
        EXPECT_EQ(ui->OutOpenBtn->isEnabled(), c.outOpen) << c.out.toStdString();
    }
    EXPECT_EQ(storeCount(storename::kInputFile), 0) << "filling stores nothing";

    m_page->setFileNames(path("vhod.txt"), QStringLiteral("iz"));
    QTest::keyClicks(ui->InEdit, QStringLiteral("x"));
    QTest::keyClicks(ui->OutEdit, QStringLiteral(".rtf"));
    EXPECT_EQ(storeCount(storename::kInputFile), 1);
    EXPECT_EQ(stored(storename::kInputFile), toCp1250(path("vhod.txt") + QStringLiteral("x")));
    EXPECT_EQ(storeCount(storename::kOutputFile), 4);
    EXPECT_EQ(stored(storename::kOutputFile), "iz.rtf");
    ui->OutEdit->clear();
    EXPECT_EQ(stored(storename::kOutputFile), "");
    EXPECT_FALSE(ui->ConvertBtn->isEnabled());

    QTest::mouseClick(ui->CbConvertCaps, Qt::LeftButton);
    EXPECT_TRUE(options().GetFlag(flag::ConvertCaps));
    QTest::mouseClick(ui->CbConvertCaps, Qt::LeftButton);
    EXPECT_FALSE(options().GetFlag(flag::ConvertCaps));
}

TEST_F(ConvertPageTest, ConvertsOnAWorkerAndSwapsTheButtonsBackAtItsEnd) {
    QByteArray text;
    while (text.size() < (1 << 20)) {
        text += toCp1250(QStringLiteral("Čez 12 let je prišel domov.\r\n"));
    }
    writeFile(QStringLiteral("vhod.txt"), text);
    writeFile(QStringLiteral("izhod.rtf"), "staro");
    m_page->setFileNames(path("vhod.txt"), path("izhod.rtf"));

    // Stopped at once: the buttons swap back only when the worker has ended.
    QTest::mouseClick(ui->ConvertBtn, Qt::LeftButton);
    EXPECT_TRUE(TConvertThread::running());
    EXPECT_TRUE(ui->TerminateBtn->isVisible());
    EXPECT_FALSE(ui->ConvertBtn->isVisible());
    EXPECT_TRUE(ui->ConvertPaint->isVisible());
    EXPECT_TRUE(ui->ConvertPercent->isVisible());
    QTest::mouseClick(ui->TerminateBtn, Qt::LeftButton);
    EXPECT_TRUE(ui->TerminateBtn->isVisible());
    waitForTheEnd();
    EXPECT_FALSE(ui->TerminateBtn->isVisible());
    EXPECT_FALSE(ui->TerminateBtn->isEnabled());
    EXPECT_FALSE(ui->ConvertPercent->isVisible());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(titles[0], QStringLiteral("Opozorilo"));
    EXPECT_EQ(defaults[0], QStringLiteral("Ne")) << "overwriting needs an explicit Da";
    EXPECT_EQ(boxes[0], QStringLiteral("Datoteka \"%1\" že obstaja.  Ali naj rezultate pretvorbe zapišem čez "
                                       "njeno sedanjo vsebino?")
                            .arg(path("izhod.rtf")));
    // Stopped before a byte was written, and told so: the old output is as it was.
    EXPECT_EQ(titles[1], QStringLiteral("Pretvorba prekinjena"));
    EXPECT_EQ(boxes[1], QStringLiteral("Pretvorba je bila prekinjena, preden se je začelo pisanje; datoteke „%1“ "
                                       "nisem spremenil.")
                            .arg(path("izhod.rtf")));
    const QByteArray stopped = readFile(QStringLiteral("izhod.rtf"));
    EXPECT_EQ(stopped, "staro");

    // Run to the end.
    QTest::mouseClick(ui->ConvertBtn, Qt::LeftButton);
    waitForTheEnd();
    const QByteArray whole = readFile(QStringLiteral("izhod.rtf"));
    EXPECT_GT(whole.size(), stopped.size());
    EXPECT_TRUE(whole.endsWith("\\par\r\n}"));
    EXPECT_EQ(whole.count("\\par\r\n"), text.count("\r\n"));

    // The same file as input and output: refused with its reason, before any
    // question; the input untouched.
    boxes.clear();
    titles.clear();
    ui->OutEdit->setText(path("vhod.txt"));
    QTest::mouseClick(ui->ConvertBtn, Qt::LeftButton);
    waitForTheEnd();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(titles[0], QStringLiteral("Napaka pri pretvorbi!"));
    EXPECT_EQ(boxes[0], QStringLiteral("Ne morem odpreti datoteke \"%1\"!\nVhodna in izhodna datoteka sta ista; "
                                       "izberite drugo izhodno datoteko.")
                            .arg(path("vhod.txt")));
    EXPECT_EQ(readFile(QStringLiteral("vhod.txt")), text);
}

TEST_F(ConvertPageTest, EveryOutcomeWithoutAWholeDocumentIsTold) {
    // An empty input: told, and no file made.
    writeFile(QStringLiteral("prazna.txt"), "");
    m_page->setFileNames(path("prazna.txt"), path("prazna.rtf"));
    QTest::mouseClick(ui->ConvertBtn, Qt::LeftButton);
    waitForTheEnd();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(titles[0], QStringLiteral("Napaka pri pretvorbi!"));
    EXPECT_EQ(boxes[0], QStringLiteral("Datoteka „%1“ je prazna; ni česa pretvoriti.").arg(path("prazna.txt")));
    EXPECT_FALSE(QFile::exists(path("prazna.rtf")));

    // Stopped while the document is written: the output holds its beginning,
    // and the box says so.
    QByteArray text;
    while (text.size() < (32 << 20)) {
        text += "Nekoc je zivel mlad kovac, ki je 12 let hodil cez goro.\r\n";
    }
    writeFile(QStringLiteral("velika.txt"), text);
    boxes.clear();
    titles.clear();
    m_page->setFileNames(path("velika.txt"), path("velika.rtf"));
    QTest::mouseClick(ui->ConvertBtn, Qt::LeftButton);
    // Past the first reading (the first half of the progress), writing.
    ASSERT_TRUE(waitUntil([] {
        const TConvertThread* thread = TConvertThread::active();
        return thread == nullptr || thread->control().percent() > 50;
    }));
    ASSERT_TRUE(TConvertThread::running()) << "ended before it could be stopped";
    QTest::mouseClick(ui->TerminateBtn, Qt::LeftButton);
    waitForTheEnd();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(titles[0], QStringLiteral("Pretvorba prekinjena"));
    EXPECT_EQ(boxes[0], QStringLiteral("Pretvorba je bila prekinjena. Datoteka „%1“ vsebuje le pretvorjeni "
                                       "začetek besedila.")
                            .arg(path("velika.rtf")));
    const QByteArray beginning = readFile(QStringLiteral("velika.rtf"));
    EXPECT_TRUE(beginning.endsWith("}"));
    EXPECT_LT(beginning.count("\\par\r\n"), text.count("\r\n"));

    // The program's own stop at its end is not told.
    boxes.clear();
    QFile::remove(path("velika.rtf"));
    QTest::mouseClick(ui->ConvertBtn, Qt::LeftButton);
    TConvertThread::stopAndWait();
    EXPECT_TRUE(boxes.empty()) << boxes.front().toStdString();
}

TEST_F(ConvertPageTest, AUtf8FileWithABadByteIsReadAsWindows1250OnlyAfterAsking) {
    // "Čaša", then "kovač" cut in its last letter.
    writeFile(QStringLiteral("odrezana.txt"), QByteArray("\xC4\x8C" "a\xC5\xA1" "a\nkova\xC4"));
    m_page->setFileNames(path("odrezana.txt"), path("odrezana.rtf"));
    for (const int answer : {1, 0}) {
        boxes.clear();
        titles.clear();
        defaults.clear();
        messages::setResponder([this, answer](const messages::Request& request) {
            boxes.push_back(request.text);
            titles.push_back(request.title);
            defaults.push_back(request.buttons.value(request.defaultButton));
            return answer;
        });
        QTest::mouseClick(ui->ConvertBtn, Qt::LeftButton);
        waitForTheEnd();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(titles[0], QStringLiteral("Opozorilo"));
        EXPECT_EQ(defaults[0], QStringLiteral("Ne"));
        EXPECT_EQ(boxes[0], QStringLiteral("Datoteka „%1“ je v kodiranju UTF-8, le v vrstici 2, stolpcu 5 je bajt, "
                                           "ki ni UTF-8 (morda odrezan znak).\n\nAli naj jo preberem kot besedilo "
                                           "v kodni tabeli Windows-1250? Njeni znaki UTF-8 bodo tedaj pretvorjeni "
                                           "narobe.")
                                .arg(path("odrezana.txt")));
        EXPECT_EQ(QFile::exists(path("odrezana.rtf")), answer == 0);
    }
}

TEST_F(ConvertPageTest, OpensWithXdgOpenFromTheInputsFolderAndExplainsItsFailures) {
    QDir(m_dir.path()).mkdir(QStringLiteral("vhodna"));
    writeFile(QStringLiteral("vhodna/vhod.txt"), "abc");
    writeFile(QStringLiteral("izhod.rtf"), "{\\rtf1 }");
    m_page->setFileNames(path("vhodna/vhod.txt"), path("izhod.rtf"));
    const struct {
        int exitStatus;  // of the stand-in for xdg-open; -1: there is none
        QString text;    // the box, or none
    } cases[] = {
        {0, QString()},
        {2, QStringLiteral("Ne najdem te datoteke!")},
        {3, QStringLiteral("Ne vem, s katerim programom naj odprem to datoteko!")},
        {4, QStringLiteral("Ne morem se povezati s programom, ki bi moral odpreti to datoteko!")},
        {5, QStringLiteral("Dostop do datoteke je onemogočen!")},
        {1, QStringLiteral("Neznana napaka (1)!")},
        {-1, QStringLiteral("Ne vem, s katerim programom naj odprem to datoteko!")},
    };
    for (const auto& c : cases) {
        const QString opener = path(QStringLiteral("opener%1").arg(c.exitStatus));
        const QString seen = opener + QStringLiteral(".seen");
        if (c.exitStatus >= 0) {
            writeFile(QFileInfo(opener).fileName(),
                      QStringLiteral("#!/bin/sh\necho \"$(pwd)|$1\" > '%1'\nexit %2\n")
                          .arg(seen)
                          .arg(c.exitStatus)
                          .toUtf8());
            QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        m_page->setOpenProgram(opener);
        boxes.clear();
        QTest::mouseClick(c.exitStatus == 0 ? ui->InOpenBtn : ui->OutOpenBtn, Qt::LeftButton);
        if (c.exitStatus >= 0) {
            ASSERT_TRUE(waitUntil([&seen] { return QFileInfo(seen).size() > 0; })) << c.exitStatus;
            QFile file(seen);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString expected = QDir(path("vhodna")).canonicalPath() + QStringLiteral("|") +
                                     (c.exitStatus == 0 ? path("vhodna/vhod.txt") : path("izhod.rtf"));
            EXPECT_EQ(QString::fromUtf8(file.readAll()).trimmed(), expected);
        }
        if (c.text.isEmpty()) {
            QTest::qWait(200);
            EXPECT_TRUE(boxes.empty());
        } else {
            ASSERT_TRUE(waitUntil([this] { return !boxes.empty(); })) << c.exitStatus;
            EXPECT_EQ(boxes, std::vector<QString>{c.text}) << c.exitStatus;
        }
    }
}

TEST_F(ConvertPageTest, ADroppedFileBecomesTheInputAndNamesTheOutput) {
    writeFile(QStringLiteral("pesem.txt"), "abc");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path("pesem.txt"))});
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_page.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_page.get(), &drop);
    EXPECT_EQ(ui->InEdit->text(), path("pesem.txt"));
    EXPECT_EQ(ui->OutEdit->text(), path("pesem.rtf"));
    EXPECT_EQ(stored(storename::kOutputFile), toCp1250(path("pesem.rtf")));
    // A named output stays.
    ui->OutEdit->setText(QStringLiteral("moja.rtf"));
    QCoreApplication::sendEvent(m_page.get(), &drop);
    EXPECT_EQ(ui->OutEdit->text(), QStringLiteral("moja.rtf"));

    // Onto the name fields: the local path, never a URL; onto the input
    // field it names the output as a drop onto the page does.
    writeFile(QStringLiteral("spuščena datoteka.txt"), "abc");
    mime.setUrls({QUrl::fromLocalFile(path("spuščena datoteka.txt"))});
    mime.setText(QUrl::fromLocalFile(path("spuščena datoteka.txt")).toString());
    m_page->setFileNames(QString(), QString());
    for (QLineEdit* field : {ui->InEdit, ui->OutEdit}) {
        QDragEnterEvent fieldEnter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &fieldEnter);
        EXPECT_TRUE(fieldEnter.isAccepted());
        QDropEvent fieldDrop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &fieldDrop);
        EXPECT_EQ(field->text(), path("spuščena datoteka.txt"));
        if (field == ui->InEdit) {
            EXPECT_EQ(ui->OutEdit->text(), path("spuščena datoteka.rtf"));
            EXPECT_TRUE(ui->ConvertBtn->isEnabled());
        }
    }

    // Files that are not there or are folders: an output may be new, an
    // input may not; a folder is neither. The field never takes the address.
    const struct {
        QLineEdit* field;
        QString dropped;
        QString after;  // the field's text after the drop
    } cases[] = {
        {ui->OutEdit, path("nova.rtf"), path("nova.rtf")},
        {ui->OutEdit, m_dir.path(), path("nova.rtf")},
        {ui->InEdit, path("ni je.txt"), path("spuščena datoteka.txt")},
        {ui->InEdit, m_dir.path(), path("spuščena datoteka.txt")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dropped.toStdString());
        mime.setUrls({QUrl::fromLocalFile(c.dropped)});
        mime.setText(QUrl::fromLocalFile(c.dropped).toString());
        QDragEnterEvent fieldEnter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(c.field, &fieldEnter);
        EXPECT_EQ(fieldEnter.isAccepted(), c.after == c.dropped);
        QDropEvent fieldDrop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(c.field, &fieldDrop);
        EXPECT_EQ(c.field->text().toStdString(), c.after.toStdString());
    }
}

TEST_F(ConvertPageTest, AUtf8FileIsReadAsUtf8AndTheOutputCanBeOpenedOnceWritten) {
    const QString prose = QStringLiteral("Nekoč je živel mlad kovač.\r\nČez 12 let je šel domov.\n");
    writeFile(QStringLiteral("star.txt"), QByteArray::fromStdString(toCp1250(prose)));
    writeFile(QStringLiteral("nov.txt"), prose.toUtf8());
    const auto convert = [this](const QString& in, const QString& out) {
        m_page->setFileNames(path(in), path(out));
        QTest::mouseClick(ui->ConvertBtn, Qt::LeftButton);
        waitForTheEnd();
    };
    m_page->setFileNames(path("star.txt"), path("star.rtf"));
    EXPECT_FALSE(ui->OutOpenBtn->isEnabled());
    convert(QStringLiteral("star.txt"), QStringLiteral("star.rtf"));
    EXPECT_TRUE(ui->OutOpenBtn->isEnabled());  // the output exists now
    convert(QStringLiteral("nov.txt"), QStringLiteral("nov.rtf"));
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(readFile(QStringLiteral("star.rtf")).isEmpty());
    EXPECT_EQ(readFile(QStringLiteral("nov.rtf")), readFile(QStringLiteral("star.rtf")));

    // Characters Windows-1250 lacks: asked once; "Ne" writes nothing, "Da"
    // writes them as "?".
    writeFile(QStringLiteral("ruski.txt"), QStringLiteral("mir\nмир\n").toUtf8());
    for (const int answer : {1, 0}) {
        boxes.clear();
        messages::setResponder([this, answer](const messages::Request& request) {
            boxes.push_back(request.text);
            return answer;
        });
        convert(QStringLiteral("ruski.txt"), QStringLiteral("ruski.rtf"));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("„м“ (U+043C) v vrstici 2, stolpcu 1"))) << boxes[0].toStdString();
        EXPECT_TRUE(boxes[0].contains(QStringLiteral("(vseh skupaj: 3)"))) << boxes[0].toStdString();
        EXPECT_EQ(QFile::exists(path("ruski.rtf")), answer == 0);
    }
    writeFile(QStringLiteral("vprasaji.txt"), "mir\n???\n");
    convert(QStringLiteral("vprasaji.txt"), QStringLiteral("vprasaji.rtf"));
    EXPECT_EQ(readFile(QStringLiteral("ruski.rtf")), readFile(QStringLiteral("vprasaji.rtf")));
}

TEST_F(ConvertPageTest, ThePictureTurnsRunsAndEndsOnlyAfterItsLastPass) {
    const int width = ui->ConvertPaint->width();
    ASSERT_EQ(width, 341);
    ConvertPicture picture;
    picture.prepare();
    ASSERT_GT(picture.latinWidth(), 100);
    const int period = width + picture.latinWidth() + 20;
    const int ticksPerPass = period / 3 + 1;

    picture.setFinishing(false);
    for (int i = 0; i < 3 * ticksPerPass; ++i) {
        ASSERT_TRUE(picture.tick(width)) << i;  // a running conversion wraps round
        ASSERT_LE(picture.offset(), period);
    }
    EXPECT_EQ(picture.angle(), (45 + 5 * 3 * ticksPerPass) % 360);
    picture.setFinishing(true);
    int ticks = 1;
    while (picture.tick(width)) {
        ++ticks;
    }
    EXPECT_LE(ticks, ticksPerPass);  // the pass that was going on ends
    EXPECT_EQ(picture.offset(), 0);

    // The wheel: a red ring round a blue disc; the cross (at 45 and 135
    // degrees) leaves the vertical through the centre blue.
    picture.prepare();
    const QImage image = picture.render(QSize(width, 72), ui->ConvertPaint->palette());
    EXPECT_EQ(image.pixelColor(170 + 31, 36), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(170, 36 - 13), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(170 + 9, 36 - 9), QColor(255, 0, 0));  // on a bar
}

TEST_F(ConvertPageTest, InTheMainWindowItStartsFromTheStoreAndTheWindowOwnsTheBoxes) {
    writeFile(QStringLiteral("vhod.txt"), "abc");
    writeFile(QStringLiteral("izhod.rtf"), "staro");
    options().SetInputFile(toCp1250(path("vhod.txt")));
    options().SetOutputFile(toCp1250(path("izhod.rtf")));
    options().SetFlag(flag::ConvertCaps, true);
    options().SetFirstTime(false);
    TMainForm form;
    form.show();
    answerYes();
    form.showPage(TMainForm::PageConvert);
    Ui::ConvertPage& page = form.convertPage()->form();
    EXPECT_EQ(page.InEdit->text(), path("vhod.txt"));
    EXPECT_EQ(page.OutEdit->text(), path("izhod.rtf"));
    EXPECT_TRUE(page.CbConvertCaps->isChecked());
    EXPECT_TRUE(page.ConvertBtn->isEnabled());
    QTest::mouseClick(page.ConvertBtn, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([] { return !TConvertThread::running(); }));
    EXPECT_EQ(owners, std::vector<QWidget*>{&form});
    EXPECT_TRUE(readFile(QStringLiteral("izhod.rtf")).endsWith("}}"));
}

}  // namespace
