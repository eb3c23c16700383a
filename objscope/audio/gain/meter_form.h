// TMeterForm: the small floating window of a level sensor. It has no title
// bar: its top 15 pixels act as one (a press there, right of the first 16
// pixels and left of the close button, drags the window) and hold the
// options, resize and close buttons. The options button opens the popup of
// peak hold times, which selects the matching item of the peak hold list;
// the resize button toggles between a compact strip (30 x 235, the bare
// bar) and the full window (112 x 388, the meter with border, legend and
// scale, the name, the list and the window's buttons).
#pragma once

#include <QAction>
#include <QMenu>
#include <QToolButton>

#include "audio/shared/bound_editor_form.h"
#include "audio/shared/peak_hold_list.h"

namespace objscope::audio {

class TMeterForm : public TBoundEditorForm {
  public:
    TMeterForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    TTarnMeter2* MeterBar() const { return meter_; }
    TPeakHoldList* PeakHoldList() const { return peakHold_; }
    QMenu* OptionsMenu() const { return menu_; }
    // The popup's hold times in its order: "1 Second" .. "None".
    const std::vector<QAction*>& HoldActions() const { return holdActions_; }
    bool Compact() const { return width() <= kFullWidthAbove; }
    // What the resize button does: compact when the window is full, else full.
    void ToggleSize();

    static constexpr int kFullWidthAbove = 99;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void BuildStrip();
    void BuildMenu();
    void ShowFull();
    void ShowCompact();
    void PlaceStrip();
    void ShowBaseControls(bool on);
    // Ticks the popup's item of the list's hold time (none ticked when the
    // list shows another).
    void TickHoldTime();
    // Whether a press at `at` starts a drag of the window.
    bool InDragStrip(QPoint at) const;

    TTarnMeter2* meter_ = nullptr;
    TTarnLabel* name_ = nullptr;
    TPeakHoldList* peakHold_ = nullptr;
    QToolButton* btnOptions_ = nullptr;
    QToolButton* btnResize_ = nullptr;
    QToolButton* btnClose_ = nullptr;
    QMenu* menu_ = nullptr;
    std::vector<QAction*> holdActions_;
    bool dragging_ = false;
    QPoint dragOffset_;
};

// The item of the peak hold list a popup entry selects: "1 Second" the
// second ("1 sec"), ... "None" the first.
int PeakHoldItemOfAction(int action);

}  // namespace objscope::audio
