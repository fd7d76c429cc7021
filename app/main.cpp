#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <memory>

#include "app/singleinstance.h"
#include "app/startup.h"
#include "app/tmainform.h"
#include "core/settings/options.h"
#include "ui/help/helpengine.h"
#include "ui/install/fontinstall.h"
#include "ui/progress/historystore.h"
#include "ui/settings/settingsfilebackend.h"
#include "ui/widgets/errorguard.h"
#include "ui/widgets/programicon.h"
#include "ui/widgets/programlook.h"
#include "ui/words/worddrills.h"
#include "ui/zoom/tzoomform.h"

namespace {

// The last safety net: an error that a handler let through is shown here
// instead of crossing the event loop.
class Application : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        bool result = false;
        guarded(nullptr, [&] { result = QApplication::notify(receiver, event); });
        return result;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    // Qt needs its application object before anything asks for the screen,
    // which the store does for one of its defaults; it shows nothing yet.
    Application app(argc, argv);

    // One copy per session: a second start brings the first to the front and
    // ends before it reads or writes anything of the user's.
    ApplicationService service;
    if (service.claim() == ApplicationService::Claim::OtherActivated) {
        return 0;
    }

    // Qt's own dialogs (the colour and file choosers) speak Slovenian too.
    loadQtTranslations();

    // 1. The settings store; every default exists from here on.
    SettingsFileBackend backend;
    std::unique_ptr<TOptions> options;
    if (!guarded(nullptr, [&] { options = std::make_unique<TOptions>(backend, qtStoreEnvironment()); })) {
        return 1;
    }
    installOptions(options.get());
    // What the start stores reaches the file in one replace, a moment after
    // the event loop has begun, when the window manager has framed and placed
    // the window (it moves it there and back); a start with nothing new
    // writes nothing.
    options->BeginBatch();
    QTimer::singleShot(1000, [&options] { options->EndBatch(); });

    // 2. The transcription tables are built at compile time.

    // 3.
    QApplication::setApplicationName(QStringLiteral("Tengwar Ostrel"));
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("tengwar.ostrel.TengwarOstrel"));
    applyProgramLook();
    messages::setHelpHandler([](int context) { HelpEngine::instance().showPopup(context, QCursor::pos()); });
    reportStoreNotice(*options);
    // Notices that arise later (a damaged value, settings that cannot be
    // saved) are shown from the event loop, whichever thread met them.
    options->SetNoticeHandler([] {
        QMetaObject::invokeMethod(
            qApp, [] { reportStoreNotice(Options()); }, Qt::QueuedConnection);
    });

    // 4. Without the Tengwar font the program ends before any window opens.
    bool fontReady = false;
    guarded(nullptr, [&] { fontReady = InstallFont(); });
    if (!fontReady) {
        installOptions(nullptr);
        return 1;
    }

    // 5. On a first start the shortcut offer; "Izhod" there lets the start-up
    // run to its end (the first-start marker is cleared) and then ends the
    // program without a close query.
    bool goOn = true;
    guarded(nullptr, [&] { goOn = offerShortcutsAtFirstStart(*options); });

    // 6. The main window, then the zoom window, which posts WM_ZOOMCREATED.
    // The answer history outlives the window that records into it; a fault
    // found while opening it is told once the window is there.
    HistoryStore history(HistoryStore::defaultFolder());
    auto mainForm = std::make_unique<TMainForm>();
    new TZoomForm(*options, mainForm.get());  // owned by the main window
    mainForm->setHistory(&history);
    // The dictionary of the word drills loads meanwhile, off the main thread.
    mainForm->wordDrills()->loadDictionary(WordDrills::defaultDictionaryPath());
    mainForm->show();
    service.setWindow(mainForm.get());
    history.open();
    if (!goOn) {
        endOnceIdle();
    }

    // 7.
    const int result = QApplication::exec();

    // 8. A start from here on runs alone rather than ask a closing copy.
    service.release();
    options->SetNoticeHandler({});
    installOptions(nullptr);
    options.reset();
    mainForm.reset();
    return result;
}
