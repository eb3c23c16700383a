// Renders the response graphs of the parametric EQ and of both crossovers to
// PNG files, from objects set up with the values of the simulator's default
// device, so that the drawing can be looked at without a device:
//   objscope_graph_shots <folder>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "audio/eq/band_model.h"
#include "audio/crossover/crossover_graph_painter.h"
#include "audio/crossover/crossover_objects.h"
#include "audio/shared/device_quantisation.h"
#include "audio/shared/peq_graph_geometry.h"
#include "audio/shared/peq_graph_painter.h"

using namespace objscope::audio;

namespace {

double FromDecades(double decades) {
    return std::pow(10.0, decades) / 10.0;
}

void SetBand(TPeqFilterBand& band, uint8_t type, double gain, double decades, double q) {
    band.SetFilterType(type);
    band.SetGainDb(gain);
    band.SetFrequency(FromDecades(decades));
    band.SetQ(q);
}

bool Save(const QImage& image, const std::string& folder, const char* name) {
    const std::string path = folder + "/" + name;
    if (!image.save(QString::fromStdString(path))) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

QImage Background(const PeqDisplay& display) {
    QImage image(480, 250, QImage::Format_RGB32);
    PeqGraphPainter::PaintBackground(image, display);
    return image;
}

// The "Main PEQ" of the default device, with its third band selected and a
// drag asking for 7.3 dB on its second band (the device takes 7.5 dB).
QImage PeqShot() {
    TU32Peq peq;
    peq.SetBandCount(3);
    SetBand(peq.Band(0), 1, -3, 3.0969, 4.333);
    SetBand(peq.Band(1), 1, 2.5, 4.0, 1.4);
    SetBand(peq.Band(2), 101, -6, 4.9031, 0.707);
    TFilterSet requested(0, 3);
    FillFilterSet(peq, requested);
    requested.Parametric(1).SetGainDb(7.3);
    requested.Parametric(1).Recalculate();
    TFilterSet held(0, 3);
    FillFilterSet(peq, held);
    held.Parametric(1).SetGainDb(7.3);
    ApplyDeviceValues(held.Parametric(1));

    PeqDisplay display;
    display.showPhase = true;
    const GridEvaluator grid(PeqGrid(peq_graph::PixelsPerDb(display.legend)));
    const SampledCurves heldCurve = grid.Sample(held);
    const SampledCurves requestedCurve = grid.Sample(requested);
    PeqFrame frame;
    frame.held = &heldCurve;
    frame.requested = &requestedCurve;
    for (int i = 0; i < 3; ++i) {
        const TFilterBand& b = held.Parametric(i);
        const bool peaking = b.FilterType() <= 2;
        frame.markers.push_back({i, b.Frequency(), b.GainDb(),
                                 peq_graph::BandwidthHalfWidth(b.BandwidthOctaves()), peaking});
    }
    frame.selected = 1;
    QImage image = Background(display);
    QPainter painter(&image);
    PeqGraphPainter::PaintFrame(painter, display, frame);
    return image;
}

template <class Crossover, class EdgesOf>
QImage CrossoverShot(Crossover& x, int slotsPerOutput, EdgesOf edgesOf) {
    PeqDisplay display;
    display.showPhase = true;
    display.legendColour = QColor(0xC0, 0xC0, 0xC0);
    const GridEvaluator grid(CrossoverGrid(peq_graph::PixelsPerDb(display.legend)));
    std::vector<std::unique_ptr<TFilterSet>> sets;
    std::vector<SampledCurves> curves(static_cast<size_t>(x.OutputCount()));
    CrossoverFrame frame;
    frame.selected = 0;
    for (int o = 0; o < x.OutputCount(); ++o) {
        sets.push_back(std::make_unique<TFilterSet>(0, slotsPerOutput));
        FillFilterSet(x.Output(o), *sets.back());
        curves[static_cast<size_t>(o)] = grid.Sample(*sets.back());
        CrossoverOutputView view;
        view.curves = &curves[static_cast<size_t>(o)];
        edgesOf(o, view);
        frame.outputs.push_back(view);
    }
    QImage image = Background(display);
    QPainter painter(&image);
    CrossoverGraphPainter::PaintFrame(painter, display, frame);
    return image;
}

QImage GeneralCrossoverShot() {
    TU32CrossOver x;
    x.SetNumOutputs(2);
    return CrossoverShot(x, 2, [&](int o, CrossoverOutputView& view) {
        TU32CrossOverBand& band = x.Output(o);
        view.lowerEdge = band.LowerEdge().FilterType() ? band.LowerEdge().Frequency() : 0;
        view.upperEdge = band.UpperEdge().FilterType() ? band.UpperEdge().Frequency() : 0;
        view.inverted = band.LowerEdge().Polarity() || band.UpperEdge().Polarity();
    });
}

QImage LinkwitzShot() {
    TU32LinkWitz x;
    x.SetNumOutputs(3);
    const int n = x.OutputCount();
    return CrossoverShot(x, 3, [&](int o, CrossoverOutputView& view) {
        // The upper edge of output o is point o, the lower edge point o - 1.
        view.lowerEdge = o == 0 ? 20 : LinkwitzPointFrequency(n, o - 1);
        view.upperEdge = o == n - 1 ? 20000 : LinkwitzPointFrequency(n, o);
        // The editor shows the output stage's polarity.
        view.inverted = x.Output(o).Output()->Gain().polarity->Value();
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string folder = argv[1];
    const bool ok = Save(PeqShot(), folder, "peq-graph.png") &&
                    Save(GeneralCrossoverShot(), folder, "crossover-graph.png") &&
                    Save(LinkwitzShot(), folder, "linkwitz-crossover-graph.png");
    return ok ? 0 : 1;
}
