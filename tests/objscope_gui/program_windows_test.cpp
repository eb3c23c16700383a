// The program's own windows as the user meets them: captions exactly as
// written while the application title follows the device box, and Close
// ending the program whatever else is open.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "gui_session.h"
#include "windows/application_title.h"
#include "windows/message_boxes.h"

namespace objscope_gui {
namespace {

constexpr char kMonitorOn[] = "[Monitoring]\r\nMonitor=1\r\n";

class ProgramWindows : public GuiSession {
  protected:
    void SetUp() override { StartSession({}, kMonitorOn); }

    void SelectDevice(const QString& text) {
        main_->findChild<QComboBox*>("cboDevices")->setEditText(text);
    }
};

TEST_F(ProgramWindows, CaptionsAreTheirOwnAndTheTitleFollowsTheDevice) {
    ASSERT_NE(program_->MonitorForm(), nullptr);
    EXPECT_TRUE(program_->MonitorForm()->isVisible());
    properties_->show();
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(ShownCaption(*main_), "Obj/Cl Viewer - v6.5.3");
        EXPECT_EQ(ShownCaption(*properties_), "Object Properties");
        EXPECT_EQ(ShownCaption(*program_->MonitorForm()), "Tarn_Monitor (Com Layer)");
        SelectDevice("$1F");
    }
    EXPECT_EQ(objscope::ApplicationTitle(), "OS-$1F");
    EXPECT_EQ(main_->windowIconText(), "OS-$1F");

    // The message boxes carry the title of the moment.
    std::vector<std::string> titles;
    objscope::SetMessageBoxHandler([&](objscope::BoxKind, const std::string&) {
        titles.push_back(objscope::ApplicationTitle().toStdString());
        return objscope::BoxAnswer::No;
    });
    main_->SoftReset();
    SelectDevice("7");
    main_->SoftReset();
    EXPECT_EQ(titles, (std::vector<std::string>{"OS-$1F", "OS-7"}));
    EXPECT_EQ(ShownCaption(*main_), "Obj/Cl Viewer - v6.5.3");
}

// The program's message loop itself: Close ends it although the monitor
// window (and the property list) are still open.
TEST_F(ProgramWindows, CloseEndsTheProgramWithTheMonitorShown) {
    ASSERT_TRUE(program_->MonitorForm()->isVisible());
    bool ended = true;
    QTimer::singleShot(100, main_->findChild<QPushButton*>("btnClose"), &QPushButton::click);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        ended = false;
        QCoreApplication::quit();
    });
    guard.start(5000);
    QCoreApplication::exec();
    guard.stop();
    EXPECT_TRUE(ended) << "the program still ran 5 s after Close";
    EXPECT_FALSE(main_->isVisible());
}

}  // namespace
}  // namespace objscope_gui
