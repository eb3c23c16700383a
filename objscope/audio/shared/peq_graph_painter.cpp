#include "audio/shared/peq_graph_painter.h"

#include <QPolygon>
#include <cmath>
#include <cstdio>

#include "audio/shared/graph_labels.h"
#include "audio/shared/peq_graph_geometry.h"

namespace objscope::audio {

namespace {

using namespace peq_graph;

const QColor kGrid(0x50, 0x50, 0x50);
const QColor kAxis(0x00, 0x80, 0x00);
const QColor kTeal(0x00, 0x9F, 0x9F);
const QColor kMarker(0xD0, 0x00, 0x00);

void PaintGrid(QPainter& p, bool decade) {
    p.setPen(kGrid);
    for (int k = 0; k <= 8; ++k)
        p.drawLine(25, 38 + 22 * k, 447, 38 + 22 * k);
    if (decade) {
        for (double decadeStart : {10.0, 100.0, 1000.0})
            for (int m = (decadeStart == 10.0 ? 3 : 1); m <= 9; ++m) {
                const int x = DecadeColumn(decadeStart * m);
                p.drawLine(x, 37, x, 215);
            }
        for (double f : {10000.0, 20000.0})
            p.drawLine(DecadeColumn(f), 37, DecadeColumn(f), 215);
    } else {
        for (int k = 1; k <= 30; ++k)
            p.drawLine(27 + 14 * k, 37, 27 + 14 * k, 215);
    }
}

void PaintAxesAndFrame(QPainter& p) {
    p.setPen(kAxis);
    p.drawLine(kPlotLeft, 0, kPlotLeft, kPlotBottom);
    p.drawLine(kPlotLeft, kPlotBottom, kPlotRight, kPlotBottom);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(0, kHeight - 1, kWidth, kHeight - 1);
    p.drawLine(kWidth - 1, 0, kWidth - 1, kHeight);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, 0, kWidth, 0);
    p.drawLine(0, 0, 0, kHeight);
}

void PaintLabels(QPainter& p, const std::vector<GraphLabel>& labels) {
    for (const GraphLabel& label : labels)
        p.drawText(label.box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, label.text);
}

void PaintAllLabels(QPainter& p, const PeqDisplay& d) {
    const GraphLabels labels = LayOutGraphLabels(d, p.font());
    p.setFont(labels.font);
    p.setPen(d.hasKeyboard ? d.legendKeyboardColour : d.legendColour);
    PaintLabels(p, labels.db);
    p.setPen(QColor(0xFF, 0x00, 0xFF));
    PaintLabels(p, labels.phase);
    p.setPen(QColor(0x00, 0xFF, 0xFF));
    PaintLabels(p, labels.frequency);
}

void PaintCurve(QPainter& p, const std::vector<int>& rows, int baseRow, int points,
                bool breakJumps) {
    QPolygon run;
    int previous = 0;
    for (int i = 0; i < points && i < static_cast<int>(rows.size()); ++i) {
        const int y = baseRow + rows[static_cast<size_t>(i)];
        // Phase wraps at +-180 degrees: do not join points far apart.
        if (breakJumps && !run.isEmpty() && std::abs(y - previous) > 50) {
            p.drawPolyline(run);
            run.clear();
        }
        run << QPoint(kPlotLeft + i, y);
        previous = y;
    }
    if (run.size() > 1)
        p.drawPolyline(run);
}

void PaintCurves(QPainter& p, const PeqDisplay& d, const SampledCurves& c, int masterOffset,
                 QColor gainColour, QColor phaseColour) {
    const int points = DrawnPoints(20000.0);
    if (d.showPhase) {
        p.setPen(phaseColour);
        PaintCurve(p, c.phase, kPhaseZeroRow, points, true);
    }
    if (d.showGain) {
        p.setPen(gainColour);
        PaintCurve(p, c.gain, CurveBaseRow(ZeroDbRow(d.zeroDbLocation), masterOffset), points,
                   false);
    }
}

void PaintMarker(QPainter& p, const PeqDisplay& d, const PeqMarker& m, bool selected) {
    const int x = FrequencyColumn(m.frequency);
    const int y = GainRow(m.gainDb, ZeroDbRow(d.zeroDbLocation), PixelsPerDb(d.legend));
    const QColor colour =
        selected ? (d.hasKeyboard ? QColor(0, 0xFF, 0) : QColor(0, 0x80, 0)) : kMarker;
    p.setPen(colour);
    p.setBrush(colour);
    p.drawEllipse(QRect(x - 1, y, 5, 5));
    p.setBrush(Qt::NoBrush);
}

void PaintSelectedStrip(QPainter& p, const PeqMarker& m) {
    const int x = FrequencyColumn(m.frequency);
    p.setPen(kTeal);
    p.setBrush(kTeal);
    p.drawPolygon(QPolygon({QPoint(x - 9, 10), QPoint(x + 11, 10), QPoint(x + 1, 25)}));
    p.setPen(Qt::white);
    QFont small = p.font();
    small.setPointSize(7);
    p.setFont(small);
    const int number = m.number + 1;
    p.drawText(x - (number >= 10 ? 5 : 2), 19, QString::number(number));
    if (!m.showsBandwidth) {
        p.setBrush(Qt::NoBrush);
        return;
    }
    const int w = m.halfWidth;
    for (int side : {-1, 1}) {
        const int bx = x + side * w;
        p.setPen(kTeal);
        p.setBrush(kTeal);
        p.drawPolygon(QPolygon({QPoint(bx - 4, 22), QPoint(bx + 6, 22), QPoint(bx + 1, 32)}));
        p.setPen(QPen(QColor(0xFF, 0xFF, 0x00), 1, Qt::DotLine));
        p.drawLine(bx + 1, 40, bx + 1, kPlotBottom);
    }
    p.setBrush(Qt::NoBrush);
}

void PaintHover(QPainter& p, const PeqHover& hover) {
    p.setPen(QColor(0x00, 0xDF, 0x00));
    p.setBrush(Qt::black);
    p.drawRect(hover.box.adjusted(0, 0, -1, -1));
    p.setBrush(Qt::NoBrush);
    p.setPen(Qt::white);
    QFont small = p.font();
    small.setPointSize(7);
    p.setFont(small);
    const QRect inner = hover.box.adjusted(4, 3, -3, -3);
    p.drawText(inner, Qt::AlignLeft | Qt::AlignTop, hover.frequency);
    p.drawText(inner, Qt::AlignLeft | Qt::AlignBottom, hover.gain);
}

}  // namespace

