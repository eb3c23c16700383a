// Where the parts of the crosspoint grid lie: the input labels across the
// top and the row header on the left (mute button, output name, edit
// button) stay put while the crosspoints scroll under them. Positions are
// in viewport pixels with the scroll offset given.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace objscope::audio {

// Columns of the focus that are not crosspoints.
inline constexpr int kMuteColumn = -2;
inline constexpr int kEditColumn = -1;

struct TGridGeometry {
    int outputs = 0;
    int inputs = 0;
    int cellWidth = 20;  // the crosspoint prototype
    int cellHeight = 18;
    int columnPitch = 21;  // prototype width + 1 for a combiner, + 0 for a router
    int rowPitch = 19;     // prototype height + 1
    int labelHeight = 72;  // the input labels
    int muteWidth = 40;
    int nameWidth = 120;
    int editWidth = 30;

    enum class Part { kNone, kCrosspoint, kMute, kName, kEdit, kInputLabel, kCorner };
    struct Hit {
        Part part = Part::kNone;
        int o = -1;
        int i = -1;
    };

    // The grid of a matrix: the column pitch depends on the kind.
    static TGridGeometry For(int outputs, int inputs, bool router);

    int RowHeaderWidth() const { return muteWidth + nameWidth + editWidth; }
    // The whole grid, headers included, unscrolled.
    QSize ContentSize() const;
    // The area the crosspoints scroll in (right of and below the headers).
    QRect CellArea(QSize viewport) const;

    int ColumnX(int i, QPoint scroll) const {
        return RowHeaderWidth() + i * columnPitch - scroll.x();
    }
    int RowY(int o, QPoint scroll) const { return labelHeight + o * rowPitch - scroll.y(); }
    QRect CellRect(int o, int i, QPoint scroll) const;
    // Row header parts of row o: the mute button, the name, the edit button.
    QRect MuteRect(int o, QPoint scroll) const;
    QRect NameRect(int o, QPoint scroll) const;
    QRect EditRect(int o, QPoint scroll) const;
    QRect InputLabelRect(int i, QPoint scroll) const;
    // Any focusable part: crosspoints (column >= 0), kMuteColumn, kEditColumn.
    QRect FocusRect(int o, int column, QPoint scroll) const;

    Hit HitAt(QPoint at, QPoint scroll) const;

    // Rows and columns that show at least partly in the viewport.
    struct Range {
        int first = 0;
        int last = -1;  // inclusive; empty when last < first
    };
    Range VisibleRows(QSize viewport, QPoint scroll) const;
    Range VisibleColumns(QSize viewport, QPoint scroll) const;
};

}  // namespace objscope::audio
