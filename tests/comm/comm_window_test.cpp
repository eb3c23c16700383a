// The monitor window "Tarn_Monitor (Com Layer)" and the self-closing
// download error dialog, driven as a user would.
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>
#include <algorithm>

#include "comm_session.h"
#include "commwin/notify_qt.h"
#include "commwin/tarn_monitor_form.h"
#include "commwin/timed_message_dlg.h"

namespace comm_testing {
namespace {

// Runs `action` on the modal dialog once it is shown.
void onModalDialog(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        }
    });
    timer->start();
}

class WindowSession : public CommSession {
  protected:
    void SetUp() override {
        form_ = std::make_unique<TTarn_MonitorForm>();
        CommSession::SetUp();
        monitor_->SetView(form_.get());
        form_->SetMonitor(monitor_.get());
    }
    void TearDown() override {
        CommSession::TearDown();
        form_.reset();
    }
    template <typename T>
    T* child(const char* name) {
        return form_->findChild<T*>(name);
    }
    std::unique_ptr<TTarn_MonitorForm> form_;
};

TEST_F(WindowSession, TheWindowShowsTicketsRetriesAndTheLastLogLines) {
    EXPECT_EQ(form_->windowTitle(), "Tarn_Monitor (Com Layer)");
    auto* log = child<QListWidget>("lstLog");
    auto* count = child<QToolButton>("lblTicketCount");
    auto* tickets = child<QToolButton>("lblTicketList");
    ASSERT_TRUE(log && count && tickets && child<QLabel>("lblRetries") && child<QLabel>("shpRX") &&
                child<QLabel>("lblOperation"));
    EXPECT_EQ(tickets->text(), "Ticket List:");
    EXPECT_EQ(tickets->toolTip(), "Click to list current Tickets");
    EXPECT_EQ(count->toolTip(), "Click to Show Current Hints");

    TU32UWord gain;
    gain.SetName("Gain");
    TTarn_Property_Link link(kNet, kDev, 9, &gain);
    monitor_->GetProperty(link, TNotifyEvent([](TTarn_Monitor&) {}));
    EXPECT_EQ(count->text(), "1");
    QTest::mouseClick(tickets, Qt::LeftButton);
    EXPECT_EQ(log->item(log->count() - 2)->text(), "**** Current Tickets ****");
    EXPECT_EQ(log->item(log->count() - 1)->text(), "  Ticket 0: TarnGet of Gain");

    auto request = nextRequest();
    ASSERT_TRUE(request);
    reply(*request, buildStatusReply(request->header, {kNet, kDev, 9}, 0, 0));
    EXPECT_TRUE(pumpUntil([&] { return count->text() == "0"; }));

    for (int i = 0; i < 200; ++i)
        monitor_->LogLine("filler " + std::to_string(i));
    EXPECT_EQ(log->count(), 150);
    EXPECT_EQ(log->item(149)->text(), "filler 199");
    EXPECT_EQ(child<QLabel>("lblOperation")->text(), "filler 199");
}

TEST_F(WindowSession, TheDownloadErrorDialogCountsDownAndRetryRetries) {
    runScript([&] {
        for (uint8_t mode : {64, 64, 0}) {
            auto request = nextRequest(40s);
            if (!request)
                return;
            reply(*request, buildStatusReply(request->header, kDeviceItself, 0, mode));
        }
    });
    QString shownText;
    QString countdown;
    onModalDialog([&](QWidget* dialog) {
        auto* box = qobject_cast<TTimedMessageDlg*>(dialog);
        ASSERT_NE(box, nullptr);
        shownText = box->text();
        QTimer::singleShot(1300, box, [&, box] {
            countdown = box->findChild<QLabel*>("lblCountdown")->text();
            box->ButtonFor(QMessageBox::Retry)->click();
        });
    });
    TVEKroot object;
    object.SetAddress(kNet, kDev, 40);
    object.SetObjectName("Gain 40");
    EXPECT_EQ(monitor_->DownloadObject(object, false), 0);
    stopScript();
    EXPECT_EQ(shownText, "Download Error:  Gain 40\n\nError:  Not Allowed/Read-Only (64)\n");
    EXPECT_EQ(countdown, "29");
}

