#include "audio/mixing/crosspoint_grid_geometry.h"

#include <algorithm>

namespace objscope::audio {

namespace {

// The buttons of the row header are a little smaller than their column.
constexpr int kButtonInset = 2;

TGridGeometry::Range Visible(int count, int start, int pitch, int extent, int offset) {
    TGridGeometry::Range range;
    if (count <= 0 || extent <= start)
        return range;
    range.first = std::clamp(offset / pitch, 0, count - 1);
    range.last = std::clamp((offset + extent - start - 1) / pitch, 0, count - 1);
    return range;
}

}  // namespace

TGridGeometry TGridGeometry::For(int outputs, int inputs, bool router) {
    TGridGeometry geometry;
    geometry.outputs = outputs;
    geometry.inputs = inputs;
    geometry.columnPitch = geometry.cellWidth + (router ? 0 : 1);
    geometry.rowPitch = geometry.cellHeight + 1;
    return geometry;
}

QSize TGridGeometry::ContentSize() const {
    return QSize(RowHeaderWidth() + inputs * columnPitch, labelHeight + outputs * rowPitch);
}

QRect TGridGeometry::CellArea(QSize viewport) const {
    return QRect(QPoint(RowHeaderWidth(), labelHeight), viewport)
        .intersected(QRect(QPoint(0, 0), viewport));
}

QRect TGridGeometry::CellRect(int o, int i, QPoint scroll) const {
    return QRect(ColumnX(i, scroll), RowY(o, scroll), cellWidth, cellHeight);
}

QRect TGridGeometry::MuteRect(int o, QPoint scroll) const {
    return QRect(kButtonInset, RowY(o, scroll), muteWidth - 2 * kButtonInset, cellHeight);
}

QRect TGridGeometry::NameRect(int o, QPoint scroll) const {
    return QRect(muteWidth + kButtonInset, RowY(o, scroll), nameWidth - 2 * kButtonInset,
                 cellHeight);
}

QRect TGridGeometry::EditRect(int o, QPoint scroll) const {
    return QRect(muteWidth + nameWidth + kButtonInset, RowY(o, scroll),
                 editWidth - 2 * kButtonInset, cellHeight);
}

QRect TGridGeometry::InputLabelRect(int i, QPoint scroll) const {
    return QRect(ColumnX(i, scroll), 0, columnPitch, labelHeight);
}

QRect TGridGeometry::FocusRect(int o, int column, QPoint scroll) const {
    if (column == kMuteColumn)
        return MuteRect(o, scroll);
    if (column == kEditColumn)
        return EditRect(o, scroll);
    return CellRect(o, column, scroll);
}

TGridGeometry::Hit TGridGeometry::HitAt(QPoint at, QPoint scroll) const {
    Hit hit;
    const bool inLabels = at.y() < labelHeight;
    const bool inHeader = at.x() < RowHeaderWidth();
    if (inLabels && inHeader) {
        hit.part = Part::kCorner;
        return hit;
    }
    const int column = inHeader ? -1 : (at.x() - RowHeaderWidth() + scroll.x()) / columnPitch;
    const int row = inLabels ? -1 : (at.y() - labelHeight + scroll.y()) / rowPitch;
    if (inLabels) {
        if (column >= 0 && column < inputs) {
            hit.part = Part::kInputLabel;
            hit.i = column;
        }
        return hit;
    }
    if (row < 0 || row >= outputs)
        return hit;
    hit.o = row;
    if (inHeader) {
        if (MuteRect(row, scroll).contains(at))
            hit.part = Part::kMute;
        else if (NameRect(row, scroll).contains(at))
            hit.part = Part::kName;
        else if (EditRect(row, scroll).contains(at))
            hit.part = Part::kEdit;
        return hit;
    }
    if (column < inputs && CellRect(row, column, scroll).contains(at)) {
        hit.part = Part::kCrosspoint;
        hit.i = column;
    }
    return hit;
}

TGridGeometry::Range TGridGeometry::VisibleRows(QSize viewport, QPoint scroll) const {
    return Visible(outputs, labelHeight, rowPitch, viewport.height(), scroll.y());
}

TGridGeometry::Range TGridGeometry::VisibleColumns(QSize viewport, QPoint scroll) const {
    return Visible(inputs, RowHeaderWidth(), columnPitch, viewport.width(), scroll.x());
}

}  // namespace objscope::audio
