// The object set flows in a window: its progress panel (title, label,
// percentage, Cancel) and its message boxes.
#pragma once

#include <QPointer>
#include <functional>

#include "devicewin/object_set_view.h"

class QFrame;
class QLabel;
class QProgressBar;
class QWidget;

namespace objscope {

class TPanelSetView : public TObjectSetView {
  public:
    TPanelSetView(QWidget* window, QFrame* panel, QLabel* label, QProgressBar* progress,
                  std::function<bool()> cancelled);

    void ShowPanel(const std::string& title) override;
    void ShowProgress(const std::string& label, int percent) override;
    void HidePanel() override;
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    SetAnswer Ask(const std::string& text) override;
    // The panel's Cancel (or the window closing) asks the flow to stop.
    bool CancelRequested() override { return cancelled_ && cancelled_(); }

  private:
    QPointer<QWidget> window_;
    QPointer<QFrame> panel_;
    QPointer<QLabel> label_;
    QPointer<QProgressBar> progress_;
    std::function<bool()> cancelled_;
};

}  // namespace objscope
