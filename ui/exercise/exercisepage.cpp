#include "ui/exercise/exercisepage.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <utility>

#include "core/exercise/random.h"
#include "core/exercise/tickclock.h"
#include "core/exercise/trainersession.h"
#include "core/settings/options.h"
#include "core/transcription/convertdata.h"
#include "core/transcription/settingssource.h"
#include "core/words/worditem.h"
#include "core/words/wordrun.h"
#include "qtcore/qtext.h"
#include "ui/help/helpcontext.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/localetext.h"
#include "ui/widgets/messages.h"
#include "ui/widgets/tengwarfont.h"
#include "ui/words/newletterbanner.h"
#include "ui_exercisepage.h"

namespace {

// The task number of a drill of real words: no task of the menu has it.
constexpr int kWordRunTask = -1;

// The question above the answer field: a task shows letters, a drill of real
// words a word.
QString questionFor(int task) {
    return task == kWordRunTask ? QStringLiteral("Katera beseda je na sliki?")
                                : QStringLiteral("Katera črka oz. kombinacija črk je na sliki?");
}

// The switches as the engine would read them now.
TConvertData currentSwitches() {
    TConvertData settings;
    loadSettings(settings);
    return settings;
}

// Text built from the user's data, shown as it is: "&" is no accelerator.
QString literalMenuText(const QString& text) {
    QString result = text;
    return result.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString percent(std::int32_t part, std::int32_t whole) {
    return percentText(whole == 0 ? 0.0 : 100.0 * part / whole);
}

QString seconds(double ms, int decimals) {
    return QLocale().toString(ms / 1000.0, 'f', decimals) + QStringLiteral(" s");
}

bool isModifierKey(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
            return true;
        default:
            return false;
    }
}

}  // namespace

