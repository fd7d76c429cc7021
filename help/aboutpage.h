#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class AboutPage;
}
class TMainForm;

// The page "O programu".
class AboutPage : public QWidget {
    Q_OBJECT

public:
    explicit AboutPage(TMainForm& mainForm, QWidget* parent = nullptr);
    ~AboutPage() override;

private:
    TMainForm& m_mainForm;
    std::unique_ptr<Ui::AboutPage> ui;
};
