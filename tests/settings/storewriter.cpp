// Writes distinct keys into a settings file through the program's store
// backend, one write each, as fast as it can, and prints each key whose write
// was reported as saved. Used by the tests as one of several processes
// writing the same file at once.
//   storewriter <settings file> <key prefix> <count>
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "ui/settings/settingsfilebackend.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: storewriter <settings file> <key prefix> <count>\n");
        return 2;
    }
    SettingsFileBackend backend(QString::fromLocal8Bit(argv[1]));
    backend.open();
    const std::string prefix = argv[2];
    const int count = std::stoi(argv[3]);
    for (int i = 0; i < count; ++i) {
        const std::string name = prefix + std::to_string(i);
        if (backend.write(name, StoredValue::integer(i))) {
            std::printf("%s\n", name.c_str());
        }
    }
    std::fflush(stdout);
    return 0;
}