ExercisePage::ExercisePage(TrainerSession& session, QWidget* parent)
    : QWidget(parent),
      m_session(session),
      ui(std::make_unique<Ui::ExercisePage>()),
      m_state(session.exercise()) {
    ui->setupUi(this);

    QFont title(QStringLiteral("Liberation Serif"));
    title.setPixelSize(21);
    ui->NaslovVaje1->setFont(title);
    ui->TengwarLabel1->setFont(tengwarFont(27));
    ui->TengwarLabel1->setBackgroundRole(QPalette::Base);
    // Its text is font codes, no words: a screen reader says what it is.
    ui->TengwarLabel1->setAccessibleName(QStringLiteral("Primer v tengwarju"));
    ui->EdOdgovor1->setAccessibleName(QStringLiteral("Odgovor"));
    for (QLabel* caption : {ui->LbStVaj, ui->LbPravilni, ui->LbNapacni, ui->LbPovprecje, ui->LbNajhitrejsi,
                            ui->LbNajpocasnejsi}) {
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
    }

    setHelpContext(this, 9701);
    setHelpContext(ui->NaslovVaje1, 1501);
    setHelpContext(ui->TengwarLabel1, 1502);
    setHelpContext(ui->VprasanjeLabel, 1503);
    setHelpContext(ui->EdOdgovor1, 1503);
    setHelpContext(ui->TimeLabel, 1504);
    setHelpContext(ui->CbZoomWin, 1505);
    setHelpContext(ui->CbPremor1, 1506);
    setHelpContext(ui->StatistikaPanel, 1510);
    const std::pair<QLabel*, QLabel*> rows[] = {{ui->LbStVaj, ui->StVaj},
                                                {ui->LbPravilni, ui->Pravilni},
                                                {ui->LbNapacni, ui->Napacni},
                                                {ui->LbPovprecje, ui->Povprecje},
                                                {ui->LbNajhitrejsi, ui->Najhitrejsi},
                                                {ui->LbNajpocasnejsi, ui->Najpocasnejsi}};
    int context = 1511;
    for (const auto& [caption, value] : rows) {
        setHelpContext(caption, context);
        setHelpContext(value, context);
        ++context;
    }
    setHelpContext(ui->Randomize1Btn, 1520);
    setHelpContext(ui->Restart1Btn, 1521);
    setHelpContext(ui->KonecBtn, 1522);
    setHelpContext(ui->CbWaitEnter, 1531);

    m_nalogePopup = new QMenu(this);
    m_nalogePopup->setObjectName(QStringLiteral("NalogePopup"));
    connect(m_nalogePopup, &QMenu::aboutToShow, this, [this] { NalogePopupPopup(); });

    ui->Restart1Btn->installEventFilter(this);
    ui->EdOdgovor1->installEventFilter(this);
    connect(ui->EdOdgovor1, &QLineEdit::textChanged, this,
            guardedSlot(this, [this](auto&&...) { EdOdgovor1Change(); }));
    connect(ui->KonecBtn, &QPushButton::clicked, this,
            guardedSlot(this, [this](auto&&...) { KonecBtnClick(); }));
    // A click on these does its work and leaves the keyboard with the answer;
    // Tab still reaches them.
    using Handler = void (ExercisePage::*)();
    const std::pair<QAbstractButton*, Handler> clickedThenAnswer[] = {
        {ui->Randomize1Btn, &ExercisePage::Randomize1BtnClick},
        {ui->CbPremor1, &ExercisePage::CbPremor1Click},
        {ui->CbWaitEnter, &ExercisePage::CbWaitEnterClick},
        {ui->CbZoomWin, &ExercisePage::CbZoomWinClick},
    };
    for (const auto& entry : clickedThenAnswer) {
        QAbstractButton* const control = entry.first;
        const Handler handler = entry.second;
        control->setFocusPolicy(Qt::TabFocus);
        connect(control, &QAbstractButton::clicked, this, guardedSlot(this, [this, control, handler](auto&&...) {
                    (this->*handler)();
                    focusAfterClick(control);
                }));
    }

    m_newLetter = new NewLetterBanner(this);
    m_newLetter->setGeometry(ui->StatistikaPanel->geometry());
    setHelpContext(m_newLetter, 1721);

    m_timer = new QTimer(this);
    m_timer->setInterval(50);
    connect(m_timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    m_timer->start();

    resetExercise();
}

ExercisePage::~ExercisePage() = default;

void ExercisePage::resetExercise() {
    m_state = ExerciseState{};
    ui->CbPremor1->setChecked(false);
    ui->EdOdgovor1->setReadOnly(false);
}

void ExercisePage::StartTask(int n) {
    // A task of the menu, or none: the live descriptions again.
    m_drill.reset();
    endWordRun();
    startRun(n);
}

void ExercisePage::startDrill(const TaskDescriptions& drill) {
    m_drill = drill;
    endWordRun();
    startRun(1);
    FocusExercise();
}

void ExercisePage::startWordRun(std::shared_ptr<WordRun> run) {
    m_drill.reset();
    endWordRun();
    m_wordRun = std::move(run);
    emit statusMessage(QString());
    tellWordRunNotice();
    startRun(kWordRunTask);
    FocusExercise();
}

void ExercisePage::setWordEntries(const WordEntries& entries) {
    m_wordEntries = entries;
}

void ExercisePage::tellWordRunNotice() {
    if (!m_wordRun)
        return;
    const std::string notice = m_wordRun->takeNotice();
    if (!notice.empty())
        emit statusMessage(fromCp1250(notice));
    if (const unsigned char letter = m_wordRun->takeNewLetter(); letter != 0)
        m_newLetter->showLetter(letter);
}

void ExercisePage::endWordRun() {
    if (!m_wordRun)
        return;
    m_wordRun.reset();
    m_newLetter->hide();
    emit statusMessage(QString());
}

void ExercisePage::startRun(int n) {
    m_state.resetStatistics();
    m_state.stopClock(tickclock::now());
    m_state.taskNumber = n;
    ui->VprasanjeLabel->setText(questionFor(n));
    ui->KonecBtn->setEnabled(true);
    ui->CbPremor1->setEnabled(true);
    NextItem();
    ShowStatistics();
}

void ExercisePage::updateExpectedAnswer() {
    // A word is its own answer, whatever the rules read its letters as.
    if (m_wordRun)
        return;
    m_state.item.answer = TengwarToLatin(m_state.item.letters, m_session.activeRules());
}

void ExercisePage::NextItem() {
    if (m_wordRun && m_state.taskNumber == kWordRunTask) {
        nextWord();
        return;
    }
    int task = m_state.taskNumber;
    m_state.item =
        PrepareItem(runDescriptions(), task, m_session.activeRules(), [this](const std::string& name) {
            messages::Request request;
            request.parent = this;
            request.title = QStringLiteral("Error");
            request.text = fromCp1250(drawFailureMessage(name));
            request.icon = messages::Icon::Error;
            request.buttons = {messages::caption(messages::Button::Ok)};
            request.hasHelp = true;
            request.helpContext = 0;
            messages::ask(request);
        });
    const bool failed = task != m_state.taskNumber;
    m_state.taskNumber = task;

    showItem();
    m_state.startClock(tickclock::now());
    m_state.itemTime = 0;
    if (failed) {
        // The run has stopped: the page shows that at once.
        ShowStatistics();
    }
    if (m_state.running())
        ui->EdOdgovor1->setFocus();
}

// Shows the current item in Tengwar with an empty answer field, out of any pause.
void ExercisePage::showItem() {
    const QString tengwar = fromFontCodes(m_state.item.tengwar);
    ui->TengwarLabel1->setText(tengwar);
    emit itemTextChanged(tengwar);
    m_clearingAnswer = true;
    ui->EdOdgovor1->clear();
    m_clearingAnswer = false;
    if (ui->CbPremor1->isChecked())
        SetPause(false);
}

void ExercisePage::nextWord() {
    const std::string word = m_wordRun->next();
    if (word.empty()) {
        // Nothing more to read: the run ends as after "Končaj nalogo", and
        // the run's notice says why.
        const std::string why = m_wordRun->takeNotice();
        m_state.item = ExerciseItem{};
        showItem();
        KonecBtnClick();
        emit statusMessage(fromCp1250(why));
        return;
    }
    tellWordRunNotice();
    m_state.item = words::makeWordItem(word, currentSwitches());
    showItem();
    m_state.startClock(tickclock::now());
    m_state.itemTime = 0;
    ui->EdOdgovor1->setFocus();
}

void ExercisePage::CheckAnswer() {
    const std::string answer = answerBytes();
    const bool byScript = m_wordRun && m_state.taskNumber == kWordRunTask;
    const bool right = byScript
                           ? m_state.count(words::answerMatches(m_state.item, answer, currentSwitches()),
                                           tickclock::now())
                           : m_state.judge(answer, tickclock::now());
    emit answerJudged(fromCp1250(m_state.item.letters), fromCp1250(m_state.item.answer), fromCp1250(answer),
                      right, m_state.itemTime);
    if (!right) {
        messages::Request request;
        request.parent = this;
        request.title = QStringLiteral("Napaka");
        request.text = QStringLiteral("Pravilni odgovor je: „%1“.").arg(fromCp1250(m_state.item.answer));
        request.icon = messages::Icon::Warning;
        request.buttons = {messages::caption(messages::Button::Ok)};
        messages::ask(request);
    }
    if (byScript && m_wordRun) {
        m_newLetter->answered();
        m_wordRun->answered(right);
        tellWordRunNotice();
    }
    ShowStatistics();
    NextItem();
}

void ExercisePage::ShowStatistics() {
    const ExerciseState& s = m_state;
    ui->NaslovVaje1->setText(taskName());
    ui->StVaj->setText(QString::number(s.answers));
    ui->Pravilni->setText(QStringLiteral("%1 (%2)").arg(s.correct).arg(percent(s.correct, s.answers)));
    const std::int32_t wrong = s.answers - s.correct;
    ui->Napacni->setText(QStringLiteral("%1 (%2)").arg(wrong).arg(percent(wrong, s.answers)));
    ui->Povprecje->setText(seconds(s.answers == 0 ? 0.0 : static_cast<double>(s.totalTime) / s.answers, 2));
    ui->Najhitrejsi->setText(seconds(s.fastest, 2));
    ui->Najpocasnejsi->setText(seconds(s.slowest, 2));
    const QString tengwar = fromFontCodes(s.item.tengwar);
    ui->TengwarLabel1->setText(tengwar);
    emit itemTextChanged(tengwar);
    ui->KonecBtn->setEnabled(s.running());
    ui->CbPremor1->setEnabled(s.running());
    ui->Restart1Btn->setEnabled(m_session.liveDescriptions().taskCount() >= 1);
    TimerTimer();
}

void ExercisePage::FocusExercise() {
    if (!m_state.running())
        return;
    emit pageShowRequested();
    ui->EdOdgovor1->setFocus();
}

void ExercisePage::takeKey(const QKeyEvent& key) {
    if (!m_state.running())
        return;
    FocusExercise();
    QKeyEvent copy(key.type(), key.key(), key.modifiers(), key.nativeScanCode(), key.nativeVirtualKey(),
                   key.nativeModifiers(), key.text(), key.isAutoRepeat(), static_cast<quint16>(key.count()));
    QCoreApplication::sendEvent(ui->EdOdgovor1, &copy);
}

// A control that has the focus was reached with Tab and used from the
// keyboard: the focus stays there. A click leaves it with the answer field.
void ExercisePage::focusAfterClick(QWidget* control) {
    if (!control->hasFocus())
        FocusExercise();
}

void ExercisePage::setWaitForEnter(bool on) {
    ui->CbWaitEnter->setChecked(on);
}

void ExercisePage::setZoomChecked(bool on) {
    ui->CbZoomWin->setChecked(on);
}

void ExercisePage::setNewTaskAvailable(bool available) {
    ui->Restart1Btn->setEnabled(available);
}

void ExercisePage::TimerTimer() {
    if (!m_state.running()) {
        ui->TimeLabel->clear();
        return;
    }
    const double ms = static_cast<double>(m_state.itemTime) + m_state.stretch(tickclock::now());
    ui->TimeLabel->setText(seconds(ms, 1));
}

bool ExercisePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Restart1Btn && event->type() == QEvent::MouseButtonPress) {
        // A left press opens the task menu; other buttons are left to the
        // context help.
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton || !ui->Restart1Btn->isEnabled())
            return false;
        Restart1BtnMouseDown();
        return true;
    }
    if (watched == ui->Restart1Btn && event->type() == QEvent::KeyPress) {
        // The keys that open a menu button open the task menu too.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool opens = key->key() == Qt::Key_Space || key->key() == Qt::Key_Return ||
                           key->key() == Qt::Key_Enter ||
                           (key->key() == Qt::Key_Down && key->modifiers().testFlag(Qt::AltModifier));
        if (!opens || !ui->Restart1Btn->isEnabled())
            return false;
        Restart1BtnMouseDown();
        if (!m_nalogePopup->actions().isEmpty())
            m_nalogePopup->setActiveAction(m_nalogePopup->actions().constFirst());
        return true;
    }
    if (watched == ui->EdOdgovor1 && event->type() == QEvent::KeyPress) {
        bool consumed = true;
        guarded(this, [&] { consumed = EdOdgovor1KeyDown(static_cast<QKeyEvent*>(event)); });
        return consumed;
    }
    return QWidget::eventFilter(watched, event);
}

