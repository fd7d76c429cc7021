#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

namespace Ui {
class TFontPathDlg;
}

// Asks for the folder to write the font into when no fonts folder can take it.
class TFontPathDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kHelpContext = 9600;

    explicit TFontPathDlg(QWidget* parent = nullptr);
    ~TFontPathDlg() override;

    // The typed path without the blanks and control characters around it.
    QString path() const;

    // The folder browser behind "Izberi iz drevesa..."; returns the chosen folder
    // or an empty string. Tests replace it; an empty function restores the file
    // dialog.
    using FolderBrowser = std::function<QString(QWidget* parent, const QString& prompt)>;
    static void setFolderBrowser(FolderBrowser browser);

private slots:
    void EdPathChange();
    void BrowseBtnClick();

private:
    void FormCreate();
    void fitLabel();

    std::unique_ptr<Ui::TFontPathDlg> ui;
};

// Removes leading and trailing blanks and control characters.
QString trimBlanksAndControls(const QString& text);
