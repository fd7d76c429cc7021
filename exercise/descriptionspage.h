#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class DescriptionsPage;
}
class TMainForm;

// The page "Opisi nalog": letter groups and task descriptions.
class DescriptionsPage : public QWidget {
    Q_OBJECT

public:
    explicit DescriptionsPage(TMainForm& mainForm, QWidget* parent = nullptr);
    ~DescriptionsPage() override;

    // Both clear the main window's DescriptionsChanged.
    void LoadDescriptions();
    void SaveDescriptions();
    // The check box "Vedno shrani ob izhodu", set from flag 32 at start.
    void setAutoSave(bool on);

private:
    TMainForm& m_mainForm;
    std::unique_ptr<Ui::DescriptionsPage> ui;
};