void ExercisePage::Restart1BtnMouseDown() {
    m_nalogePopup->popup(ui->Restart1Btn->mapToGlobal(QPoint(0, ui->Restart1Btn->height())));
}

void ExercisePage::NalogePopupPopup() {
    m_nalogePopup->clear();
    const TaskDescriptions& live = m_session.liveDescriptions();
    for (int k = 1; k <= live.taskCount(); ++k) {
        QAction* item = m_nalogePopup->addAction(literalMenuText(fromCp1250(live.tasks[k - 1].name)));
        connect(item, &QAction::triggered, this, guardedSlot(this, [this, k](auto&&...) { StartTask(k); }));
    }
    addWordEntries();
}

// Below the tasks: the drills of real words. An entry that cannot be chosen
// now is greyed, and the status line says why.
void ExercisePage::addWordEntries() {
    m_nalogePopup->addSeparator();
    m_nalogePopup->setToolTipsVisible(true);
    const struct {
        QString caption;
        WordDrill drill;
        bool enabled;
        QString why;
    } entries[] = {
        {QStringLiteral("Besede iz slovarja"), WordDrill::Dictionary, m_wordEntries.dictionary,
         m_wordEntries.dictionaryWhy},
        {QStringLiteral("Moje besedilo …"), WordDrill::Text, true, QString()},
        {QStringLiteral("Tečaj"), WordDrill::Course, m_wordEntries.course, m_wordEntries.courseWhy},
    };
    QString why;
    for (const auto& entry : entries) {
        QAction* item = m_nalogePopup->addAction(entry.caption);
        item->setEnabled(entry.enabled);
        if (!entry.enabled) {
            item->setToolTip(entry.why);
            if (why.isEmpty())
                why = entry.why;
        }
        const WordDrill drill = entry.drill;
        connect(item, &QAction::triggered, this,
                guardedSlot(this, [this, drill](auto&&...) { emit wordDrillChosen(drill); }));
    }
    if (!why.isEmpty())
        emit statusMessage(why);
}

