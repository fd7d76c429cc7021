#include "app/tmainform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTextLayout>
#include <QTimer>

#include "app/tsaveform.h"
#include "core/exercise/random.h"
#include "core/exercise/trainersession.h"
#include "core/settings/options.h"
#include "core/transcription/convertdata.h"
#include "qtcore/qtext.h"
#include "ui/convert/convertpage.h"
#include "ui/exercise/descriptionspage.h"
#include "ui/exercise/exercisepage.h"
#include "ui/help/aboutpage.h"
#include "ui/help/contexthelp.h"
#include "ui/help/helpcontext.h"
#include "ui/help/helpengine.h"
#include "ui/progress/historystore.h"
#include "ui/progress/tprogressform.h"
#include "ui/readback/rulespage.h"
#include "ui/transcription/conversionpage.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/messages.h"
#include "ui/widgets/windowfont.h"
#include "ui/widgets/windowframe.h"
#include "ui/words/worddrills.h"
#include "ui/zoom/tzoomform.h"
#include "ui_tmainform.h"

TMainForm::TMainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint),
      ui(std::make_unique<Ui::TMainForm>()),
      m_session(std::make_unique<TrainerSession>()) {
    setFont(windowFont());
    ui->setupUi(this);
    setFixedSize(531, 273);

    m_exercisePage = new ExercisePage(*m_session);
    m_conversionPage = new ConversionPage(*m_session);
    m_descriptionsPage = new DescriptionsPage(*m_session);
    m_rulesPage = new RulesPage(*m_session);
    m_convertPage = new ConvertPage(Options());
    m_convertPage->setBoxOwner(this);
    m_aboutPage = new AboutPage();
    ui->Pages->addTab(m_exercisePage, QStringLiteral("Naloge"));
    ui->Pages->addTab(m_conversionPage, QStringLiteral("Pretvorba"));
    ui->Pages->addTab(m_descriptionsPage, QStringLiteral("Opisi nalog"));
    ui->Pages->addTab(m_rulesPage, QStringLiteral("Prepis v latinico"));
    ui->Pages->addTab(m_convertPage, QStringLiteral("Pretvorba datotek"));
    ui->Pages->addTab(m_aboutPage, QStringLiteral("O programu"));

    setHelpContext(this, 9713);
    setHelpContext(ui->Pages, 9710);
    setHelpContext(ui->CloseBtn, 9711);
    setHelpContext(ui->HelpBtn, 9712);
    setHelpContext(ui->BtnNapredek, 1713);
    installContextHelp(this);

    // A change of the live descriptions ends the running exercise; "Nova
    // naloga" follows whether they hold a task.
    connect(m_descriptionsPage, &DescriptionsPage::exerciseEndRequested, m_exercisePage,
            [this] { m_exercisePage->StartTask(0); });
    connect(m_descriptionsPage, &DescriptionsPage::newTaskAvailable, m_exercisePage,
            &ExercisePage::setNewTaskAvailable);
    // Confirmed or default rules give the current item its new expected answer.
    connect(m_rulesPage, &RulesPage::activeRulesChanged, m_exercisePage, &ExercisePage::updateExpectedAnswer);
    connect(m_exercisePage, &ExercisePage::pageShowRequested, this, [this] { showPage(PageExercise); });
    // Every judged answer goes into the history.
    connect(m_exercisePage, &ExercisePage::answerJudged, this,
            [this](const QString& letters, const QString& expected, const QString& typed, bool right,
                   int ms) { guarded(this, [&] { recordAnswer(letters, expected, typed, right, ms); }); });
    ui->BtnNapredek->setEnabled(false);
    connect(ui->BtnNapredek, &QPushButton::clicked, this, guardedSlot(this, [this] { BtnNapredekClick(); }));

    wireWordDrills();

    // The About page's hidden window asks for a phrase typed as an answer.
    connect(m_exercisePage, &ExercisePage::answerTextChanged, m_aboutPage, &AboutPage::setAnswerText);

    connect(ui->CloseBtn, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->HelpBtn, &QPushButton::clicked, this, guardedSlot(this, [this] { HelpBtnClick(); }));
    connect(ui->Pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (!m_programPageChange) {
            guarded(this, [&] { PagesChange(index); });
        }
    });

    guarded(this, [this] { createSteps(); });
    // A window opened during a drill ("Napredek", help, a box) gives the
    // keyboard back to the answer when it closes.
    qApp->installEventFilter(this);
}

