#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "ui/convert/convertpicture.h"

namespace Ui {
class ConvertPage;
}
class TOptions;

// The page "Pretvorba datotek": names a text file and an RTF file, converts
// the one into the other on a worker thread while a picture moves, stops it
// on request, and opens either file with the desktop's program for it.
class ConvertPage : public QWidget {
    Q_OBJECT

public:
    explicit ConvertPage(TOptions& options, QWidget* parent = nullptr);
    ~ConvertPage() override;

    // Once while the main window is created, and released when it is destroyed.
    void PrepareConvertPicture();
    void releaseConvertPicture();
    // The two stored file names; the page then updates its buttons. Nothing
    // is stored back.
    void setFileNames(const QString& inputFile, const QString& outputFile);
    // The check box "Zamenjaj velike črke z malimi", from flag 34 at start.
    void setConvertCaps(bool on);

    // True when the name holds a wildcard or names an existing entry.
    static bool FileNamePresent(const QString& name);
    // Everything up to and including the last separator; empty without one.
    static QString folderPart(const QString& name);
    // The message for a failed "open", by the result numbers of the shell
    // "open" whose table the program's messages follow.
    static QString openErrorText(int shellResult);
    // The shell result that an exit status of xdg-open stands for (above 32:
    // success).
    static int shellResultOfXdgOpen(int exitStatus);

    // The window that owns the conversion's message boxes (the main window);
    // without one, the window the page is in.
    void setBoxOwner(QWidget* owner) { m_boxOwner = owner; }

    // The program that opens a file; "xdg-open" unless a test sets another.
    void setOpenProgram(const QString& program) { m_openProgram = program; }

    Ui::ConvertPage& form() { return *ui; }
    const ConvertPicture& picture() const { return m_picture; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ConvEditChange(QObject* sender);
    void BrowseClick(bool output);
    void InOutOpenBtnClick(bool output);
    void ConvertBtnClick();
    void TerminateBtnClick();
    void ConversionFinished();
    void CbConvertCapsClick();
    void ConvertTimerTimer();
    void ConvertPaintPaint();
    void showOpenError(int shellResult);
    // A local file dropped onto a name field; true when the event is used.
    bool fieldDropEvent(bool output, QEvent* event);
    // The input's name, and the output's from it when there is none yet.
    void takeDroppedInput(const QString& file);
    void swapButtons(bool converting);

    TOptions& m_options;
    std::unique_ptr<Ui::ConvertPage> ui;
    QTimer m_convertTimer;
    ConvertPicture m_picture;
    QString m_openProgram = QStringLiteral("xdg-open");
    bool m_filling = false;
    QWidget* m_boxOwner = nullptr;
};
