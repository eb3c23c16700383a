#include "commwin/tarn_monitor_form.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "comm/tarn_monitor.h"
#include "commwin/timed_message_dlg.h"

namespace objscope {
namespace {

constexpr int kBottomGap = 50;
constexpr int kTimedOut = -1;

QString fromLayerText(const std::string& text) {
    return QString::fromStdString(text).replace('\r', '\n');
}

}  // namespace

TTarn_MonitorForm::TTarn_MonitorForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Tarn_Monitor");
    setWindowTitle("Tarn_Monitor (Com Layer)");

    lblTicketList_ = new QToolButton(this);
    lblTicketList_->setObjectName("lblTicketList");
    lblTicketList_->setText("Ticket List:");
    lblTicketList_->setAutoRaise(true);
    lblTicketList_->setToolTip("Click to list current Tickets");
    lblTicketCount_ = new QToolButton(this);
    lblTicketCount_->setObjectName("lblTicketCount");
    lblTicketCount_->setText("0");
    lblTicketCount_->setAutoRaise(true);
    lblTicketCount_->setToolTip("Click to Show Current Hints");
    auto* retriesCaption = new QLabel("Retries:", this);
    retriesCaption->setObjectName("lblRetriesCaption");
    lblRetries_ = new QLabel("0", this);
    lblRetries_->setObjectName("lblRetries");
    shpRX_ = new QLabel("RX", this);
    shpRX_->setObjectName("shpRX");
    shpRX_->setAlignment(Qt::AlignCenter);
    shpRX_->setMinimumWidth(28);
    lblOperation_ = new QLabel(this);
    lblOperation_->setObjectName("lblOperation");
    lblOperation_->setStyleSheet("color: red;");
    lstLog_ = new QListWidget(this);
    lstLog_->setObjectName("lstLog");
    lstLog_->setUniformItemSizes(true);

    auto* top = new QHBoxLayout;
    top->addWidget(lblTicketList_);
    top->addWidget(lblTicketCount_);
    top->addSpacing(12);
    top->addWidget(retriesCaption);
    top->addWidget(lblRetries_);
    top->addStretch(1);
    top->addWidget(shpRX_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblOperation_);
    layout->addWidget(lstLog_, 1);
    resize(420, 360);
    PaintRx();

    connect(lblTicketList_, &QToolButton::clicked, this, &TTarn_MonitorForm::TicketLabelClick);
    connect(lblTicketCount_, &QToolButton::clicked, this, &TTarn_MonitorForm::TicketLabelClick);
}

void TTarn_MonitorForm::ShowMonitorWindow() {
    // At the left screen edge, its bottom 50 pixels above the screen's. The
    // window frame exists only once the window is shown: measured then.
    show();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        move(area.left(), area.bottom() - kBottomGap - frameGeometry().height());
    }
}

void TTarn_MonitorForm::ShowTicketCount(size_t count) {
    lblTicketCount_->setText(QString::number(count));
}

void TTarn_MonitorForm::ShowRetries(unsigned retries) {
    lblRetries_->setText(QString::number(retries));
}

void TTarn_MonitorForm::ToggleRx() {
    rxOn_ = !rxOn_;
    PaintRx();
}

void TTarn_MonitorForm::PaintRx() {
    shpRX_->setStyleSheet(rxOn_ ? "background: lime; color: black;"
                                : "background: darkgreen; color: white;");
}

void TTarn_MonitorForm::ShowOperation(const std::string& text) {
    lblOperation_->setText(QString::fromStdString(text));
}

void TTarn_MonitorForm::AppendLogLine(const std::string& text) {
    lstLog_->addItem(QString::fromStdString(text));
    lstLog_->scrollToBottom();
}

void TTarn_MonitorForm::RemoveOldestLogLine() {
    delete lstLog_->takeItem(0);
}

void TTarn_MonitorForm::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, windowTitle(), fromLayerText(text), QMessageBox::Ok,
                    isVisible() ? this : nullptr);
    box.exec();
}

TDownloadAnswer TTarn_MonitorForm::AskDownloadError(const std::string& text, int seconds) {
    int answer = TimedMessageDlg(fromLayerText(text), QMessageBox::Critical,
                                 QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                                 seconds, kTimedOut, isVisible() ? this : nullptr);
    switch (answer) {
        case QMessageBox::Abort:
            return TDownloadAnswer::Abort;
        case QMessageBox::Retry:
            return TDownloadAnswer::Retry;
        case QMessageBox::Ignore:
            return TDownloadAnswer::Ignore;
        default:
            return TDownloadAnswer::TimedOut;
    }
}

void TTarn_MonitorForm::TicketLabelClick() {
    if (monitor_ != nullptr)
        monitor_->ListTickets();
}

}  // namespace objscope