TMainForm::~TMainForm() {
    m_convertPage->releaseConvertPicture();
    HelpEngine::instance().closeWindow(QString::fromLatin1(kSecondaryHelpWindow));
    HelpEngine::instance().quit();
    // The rule tables go with their owners.
}

void TMainForm::createSteps() {
    TOptions& options = Options();

    // 1. No task, nothing counted, not paused; an empty error list.
    m_session->descriptionErrors().clear();
    m_exercisePage->resetExercise();
    m_exercisePage->ShowStatistics();
    // 2.
    Randomize();
    // 3.
    m_convertPage->PrepareConvertPicture();
    m_conversionPage->clearLoadingGuard();
    // 4. First run: the first-run help and the "O programu" page; otherwise
    // the page last chosen (a stored index out of range falls back to 0).
    if (options.GetFirstTime()) {
        // It opens beside the main window once that has its place; the
        // keyboard stays with the main window.
        HelpEngine::instance().jumpContext(kFirstStartHelpTopic, QString::fromLatin1(kSecondaryHelpWindow),
                                           false);
        showPage(PageAbout);
    } else {
        int page = options.GetActivePage();
        if (page < 0 || page >= kPageCount) {
            page = PageExercise;
        }
        showPage(page);
    }
    // 5.
    options.SetFirstTime(false);
    // 6. Right presses on the rules page's scroll bar are routed by the help.
    // 7.
    m_exercisePage->setWaitForEnter(options.GetFlag(flag::WaitForEnter));
    m_conversionPage->selectTestLevel();
    m_rulesPage->setAutoSave(options.GetFlag(flag::AutoSaveRules));
    m_descriptionsPage->setAutoSave(options.GetFlag(flag::AutoSaveDescriptions));
    m_convertPage->setConvertCaps(options.GetFlag(flag::ConvertCaps));
    // 8.
    m_conversionPage->LoadSwitches();
    m_descriptionsPage->LoadDescriptions();
    // 9.
    placeWindow();
    // 10.
    m_convertPage->setFileNames(fromCp1250(options.GetInputFile()), fromCp1250(options.GetOutputFile()));
    // 11.
    m_trackPlacement = true;
    // 12.
    options.LoadReadBackRules(m_session->activeRules());
    options.LoadReadBackRules(m_session->editRules());
    // 13.
    m_rulesPage->setUpRules();
    // 14.
    m_session->setDescriptionsChanged(false);
    m_session->setRulesChanged(false);
}

QPoint TMainForm::placement(int storedLeft, int storedTop, int storedRight, int storedBottom, bool zoomShown,
                            QSize screen, QSize window) {
    if (storedLeft == -1 && storedTop == -1 && storedRight == -1 && storedBottom == -1) {
        const int left = zoomShown ? screen.width() * 9 / 10 - window.width()
                                   : ((screen.width() - window.width()) / 2) / 6;
        return {left, (screen.height() - window.height()) / 2};
    }
    // The window's size is fixed: only the stored left and top count.
    return {storedLeft, storedTop};
}

namespace {

QSize primaryScreenSize() {
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        return primary->geometry().size();
    }
    return {1024, 768};
}

}  // namespace

void TMainForm::placeWindow() {
    TOptions& options = Options();
    const StoredRect stored = options.GetMainRect();
    const bool zoomShown = options.GetFlag(flag::ZoomShown);
    m_zoomShownAtPlacement = zoomShown;
    const QSize screen = primaryScreenSize();
    const QSize window = frameGeometry().size();
    QPoint place = placement(stored.left, stored.top, stored.right, stored.bottom, zoomShown, screen, window);
    const bool neverStored =
        stored.left == -1 && stored.top == -1 && stored.right == -1 && stored.bottom == -1;
    m_placedByFormula = neverStored;
    // A place stored on a screen that is no longer there would hide the
    // window: it then goes where a window never placed goes.
    bool onScreen = false;
    for (const QScreen* each : QGuiApplication::screens()) {
        onScreen = onScreen || each->geometry().intersects(QRect(place, window));
    }
    if (!onScreen && !QGuiApplication::screens().isEmpty()) {
        place = placement(-1, -1, -1, -1, zoomShown, screen, window);
        m_placedByFormula = true;
    }
    // A stored place that does not fit the screen now (another screen or
    // scale) stays stored; the window is only shown where it fits.
    if (!neverStored) {
        const QRect storedFrame(QPoint(stored.left, stored.top), QPoint(stored.right - 1, stored.bottom - 1));
        m_programPlace.holdUnlessFits(storedFrame, QRect(place, size()));
    }
    m_firstPlace = place;
    move(place);
}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_shownOnce) {
        return;
    }
    m_shownOnce = true;
    // The window manager adds the frame only once the window is up; a place
    // from the formula is worked out again with the real outer size, and the
    // first-start help moves beside the window instead of over its buttons.
    afterFrameKnown(this, [this] {
        guarded(this, [this] {
            // Unless the user has moved it meanwhile.
            if (m_placedByFormula && pos() == m_firstPlace) {
                const QPoint place = placement(-1, -1, -1, -1, m_zoomShownAtPlacement, primaryScreenSize(),
                                               frameGeometry().size());
                if (place != pos()) {
                    move(place);
                }
            }
            // Every window lies wholly on the screen, its title bar included.
            fitContentsToScreen();
            m_programPlace.framed(this);
            HelpEngine::instance().placeWindowBeside(frameGeometry());
            raise();
            activateWindow();
        });
    });
}

