#include "ui/exercise/descriptionspage.h"

#include <QAction>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>
#include <QStyle>

#include "core/exercise/descriptionsparser.h"
#include "core/exercise/trainersession.h"
#include "core/settings/options.h"
#include "core/transcription/convertdata.h"
#include "qtcore/qtext.h"
#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/help/helpengine.h"
#include "ui/widgets/codepageinput.h"
#include "ui/widgets/errorguard.h"
#include "ui_descriptionspage.h"

namespace {

constexpr int kErrorHelpBase = 9900;

std::vector<std::string> fieldLines(const QPlainTextEdit* field) {
    // The raw text keeps no-break spaces (byte A0) as they are; the document
    // separates its blocks with paragraph separators.
    QString text = field->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return descparse::splitLines(toCp1250(text));
}

void setFieldLines(QPlainTextEdit* field, const std::vector<std::string>& lines) {
    field->setPlainText(fromCp1250(descparse::joinLines(lines)));
}

// A message as a menu caption: "&" is shown as itself, and a tab would split
// the caption into text and shortcut.
QString literalCaption(const std::string& message) {
    QString caption = fromCp1250(message);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    caption.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return caption;
}

int itemHelpContext(const QAction* item) {
    return item->property(kHelpContextProperty).toInt();
}

}  // namespace

DescriptionsPage::DescriptionsPage(TrainerSession& session, QWidget* parent)
    : QWidget(parent), m_session(session), ui(std::make_unique<Ui::DescriptionsPage>()) {
    ui->setupUi(this);

    setHelpContext(this, 9703);
    setHelpContext(ui->PnlSkupine, 1201);
    setHelpContext(ui->MemoSkupine, 1201);
    ui->MemoSkupine->setAccessibleName(QStringLiteral("Skupine črk"));
    ui->MemoNaloge->setAccessibleName(QStringLiteral("Naloge"));
    setHelpContext(ui->PnlNaloge, 1202);
    setHelpContext(ui->MemoNaloge, 1202);
    setHelpContext(ui->ConfirmTasksBtn, 1203);
    setHelpContext(ui->CancelTasksBtn, 1204);
    setHelpContext(ui->ErrorsBtn, 1205);
    setHelpContext(ui->DefaultDescBtn, 1206);
    setHelpContext(ui->CbAutoSaveOpisi, 1210);
    // The text fields and the check box keep the right button for themselves.
    setMouseHelp(ui->MemoSkupine, false);
    setMouseHelp(ui->MemoNaloge, false);
    setMouseHelp(ui->CbAutoSaveOpisi, false);

    ui->ErrorsBtn->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    ui->ErrorsBtn->setIconSize(QSize(12, 12));
    ui->ErrorsBtn->hide();

    m_errorsPopup = new QMenu(this);
    m_errorsPopup->setObjectName(QStringLiteral("ErrorsPopup"));
    m_errorsPopup->installEventFilter(this);
    connect(m_errorsPopup, &QMenu::aboutToShow, this, &DescriptionsPage::ErrorsPopupPopup);
    connect(m_errorsPopup, &QMenu::triggered, this, [this](QAction* item) {
        HelpEngine::instance().showPopup(itemHelpContext(item), QCursor::pos(), window());
    });

    // "Napake" is the page's cancel button: Esc opens the menu while the
    // button can be seen, except in the text fields, which take Esc.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), ui->ErrorsBtn);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &DescriptionsPage::ErrorsBtnClick);
    ui->MemoSkupine->installEventFilter(this);
    ui->MemoNaloge->installEventFilter(this);

    acceptCodePageOnly(ui->MemoSkupine);
    acceptCodePageOnly(ui->MemoNaloge);
    connect(ui->MemoSkupine, &QPlainTextEdit::textChanged, this, &DescriptionsPage::NalogeChange);
    connect(ui->MemoNaloge, &QPlainTextEdit::textChanged, this, &DescriptionsPage::NalogeChange);
    connect(ui->ConfirmTasksBtn, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { ConfirmTasksBtnClick(); }); });
    connect(ui->CancelTasksBtn, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { CancelTasksBtnClick(); }); });
    connect(ui->DefaultDescBtn, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { DefaultDescBtnClick(); }); });
    connect(ui->ErrorsBtn, &QPushButton::clicked, this, &DescriptionsPage::ErrorsBtnClick);
    connect(ui->CbAutoSaveOpisi, &QCheckBox::clicked, this,
            [this] { guarded(this, [this] { CbAutoSaveOpisiClick(); }); });
}

