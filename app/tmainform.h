#pragma once

#include <QEvent>
#include <QPoint>
#include <QWidget>
#include <memory>

#include "ui/widgets/windowframe.h"
#include "ui/zoom/zoomcreated.h"

namespace Ui {
class TMainForm;
}
class ExercisePage;
class ConversionPage;
class DescriptionsPage;
class RulesPage;
class ConvertPage;
class AboutPage;
class TrainerSession;
class HistoryStore;
class TProgressForm;
class WordDrills;

// The main window: six pages, "Izhod" and "Pomoč". It owns the session, the
// state the pages share, and wires the pages' signals to each other.
class TMainForm : public QWidget {
    Q_OBJECT

public:
    // The page indices, as "Aktivni zavihek" stores them.
    enum Page { PageExercise = 0, PageConversion, PageDescriptions, PageRules, PageConvert, PageAbout };
    static constexpr int kPageCount = 6;

    // Builds the window and runs its start-up from the settings store. A store
    // error is shown and ends the start-up steps early; the window still works.
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The pages.
    ExercisePage* exercisePage() const { return m_exercisePage; }
    ConversionPage* conversionPage() const { return m_conversionPage; }
    DescriptionsPage* descriptionsPage() const { return m_descriptionsPage; }
    RulesPage* rulesPage() const { return m_rulesPage; }
    ConvertPage* convertPage() const { return m_convertPage; }
    AboutPage* aboutPage() const { return m_aboutPage; }

    // Shows a page on the program's own account: the choice is not stored.
    void showPage(int index);
    int currentPage() const;

    // The state the pages share: descriptions, read-back rules, the edit
    // flags and the exercise run.
    TrainerSession& session() const { return *m_session; }

    // False until start-up has placed the window; meanwhile moves and resizes
    // are not stored.
    bool trackPlacement() const { return m_trackPlacement; }

    // Where the window goes at start: the stored left and top, or, when none
    // is stored, a place made from the screen and window sizes.
    static QPoint placement(int storedLeft, int storedTop, int storedRight, int storedBottom, bool zoomShown,
                            QSize screen, QSize window);

    // Runs the close query: saves what is to be saved, asking first through
    // the save dialog when needed. False when the user cancelled (or a store
    // error stopped it); the window then stays open.
    bool CloseQuery();

    // The answer history that judged answers go to and "Napredek" shows;
    // without one nothing is recorded and "Napredek" is disabled.
    void setHistory(HistoryStore* history);
    // The "Napredek" window once it has been opened.
    TProgressForm* progressForm() const { return m_progressForm; }
    // The drills of real words (the entries below the tasks of "Nova naloga").
    WordDrills* wordDrills() const { return m_wordDrills; }
    // The status line beside "Napredek": what it says, and what of it is
    // shown (two lines at most, cut with "…").
    QString statusText() const;
    QString shownStatusText() const;
    // `text` cut to `lines` lines of `width` pixels: the last line that
    // holds is ended with "…" when more would follow.
    static QString fitLines(const QString& text, const QFont& font, int width, int lines);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createSteps();
    void placeWindow();
    void fitContentsToScreen();
    void SaveWindowPlace();
    void PagesChange(int index);
    void HelpBtnClick();
    void ZoomCreated();
    void BtnNapredekClick();
    void recordAnswer(const QString& letters, const QString& expected, const QString& typed, bool right,
                      int ms);
    void showHistoryNotice(const QString& text);
    void wireWordDrills();
    void showStatus(const QString& text);
    void giveKeysBackToAnswer();

    std::unique_ptr<Ui::TMainForm> ui;
    std::unique_ptr<TrainerSession> m_session;
    ExercisePage* m_exercisePage = nullptr;
    ConversionPage* m_conversionPage = nullptr;
    DescriptionsPage* m_descriptionsPage = nullptr;
    RulesPage* m_rulesPage = nullptr;
    ConvertPage* m_convertPage = nullptr;
    AboutPage* m_aboutPage = nullptr;

    bool m_trackPlacement = false;
    bool m_placedByFormula = false;
    // Where start-up put the window.
    QPoint m_firstPlace;
    bool m_zoomShownAtPlacement = false;
    bool m_shownOnce = false;
    bool m_programPageChange = false;
    // A place the program chose over the stored one is not stored.
    ProgramPlace m_programPlace;
    HistoryStore* m_history = nullptr;
    TProgressForm* m_progressForm = nullptr;
    WordDrills* m_wordDrills = nullptr;
    bool m_dictionaryLoading = false;
    QString m_statusText;
};
