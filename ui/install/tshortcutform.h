#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TShortcutForm;
}
class QCheckBox;

// Offers, at the first start, a menu entry and a desktop icon for the program.
class TShortcutForm : public QDialog {
    Q_OBJECT

public:
    // The dialog's one topic, shown for any control and for F1.
    static constexpr int kHelpContext = 9610;
    // The number its controls carry.
    static constexpr int kControlContext = 9600;

    explicit TShortcutForm(QWidget* parent = nullptr);
    ~TShortcutForm() override;

    QCheckBox* CbStart() const;
    QCheckBox* CbDesktop() const;

    // The program already has a menu entry: the menu box starts unticked and
    // the text says so.
    void setMenuEntryPresent();
    static constexpr char kMenuPresentText[] =
        "Program že ima vnos v meniju »Start«. Ostrel vam lahko pripravi še bližnjico na namizju.";

private:
    std::unique_ptr<Ui::TShortcutForm> ui;
};
