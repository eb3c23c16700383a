#include "audio/crossover/crossover_graph_painter.h"

#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "audio/shared/peq_graph_geometry.h"

namespace objscope::audio {

namespace {

using namespace peq_graph;

struct Colours {
    QColor gain;
    QColor phase;
};

// Others: maroon muted, olive inverted, else blue; the selected output: red
// muted, yellow inverted, else cyan. Phase: silver, selected dark green.
Colours ColoursOf(const CrossoverOutputView& o, bool selected) {
    if (selected)
        return {o.muted      ? QColor(0xFF, 0, 0)
                : o.inverted ? QColor(0xFF, 0xFF, 0)
                             : QColor(0, 0xFF, 0xFF),
                QColor(0x00, 0x70, 0x00)};
    return {o.muted      ? QColor(0x80, 0, 0)
            : o.inverted ? QColor(0x80, 0x80, 0)
                         : QColor(0, 0, 0xFF),
            QColor(0xC0, 0xC0, 0xC0)};
}

// A faint version of a curve colour, for the requested curve.
QColor Faint(const QColor& c) {
    return QColor(c.red() * 45 / 100, c.green() * 45 / 100, c.blue() * 45 / 100);
}

void PaintPolyline(QPainter& p, const std::vector<QPolygon>& runs) {
    for (const QPolygon& run : runs)
        if (run.size() > 1)
            p.drawPolyline(run);
}

// Phase only where the output's magnitude lies above its gain - 12 dB, and
// never joining points more than 50 pixels apart.
void PaintPhase(QPainter& p, const SampledCurves& c, double pixelsPerDb) {
    std::vector<QPolygon> runs(1);
    int previous = 0;
    for (size_t i = 0; i < c.phase.size(); ++i) {
        const double magnitude = -c.gain[i] / pixelsPerDb;
        const int y = kPhaseZeroRow + c.phase[i];
        const bool audible = magnitude > -12.0;
        if (!audible || (!runs.back().isEmpty() && std::abs(y - previous) > 50))
            runs.emplace_back();
        if (audible)
            runs.back() << QPoint(kPlotLeft + static_cast<int>(i), y);
        previous = y;
    }
    PaintPolyline(p, runs);
}

void PaintGain(QPainter& p, const SampledCurves& c, double outputGainDb, int zeroRow,
               double pixelsPerDb) {
    QPolygon run;
    const int shift = -static_cast<int>(std::lround(outputGainDb * pixelsPerDb));
    const int base = CurveBaseRow(zeroRow, shift);
    for (size_t i = 0; i < c.gain.size(); ++i)
        run << QPoint(kPlotLeft + static_cast<int>(i), base + c.gain[i]);
    if (run.size() > 1)
        p.drawPolyline(run);
}

void PaintEdge(QPainter& p, double hertz, const QColor& colour, bool upper) {
    if (hertz <= 0)
        return;
    const QPoint centre = EdgeMarkerCentre(hertz, upper);
    const int half = kEdgeMarkerSize / 2;
    p.setPen(colour);
    p.setBrush(colour);
    p.drawEllipse(QRect(centre.x() - half, centre.y() - half, kEdgeMarkerSize, kEdgeMarkerSize));
    p.setBrush(Qt::NoBrush);
    // The letter beside the circle, so markers of one column stay readable.
    p.drawText(centre.x() + 5, centre.y() + 4, upper ? "U" : "L");
}

}  // namespace

int CrossoverColumn(double hertz) {
    return kPlotLeft + static_cast<int>(std::lround(42.2 * std::log2(hertz / 19.5)));
}

QPoint EdgeMarkerCentre(double hertz, bool upper) {
    const int x = std::clamp(CrossoverColumn(hertz), 25, 448);
    return {x, (upper ? kUpperMarkerRow : kLowerMarkerRow) + kEdgeMarkerSize / 2};
}

void CrossoverGraphPainter::PaintFrame(QPainter& p, const PeqDisplay& d, const CrossoverFrame& f) {
    const double ppdb = PixelsPerDb(d.legend);
    const int zeroRow = ZeroDbRow(d.zeroDbLocation);
    const int n = static_cast<int>(f.outputs.size());
    p.setClipRect(QRect(kPlotLeft + 1, 0, kPlotRight - kPlotLeft - 1, kPlotBottom));
    // Others first, the selected output last so it lies on top.
    const auto paintAll = [&](auto&& paintOne) {
        for (int i = 0; i < n; ++i)
            if (i != f.selected && f.outputs[static_cast<size_t>(i)].curves)
                paintOne(i, false);
        if (f.selected >= 0 && f.selected < n && f.outputs[static_cast<size_t>(f.selected)].curves)
            paintOne(f.selected, true);
    };
    if (d.showPhase)
        paintAll([&](int i, bool selected) {
            const auto& o = f.outputs[static_cast<size_t>(i)];
            const QColor colour = ColoursOf(o, selected).phase;
            if (o.requested) {
                p.setPen(QPen(Faint(colour), 1));
                PaintPhase(p, *o.requested, ppdb);
            }
            p.setPen(QPen(colour, 1));
            PaintPhase(p, *o.curves, ppdb);
        });
    if (d.showGain)
        paintAll([&](int i, bool selected) {
            const auto& o = f.outputs[static_cast<size_t>(i)];
            const QColor colour = ColoursOf(o, selected).gain;
            if (o.requested) {
                p.setPen(QPen(Faint(colour), 1));
                PaintGain(p, *o.requested, o.outputGainDb, zeroRow, ppdb);
            }
            p.setPen(QPen(colour, 1));
            PaintGain(p, *o.curves, o.outputGainDb, zeroRow, ppdb);
        });
    p.setClipping(false);
    for (int i = 0; i < n; ++i) {
        const auto& o = f.outputs[static_cast<size_t>(i)];
        const bool selected = i == f.selected;
        const QColor colour = !selected       ? QColor(0x00, 0xB0, 0xB0)
                              : f.hasKeyboard ? QColor(0x00, 0xFF, 0x00)
                                              : QColor(0x00, 0x80, 0x00);
        PaintEdge(p, o.upperEdge, colour, true);
        PaintEdge(p, o.lowerEdge, colour, false);
    }
}

}  // namespace objscope::audio