void ExercisePage::KonecBtnClick() {
    m_state.stopClock(tickclock::now());
    m_state.taskNumber = 0;
    m_clearingAnswer = true;
    ui->EdOdgovor1->clear();
    m_clearingAnswer = false;
    m_state.item = ExerciseItem{};
    endWordRun();
    ui->KonecBtn->setEnabled(false);
    ui->CbPremor1->setEnabled(false);
    ShowStatistics();
}

void ExercisePage::Randomize1BtnClick() {
    Randomize();
    m_state.stopClock(tickclock::now());
    m_state.itemTime = 0;
    NextItem();
}

void ExercisePage::EdOdgovor1Change() {
    emit answerTextChanged(ui->EdOdgovor1->text());
    // Emptying the field for a new item is no answer, even when the expected
    // answer is empty too.
    if (m_clearingAnswer)
        return;
    judgeIfComplete();
}

void ExercisePage::judgeIfComplete() {
    if (!m_state.running() || Options().GetFlag(flag::WaitForEnter))
        return;
    if (m_wordRun && m_state.taskNumber == kWordRunTask) {
        if (words::answerComplete(m_state.item, answerBytes(), currentSwitches()))
            CheckAnswer();
        return;
    }
    if (answerBytes().size() == m_state.item.answer.size())
        CheckAnswer();
}

