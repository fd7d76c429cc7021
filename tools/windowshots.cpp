// Renders the main window on each of its pages, the save dialog, the zoom window,
// the shortcut dialog and the hidden window of the About page to PNG
// files, so that their layout can be looked at without starting the program.
//
//   windowshots [--font FILE] [--out FOLDER]
//
// The settings are a fresh store in memory. Run it with
// QT_QPA_PLATFORM=offscreen where there is no display.

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>

#include "app/tmainform.h"
#include "app/tsaveform.h"
#include "core/settings/memorybackend.h"
#include "core/settings/options.h"
#include "core/transcription/engine.h"
#include "pictureoptions.h"
#include "qtcore/qtext.h"
#include "ui/help/teastereggform.h"
#include "ui/install/tshortcutform.h"
#include "ui/transcription/conversionpage.h"
#include "ui/widgets/programlook.h"
#include "ui/zoom/tzoomform.h"
#include "ui_conversionpage.h"

namespace {

bool save(QWidget& widget, const QString& path) {
    widget.show();
    QCoreApplication::processEvents();
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const std::optional<QDir> outFolder = pictureOutput(app);
    if (!outFolder) {
        return 1;
    }
    const QDir& out = *outFolder;
    applyProgramLook();

    MemoryBackend backend;
    TOptions options(backend);
    installOptions(&options);
    options.SetFirstTime(false);

    bool ok = true;
    {
        TMainForm form;
        auto& conversion = form.conversionPage()->form();
        conversion.EdTest->setText(QStringLiteral("Tengwar Ostrel"));
        const char* names[] = {
            "naloge", "pretvorba", "opisi-nalog", "prepis-v-latinico", "pretvorba-datotek", "o-programu"};
        for (int page = 0; page < TMainForm::kPageCount; ++page) {
            form.showPage(page);
            ok =
                save(form, out.filePath(QStringLiteral("main-%1.png").arg(QLatin1String(names[page])))) && ok;
        }
        TSaveForm descriptionsOnly(&form, true, false);
        ok = save(descriptionsOnly, out.filePath(QStringLiteral("save-descriptions.png"))) && ok;
        options.SetFlag(31, true);
        TSaveForm both(&form, true, true);
        ok = save(both, out.filePath(QStringLiteral("save-both-auto-rules.png"))) && ok;
        TZoomForm zoom(options, &form);
        zoom.resize(360, 320);
        TConvertData settings;
        zoom.showItem(fromFontCodes(LatinToTengwar("\xE8" "arovnik", false, settings, false)));
        zoom.showAnswer(QStringLiteral("\u010darovnik"));
        ok = save(zoom, out.filePath(QStringLiteral("zoom.png"))) && ok;
        TShortcutForm shortcuts;
        ok = save(shortcuts, out.filePath(QStringLiteral("shortcuts.png"))) && ok;
        // The hidden window with its text well inside: 150 steps of the glide.
        TEasterEggForm egg(&form);
        for (int step = 0; step < 150; ++step) {
            egg.TimerTimer();
        }
        ok = save(egg, out.filePath(QStringLiteral("easter-egg.png"))) && ok;
    }
    installOptions(nullptr);
    return ok ? 0 : 1;
}
