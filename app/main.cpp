#include <QApplication>

#include "app/tmainform.h"
#include "app/windowfont.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tengwar Ostrel"));
    QApplication::setFont(windowFont());
    TMainForm window;
    window.show();
    return QApplication::exec();
}