DescriptionsPage::~DescriptionsPage() = default;

std::vector<std::string> DescriptionsPage::groupLines() const {
    return fieldLines(ui->MemoSkupine);
}

std::vector<std::string> DescriptionsPage::taskLines() const {
    return fieldLines(ui->MemoNaloge);
}

void DescriptionsPage::LoadDescriptions() {
    StringList groups;
    StringList tasks;
    Options().LoadLetterGroups(groups);
    Options().LoadTaskDescriptions(tasks);
    setFieldLines(ui->MemoSkupine, groups);
    setFieldLines(ui->MemoNaloge, tasks);
    parseLive();
    emit exerciseEndRequested();
    emit newTaskAvailable(m_session.liveDescriptions().taskCount() >= 1);
    m_session.setDescriptionsChanged(false);
}

void DescriptionsPage::SaveDescriptions() {
    Options().SaveLetterGroups(groupLines());
    Options().SaveTaskDescriptions(taskLines());
    m_session.setDescriptionsChanged(false);
}

void DescriptionsPage::setAutoSave(bool on) {
    ui->CbAutoSaveOpisi->setChecked(on);
}

void DescriptionsPage::parseLive() {
    ParseDescriptions(groupLines(), taskLines(), m_session.liveDescriptions(), m_session.descriptionErrors());
    showErrorsButton();
}

void DescriptionsPage::showErrorsButton() {
    ui->ErrorsBtn->setVisible(!m_session.descriptionErrors().empty());
}

void DescriptionsPage::NalogeChange() {
    ParseDescriptions(groupLines(), taskLines(), m_session.scratchDescriptions(),
                      m_session.descriptionErrors());
    showErrorsButton();
    m_session.setDescriptionsChanged(true);
}

void DescriptionsPage::ConfirmTasksBtnClick() {
    SaveDescriptions();
    emit exerciseEndRequested();
    parseLive();
    // Once more, so that the exercise page shows the new state.
    emit exerciseEndRequested();
    emit newTaskAvailable(m_session.liveDescriptions().taskCount() >= 1);
}

void DescriptionsPage::CancelTasksBtnClick() {
    LoadDescriptions();
}

void DescriptionsPage::DefaultDescBtnClick() {
    Options().WriteDefaultDescriptions(true, true);
    LoadDescriptions();
}

void DescriptionsPage::ErrorsBtnClick() {
    m_errorsPopup->popup(ui->ErrorsBtn->mapToGlobal(QPoint(0, ui->ErrorsBtn->height())));
}

void DescriptionsPage::ErrorsPopupPopup() {
    m_errorsPopup->clear();
    for (const DescriptionError& error : m_session.descriptionErrors()) {
        QAction* item = m_errorsPopup->addAction(literalCaption(error.message));
        item->setProperty(kHelpContextProperty, kErrorHelpBase + error.code);
    }
}

void DescriptionsPage::CbAutoSaveOpisiClick() {
    Options().SetFlag(flag::AutoSaveDescriptions, ui->CbAutoSaveOpisi->isChecked());
}

bool DescriptionsPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        (watched == ui->MemoSkupine || watched == ui->MemoNaloge)) {
        // The text fields keep Esc from the page's cancel button.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    if (watched == m_errorsPopup && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        // F1 on a highlighted item shows the item's topic.
        if (QAction* item = m_errorsPopup->activeAction()) {
            HelpEngine::instance().showPopup(itemHelpContext(item), QCursor::pos(), window());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