// The window's size is fixed; on a screen smaller than the window (a small
// screen at a large scale) its contents scroll inside a window that fits.
void TMainForm::fitContentsToScreen() {
    const QRect frame = frameGeometry();
    const QRect available = availableAreaFor(frame);
    const QSize room = available.size() - (frame.size() - size());
    if (available.isEmpty() || (room.width() >= width() && room.height() >= height()))
        return;
    auto* contents = new QWidget;
    contents->setFixedSize(size());
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow()) {
            const QRect place = child->geometry();
            const bool shown = !child->isHidden();
            child->setParent(contents);
            child->setGeometry(place);
            child->setVisible(shown);
        }
    }
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("ScrollOkvir"));
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidget(contents);
    // A scroll bar along one side takes room from the other: that side grows
    // by it where the screen allows, so only what must scroll does.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSize fitted = size();
    if (fitted.width() > room.width())
        fitted.rheight() += bar;
    if (fitted.height() > room.height())
        fitted.rwidth() += bar;
    setFixedSize(fitted.boundedTo(room).expandedTo(QSize(100, 100)));
    scroller->setGeometry(rect());
    scroller->show();
}

void TMainForm::SaveWindowPlace() {
    if (!m_trackPlacement || !m_programPlace.isUsers(geometry())) {
        return;
    }
    const QRect outer = frameGeometry();
    Options().SetMainRect(
        StoredRect{outer.x(), outer.y(), outer.x() + outer.width(), outer.y() + outer.height()});
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    guarded(this, [this] { SaveWindowPlace(); });
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guarded(this, [this] { SaveWindowPlace(); });
}

void TMainForm::showPage(int index) {
    m_programPageChange = true;
    ui->Pages->setCurrentIndex(index);
    m_programPageChange = false;
}

int TMainForm::currentPage() const {
    return ui->Pages->currentIndex();
}

void TMainForm::PagesChange(int index) {
    Options().SetActivePage(index);
}

// "Pomoč": the topic of the shown page in the help window.
void TMainForm::HelpBtnClick() {
    HelpEngine::instance().jumpContext(kPageHelpTopic + currentPage());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched != this && watched->isWidgetType()) {
        const auto* window = static_cast<QWidget*>(watched);
        const Qt::WindowType type = window->windowType();
        if (window->isWindow() && (type == Qt::Window || type == Qt::Dialog))
            QTimer::singleShot(0, this, [this] { giveKeysBackToAnswer(); });
    }
    return QWidget::eventFilter(watched, event);
}

// Only while a drill runs on the page in front: a window closed while another
// page is shown leaves the keyboard where it was.
void TMainForm::giveKeysBackToAnswer() {
    if (!isVisible() || isMinimized() || currentPage() != PageExercise || !session().exercise().running())
        return;
    const QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active != this && active->isVisible())
        return;  // another of the program's windows has the keyboard now
    activateWindow();
    m_exercisePage->FocusExercise();
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == WM_ZOOMCREATED) {
        guarded(this, [this] { ZoomCreated(); });
        return true;
    }
    return QWidget::event(event);
}

