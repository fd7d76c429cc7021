#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TTextForm;
}

// The dialog "Moje besedilo": a text file to open, the last one to go on
// with, or a pasted text.
class TTextForm : public QDialog {
    Q_OBJECT

public:
    // lastFile: the file read last ("Nadaljuj"), empty when none.
    TTextForm(QWidget* parent, const QString& lastFile);
    ~TTextForm() override;

    // After Accepted: the chosen file, or empty when the pasted text is to be read.
    QString chosenFile() const { return m_file; }
    QString pastedText() const;

    Ui::TTextForm& form() { return *ui; }

private:
    void BtnOdpriClick();

    std::unique_ptr<Ui::TTextForm> ui;
    QString m_lastFile;
    QString m_file;
};
