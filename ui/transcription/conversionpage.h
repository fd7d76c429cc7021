#pragma once

#include <QWidget>
#include <array>
#include <memory>

namespace Ui {
class ConversionPage;
}
class QCheckBox;
class TrainerSession;

// The page "Pretvorba": every transcription switch, written to the store the
// moment it changes, and a test field whose text is shown in Tengwar after
// every keystroke.
class ConversionPage : public QWidget {
    Q_OBJECT

public:
    explicit ConversionPage(TrainerSession& session, QWidget* parent = nullptr);
    ~ConversionPage() override;

    // Fills the switch controls from the store. The change events this fires
    // recompute the test result but write nothing back.
    void LoadSwitches();
    // Selects "min", "med" or "max" from flags 19 and 20.
    void selectTestLevel();
    void clearLoadingGuard() { m_loading = false; }
    bool loadingGuard() const { return m_loading; }

    Ui::ConversionPage& form() { return *ui; }

private:
    struct SwitchBox {
        int flag;
        QCheckBox* box;
    };
    static constexpr int kSwitchBoxes = 24;

    // Writes every switch control to the store (unless loading), then
    // recomputes the test result.
    void StoreSwitches();
    void BtnDefaultClick();
    void ChooseTestMode();
    void RecomputeTest();

    std::unique_ptr<Ui::ConversionPage> ui;
    // The check boxes in the order in which their flags are written.
    std::array<SwitchBox, kSwitchBoxes> m_switches{};
    bool m_loading = true;
};
