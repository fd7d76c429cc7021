// Opens the settings store over a settings file, as the program does at start,
// and prints some of its values. With "--user" it opens the user's own
// settings. Used by the tests as a second process reading what the first wrote.
#include <QCoreApplication>
#include <cstdio>

#include "core/settings/options.h"
#include "core/transcription/cp1250.h"
#include "ui/settings/settingsfilebackend.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: storeprobe <settings file> | --user\n");
        return 2;
    }
    const QString where = QString::fromLocal8Bit(argv[1]);
    auto backend = where == QLatin1String("--user") ? std::make_unique<SettingsFileBackend>()
                                                    : std::make_unique<SettingsFileBackend>(where);
    try {
        TOptions store(*backend, qtStoreEnvironment());
        const FlagBytes flags = store.GetFlags();
        const StoredRect main = store.GetMainRect();
        std::printf("file=%s\n", backend->fileName().toLocal8Bit().constData());
        std::printf("flags=%02X %02X %02X %02X %02X\n", flags[0], flags[1], flags[2], flags[3], flags[4]);
        std::printf("main=%d,%d,%d,%d\n", main.left, main.top, main.right, main.bottom);
        std::printf("zoomA=%d\n", store.GetZoomA());
        std::printf("firstTime=%d\n", store.GetFirstTime() ? 1 : 0);
        std::printf("input=%s\n", cp1250::toUtf8(store.GetInputFile()).c_str());
        const std::string notice = store.TakeStartupNotice();
        if (!notice.empty()) {
            std::printf("notice=%s\n", cp1250::toUtf8(notice).c_str());
        }
    } catch (const StoreError& error) {
        std::printf("error=%s\n", cp1250::toUtf8(error.what()).c_str());
        return 1;
    }
    return 0;
}