// The zoom window (a child window of this one) asked to be wired: it follows
// the exercise page, closing it clears "Zoom", and a click on it brings the
// exercise back.
void TMainForm::ZoomCreated() {
    const bool shown = Options().GetFlag(flag::ZoomShown);
    if (auto* zoom = findChild<TZoomForm*>(QString(), Qt::FindDirectChildrenOnly)) {
        connect(zoom, &TZoomForm::closed, this, guardedSlot(this, [this] {
                    Options().SetFlag(flag::ZoomShown, false);
                    m_exercisePage->setZoomChecked(false);
                }));
        connect(zoom, &TZoomForm::focusExerciseRequested, this, [this] {
            if (session().exercise().running()) {
                activateWindow();
            }
            m_exercisePage->FocusExercise();
        });
        // The window system may leave the zoom window active after a click
        // on a box: what is typed there still goes to the answer.
        connect(zoom, &TZoomForm::keyForAnswer, this, [this](QKeyEvent* key) {
            if (!session().exercise().running())
                return;
            key->accept();
            activateWindow();
            m_exercisePage->takeKey(*key);
        });
        connect(m_exercisePage, &ExercisePage::itemTextChanged, zoom, &TZoomForm::showItem);
        connect(m_exercisePage, &ExercisePage::answerTextChanged, zoom, &TZoomForm::showAnswer);
        connect(m_exercisePage, &ExercisePage::zoomToggled, this, [this, zoom](bool on) {
            zoom->setVisible(on);
            activateWindow();
        });
        zoom->setVisible(shown);
    }
    m_exercisePage->setZoomChecked(shown);
    activateWindow();
}

bool TMainForm::CloseQuery() {
    TOptions& options = Options();
    const bool autoDescriptions = options.GetFlag(flag::AutoSaveDescriptions);
    const bool autoRules = options.GetFlag(flag::AutoSaveRules);
    const TrainerSession& session = *m_session;
    bool saveDescriptions = autoDescriptions;
    bool saveRules = autoRules;
    if ((session.descriptionsChanged() && !autoDescriptions) || (session.rulesChanged() && !autoRules)) {
        TSaveForm dialog(this, session.descriptionsChanged(), session.rulesChanged());
        const int result = dialog.exec();
        saveDescriptions = dialog.saveDescriptions();
        saveRules = dialog.saveRules();
        if (result != TSaveForm::Ok) {
            saveDescriptions = false;
            saveRules = false;
        }
        if (result == TSaveForm::Cancel) {
            return false;
        }
    }
    if (saveDescriptions && session.descriptionsChanged()) {
        m_descriptionsPage->SaveDescriptions();
    }
    if (saveRules && session.rulesChanged()) {
        options.SaveReadBackRules(m_session->editRules());
    }
    return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    bool allowed = false;
    bool readFailed = false;
    guarded(this, [&] {
        try {
            allowed = CloseQuery();
        } catch (const StoreError& error) {
            readFailed = error.kind() != StoreError::Kind::SetFailed;
            throw;
        }
    });
    // A setting that cannot be read must not keep the program open; a save
    // that failed does, so that nothing is lost without the user's word.
    allowed = allowed || readFailed;
    if (allowed && hasOptions() && !Options().SaveEdits()) {
        // Said once, at the close: the user may leave the changes or go back.
        // The store's own notice of the same failure is not shown beside it.
        (void)Options().TakeStartupNotice();
        const QString where = fromCp1250(Options().SettingsLocation());
        allowed = messages::question(
            this, QStringLiteral("Nastavitev ni mogo\u010De shraniti%1, zato se spremembe, ki ste jih naredili, "
                                 "ob izhodu izgubijo.\n\nVseeno kon\u010Dam?")
                      .arg(where.isEmpty() ? QString() : QStringLiteral(" v datoteko \u201E%1\u201C").arg(where)));
    }
    if (allowed) {
        event->accept();
    } else {
        event->ignore();
    }
}

