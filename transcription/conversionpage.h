#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class ConversionPage;
}
class TMainForm;

// The page "Pretvorba": the transcription switches and the test pane.
class ConversionPage : public QWidget {
    Q_OBJECT

public:
    explicit ConversionPage(TMainForm& mainForm, QWidget* parent = nullptr);
    ~ConversionPage() override;

    // Fills the switch controls from the store under the loading guard.
    void LoadSwitches();
    // Selects "min", "med" or "max" from flags 19 and 20.
    void selectTestLevel();
    void clearLoadingGuard() { m_loading = false; }

private:
    TMainForm& m_mainForm;
    std::unique_ptr<Ui::ConversionPage> ui;
    bool m_loading = false;
};
