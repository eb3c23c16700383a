// TCrosspointGrid: the crosspoints of a matrix editor as one custom-painted
// widget, however large the matrix (256 x 256 is 65,536 crosspoints, none
// of them an object of its own). The input labels across the top and each
// row's mute button, output name and edit button on the left stay in place
// while the crosspoints scroll. It paints the visible area into a cache,
// and after a change repaints only the crosspoints whose state changed.
// Mouse, keyboard (arrows, Home/End, PgUp/PgDn, Space or Enter) and
// tooltips naming the input and output; what a press does is the editor's.
#pragma once

#include <QAbstractScrollArea>
#include <QPixmap>
#include <functional>
#include <optional>
#include <vector>

#include "audio/mixing/crosspoint_grid_geometry.h"
#include "audio/mixing/crosspoint_rules.h"

namespace objscope::audio {

class TCrosspointGrid : public QAbstractScrollArea {
  public:
    TCrosspointGrid(const TGridGeometry& geometry, const TCrosspoints& points,
                    QWidget* parent = nullptr);

    const TGridGeometry& Geometry() const { return geometry_; }
    // The whole grid (up to 900 x 560) with its frame and scroll bars.
    QSize sizeHint() const override;
    void SetInputNames(std::vector<QString> names);
    void SetOutputNames(std::vector<QString> names);
    const QString& InputName(int i) const;
    const QString& OutputName(int o) const;
    void SetRowMuted(int o, bool muted);
    bool RowMuted(int o) const;
    // The face behind the crosspoints (grey while the device refuses).
    void SetFaceColor(const QColor& color);
    QColor FaceColor() const { return face_; }

    // Repaints what changed in the crosspoints since the last paint.
    void Sync();
    // Forgets the cache: the next paint draws the visible area anew.
    void InvalidateCache();

    // The focus: a row and a column (a crosspoint, kMuteColumn, kEditColumn).
    int FocusRow() const { return focusRow_; }
    int FocusColumn() const { return focusColumn_; }
    void SetFocusCell(int o, int column);
    // A crosspoint's rectangle in the viewport after scrolling it into view.
    QRect ShowCell(int o, int column);
    // What the tooltip at a viewport point says ("" for none).
    QString ToolTipAt(QPoint at) const;
    // How many crosspoints the last repaints drew (all of a full paint).
    int CellsPainted() const { return cellsPainted_; }

    std::function<void(int o, int i)> OnCrosspoint;
    std::function<void(int o)> OnMute;
    std::function<void(int o)> OnEdit;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    QPoint Scroll() const;
    void UpdateScrollBars();
    void RenderCache();
    static const QString& ShownLabel(std::vector<std::optional<QString>>& shown, int n,
                                     const std::function<QString()>& make);
    void MakeCellFaces(qreal ratio);
    void PaintCellInto(QPainter& painter, int o, int i);
    void PaintRowHeader(QPainter& painter, int o);
    void PaintInputLabel(QPainter& painter, int i);
    void RepaintPart(int o, int column);
    void Activate(int o, int column);
    void MoveFocus(int rows, int columns);

    TGridGeometry geometry_;
    const TCrosspoints& points_;
    std::vector<QString> inputNames_;
    std::vector<QString> outputNames_;
    std::vector<std::optional<QString>> shownInputs_;  // shortened, made when first painted
    std::vector<std::optional<QString>> shownOutputs_;
    std::vector<uint8_t> mutes_;
    std::vector<uint8_t> shown_;  // the crosspoints as the cache shows them
    QColor face_;
    QPixmap cache_;
    QPixmap cellUp_, cellDown_;
    bool cacheValid_ = false;
    int focusRow_ = 0;
    int focusColumn_ = 0;
    int cellsPainted_ = 0;
};

}  // namespace objscope::audio
