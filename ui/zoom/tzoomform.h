#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "core/settings/options.h"
#include "core/zoom/zoomsplit.h"
#include "ui/widgets/windowframe.h"
#include "ui/zoom/zoomcreated.h"

namespace Ui {
class TZoomForm;
}
class QKeyEvent;
class ZoomBox;
struct ZoomBoxLook;

// The zoom window: the current item in Tengwar above, the answer being typed
// below, each as large as its box allows. The answer's font, bold, italic,
// both colours, the split between the boxes and the window's place are kept
// in the settings store. Created once at start-up, then only shown or hidden;
// closing it hides it.
class TZoomForm : public QWidget {
    Q_OBJECT

public:
    // With an owner the window stays above it and is minimised with it (the
    // window system holds it as the owner's dialog), and the owner is sent
    // WM_ZOOMCREATED once the event loop runs.
    explicit TZoomForm(TOptions& options, QWidget* owner = nullptr);
    ~TZoomForm() override;

    ZoomBox* itemBox() const;
    ZoomBox* answerBox() const;

    // The families offered for the answer: the installed scalable families
    // that draw č š ž Č Š Ž, sorted by name. Found once per run.
    static const QStringList& answerFamilies();

    // Where the window goes when nothing usable is stored: 220 by 220 pixels
    // whose outer frame starts at a tenth of the screen's width and a
    // fiftieth of its height.
    static QRect defaultPlace(QSize screen);

public slots:
    // A new item was shown: its Tengwar font codes.
    void showItem(const QString& tengwar);
    // The answer field changed.
    void showAnswer(const QString& answer);

signals:
    // A left click on either box: the exercise should take the keyboard.
    void focusExerciseRequested();
    // A key typed while the keyboard is with a box, not the font box (the
    // window system left this window active after a click on a box): it
    // belongs to the answer. A receiver that takes it accepts it.
    void keyForAnswer(QKeyEvent* event);
    // The user closed the window; it is hidden now. Not sent when it closes
    // because its owner has closed.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void fillFontCombo();
    void FontComboChange(const QString& text);
    void FontComboExit();
    void FontComboEscape();
    void BtnBoldClick();
    void BtnItalicClick();
    void BtnTextColClick();
    void BtnBackColClick();
    // Opens the colour dialog on `current`; the chosen colour, or -1 when
    // it was cancelled. The custom colours are stored back either way.
    std::int32_t chooseColor(std::int32_t current);
    bool SplitPanelMouse(QEvent* event);

    void layOutSettingsBar();
    void layOutDisplayArea();
    void applyColors();
    void updateAnswerLook();
    void restorePlace();
    void SaveWindowPlace();

    TOptions& m_options;
    std::unique_ptr<Ui::TZoomForm> ui;
    zoomsplit::SplitDrag m_drag;
    // Set while the program itself fills the font box.
    bool m_filling = false;
    // False until the stored place has been applied.
    bool m_trackPlacement = false;
    // A place the program chose over the stored one is not stored.
    ProgramPlace m_programPlace;
};
