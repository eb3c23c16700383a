// One frame of a band drag in the parametric EQ editor: a 36-band set, the
// dragged band redesigned, the response computed at 1000 points, the
// background copied and the held and requested curves and 36 markers
// painted. The baseline is the same frame with one flat band: the copy of
// the background and two flat polylines, so the ratio shows what the
// filter work and the markers add. Goal: under 4 ms per frame.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>

#include "audio/shared/device_quantisation.h"
#include "audio/shared/peq_graph_geometry.h"
#include "audio/shared/peq_graph_painter.h"
#include "bench_support.h"

using namespace objscope::audio;

namespace {

constexpr int kPoints = 1000;

CurveGrid ThousandPointGrid() {
    // 1000 points from 19 Hz to 20 kHz.
    CurveGrid grid = PeqGrid(3.7);
    grid.pointsPerOctave = (kPoints - 1) / std::log2(20000.0 / 19.0);
    grid.upperLimit = 20001.0;
    grid.maxPoints = kPoints;
    return grid;
}

struct DragScene {
    explicit DragScene(int bands) : set(0, bands), requested(0, bands), grid(ThousandPointGrid()) {
        for (int i = 0; i < bands; ++i) {
            for (TFilterSet* s : {&set, &requested}) {
                TFilterBand& b = s->Parametric(i);
                b.SetFrequency(25.0 * std::pow(1.209, i));
                b.SetGainDb((i % 5) - 2.0);
                b.SetQ(2.5);
                b.Recalculate();
            }
            frame.markers.push_back({i, set.Parametric(i).Frequency(), set.Parametric(i).GainDb(),
                                     peq_graph::BandwidthHalfWidth(0.5), true});
        }
        frame.selected = bands / 2;
        // The drag starts: the other bands' product is kept for its steps.
        heldOthers = grid.ProductWithout(set, frame.selected);
        requestedOthers = grid.ProductWithout(requested, frame.selected);
        background = QImage(480, 250, QImage::Format_RGB32);
        PeqGraphPainter::PaintBackground(background, display);
        target = QImage(480, 250, QImage::Format_RGB32);
    }

    // One drag step of the selected band's gain.
    void Step(double gain) {
        TFilterBand& want = requested.Parametric(frame.selected);
        want.SetGainDb(gain);
        want.Recalculate();
        TFilterBand& held = set.Parametric(frame.selected);
        held.SetGainDb(gain);
        ApplyDeviceValues(held);
        grid.SampleDragInto(heldOthers, held, heldCurve);
        grid.SampleDragInto(requestedOthers, want, requestedCurve);
        frame.markers[static_cast<size_t>(frame.selected)].gainDb = held.GainDb();
        frame.held = &heldCurve;
        frame.requested = &requestedCurve;
        QPainter painter(&target);
        painter.drawImage(0, 0, background);
        PeqGraphPainter::PaintFrame(painter, display, frame);
    }

    TFilterSet set;
    TFilterSet requested;
    GridEvaluator grid;
    PeqDisplay display;
    PeqFrame frame;
    SampledCurves heldCurve, requestedCurve;
    std::vector<std::complex<double>> heldOthers, requestedOthers;
    QImage background, target;
};

void BM_FlatBaseline(benchmark::State& state) {
    DragScene scene(1);
    const double gain = 0;
    for (auto _ : state) {
        scene.Step(gain);
        benchmark::DoNotOptimize(scene.target.constBits());
    }
}

void BM_Drag36Bands(benchmark::State& state) {
    DragScene scene(36);
    int step = 0;
    for (auto _ : state) {
        // Gain steps that the device cannot all take exactly (0.3 dB).
        scene.Step(-6.0 + 0.3 * (step++ % 40));
        benchmark::DoNotOptimize(scene.target.constBits());
    }
}

BENCHMARK(BM_FlatBaseline)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Drag36Bands)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    const bool pinned = bench_support::pinWhenAsked(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench_support::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double flat = reporter.medians["BM_FlatBaseline"];
    const double drag = reporter.medians["BM_Drag36Bands"];
    std::printf("\npinned to one CPU: %s\n", pinned ? "yes" : "no");
    std::printf(
        "median per frame: flat baseline %.3f ms, 36-band drag at %d points %.3f ms "
        "(goal: under 4 ms)\n",
        flat / 1e6, kPoints, drag / 1e6);
    if (flat > 0)
        std::printf("ratio drag/baseline: %.2f\n", drag / flat);
    return 0;
}
