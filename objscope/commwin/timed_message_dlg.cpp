#include "commwin/timed_message_dlg.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace objscope {
namespace {

constexpr int kCountdownBottomOffset = 52;

// Buttons that stand in this order, left to right, whatever order the
// desktop gives the standard buttons.
constexpr std::pair<QMessageBox::StandardButton, const char*> kOrderedButtons[] = {
    {QMessageBox::Abort, "&Abort"},
    {QMessageBox::Retry, "&Retry"},
    {QMessageBox::Ignore, "&Ignore"}};

QMessageBox::StandardButtons OrderedSet() {
    QMessageBox::StandardButtons set;
    for (const auto& [button, caption] : kOrderedButtons)
        set |= button;
    return set;
}

}  // namespace

TTimedMessageDlg::TTimedMessageDlg(const QString& text, QMessageBox::Icon type,
                                   QMessageBox::StandardButtons buttons, int seconds,
                                   QWidget* parent)
    : QMessageBox(
          type, QString(), text, buttons & ~OrderedSet(), parent,
          Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      counter_(seconds) {
    setObjectName("TimedMessageDlg");
    AddOrderedButtons(buttons);
    // Texts use "\r" as line break; the empty last line leaves room for the
    // countdown above the buttons.
    setText(QString(text).replace('\r', '\n') + "\n");
    countdown_ = new QLabel(this);
    countdown_->setObjectName("lblCountdown");
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &TTimedMessageDlg::Tick);
}

// Action buttons keep the order they are added in.
void TTimedMessageDlg::AddOrderedButtons(QMessageBox::StandardButtons buttons) {
    for (const auto& [button, caption] : kOrderedButtons) {
        if (!(buttons & button))
            continue;
        QPushButton* added = addButton(tr(caption), QMessageBox::ActionRole);
        ordered_.emplace_back(added, button);
        if (button == QMessageBox::Abort)
            setEscapeButton(added);
    }
}

QMessageBox::StandardButton TTimedMessageDlg::AnswerOf(QAbstractButton* button) const {
    for (const auto& [added, answer] : ordered_)
        if (added == button)
            return answer;
    return standardButton(button);
}

QAbstractButton* TTimedMessageDlg::ButtonFor(QMessageBox::StandardButton answer) const {
    for (const auto& [added, standard] : ordered_)
        if (standard == answer)
            return added;
    return button(answer);
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
    return clicked != nullptr ? static_cast<int>(dialog.AnswerOf(clicked)) : result;
}

}  // namespace objscope
