// The main window against a simulated device: listings, the upload, the
// device commands' refusals and a device that does not answer.
#include <QApplication>
#include <functional>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "model/object_audio_bases.h"
#include "windows/application_title.h"
#include "gui_session.h"

namespace objscope_gui {
namespace {


QString LabelText(QWidget* window, const char* name) {
    auto* label = window->findChild<QLabel*>(name);
    return label ? label->text() : QString("<no %1>").arg(name);
}

bool Visible(QWidget* window, const char* name) {
    auto* widget = window->findChild<QWidget*>(name);
    return widget && widget->isVisible();
}

class ObjectListWindow : public GuiSession {
  protected:
    void SetUp() override { StartSession(); }

    void List(const std::function<void()>& operation) {
        operation();
        ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }));
    }
    void SelectDevice(const QString& text) {
        main_->findChild<QComboBox*>("cboDevices")->setEditText(text);
    }
};

TEST_F(ObjectListWindow, GetObjectsListsEveryObjectWithItsClassName) {
    EXPECT_EQ(main_->windowTitle(), "Obj/Cl Viewer - v6.5.3");
    List([&] { main_->GetObjects(); });
    auto lines = ListLines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(kDeviceObjects));
    EXPECT_EQ(lines.front(), "    0    (17)  Device Manager");
    EXPECT_EQ(lines[1], "  100    (60)  EQ Filter Set");
    EXPECT_EQ(lines[2], "  101    (33)  Audio Object Input");
    EXPECT_EQ(lines.back(), " 1200    (4000)  <unknown>");
    EXPECT_EQ(LabelText(main_, "lblTotal"), QString("Total:  %1  ").arg(kDeviceObjects));
    EXPECT_EQ(LabelText(main_, "lblListTitle"), "Objects");
    EXPECT_EQ(main_->List()->currentRow(), 0);
    EXPECT_TRUE(Visible(main_, "btnTest"));
    EXPECT_TRUE(Visible(main_, "btnEOBTest"));
    EXPECT_TRUE(main_->findChild<QPushButton*>("btnViewProperties")->isEnabled());
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(ObjectListWindow, GetClassesAndNamedListing) {
    List([&] { main_->GetClasses(); });
    auto classes = ListLines();
    ASSERT_FALSE(classes.empty());
    EXPECT_EQ(LabelText(main_, "lblListTitle"), "Classes");
    EXPECT_NE(std::find(classes.begin(), classes.end(), "(226)  Test Manager"), classes.end());
    EXPECT_NE(std::find(classes.begin(), classes.end(), "(60)  EQ Filter Set"), classes.end());
    EXPECT_FALSE(main_->findChild<QPushButton*>("btnViewProperties")->isEnabled());

    List([&] { main_->GetObjectsWithNames(); });
    auto named = ListLines();
    ASSERT_EQ(named.size(), static_cast<size_t>(kDeviceObjects));
    EXPECT_EQ(named[static_cast<size_t>(RowOfObject(100))], "  100    (60)  Main PEQ");
    EXPECT_EQ(named[static_cast<size_t>(RowOfObject(103))], "  103    (65)  Filter 1");
    EXPECT_EQ(LabelText(main_, "lblTotal"), QString("Total:  %1  ").arg(kDeviceObjects));
}

TEST_F(ObjectListWindow, UploadBuildsOwnedObjectsUnderTheirOwners) {
    List([&] { main_->UploadObjects(); });
    EXPECT_TRUE(TakeMessages().empty());
    QString total = LabelText(main_, "lblTotal");
    EXPECT_TRUE(total.startsWith("Net Total:  ")) << total.toStdString();
    EXPECT_TRUE(total.endsWith("  "));
    size_t topLevel = main_->Objects().size();
    EXPECT_EQ(total, QString("Net Total:  %1  ").arg(topLevel));
    EXPECT_LT(topLevel, static_cast<size_t>(kDeviceObjects));
    EXPECT_EQ(static_cast<size_t>(main_->List()->count()), topLevel);

    // The EQ filter set 100 owns 101 to 105 and more; none of them is top level.
    ASSERT_GE(RowOfObject(100), 0);
    objscope::TVEKroot* set = main_->Objects().at(static_cast<size_t>(RowOfObject(100)));
    EXPECT_EQ(set->ObjHandle(), 100);
    auto owned = set->OwnedObjectList();
    ASSERT_GE(owned.size(), 3u);
    EXPECT_EQ(owned[0]->ObjHandle(), 101);
    EXPECT_EQ(set->ObjectName(), "Main PEQ");
    for (const auto& object : main_->Objects())
        EXPECT_NE(object->ObjHandle(), 101);
    EXPECT_TRUE(main_->findChild<QPushButton*>("btnEdit")->isEnabled());
    EXPECT_TRUE(main_->findChild<QPushButton*>("btnUploadObjects")->isEnabled());
}

