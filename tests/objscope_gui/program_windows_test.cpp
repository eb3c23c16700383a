// The program's own windows as the user meets them: captions exactly as
// written while the application title follows the device box, and Close
// ending the program whatever else is open.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include "gui_session.h"
#include "devicewin/tfrm_prompt_ip.h"
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

// Tab walks the main window's usable controls as they are drawn: the device
// row, the list, then the buttons from the top down.
TEST_F(ProgramWindows, TabWalksTheMainWindowAsDrawn) {
    QWidget* start = main_->findChild<QWidget*>("cboDevices");
    std::vector<std::string> names;
    QWidget* w = start;
    do {
        if (w->isVisibleTo(main_) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
            names.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w != start && names.size() < 40);
    const std::vector<std::string> drawn = {
        "cboDevices",    "edtIPAddress", "btnLoopback", "imgSettings",   "lstObjects",
        "btnGetObjects", "btnGetText",   "btnMore",     "btnGetClasses", "btnUploadObjects",
        "btnMakePerm",   "btnReset",     "btnClose"};
    EXPECT_EQ(names, drawn);
}

// A click on the IP box asks for the device's address and maps the device
// to it.
TEST_F(ProgramWindows, AClickOnTheIPBoxAsksForTheAddress) {
    auto* ip = main_->findChild<QLineEdit*>("edtIPAddress");
    ASSERT_EQ(ip->text(), "127.0.0.2");
    std::string caption;
    QTimer::singleShot(50, [&] {
        objscope::TfrmPromptIP* prompt = main_->PromptIP();
        ASSERT_EQ(QApplication::activeModalWidget(), prompt);
        caption = prompt->windowTitle().toStdString();
        prompt->findChild<QLineEdit*>("edtIPAddress")->setText("127.0.0.9");
        prompt->accept();
    });
    QTest::mouseClick(ip, Qt::LeftButton);
    EXPECT_EQ(caption, "Enter IP Address");
    EXPECT_EQ(ip->text(), "127.0.0.9");
    bool mapped = false;
    for (const auto& mapping : program_->Requests().CopyDeviceMappings())
        mapped = mapped || (mapping.firstDevice <= 1 && mapping.lastDevice >= 1 &&
                            mapping.address.address == 0x7F000009u);
    EXPECT_TRUE(mapped);
}

// The series panel at the window's own size: a five-digit increment shows
// whole.
TEST_F(ProgramWindows, TheSeriesFieldsShowFiveDigits) {
    properties_->show();
    properties_->SetMulti();
    WaitFor([] { return false; }, 50);
    for (const char* name : {"edtObjIDInc", "edtNumbObjs"}) {
        auto* field = properties_->findChild<QLineEdit*>(name);
        ASSERT_NE(field, nullptr);
        ASSERT_TRUE(field->isVisible());
        field->setText("30000");
        // What a line edit leaves for its text: its contents less the frame
        // and its own margin of two pixels on each side.
        const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        const int room = field->contentsRect().width() - 2 * frame - 4;
        EXPECT_GE(room, field->fontMetrics().horizontalAdvance("30000")) << name;
    }
}

}  // namespace
}  // namespace objscope_gui
