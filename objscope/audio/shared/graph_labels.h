// Where the labels of the response graphs go: the dB labels left of the plot
// (each label's top at row 119 - 22n, so it straddles its grid line), the
// phase labels right of it, and the frequency labels under it at the
// columns of their frequencies. The font is the largest size of the given
// font at which every label keeps to its place: none reaches into another,
// into the plot or past the frame.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <vector>

#include "audio/shared/peq_graph_painter.h"

namespace objscope::audio {

struct GraphLabel {
    QString text;
    QRect box;  // the text is drawn into it, left and top aligned
};

struct GraphLabels {
    QFont font;
    std::vector<GraphLabel> db;         // top to bottom
    std::vector<GraphLabel> phase;      // top to bottom, when the phase is shown
    std::vector<GraphLabel> frequency;  // left to right
};

GraphLabels LayOutGraphLabels(const PeqDisplay& display, const QFont& base);

// The grid line a dB or phase label belongs to (index 0 = the top line).
int LabelGridRow(size_t index);

}  // namespace objscope::audio
