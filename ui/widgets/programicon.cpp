#include "ui/widgets/programicon.h"

const std::vector<int>& programIconSizes() {
    static const std::vector<int> sizes{16, 24, 32, 48, 64, 128, 256};
    return sizes;
}

QString programIconResource(int size) {
    return QStringLiteral(":/icons/tengwar-ostrel-%1.png").arg(size);
}

QIcon programIcon() {
    static const QIcon icon = [] {
        QIcon made;
        for (const int size : programIconSizes()) {
            made.addFile(programIconResource(size), QSize(size, size));
        }
        return made;
    }();
    return icon;
}
