// A window test against the real hubserver (started by the client library in
// the test's private folders) and a tarnsim device on 127.0.0.2 at the
// server's receive port. Each test gets its own device process, its own
// communication layer and its own windows, built by the program's own
// start-up (audio objects and editors registered as the program does);
// message boxes are recorded and answered "Yes".
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <cmath>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"

namespace objscope_gui {

// The objects of tarnsim's default device, object 0 included (the families
// that add objects to the device change this one number).
constexpr int kDeviceObjects = 464;

// The server's receive port, chosen once per test program.
uint16_t ServerReceivePort();

// Where the programs under test are (tarnsim).
std::string BinDirectory();

// A window's caption as the window system shows it: Qt appends the
// application display name to every caption once a program sets one.
std::string ShownCaption(const QWidget& window);

class GuiSession : public ::testing::Test {
  protected:
    // Extra tarnsim options (e.g. "--drop-every 3") and an optional device
    // file; the Tarncom.ini maps devices 1 to the simulator and 2 to
    // 127.0.0.3, where nothing answers; `settings` are further sections of
    // it (e.g. "[Monitoring]\r\nMonitor=1\r\n").
    void StartSession(const QStringList& deviceOptions = {}, const std::string& settings = {});
    void TearDown() override;

    // Runs events until `done` holds (at most `limitMs`).
    bool WaitFor(const std::function<bool()>& done, int limitMs = 20000);
    // The texts of the message boxes shown so far (and forgets them).
    std::vector<std::string> TakeMessages();
    std::vector<std::string> ListLines() const;
    // The list row of the listed object with this handle (-1 when absent).
    int RowOfObject(uint16_t handle) const;
    // Property `id` of object `handle` on device 1, read by a request of its
    // own; waits until the device holds `value` (3 s at most); sets it on the
    // device as another client would.
    template <class Property>
    double DeviceValue(uint16_t handle, uint16_t id) {
        Property property;
        property.SetPropertyID(id);
        objscope::TTarn_Property_Link link(0, 1, handle, &property);
        EXPECT_EQ(monitor_->GetPropertyNow(link), 0) << handle << "/" << id;
        return property.GetData();
    }
    template <class Property>
    bool DeviceReaches(uint16_t handle, uint16_t id, double value) {
        return WaitFor([&] { return std::fabs(DeviceValue<Property>(handle, id) - value) < 0.01; },
                       3000);
    }
    template <class Property>
    void SetOnDevice(uint16_t handle, uint16_t id, double value) {
        Property property;
        property.SetPropertyID(id);
        property.SetData(value);
        objscope::TTarn_Property_Link link(0, 1, handle, &property);
        ASSERT_GE(monitor_->SetPropertyWait(link), 0);
    }
    // The lines tarnsim printed with --trace so far that contain `word`.
    int TraceCount(const QString& word);
    // Upload Objects (once), then Edit on the object with this handle: its
    // editor window, or nullptr.
    QWidget* EditUploadedObject(uint16_t handle);

    std::string folder_;
    std::unique_ptr<QProcess> device_;
    QByteArray deviceOutput_;
    std::unique_ptr<objscope::TObjscopeStartup> program_;
    // Parts of the program, for the tests' convenience.
    objscope::TTarn_Monitor* monitor_ = nullptr;
    objscope::TEditorComm* comm_ = nullptr;
    objscope::TfrmObjectList* main_ = nullptr;
    objscope::TfrmPropertyList* properties_ = nullptr;
    std::vector<std::string> messages_;
    std::string previousFolder_;
};

}  // namespace objscope_gui
