// TimedMessageDlg: a message dialog that answers by itself. A label near
// the bottom counts the remaining seconds down once a second; at 0 the
// dialog closes and the caller gets the default result.
#pragma once

#include <QMessageBox>
#include <QString>
#include <utility>
#include <vector>

#include "settings/settings_timed_countdown.h"

class QLabel;
class QTimer;

namespace objscope {

class TTimedMessageDlg : public QMessageBox {
    Q_OBJECT
  public:
    TTimedMessageDlg(const QString& text, QMessageBox::Icon type,
                     QMessageBox::StandardButtons buttons, int seconds, QWidget* parent = nullptr);

    // The countdown label (objectName "lblCountdown").
    QLabel* CountdownLabel() const { return countdown_; }
    // The standard button a pressed button stands for, and the other way.
    QMessageBox::StandardButton AnswerOf(QAbstractButton* button) const;
    QAbstractButton* ButtonFor(QMessageBox::StandardButton answer) const;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Tick();
    void PlaceCountdown();
    void AddOrderedButtons(QMessageBox::StandardButtons buttons);

    TimedCountdown counter_;
    QLabel* countdown_ = nullptr;
    QTimer* timer_ = nullptr;
    std::vector<std::pair<QAbstractButton*, QMessageBox::StandardButton>> ordered_;
};

// Shows the dialog modally and returns the button pressed
// (QMessageBox::StandardButton), or `defaultResult` when it timed out.
int TimedMessageDlg(const QString& text, QMessageBox::Icon type,
                    QMessageBox::StandardButtons buttons, int seconds, int defaultResult,
                    QWidget* parent = nullptr);

}  // namespace objscope
