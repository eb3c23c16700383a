// The 256 x 256 matrix editor: from opening to the first paint of its
// crosspoint grid, against opening an empty dialog of the same size; a full
// repaint of the grid's visible area, against painting as many plain filled
// rectangles into a pixmap of the same size; and the memory the open editor
// takes, against the empty dialog (the grid keeps no object per crosspoint).
// All in one run, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QPixmap>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "audio/audio_objects.h"
#include "audio/mixing/matrix_objects.h"
#include "audio/mixing/mcombiner_form.h"
#include "bench_support.h"

using namespace objscope::audio;

namespace {

constexpr int kSide = 256;
const QSize kWindow(1000, 700);

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

TU32MatrixCombiner& Matrix() {
    static auto matrix = [] {
        auto m = std::make_unique<TU32MatrixCombiner>();
        m->SetNumInputs(kSide);
        m->SetNumOutputs(kSide);
        for (int o = 1; o <= kSide; ++o)
            for (int i = 1; i <= kSide; i += 3)
                m->SetConnected(o, i, true);
        return m;
    }();
    return *matrix;
}

// Shows a window and paints it once, as its first paint on screen does.
void ShowAndPaint(QWidget& window) {
    window.resize(kWindow);
    window.show();
    window.repaint();
    QApplication::processEvents();
}

void BM_OpenEmptyDialog(benchmark::State& state) {
    for (auto _ : state) {
        QDialog dialog;
        ShowAndPaint(dialog);
        benchmark::DoNotOptimize(dialog.isVisible());
    }
}

void BM_OpenMatrixEditor(benchmark::State& state) {
    TU32MatrixCombiner& matrix = Matrix();
    for (auto _ : state) {
        TMCombinerForm form(matrix, nullptr);
        ShowAndPaint(form);
        form.Grid()->viewport()->repaint();
        benchmark::DoNotOptimize(form.Grid()->CellsPainted());
    }
}

void BM_RepaintVisibleGrid(benchmark::State& state) {
    TMCombinerForm form(Matrix(), nullptr);
    ShowAndPaint(form);
    TCrosspointGrid* grid = form.Grid();
    int cells = 0;
    for (auto _ : state) {
        grid->InvalidateCache();
        grid->viewport()->repaint();
        cells = grid->CellsPainted();
    }
    state.counters["cells"] = cells;
}

// As many cells, each one filled rectangle, into a pixmap of the grid's size.
void BM_PlainRectangles(benchmark::State& state) {
    TMCombinerForm form(Matrix(), nullptr);
    ShowAndPaint(form);
    TCrosspointGrid* grid = form.Grid();
    grid->InvalidateCache();
    grid->viewport()->repaint();
    const int cells = grid->CellsPainted();
    const TGridGeometry& geometry = grid->Geometry();
    QPixmap target(grid->viewport()->size());
    const int perRow =
        std::max(1, (target.width() - geometry.RowHeaderWidth()) / geometry.columnPitch);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.fillRect(target.rect(), Qt::lightGray);
        for (int c = 0; c < cells; ++c)
            painter.fillRect(geometry.RowHeaderWidth() + (c % perRow) * geometry.columnPitch,
                             geometry.labelHeight + (c / perRow) * geometry.rowPitch,
                             geometry.cellWidth, geometry.cellHeight,
                             c % 3 ? Qt::darkGray : Qt::green);
        painter.end();
        benchmark::DoNotOptimize(target.cacheKey());
    }
    state.counters["cells"] = cells;
}

BENCHMARK(BM_OpenEmptyDialog)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_OpenMatrixEditor)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RepaintVisibleGrid)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainRectangles)->Repetitions(5)->ReportAggregatesOnly(true);

// Resident memory an open window adds: the empty dialog, then the editor.
std::pair<long, long> MemoryOfOpenWindows() {
    Matrix();
    QApplication::processEvents();
    long before = ResidentKb();
    long dialogKb = 0;
    {
        QDialog dialog;
        ShowAndPaint(dialog);
        dialogKb = ResidentKb() - before;
    }
    QApplication::processEvents();
    before = ResidentKb();
    TMCombinerForm form(Matrix(), nullptr);
    ShowAndPaint(form);
    return {dialogKb, ResidentKb() - before};
}

}  // namespace

int main(int argc, char** argv) {
    const bool pinned = bench_support::pinWhenAsked(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const auto [dialogKb, editorKb] = MemoryOfOpenWindows();
    benchmark::Initialize(&argc, argv);
    bench_support::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& m = reporter.medians;
    const double dialog = m.at("BM_OpenEmptyDialog");
    const double editor = m.at("BM_OpenMatrixEditor");
    const double grid = m.at("BM_RepaintVisibleGrid");
    const double plain = m.at("BM_PlainRectangles");
    std::printf("\npinned to one CPU: %s\n", pinned ? "yes" : "no");
    std::printf(
        "open to first paint: empty dialog %.2f ms, 256 x 256 editor %.2f ms (ratio %.1f)\n",
        dialog / 1e6, editor / 1e6, dialog > 0 ? editor / dialog : 0);
    std::printf("full repaint of the visible grid %.3f ms, plain rectangles %.3f ms (ratio %.2f)\n",
                grid / 1e6, plain / 1e6, plain > 0 ? grid / plain : 0);
    std::printf("resident memory of the open window: empty dialog %ld kB, editor %ld kB\n",
                dialogKb, editorKb);
    return 0;
}
