#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class RulesPage;
}
class TMainForm;

// The page "Prepis v latinico": the read-back rules.
class RulesPage : public QWidget {
    Q_OBJECT

public:
    explicit RulesPage(TMainForm& mainForm, QWidget* parent = nullptr);
    ~RulesPage() override;

    // Called once the main window has loaded both rule tables: column letters,
    // meanings, scroll range, and the six entry boxes.
    void setUpRules();
    // The check box "Vedno shrani ob izhodu", set from flag 31 at start.
    void setAutoSave(bool on);

private:
    TMainForm& m_mainForm;
    std::unique_ptr<Ui::RulesPage> ui;
};
