#include "devicewin/panel_set_view.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>

#include "windows/message_boxes.h"

namespace objscope {

TPanelSetView::TPanelSetView(QWidget* window, QFrame* panel, QLabel* label, QProgressBar* progress,
                             std::function<bool()> cancelled)
    : window_(window),
      panel_(panel),
      label_(label),
      progress_(progress),
      cancelled_(std::move(cancelled)) {}

void TPanelSetView::ShowPanel(const std::string& title) {
    if (label_)
        label_->setText(QString::fromStdString(title));
    if (progress_)
        progress_->setValue(0);
    if (panel_)
        panel_->show();
}

void TPanelSetView::ShowProgress(const std::string& label, int percent) {
    if (label_)
        label_->setText(QString::fromStdString(label));
    if (progress_)
        progress_->setValue(percent);
}

void TPanelSetView::HidePanel() {
    if (panel_)
        panel_->hide();
}

void TPanelSetView::ShowError(const std::string& text) {
    objscope::ShowError(window_, text);
}

void TPanelSetView::ShowMessage(const std::string& text) {
    objscope::ShowMessage(window_, text);
}

SetAnswer TPanelSetView::Ask(const std::string& text) {
    switch (AskYesNoCancel(window_, text)) {
        case BoxAnswer::Yes:
            return SetAnswer::Yes;
        case BoxAnswer::No:
            return SetAnswer::No;
        default:
            return SetAnswer::Cancel;
    }
}

}  // namespace objscope
