#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tengwar Ostrel"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tengwar Ostrel"));
    window.resize(531, 273);
    window.show();
    return QApplication::exec();
}
