// PaintBoxGraph of the parametric EQ editor: a 480 x 250 custom-painted
// graph. It paints the background once per display setting into a cached
// image and each frame (curves and markers) over it, and reports mouse
// presses and drags in graph coordinates to the form.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

#include "audio/shared/peq_graph_painter.h"

namespace objscope::audio {

class TPeqGraphWidget : public QWidget {
  public:
    explicit TPeqGraphWidget(QWidget* parent = nullptr);

    void SetDisplay(const PeqDisplay& display);
    const PeqDisplay& Display() const { return display_; }
    void SetFrame(PeqFrame frame);
    const PeqFrame& Frame() const { return frame_; }

    // Paints the frame instead of the parametric EQ's curves and markers
    // (the crossover editors draw their outputs).
    std::function<void(QPainter&, const PeqDisplay&)> PaintFrame;
    void Repaint() { update(); }

    std::function<void(QPoint)> OnPress;
    std::function<void(QPoint)> OnDrag;
    std::function<void()> OnRelease;
    // The pointer moved with no button pressed (or left the graph: nullopt).
    std::function<void(std::optional<QPoint>)> OnHover;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    PeqDisplay display_;
    PeqFrame frame_;
    QImage background_;
};

}  // namespace objscope::audio

class QLineEdit;
class QVBoxLayout;

namespace objscope::audio {

// The borderless "HiddenEdit" that takes the keyboard for a graph (its key
// presses go to `keys`) and the graph below it, both added to `layout`.
struct GraphWithKeys {
    QLineEdit* hiddenEdit;
    TPeqGraphWidget* graph;
};
GraphWithKeys AddGraphWithKeys(QWidget* parent, QVBoxLayout* layout, QObject* keys);

}  // namespace objscope::audio