TEST_F(ObjectListWindow, MakePermRefusesBroadcastAndDeviceZero) {
    SelectDevice("65535");
    main_->MakePermanent();
    SelectDevice("0");
    main_->MakePermanent();
    EXPECT_EQ(TraceCount(" <- "), 0);  // nothing reached the device
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "Make Any Data Changes Permanent?\r     (Set Default Data)");
    EXPECT_EQ(messages[1], "Cannot use Broadcast Address for this command");
    EXPECT_EQ(messages[3], "Must set a valid address for this command");

    SelectDevice("1");
    main_->MakePermanent();
    messages = TakeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], "Make Permanent Completed OK!");
    EXPECT_FALSE(Visible(main_, "pnlMakePerm"));
}

TEST_F(ObjectListWindow, DeleteObjectRefusesTheFirstLine) {
    List([&] { main_->GetObjects(); });
    main_->List()->setCurrentRow(0);
    main_->DeleteObject();
    EXPECT_TRUE(TakeMessages().empty());
    main_->List()->setCurrentRow(RowOfObject(104));
    main_->DeleteObject();
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "CONFIRM - Delete Object: \r       104    (65)  Parametric EQ Band?");
    List([&] { main_->GetObjects(); });
    EXPECT_EQ(ListLines().size(), static_cast<size_t>(kDeviceObjects - 1));
}

TEST_F(ObjectListWindow, DeviceNumbersAboveTheRangeSendNothing) {
    SelectDevice("70000");
    main_->GetObjects();
    EXPECT_FALSE(main_->Busy());
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Invalid Device Number: use 0 to 65535");
    EXPECT_EQ(TraceCount(" <- "), 0);
}

TEST_F(ObjectListWindow, ADeviceThatDoesNotAnswerLeavesTheWindowUsable) {
    SelectDevice("2");  // 127.0.0.3: nothing listens there
    List([&] { main_->GetObjects(); });
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "No Response or Error in Transmission");
    EXPECT_TRUE(main_->findChild<QPushButton*>("btnGetObjects")->isEnabled());
    SelectDevice("1");
    List([&] { main_->GetObjects(); });
    EXPECT_EQ(ListLines().size(), static_cast<size_t>(kDeviceObjects));
}

TEST_F(ObjectListWindow, ResetsAskFirstAndReport) {
    main_->SoftReset();
    main_->ResetWithDefaultObjects();
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "CONFIRM: Soft Reset Selected Frame?");
    EXPECT_EQ(messages[1], "Reset Command Sent");
    EXPECT_EQ(messages[2],
              "CONFIRM - Reset Device reverting to Default Objects?\r         (i.e., ignore "
              "NVRAM objects/properties)");
    EXPECT_EQ(messages[3], "Reset Command Sent");

    SelectDevice("2");  // nobody answers: the boot flags cannot be read
    main_->ResetWithDefaultObjects();
    messages = TakeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1],
              ">>ERROR - Failed to retrieve Boot Flags\r   Aborting Reset operation...");
}

TEST_F(ObjectListWindow, DeviceBoxIPAddressAndSettings) {
    auto* ip = main_->findChild<QLineEdit*>("edtIPAddress");
    EXPECT_EQ(ip->text(), "127.0.0.2");
    EXPECT_EQ(objscope::ApplicationTitle(), "OS-1");
    SelectDevice("7");  // no mapping covers it
    EXPECT_TRUE(ip->styleSheet().contains("red"));
    EXPECT_EQ(objscope::ApplicationTitle(), "OS-7");
    main_->SetLoopback();
    EXPECT_EQ(ip->text(), "127.0.0.1");
    EXPECT_FALSE(ip->styleSheet().contains("red"));
    SelectDevice("$7");  // the same device now has a mapping of its own
    EXPECT_EQ(ip->text(), "127.0.0.1");

    auto* panel = main_->findChild<QWidget*>("pnlSettings");
    auto* timeout = main_->findChild<QLineEdit*>("edtTimeout");
    main_->ToggleSettings();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(timeout->text(), "1200");
    timeout->setText("x");
    main_->ApplySettings();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(program_->Requests().RequestTimeout(), 1200);
    main_->ToggleSettings();
    timeout->setText("800");
    main_->ApplySettings();
    EXPECT_EQ(program_->Requests().RequestTimeout(), 800);
}

class LossyDevice : public GuiSession {
  protected:
    void SetUp() override {
        StartSession({"--drop-every", "3"});
        // Replies come within milliseconds on loopback: a short time-out
        // keeps the retries of the lost ones quick.
        program_->Requests().SetRequestTimeout(250);
    }
};

TEST_F(LossyDevice, UploadCompletesThroughRetries) {
    main_->UploadObjects();
    ASSERT_TRUE(WaitFor([&] { return !main_->Busy(); }, 60000));
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_TRUE(main_->findChild<QLabel*>("lblTotal")->text().startsWith("Net Total:  "));
    EXPECT_GT(main_->Objects().size(), 30u);
    EXPECT_GT(monitor_->Retries(), 0u);
}

}  // namespace
}  // namespace objscope_gui