// Renders the layer's windows for docs/screenshots (run on demand:
// comm_tests --gtest_also_run_disabled_tests --gtest_filter='*RenderWindows'
// with VEK_SCREENSHOT_DIR set).
TEST_F(WindowSession, DISABLED_RenderWindows) {
    const char* folder = std::getenv("VEK_SCREENSHOT_DIR");
    ASSERT_NE(folder, nullptr);
    TU32UWord gain;
    gain.SetName("Gain");
    TTarn_Property_Link link(kNet, kDev, 9, &gain);
    monitor_->GetProperty(link, TNotifyEvent([](TTarn_Monitor&) {}));
    monitor_->RegisterProperty(link, TNotifyEvent([](TTarn_Monitor&) {}));
    form_->ToggleRx();
    form_->ShowRetries(2);
    monitor_->ListTickets();
    form_->show();
    QApplication::processEvents();
    EXPECT_TRUE(form_->grab().save(QString(folder) + "/tarn_monitor.png"));

    TTimedMessageDlg dialog("Download Error:  Gain 40\n\nError:  Not Allowed/Read-Only (64)",
                            QMessageBox::Critical,
                            QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, 30);
    dialog.show();
    QTest::qWait(1100);
    EXPECT_TRUE(dialog.grab().save(QString(folder) + "/timed_message_dlg.png"));
    dialog.close();
}

TEST(NotifyFor, ACallbackOfADestroyedWidgetIsAbsent) {
    auto* control = new QLabel;
    int calls = 0;
    TNotifyEvent callback = NotifyFor(control, [&](TTarn_Monitor&) { ++calls; });
    EXPECT_TRUE(callback.Assigned());
    delete control;
    EXPECT_FALSE(callback.Assigned());
    EXPECT_TRUE(callback.Detached());
}

TEST(TimedMessageDlg, ADialogLeftAloneClosesWithTheDefaultResult) {
    QElapsedTimer clock;
    clock.start();
    int result = TimedMessageDlg("Closing by itself", QMessageBox::Information,
                                 QMessageBox::Yes | QMessageBox::No, 2, 77);
    EXPECT_EQ(result, 77);
    EXPECT_GE(clock.elapsed(), 1900);
    EXPECT_LT(clock.elapsed(), 10000);
}

// The download error dialog offers Abort, Retry and Ignore in that order,
// left to right, whatever the desktop's button order; each answers as itself.
TEST(TimedMessageDlg, DownloadButtonsAreAbortRetryIgnoreInThatOrder) {
    const QMessageBox::StandardButton answers[] = {QMessageBox::Abort, QMessageBox::Retry,
                                                   QMessageBox::Ignore};
    for (size_t index = 0; index < 3; ++index) {
        std::vector<std::string> texts;
        QTimer::singleShot(50, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            std::vector<QPushButton*> buttons;
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                if (b->isVisible())
                    buttons.push_back(b);
            std::sort(buttons.begin(), buttons.end(),
                      [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
            for (QPushButton* b : buttons)
                texts.push_back(b->text().remove('&').toStdString());
            if (buttons.size() == 3)
                buttons[index]->click();
            else
                dialog->close();
        });
        const int result =
            TimedMessageDlg("Download Error:  Gain 40", QMessageBox::Critical,
                            QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, 30, -1);
        EXPECT_EQ(texts, (std::vector<std::string>{"Abort", "Retry", "Ignore"}));
        EXPECT_EQ(result, static_cast<int>(answers[index]));
    }
}

TEST(TimedMessageDlg, TheCountdownSitsNearTheBottomMiddle) {
    TTimedMessageDlg dialog("Text", QMessageBox::Warning, QMessageBox::Ok, 30);
    dialog.show();
    QLabel* label = dialog.CountdownLabel();
    EXPECT_EQ(label->objectName(), "lblCountdown");
    EXPECT_EQ(label->text(), "");
    EXPECT_EQ(label->x(), dialog.width() / 2 - 4);
    EXPECT_EQ(label->y(), dialog.height() - 52);
    dialog.close();
}

}  // namespace
}  // namespace comm_testing
