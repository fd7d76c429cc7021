#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace Ui {
class DescriptionsPage;
}
class QMenu;
class TrainerSession;

// The page "Opisi nalog": the letter groups and the tasks as two editable
// texts. Every edit parses both into the session's scratch descriptions
// and error list; "Potrdi" stores the texts and makes them live.
class DescriptionsPage : public QWidget {
    Q_OBJECT

public:
    explicit DescriptionsPage(TrainerSession& session, QWidget* parent = nullptr);
    ~DescriptionsPage() override;

    // Stored texts into the fields and into the live descriptions; ends the
    // running exercise. Clears the session's DescriptionsChanged.
    void LoadDescriptions();
    // The texts of the fields into the store. Clears DescriptionsChanged.
    void SaveDescriptions();
    // The check box "Vedno shrani ob izhodu", set from flag 32 at start
    // (without writing the flag back).
    void setAutoSave(bool on);

    // The texts of the two fields, line by line, in Windows-1250.
    std::vector<std::string> groupLines() const;
    std::vector<std::string> taskLines() const;

    // The error menu of "Napake".
    QMenu* errorsPopup() const { return m_errorsPopup; }

signals:
    // The live descriptions change: the running exercise has to end (task 0).
    void exerciseEndRequested();
    // Whether "Nova naloga" may be used: the live descriptions hold a task.
    void newTaskAvailable(bool available);

private:
    void NalogeChange();
    void ConfirmTasksBtnClick();
    void CancelTasksBtnClick();
    void DefaultDescBtnClick();
    void ErrorsBtnClick();
    void ErrorsPopupPopup();
    void CbAutoSaveOpisiClick();

    void parseLive();
    void showErrorsButton();
    bool eventFilter(QObject* watched, QEvent* event) override;

    TrainerSession& m_session;
    std::unique_ptr<Ui::DescriptionsPage> ui;
    QMenu* m_errorsPopup = nullptr;
};
