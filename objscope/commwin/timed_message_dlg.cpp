#include "commwin/timed_message_dlg.h"

#include <QLabel>
#include <QTimer>

namespace objscope {
namespace {

constexpr int kCountdownBottomOffset = 52;

}  // namespace

TTimedMessageDlg::TTimedMessageDlg(const QString& text, QMessageBox::Icon type,
                                   QMessageBox::StandardButtons buttons, int seconds,
                                   QWidget* parent)
    : QMessageBox(
          type, QString(), text, buttons, parent,
          Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      counter_(seconds) {
    setObjectName("TimedMessageDlg");
    // Texts use "\r" as line break; the empty last line leaves room for the
    // countdown above the buttons.
    setText(QString(text).replace('\r', '\n') + "\n");
    countdown_ = new QLabel(this);
    countdown_->setObjectName("lblCountdown");
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &TTimedMessageDlg::Tick);
}

void TTimedMessageDlg::showEvent(QShowEvent* event) {
    QMessageBox::showEvent(event);
    PlaceCountdown();
    timer_->start();
}

void TTimedMessageDlg::resizeEvent(QResizeEvent* event) {
    QMessageBox::resizeEvent(event);
    PlaceCountdown();
}

void TTimedMessageDlg::PlaceCountdown() {
    countdown_->adjustSize();
    countdown_->move(width() / 2 - 4, height() - kCountdownBottomOffset);
    countdown_->raise();
}

void TTimedMessageDlg::Tick() {
    bool close = counter_.tick();
    countdown_->setText(QString::fromStdString(counter_.label()));
    countdown_->adjustSize();
    if (close) {
        timer_->stop();
        done(TimedCountdown::kTimedOutResult);
    }
}

int TimedMessageDlg(const QString& text, QMessageBox::Icon type,
                    QMessageBox::StandardButtons buttons, int seconds, int defaultResult,
                    QWidget* parent) {
    TTimedMessageDlg dialog(text, type, buttons, seconds, parent);
    int result = dialog.exec();
    if (result == TimedCountdown::kTimedOutResult)
        return defaultResult;
    QAbstractButton* clicked = dialog.clickedButton();
    return clicked != nullptr ? static_cast<int>(dialog.standardButton(clicked)) : result;
}

}  // namespace objscope