void PeqGraphPainter::PaintBackground(QImage& image, const PeqDisplay& display) {
    image.fill(Qt::black);
    QPainter p(&image);
    PaintGrid(p, display.decade);
    PaintAxesAndFrame(p);
    PaintAllLabels(p, display);
}

void PeqGraphPainter::PaintFrame(QPainter& p, const PeqDisplay& display, const PeqFrame& frame) {
    p.setClipRect(QRect(kPlotLeft + 1, 0, kPlotRight - kPlotLeft - 1, kPlotBottom));
    // The requested curve lies under the held one, in a faint version of
    // the same colours, so the held curve stays readable where they meet.
    if (frame.requested)
        PaintCurves(p, display, *frame.requested, frame.masterOffset, QColor(0x00, 0x70, 0x70),
                    QColor(0x70, 0x00, 0x70));
    if (frame.held)
        PaintCurves(p, display, *frame.held, frame.masterOffset, QColor(0x00, 0xFF, 0xFF),
                    QColor(0xFF, 0x00, 0xFF));
    for (int i = 0; i < static_cast<int>(frame.markers.size()); ++i)
        if (i != frame.selected)
            PaintMarker(p, display, frame.markers[static_cast<size_t>(i)], false);
    if (frame.selected >= 0 && frame.selected < static_cast<int>(frame.markers.size())) {
        const PeqMarker& m = frame.markers[static_cast<size_t>(frame.selected)];
        PaintMarker(p, display, m, true);
        p.setClipping(false);
        PaintSelectedStrip(p, m);
    }
    p.setClipping(false);
    if (frame.hover)
        PaintHover(p, *frame.hover);
}

}  // namespace objscope::audio
