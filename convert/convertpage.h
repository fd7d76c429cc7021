#pragma once

#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class ConvertPage;
}
class TrainerSession;

// The page "Pretvorba datotek": file conversion.
class ConvertPage : public QWidget {
    Q_OBJECT

public:
    explicit ConvertPage(TrainerSession& session, QWidget* parent = nullptr);
    ~ConvertPage() override;

    // Once while the main window is created, and released when it is destroyed.
    void PrepareConvertPicture();
    void releaseConvertPicture();
    // The two stored file names; the page then updates its buttons.
    void setFileNames(const QString& inputFile, const QString& outputFile);
    // The check box "Zamenjaj velike črke z malimi", from flag 34 at start.
    void setConvertCaps(bool on);

private:
    TrainerSession& m_session;
    std::unique_ptr<Ui::ConvertPage> ui;
};
