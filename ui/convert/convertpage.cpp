#include "ui/convert/convertpage.h"

#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>
#include <algorithm>

#include "core/settings/options.h"
#include "core/transcription/convertdata.h"
#include "qtcore/qtext.h"
#include "ui/convert/tconvertthread.h"
#include "ui/help/helpcontext.h"
#include "ui/widgets/codepageinput.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/messages.h"
#include "ui/widgets/windowfont.h"
#include "ui_convertpage.h"

namespace {

// A local file among the dragged items, or an empty string. An output may
// be a file that does not exist yet; a folder never is one.
QString droppedFile(const QMimeData* mime, bool mayBeNew = false) {
    if (mime == nullptr) {
        return {};
    }
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QFileInfo info(url.toLocalFile());
        if (info.isFile() || (mayBeNew && !info.exists())) {
            return url.toLocalFile();
        }
    }
    return {};
}

bool carriesLocalFiles(const QMimeData* mime) {
    if (mime == nullptr) {
        return false;
    }
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

}  // namespace

ConvertPage::ConvertPage(TOptions& options, QWidget* parent)
    : QWidget(parent), m_options(options), ui(std::make_unique<Ui::ConvertPage>()) {
    ui->setupUi(this);
    setBoldCaption(ui->InGrp);
    setBoldCaption(ui->OutGrp);
    ui->TerminateBtn->hide();
    ui->ConvertPaint->hide();
    ui->ConvertPercent->hide();
    ui->ConvertPaint->installEventFilter(this);
    setAcceptDrops(true);
    // Files dropped onto the name fields give their paths, not URLs.
    ui->InEdit->installEventFilter(this);
    ui->OutEdit->installEventFilter(this);

    QStyle* look = style();
    ui->InBrowseBtn->setIcon(look->standardIcon(QStyle::SP_DirOpenIcon));
    ui->OutBrowseBtn->setIcon(look->standardIcon(QStyle::SP_DirOpenIcon));
    ui->InOpenBtn->setIcon(look->standardIcon(QStyle::SP_FileIcon));
    ui->OutOpenBtn->setIcon(look->standardIcon(QStyle::SP_FileIcon));
    ui->ConvertBtn->setIcon(look->standardIcon(QStyle::SP_MediaPlay));
    ui->TerminateBtn->setIcon(look->standardIcon(QStyle::SP_MediaStop));
    ui->InBrowseBtn->setToolTip(QStringLiteral("Poišči vhodno datoteko"));
    ui->OutBrowseBtn->setToolTip(QStringLiteral("Poišči izhodno datoteko"));
    ui->InOpenBtn->setToolTip(QStringLiteral("Odpri vhodno datoteko"));
    ui->OutOpenBtn->setToolTip(QStringLiteral("Odpri izhodno datoteko"));

    setHelpContext(this, 9706);
    setHelpContext(ui->InGrp, 1601);
    setHelpContext(ui->InLabel, 1601);
    setHelpContext(ui->InEdit, 1601);
    setHelpContext(ui->InBrowseBtn, 1602);
    setHelpContext(ui->InOpenBtn, 1603);
    setHelpContext(ui->OutGrp, 1604);
    setHelpContext(ui->OutLabel, 1604);
    setHelpContext(ui->OutEdit, 1604);
    setHelpContext(ui->OutBrowseBtn, 1605);
    setHelpContext(ui->OutOpenBtn, 1606);
    setHelpContext(ui->CbConvertCaps, 1607);
    setHelpContext(ui->ConvertBtn, 1608);
    setHelpContext(ui->TerminateBtn, 1609);

    // The names are stored in Windows-1250.
    acceptCodePageOnly(ui->InEdit);
    acceptCodePageOnly(ui->OutEdit);

    m_convertTimer.setInterval(ConvertPicture::kTickMs);
    connect(&m_convertTimer, &QTimer::timeout, this, guardedSlot(this, [this] { ConvertTimerTimer(); }));
    connect(ui->InEdit, &QLineEdit::textChanged, this,
            guardedSlot(this, [this] { ConvEditChange(ui->InEdit); }));
    connect(ui->OutEdit, &QLineEdit::textChanged, this,
            guardedSlot(this, [this] { ConvEditChange(ui->OutEdit); }));
    connect(ui->InBrowseBtn, &QToolButton::clicked, this, guardedSlot(this, [this] { BrowseClick(false); }));
    connect(ui->OutBrowseBtn, &QToolButton::clicked, this, guardedSlot(this, [this] { BrowseClick(true); }));
    connect(ui->InOpenBtn, &QToolButton::clicked, this,
            guardedSlot(this, [this] { InOutOpenBtnClick(false); }));
    connect(ui->OutOpenBtn, &QToolButton::clicked, this,
            guardedSlot(this, [this] { InOutOpenBtnClick(true); }));
    connect(ui->ConvertBtn, &QPushButton::clicked, this, guardedSlot(this, [this] { ConvertBtnClick(); }));
    connect(ui->TerminateBtn, &QPushButton::clicked, this,
            guardedSlot(this, [this] { TerminateBtnClick(); }));
    connect(ui->CbConvertCaps, &QCheckBox::clicked, this,
            guardedSlot(this, [this] { CbConvertCapsClick(); }));
    // A conversion must not outlive the settings store it reads.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [] { TConvertThread::stopAndWait(); });
    ConvEditChange(nullptr);
}

