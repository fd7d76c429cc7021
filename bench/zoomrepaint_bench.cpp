// Repainting the zoom window's two boxes, as every keystroke in the answer
// field does while the window is shown. Run with QT_QPA_PLATFORM=offscreen
// (set here when nothing else is).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontDatabase>

#include "core/settings/memorybackend.h"
#include "core/settings/options.h"
#include "ui/zoom/tzoomform.h"
#include "ui/zoom/zoombox.h"

namespace {

struct ZoomWindow {
    ZoomWindow() : options(backend), form(options) {
        form.setGeometry(50, 50, 1000, 800);
        form.show();
        // A typical item (five tengwar with marks) and a half-typed answer.
        form.showItem(QStringLiteral("1`C7#E5"));
        form.showAnswer(QStringLiteral("\u010dr\u0161ka"));
    }
    MemoryBackend backend;
    TOptions options;
    TZoomForm form;
};

// Both boxes through their paint events (drawn off screen, then copied), into
// a window-sized surface as the window system's backing store would be.
void BM_RepaintBothBoxes(benchmark::State& state) {
    ZoomWindow zoom;
    QImage surface(zoom.form.size(), QImage::Format_ARGB32_Premultiplied);
    int typed = 0;
    for (auto _ : state) {
        zoom.form.showAnswer(QStringLiteral("\u010dr\u0161k") + QChar(u'a' + typed++ % 26));
        zoom.form.itemBox()->render(&surface, QPoint(), QRegion(), QWidget::DrawChildren);
        zoom.form.answerBox()->render(&surface, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    state.counters["item_h"] = zoom.form.itemBox()->height();
    state.counters["answer_h"] = zoom.form.answerBox()->height();
}

// The drawing alone at a device pixel ratio of 2 (a high-DPI screen).
void BM_RenderBothBoxesAtRatio2(benchmark::State& state) {
    ZoomWindow zoom;
    for (auto _ : state) {
        benchmark::DoNotOptimize(zoom.form.itemBox()->picture(zoom.form.itemBox()->size(), 2.0));
        benchmark::DoNotOptimize(zoom.form.answerBox()->picture(zoom.form.answerBox()->size(), 2.0));
    }
}

}  // namespace

BENCHMARK(BM_RepaintBothBoxes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderBothBoxesAtRatio2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QFontDatabase::addApplicationFont(QStringLiteral(OSTREL_SOURCE_DIR "/resources/font/quenya.ttf"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
