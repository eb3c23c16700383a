#include "audio/shared/graph_labels.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <cmath>
#include <cstdio>

#include "audio/shared/peq_graph_geometry.h"

namespace objscope::audio {
namespace {

using namespace peq_graph;

constexpr int kLabelsRow = 230;
constexpr int kPhaseLabelsColumn = 450;
constexpr int kFrameInside = kWidth - 2;  // the frame's right line is 2 pixels wide
constexpr int kGap = 2;                   // the least room between two labels
constexpr int kSmallestPixelSize = 6;

// Right-aligned three characters, as "%3d" prints them.
QString Label3(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%3d", value);
    return QString::fromLatin1(text);
}

GraphLabel At(const QFontMetrics& m, const QString& text, int left, int top) {
    return {text, QRect(left, top, m.horizontalAdvance(text), m.height())};
}

void AddDbLabels(GraphLabels& labels, const PeqDisplay& d, const QFontMetrics& m) {
    const int perDivision = 3 * (d.legend + 1);
    for (int n = 4; n >= -4; --n) {
        const int value = perDivision * (2 * d.zeroDbLocation + n - 4);
        const int left = (value > -10 && value < 10) ? 8 : 5;
        labels.db.push_back(At(m, QString::number(value), left, 119 - 22 * n));
        if (d.showPhase)
            labels.phase.push_back(At(m, Label3(45 * n), kPhaseLabelsColumn, 119 - 22 * n));
    }
}

void AddFrequencyLabels(GraphLabels& labels, bool decade, const QFontMetrics& m) {
    auto& out = labels.frequency;
    if (decade) {
        for (int f : {20, 30, 50, 100, 200, 300, 500, 1000, 2000, 3000, 5000, 10000, 20000}) {
            const QString text = f >= 1000 ? QString::number(f / 1000) + "K" : QString::number(f);
            out.push_back(At(m, text, DecadeColumn(f) - m.horizontalAdvance(text) / 2, kLabelsRow));
        }
        return;
    }
    out.push_back(At(m, "20", kPlotLeft, kLabelsRow));
    const char* rightAligned[] = {"31.5", "63", "125", "250", "500", "1K", "2K", "4K", "8K"};
    for (int k = 0; k < 9; ++k) {
        const QString text = rightAligned[k];
        out.push_back(At(m, text, 55 + 42 * k - m.horizontalAdvance(text), kLabelsRow));
    }
    out.push_back(At(m, "12.5K", 422, kLabelsRow));
    out.push_back(At(m, "20K", 450, kLabelsRow));
}

GraphLabels LayOut(const PeqDisplay& display, const QFont& font) {
    GraphLabels labels;
    labels.font = font;
    const QFontMetrics metrics(font);
    AddDbLabels(labels, display, metrics);
    AddFrequencyLabels(labels, display.decade, metrics);
    return labels;
}

// Labels one above the other must not touch, and each straddles its line:
// the line runs through the digits, below their tops.
bool ColumnFits(const std::vector<GraphLabel>& column, int left, int right, int ascent) {
    for (size_t i = 0; i < column.size(); ++i) {
        const QRect& box = column[i].box;
        const int line = LabelGridRow(i);
        const int nextTop = box.top() + kGridRowStep;
        if (box.left() < left || box.right() > right || box.bottom() >= nextTop - 1 ||
            box.top() + ascent <= line)
            return false;
    }
    return true;
}

bool Fits(const GraphLabels& labels) {
    const int ascent = QFontMetrics(labels.font).ascent();
    if (!ColumnFits(labels.db, 0, kPlotLeft - kGap, ascent) ||
        !ColumnFits(labels.phase, kPlotRight - 20, kFrameInside - 1, ascent))
        return false;
    int previousRight = -kGap;
    for (const GraphLabel& label : labels.frequency) {
        if (label.box.left() < previousRight + kGap || label.box.bottom() >= kHeight - 2)
            return false;
        previousRight = label.box.right() + 1;
    }
    return previousRight <= kFrameInside;
}

}  // namespace

int LabelGridRow(size_t index) {
    return kFirstGridRow + kGridRowStep * static_cast<int>(index);
}

GraphLabels LayOutGraphLabels(const PeqDisplay& display, const QFont& base) {
    QFont font = base;
    for (int size = QFontInfo(base).pixelSize(); size > kSmallestPixelSize; --size) {
        font.setPixelSize(size);
        for (int stretch : {int(QFont::Unstretched), int(QFont::Condensed)}) {
            font.setStretch(stretch);
            GraphLabels labels = LayOut(display, font);
            if (Fits(labels))
                return labels;
        }
    }
    font.setPixelSize(kSmallestPixelSize);
    return LayOut(display, font);
}

}  // namespace objscope::audio
