#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TSaveForm;
}

// Asks on exit whether to save edited task descriptions and read-back rules.
// exec() returns Ok ("V redu"), Abort ("Ne shranjuj ničesar") or Cancel
// ("Prekliči", Esc or closing the dialog).
class TSaveForm : public QDialog {
    Q_OBJECT

public:
    enum Result { Cancel = QDialog::Rejected, Ok = QDialog::Accepted, Abort = 2 };

    // Reads flags 31 and 32 from the store; a store error leaves the caller.
    TSaveForm(QWidget* owner, bool descriptionsChanged, bool rulesChanged);
    ~TSaveForm() override;

    // What the user chose: the save-now box or the always-save box checked.
    bool saveDescriptions() const;
    bool saveRules() const;

    Ui::TSaveForm& form() { return *ui; }

private:
    void OKBtnClick();
    void NoSaveBtnClick();
    void CbAutoOpisiToggled(bool checked);
    void CbAutoPrepisToggled(bool checked);

    std::unique_ptr<Ui::TSaveForm> ui;
    bool m_descriptionsChanged;
    bool m_rulesChanged;
};