bool ExercisePage::EdOdgovor1KeyDown(QKeyEvent* event) {
    const int key = event->key();
    // Moving the focus and asking for help stay the window's.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_F1)
        return false;
    if (!m_state.running())
        return true;
    const bool ctrlP = key == Qt::Key_P && event->modifiers().testFlag(Qt::ControlModifier);
    if (ctrlP || (key == Qt::Key_Space && !expectsBlank())) {
        SetPause(!ui->CbPremor1->isChecked());
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        CheckAnswer();
        return true;
    }
    if (m_state.paused) {
        // A modifier pressed alone is the start of a key combination (Ctrl
        // of Ctrl+P): it neither types nor ends the pause.
        if (isModifierKey(key))
            return true;
        SetPause(false);
    }
    // The character it types: a blank only where the expected answer has one.
    const QString text = event->text();
    if (text.contains(QLatin1Char(' ')) && !expectsBlank())
        return true;
    return false;
}

void ExercisePage::CbPremor1Click() {
    SetPause(ui->CbPremor1->isChecked());
}

void ExercisePage::CbWaitEnterClick() {
    Options().SetFlag(flag::WaitForEnter, ui->CbWaitEnter->isChecked());
    emit answerTextChanged(ui->EdOdgovor1->text());
    judgeIfComplete();
}

void ExercisePage::CbZoomWinClick() {
    Options().SetFlag(flag::ZoomShown, ui->CbZoomWin->isChecked());
    emit zoomToggled(ui->CbZoomWin->isChecked());
}

void ExercisePage::SetPause(bool on) {
    if (on) {
        ui->EdOdgovor1->setReadOnly(true);
        m_state.holdClock(tickclock::now());
        m_state.paused = true;
        ui->CbPremor1->setChecked(true);
    } else {
        m_state.startClock(tickclock::now());
        m_state.paused = false;
        ui->CbPremor1->setChecked(false);
        ui->EdOdgovor1->setReadOnly(false);
    }
}

std::string ExercisePage::answerBytes() const {
    return toCp1250(ui->EdOdgovor1->text());
}

bool ExercisePage::expectsBlank() const {
    return m_state.item.answer.find(' ') != std::string::npos;
}

const TaskDescriptions& ExercisePage::runDescriptions() const {
    return m_drill ? *m_drill : m_session.liveDescriptions();
}

QString ExercisePage::taskName() const {
    if (m_wordRun && m_state.taskNumber == kWordRunTask)
        return fromCp1250(m_wordRun->name());
    const TaskDescriptions& live = runDescriptions();
    if (m_state.taskNumber < 1 || m_state.taskNumber > live.taskCount())
        return QString();
    return fromCp1250(live.tasks[m_state.taskNumber - 1].name);
}
