#include "qtcore/regularqfile.h"

#include <unistd.h>

#include "core/convert/regularfile.h"

bool openRegularQFile(QFile& file, const QString& path, int& error) {
    error = 0;
    const int fd = openRegularFile(QFile::encodeName(path).toStdString(), error);
    if (fd < 0) {
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}
