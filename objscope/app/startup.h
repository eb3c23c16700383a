// The program's start-up: the settings of the working folder's Tarncom.ini,
// the communication layer (with its monitor window), the one registration of
// the audio object classes and editors, then the main window and its
// property list. main(), the screenshots and the window tests all build the
// program through this class, so a test sees what a user sees.
#pragma once

#include <memory>
#include <vector>

#include "comm/editor_comm_monitor.h"
#include "comm/tarn_monitor.h"
#include "commwin/tarn_monitor_form.h"
#include "settings/settings_tarncom.h"
#include "settings/tini.h"
#include "windows/monitor_requests.h"
#include "windows/object_list_text.h"
#include "windows/tfrm_object_list.h"
#include "windows/tfrm_property_list.h"

namespace objscope {

class TObjscopeStartup {
  public:
    // Reads the settings; nothing is started yet.
    TObjscopeStartup();
    ~TObjscopeStartup();
    TObjscopeStartup(const TObjscopeStartup&) = delete;
    TObjscopeStartup& operator=(const TObjscopeStartup&) = delete;

    // Starts the communication layer. The console forms have no window to
    // show its messages in and pass false.
    void StartCommunication(bool monitorWindow);
    // Registers the audio objects with their editors and builds the main
    // window and the property list (after StartCommunication).
    void BuildWindows();

    const TINI& Ini() const { return ini_; }
    std::vector<uint16_t> Devices() const { return DeviceNumbersFromSettings(ini_); }
    TTarn_Monitor& Monitor() { return *monitor_; }
    TTarn_MonitorForm* MonitorForm() { return monitorForm_.get(); }
    TEditorComm& EditorComm() { return *editorComm_; }
    TMonitorRequests& Requests() { return *requests_; }
    TfrmObjectList& MainWindow() { return *mainWindow_; }
    TfrmPropertyList& PropertyList() { return *propertyList_; }

  private:
    TINI ini_;
    TarncomSettings settings_;
    // Declared in the order they depend on each other; destroyed backwards.
    std::unique_ptr<TTarn_MonitorForm> monitorForm_;
    std::unique_ptr<TTarn_Monitor> monitor_;
    std::unique_ptr<TMonitorEditorComm> editorComm_;
    std::unique_ptr<TMonitorRequests> requests_;
    std::unique_ptr<TfrmObjectList> mainWindow_;
    TfrmPropertyList* propertyList_ = nullptr;  // a child of the main window
};

}  // namespace objscope
