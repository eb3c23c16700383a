// TTarnFormBinding: what the editor form base does apart from drawing: it
// knows the edited object and its owned objects, the bound communication
// objects in creation order, the link list of DoCollect, the permission,
// the connection state and the modified flag; it runs the connection check
// and the broadcasts of show, OK, Cancel and close. The Qt form
// (TTarnFormBase) adds the buttons, the connection light and the messages.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "binding/gui_com.h"
#include "model/object_root.h"

namespace objscope {

class TTarnFormBinding {
  public:
    // `object` may be null (a window that edits no object).
    TTarnFormBinding(TVEKroot* object, TEditorComm* comm);
    TTarnFormBinding(const TTarnFormBinding&) = delete;
    TTarnFormBinding& operator=(const TTarnFormBinding&) = delete;

    // Controls in creation order: the order of every broadcast.
    void AddControl(TTarnGuiComW& control) { controls_.push_back(&control); }
    // Sends the code to every bound control in creation order.
    void Broadcast(TBindingCode code);

    // Set by the opener.
    bool Control_Panel = true;
    uint8_t Pswd_Permission_Bit = 0;
    bool passThrough = false;
    bool readOnly = false;
    bool connect = false;

    TVEKroot* Object() const { return object_; }
    const ObjectList& Objects() const { return objects_; }
    // Collects the object list again, after the edited object replaced one
    // of its owned objects (the old one is gone).
    void RecollectObjects();
    std::vector<TTarn_Property_Link>& Links() { return links_; }
    bool PermissionGranted() const { return permissionGranted_; }
    uint16_t PermissionBits() const { return permissionBits_; }
    bool modified = false;
    TEditorComm* Comm() const { return comm_; }

    // Shows the warning texts of the connection check (the Qt form shows a
    // message box).
    std::function<void(const std::string&)> ShowWarning;
    // Shows the text of a device's refusal of a value (the Qt form shows it
    // in its status line); nothing by default.
    std::function<void(const std::string&)> ShowRefusal;
    // A set got no reply: the device has gone. The Qt form defers the drop
    // to its event loop and turns its light; without a handler the drop
    // happens at once.
    std::function<void()> OnConnectionLost;
    // Every control stops sending; their copies keep the values edited so
    // far, which OK still commits to the object.
    void DropConnection();
    // Lets pending replies run after a broadcast (the Qt form processes
    // events); nothing by default.
    std::function<void()> ProcessPending;

    // Form show: grants permission, attaches every control, checks the
    // connection when `connect` is set and connects or disconnects them.
    // Returns whether the window is connected.
    bool Show();
    // OK: commits unless read only. Cancel: restores when connected.
    void Ok();
    void Cancel();
    // Close: disconnects every control (cancelling registrations). Replies
    // still on their way die with the controls (their liveness tokens).
    void Close();
    // DoLoad and DoCollect.
    void DoLoad() { Broadcast(TBindingCode::kLoad); }
    void DoCollect();

  private:
    bool CheckConnection();
    void Pending() {
        if (ProcessPending)
            ProcessPending();
    }

    TVEKroot* object_;
    TEditorComm* comm_;
    ObjectList objects_;
    std::vector<TTarn_Property_Link> links_;
    std::vector<TTarnGuiComW*> controls_;
    bool permissionGranted_ = false;
    uint16_t permissionBits_ = 0;
    bool closed_ = false;
};

// The three warnings of the connection check.
extern const char* const kCannotConnectToDevice;
extern const char* const kCannotConnectToObject;
extern const char* const kWrongObjectType;

}  // namespace objscope
