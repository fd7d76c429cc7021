// The yardstick of the start-up benchmark: a bare Qt window with a tab widget
// of six empty pages, the shape of the program's main window without anything
// in it.
#include <QApplication>
#include <QTabWidget>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTabWidget pages;
    for (int i = 1; i <= 6; ++i) {
        pages.addTab(new QWidget, QStringLiteral("Stran %1").arg(i));
    }
    pages.resize(540, 380);
    pages.show();
    return QApplication::exec();
}
