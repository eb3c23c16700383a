// Upload Objects when the device goes away in the middle: the user is told
// which object failed and the upload stops with what it built; while it
// runs, nothing that acts on the list can be used.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "gui_session.h"
#include "protocol/tarn_status.h"
#include "windows/message_boxes.h"

namespace objscope_gui {
namespace {

constexpr int kStopAtObject = 5;
constexpr int32_t kNoAnswer = -2;

class UploadDeviceLoss : public GuiSession {
  protected:
    // Each answer takes a while, as on a real network, so the upload is seen
    // object by object.
    void SetUp() override { StartSession({"--delay-ms", "40"}); }
};

TEST_F(UploadDeviceLoss, AnUploadWhoseDeviceStopsSaysSoAndStops) {
    auto* label = main_->findChild<QLabel*>("lblUploading");
    auto* view = main_->findChild<QPushButton*>("btnViewProperties");
    auto* more = main_->findChild<QToolButton*>("btnMore");
    const QString stopLabel = QString("UpLoading Object %1 of").arg(kStopAtObject);
    // The upload runs inside the layer's waits: the device is stopped, and
    // the buttons are looked at, from a timer, as the user would meet them.
    QTimer probe;
    bool stopped = false;
    int uploadingLooks = 0;
    int usableLooks = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!main_->Busy())
            return;
        ++uploadingLooks;
        usableLooks += view->isEnabled() || more->isEnabled() ? 1 : 0;
        if (!stopped && label->isVisible() && label->text().startsWith(stopLabel)) {
            stopped = true;
            device_->kill();
        }
    });
    probe.start(10);
    // The box names the object being uploaded when it appears.
    std::vector<std::string> boxes;
    QString uploadingAtBox;
    objscope::SetMessageBoxHandler([&](objscope::BoxKind, const std::string& text) {
        boxes.push_back(text);
        uploadingAtBox = label->text();
        return objscope::BoxAnswer::Ok;
    });
    main_->UploadObjects();
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }, 60000));
    probe.stop();

    ASSERT_TRUE(stopped) << "boxes: " << (boxes.empty() ? std::string("none") : boxes.front())
                         << "; last label " << label->text().toStdString();
    EXPECT_GT(uploadingLooks, 0);
    EXPECT_EQ(usableLooks, 0);
    const int failed = uploadingAtBox.section(' ', 2, 2).toInt();
    EXPECT_GE(failed, kStopAtObject) << uploadingAtBox.toStdString();
    const std::vector<std::string> expected = {"Error Getting Properties for Object" +
                                               std::to_string(failed) +
                                               "\rError: " + objscope::StatusText(kNoAnswer)};
    EXPECT_EQ(boxes, expected);
    // The objects built before stay; the buttons come back.
    EXPECT_LT(main_->List()->count(), failed);
    EXPECT_GT(main_->List()->count(), 0);
    EXPECT_TRUE(view->isEnabled());
    EXPECT_TRUE(more->isEnabled());
    EXPECT_TRUE(main_->findChild<QPushButton*>("btnUploadObjects")->isEnabled());
}

}  // namespace
}  // namespace objscope_gui