ConvertPage::~ConvertPage() {
    TConvertThread::stopAndWait();
}

void ConvertPage::PrepareConvertPicture() {
    m_picture.prepare();
}

void ConvertPage::releaseConvertPicture() {
    m_picture.release();
}

void ConvertPage::setFileNames(const QString& inputFile, const QString& outputFile) {
    m_filling = true;
    ui->InEdit->setText(inputFile);
    ui->OutEdit->setText(outputFile);
    m_filling = false;
    ConvEditChange(nullptr);
}

void ConvertPage::setConvertCaps(bool on) {
    ui->CbConvertCaps->setChecked(on);
}

bool ConvertPage::FileNamePresent(const QString& name) {
    if (name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'))) {
        return true;
    }
    return !name.isEmpty() && QFileInfo::exists(name);
}

QString ConvertPage::folderPart(const QString& name) {
    const qsizetype at = name.lastIndexOf(QLatin1Char('/'));
    return at < 0 ? QString() : name.left(at + 1);
}

void ConvertPage::ConvEditChange(QObject* sender) {
    const QString input = ui->InEdit->text();
    const QString output = ui->OutEdit->text();
    const bool inPresent = FileNamePresent(input);
    ui->ConvertBtn->setEnabled(inPresent && !output.isEmpty());
    ui->InOpenBtn->setEnabled(inPresent);
    ui->OutOpenBtn->setEnabled(FileNamePresent(output));
    if (m_filling) {
        return;
    }
    if (sender == ui->InEdit) {
        m_options.SetInputFile(toCp1250(input));
    } else if (sender == ui->OutEdit) {
        m_options.SetOutputFile(toCp1250(output));
    }
}

void ConvertPage::BrowseClick(bool output) {
    QLineEdit* const edit = output ? ui->OutEdit : ui->InEdit;
    QFileDialog dialog(window());
    if (output) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters(
            {QStringLiteral("Rich Text Format (*.rtf)"), QStringLiteral("vse datoteke (*)")});
        dialog.setDefaultSuffix(QStringLiteral("rtf"));
        // The conversion asks before writing over a file.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setWindowTitle(QStringLiteral("Vhodna datoteka za pretvorbo"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters({QStringLiteral("besedila (*.txt)"), QStringLiteral("vse datoteke (*)")});
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    }
    const QString folder = folderPart(edit->text());
    if (!folder.isEmpty()) {
        dialog.setDirectory(folder);
    }
    dialog.selectFile(edit->text());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        edit->setText(dialog.selectedFiles().constFirst());
    }
}

QString ConvertPage::openErrorText(int shellResult) {
    switch (shellResult) {
        case 0:
        case 8:
            return QStringLiteral("Premalo pomnilnika!");
        case 2:
            return QStringLiteral("Ne najdem te datoteke!");
        case 3:
            return QStringLiteral("Ne najdem ustrezne mape!");
        case 5:
            return QStringLiteral("Dostop do datoteke je onemogočen!");
        case 11:
            return QStringLiteral("Napaka v formatu!");
        case 26:
            return QStringLiteral("Ta datoteka je že odprta v nekem drugem programu!");
        case 27:
        case 31:
            return QStringLiteral("Ne vem, s katerim programom naj odprem to datoteko!");
        case 28:
        case 29:
        case 30:
            return QStringLiteral("Ne morem se povezati s programom, ki bi moral odpreti to datoteko!");
        case 32:
            return QStringLiteral("Programu, ki bi moral odpreti to datoteko, manjka neka knjižnica!");
        default:
            return QStringLiteral("Neznana napaka (%1)!").arg(shellResult);
    }
}

int ConvertPage::shellResultOfXdgOpen(int exitStatus) {
    switch (exitStatus) {
        case 0:
            return 33;
        case 2:  // the file does not exist
            return 2;
        case 3:  // no program is known for it
            return 31;
        case 4:  // the program for it failed
            return 30;
        case 5:  // the file cannot be read
            return 5;
        default:  // 1, a syntax error, and anything else: shown by its number
            return exitStatus;
    }
}

void ConvertPage::showOpenError(int shellResult) {
    messages::plain(window(), openErrorText(shellResult), QStringLiteral("Napaka pri odpiranju datoteke"));
}

