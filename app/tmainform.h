#pragma once

#include <QEvent>
#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "exercise/descriptionsparser.h"
#include "exercise/taskdescriptions.h"

namespace Ui {
class TMainForm;
}
class ExercisePage;
class ConversionPage;
class DescriptionsPage;
class RulesPage;
class ConvertPage;
class AboutPage;

// The Latin reading of every phonetic letter, indexed by its byte.
using RulesTable = std::array<std::string, 256>;

// The main window: six pages, "Izhod" and "Pomoč", and the state the pages
// share.
class TMainForm : public QWidget {
    Q_OBJECT

public:
    // The page indices, as "Aktivni zavihek" stores them.
    enum Page { PageExercise = 0, PageConversion, PageDescriptions, PageRules, PageConvert, PageAbout };
    static constexpr int kPageCount = 6;

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

    // Edit flags read by the close query.
    bool descriptionsChanged() const { return m_descriptionsChanged; }
    void setDescriptionsChanged(bool changed) { m_descriptionsChanged = changed; }
    bool rulesChanged() const { return m_rulesChanged; }
    void setRulesChanged(bool changed) { m_rulesChanged = changed; }

    // The task descriptions in use by the exercise, and the ones being edited
    // on "Opisi nalog".
    TaskDescriptions& liveDescriptions() { return m_liveDescriptions; }
    TaskDescriptions& scratchDescriptions() { return m_scratchDescriptions; }
    // The faults of the descriptions parsed last, listed by "Napake".
    DescriptionErrors& descriptionErrors() { return m_descriptionErrors; }

    // The confirmed read-back rules (used for expected answers) and the
    // working copy edited on "Prepis v latinico".
    RulesTable& activeRules() { return *m_activeRules; }
    RulesTable& editRules() { return *m_editRules; }

    // False until start-up has placed the window.
    bool trackPlacement() const { return m_trackPlacement; }

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void HelpBtnClick();

private:
    std::unique_ptr<Ui::TMainForm> ui;
    ExercisePage* m_exercisePage = nullptr;
    ConversionPage* m_conversionPage = nullptr;
    DescriptionsPage* m_descriptionsPage = nullptr;
    RulesPage* m_rulesPage = nullptr;
    ConvertPage* m_convertPage = nullptr;
    AboutPage* m_aboutPage = nullptr;

    bool m_trackPlacement = false;
    bool m_descriptionsChanged = false;
    bool m_rulesChanged = false;
    bool m_programPageChange = false;
    TaskDescriptions m_liveDescriptions;
    TaskDescriptions m_scratchDescriptions;
    DescriptionErrors m_descriptionErrors;
    std::unique_ptr<RulesTable> m_activeRules;
    std::unique_ptr<RulesTable> m_editRules;
};