// The entries below the tasks of "Nova naloga": the page asks, the drills
// make the run, the page runs it; what they have to say goes to the status
// line, and a text that cannot be read to a box.
void TMainForm::wireWordDrills() {
    m_wordDrills = new WordDrills(this);
    m_wordDrills->setDialogParent(this);
    const auto entries = [this] {
        const WordEntries now = m_wordDrills->entries();
        m_exercisePage->setWordEntries(now);
        // A dictionary that is not there is said as soon as its load ends,
        // not first when the menu is opened.
        const bool loading = m_wordDrills->dictionaryLoading();
        if (m_dictionaryLoading && !loading && !now.dictionary)
            showStatus(now.dictionaryWhy);
        m_dictionaryLoading = loading;
    };
    entries();
    connect(m_wordDrills, &WordDrills::entriesChanged, this, entries);
    connect(m_exercisePage, &ExercisePage::wordDrillChosen, this, [this](WordDrill drill) {
        guarded(this, [&] {
            switch (drill) {
                case WordDrill::Dictionary:
                    m_wordDrills->startDictionary();
                    break;
                case WordDrill::Text:
                    m_wordDrills->startText();
                    break;
                case WordDrill::Course:
                    m_wordDrills->startCourse();
                    break;
            }
        });
    });
    connect(m_wordDrills, &WordDrills::runReady, this, [this](const std::shared_ptr<WordRun>& run) {
        guarded(this, [&] {
            showPage(PageExercise);
            m_exercisePage->startWordRun(run);
        });
    });
    connect(m_wordDrills, &WordDrills::problem, this,
            [this](const QString& text) { guarded(this, [&] { messages::warning(this, text); }); });
    connect(m_exercisePage, &ExercisePage::statusMessage, this, &TMainForm::showStatus);
}

// The line takes two lines of text; a longer one ends in "…", and the whole
// text is the line's tooltip.
void TMainForm::showStatus(const QString& text) {
    ui->LbSporocilo->setText(fitLines(text, ui->LbSporocilo->font(), ui->LbSporocilo->width(),
                                      std::max(1, ui->LbSporocilo->height() /
                                                      QFontMetrics(ui->LbSporocilo->font()).lineSpacing())));
    ui->LbSporocilo->setToolTip(text);
    m_statusText = text;
}

QString TMainForm::statusText() const {
    return m_statusText;
}

QString TMainForm::shownStatusText() const {
    return ui->LbSporocilo->text();
}

QString TMainForm::fitLines(const QString& text, const QFont& font, int width, int lines) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QString fitted;
    for (int k = 0; k < lines; ++k) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (k + 1 < lines) {
            fitted += text.mid(line.textStart(), line.textLength());
            continue;
        }
        // The last line holds the rest, cut with "…" when it is longer.
        const QString rest = text.mid(line.textStart());
        fitted += QFontMetrics(font).elidedText(rest, Qt::ElideRight, width);
    }
    layout.endLayout();
    return fitted;
}

void TMainForm::setHistory(HistoryStore* history) {
    m_history = history;
    m_wordDrills->setHistory(history);
    ui->BtnNapredek->setEnabled(history != nullptr);
    if (history != nullptr)
        connect(history, &HistoryStore::notice, this, &TMainForm::showHistoryNotice, Qt::UniqueConnection);
}

void TMainForm::recordAnswer(const QString& letters, const QString& expected, const QString& typed,
                             bool right, int ms) {
    if (m_history == nullptr)
        return;
    // A word of the word drills is told letter by letter by its spelling,
    // a task's item by the read-back rules.
    const std::vector<std::string>& spellings = m_exercisePage->state().item.spellings;
    const AnswerRecord answer{QDateTime::currentMSecsSinceEpoch(),
                              toCp1250(m_exercisePage->taskName()),
                              toCp1250(letters),
                              toCp1250(expected),
                              toCp1250(typed),
                              right,
                              ms,
                              spellings.empty() ? 0 : 1};
    if (spellings.empty())
        m_history->record(answer, m_session->activeRules());
    else
        m_history->record(answer, progress::attributeJudged(answer.letters, spellings, answer.typed, right));
}

// A fault of the history is told without stopping the exercise: the box does
// not hold the main window.
void TMainForm::showHistoryNotice(const QString& text) {
    auto* box =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Napredek"), text, QMessageBox::Ok, this);
    box->button(QMessageBox::Ok)->setText(messages::caption(messages::Button::Ok));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

// "Napredek": the progress window, made on first use.
void TMainForm::BtnNapredekClick() {
    if (m_history == nullptr)
        return;
    if (m_progressForm == nullptr) {
        m_progressForm = new TProgressForm(*m_history, this);
        m_progressForm->setRules(&m_session->activeRules());
        m_progressForm->setCoursePracticable(
            [this](int unlocked) { return m_wordDrills->coursePracticable(unlocked); });
        connect(m_progressForm, &TProgressForm::drillRequested, this, [this](const TaskDescriptions& drill) {
            guarded(this, [&] {
                m_exercisePage->startDrill(drill);
                raise();
                activateWindow();
            });
        });
    }
    m_progressForm->show();
    m_progressForm->raise();
    m_progressForm->activateWindow();
}