void ConvertPage::InOutOpenBtnClick(bool output) {
    const QString name = output ? ui->OutEdit->text() : ui->InEdit->text();
    if (name.isEmpty()) {
        return;
    }
    // Both files are opened from the input's folder.
    const QString folder = folderPart(ui->InEdit->text());
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        showOpenError(3);
        return;
    }
    const QString program = QStandardPaths::findExecutable(m_openProgram);
    if (program.isEmpty()) {
        showOpenError(31);
        return;
    }
    // The opener may run as long as the program it starts, so it is watched,
    // never waited for.
    auto* process = new QProcess;
    process->setWorkingDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
    QPointer<ConvertPage> page(this);
    connect(process, &QProcess::finished, process,
            [page, process](int exitCode, QProcess::ExitStatus status) {
                process->deleteLater();
                const int result = status == QProcess::NormalExit ? shellResultOfXdgOpen(exitCode) : exitCode;
                if (page && (status != QProcess::NormalExit || result <= 32)) {
                    page->showOpenError(status == QProcess::NormalExit ? result : -1);
                }
            });
    connect(process, &QProcess::errorOccurred, process, [page, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            process->deleteLater();
            if (page) {
                page->showOpenError(31);
            }
        }
    });
    process->start(program, {name});
}

void ConvertPage::ConvertBtnClick() {
    const QString input = ui->InEdit->text();
    const QString output = ui->OutEdit->text();
    if (TConvertThread::running() || input.isEmpty() || output.isEmpty()) {
        return;
    }
    m_picture.setFinishing(false);
    m_convertTimer.start();
    ui->ConvertPaint->show();
    ui->ConvertPercent->setText(QStringLiteral("0 %"));
    ui->ConvertPercent->show();
    QPointer<ConvertPage> page(this);
    QWidget* const owner = m_boxOwner != nullptr ? m_boxOwner : window();
    TConvertThread::start(owner, ui->CbConvertCaps->isChecked(), toCp1250(input), toCp1250(output), [page] {
        if (page) {
            page->ConversionFinished();
        }
    });
    ui->TerminateBtn->setEnabled(true);
    swapButtons(true);
}

void ConvertPage::swapButtons(bool converting) {
    // One change on the screen: neither button is seen without the other.
    setUpdatesEnabled(false);
    ui->ConvertBtn->setVisible(!converting);
    ui->TerminateBtn->setVisible(converting);
    setUpdatesEnabled(true);
}

void ConvertPage::TerminateBtnClick() {
    if (TConvertThread* thread = TConvertThread::active()) {
        thread->Terminate();
    }
}

void ConvertPage::ConversionFinished() {
    m_picture.setFinishing(true);
    swapButtons(false);
    ui->TerminateBtn->setEnabled(false);
    ui->ConvertPercent->hide();
    // The output may exist now.
    ConvEditChange(nullptr);
}

void ConvertPage::CbConvertCapsClick() {
    m_options.SetFlag(flag::ConvertCaps, ui->CbConvertCaps->isChecked());
}

void ConvertPage::ConvertTimerTimer() {
    if (!m_picture.tick(ui->ConvertPaint->width())) {
        m_convertTimer.stop();
        ui->ConvertPaint->hide();
        return;
    }
    if (const TConvertThread* thread = TConvertThread::active()) {
        ui->ConvertPercent->setText(QStringLiteral("%1 %").arg(thread->control().percent()));
    }
    // Ticks while another page is shown draw nothing.
    if (isVisible()) {
        ui->ConvertPaint->repaint();
    }
}

bool ConvertPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->ConvertPaint && event->type() == QEvent::Paint) {
        ConvertPaintPaint();
        return true;
    }
    if (watched == ui->InEdit || watched == ui->OutEdit) {
        return fieldDropEvent(watched == ui->OutEdit, event);
    }
    return QWidget::eventFilter(watched, event);
}

void ConvertPage::ConvertPaintPaint() {
    QPainter painter(ui->ConvertPaint);
    painter.drawImage(0, 0, m_picture.render(ui->ConvertPaint->size(), ui->ConvertPaint->palette()));
}

void ConvertPage::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

bool ConvertPage::fieldDropEvent(bool output, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    if (!carriesLocalFiles(drop->mimeData())) {
        return false;  // text is dropped as the field does it
    }
    // Dragged files never put their addresses into a field as text: a folder,
    // or an input that is no file, is refused.
    const QString file = droppedFile(drop->mimeData(), output);
    if (file.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        if (output) {
            guarded(this, [&] { ui->OutEdit->setText(file); });
        } else {
            takeDroppedInput(file);
        }
    }
    return true;
}

void ConvertPage::dropEvent(QDropEvent* event) {
    const QString file = droppedFile(event->mimeData());
    if (file.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    takeDroppedInput(file);
}

void ConvertPage::takeDroppedInput(const QString& file) {
    guarded(this, [&] {
        ui->InEdit->setText(file);
        if (ui->OutEdit->text().isEmpty()) {
            const QFileInfo info(file);
            const bool plainRtf = info.suffix().compare(QStringLiteral("rtf"), Qt::CaseInsensitive) == 0;
            const QString base = info.suffix().isEmpty() || plainRtf
                                     ? file
                                     : file.left(file.size() - info.suffix().size() - 1);
            ui->OutEdit->setText(base + QStringLiteral(".rtf"));
        }
    });
}
