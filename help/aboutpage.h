#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class AboutPage;
}
class TrainerSession;

// The page "O programu".
class AboutPage : public QWidget {
    Q_OBJECT

public:
    explicit AboutPage(TrainerSession& session, QWidget* parent = nullptr);
    ~AboutPage() override;

private:
    TrainerSession& m_session;
    std::unique_ptr<Ui::AboutPage> ui;
};
