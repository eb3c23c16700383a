// TTarnGuiComW: the GUI communication object every property-bound control
// owns. It keeps the control's own copy of the property, binds it to a
// property of the edited object, reads the value from the device, registers
// for changes when asked, sends the user's changes while the window is
// connected, and commits or restores on OK and Cancel. The editor form
// drives it with the binding notification codes 1 to 7.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "binding/editor_comm.h"
#include "values/property_link.h"
#include "values/property_multi_value.h"

namespace objscope {

class TTarnFormBinding;

// The binding notification codes.
enum class TBindingCode : int {
    kAttach = 1,
    kConnect = 2,
    kCommit = 3,
    kDisconnect = 4,
    kLoad = 5,
    kCollect = 6,
    kRestore = 7,
};

// What the owner control tells its communication object about itself.
struct TOwnerControl {
    std::function<bool()> visible = [] { return true; };
    std::function<bool()> designing = [] { return false; };
};

class TTarnGuiComW {
  public:
    TTarnGuiComW();
    TTarnGuiComW(const TTarnGuiComW&) = delete;
    TTarnGuiComW& operator=(const TTarnGuiComW&) = delete;

    // Published settings.
    uint16_t& Dest_Net() { return link_.Dest_Net; }
    uint16_t& Dest_Dev() { return link_.Dest_Dev; }
    uint16_t& Dest_Obj() { return link_.Dest_Obj; }
    uint16_t PropID() const { return copy_->PropertyID(); }
    void SetPropID(uint16_t id) { copy_->SetPropertyID(id); }
    uint8_t PropType() const { return copy_->VEKtype(); }
    // 1..13 and 131..167 make the copy a number of that type, 14 and 67 a
    // text, 68..71 and 75..80 a handle; other codes leave the copy.
    void SetPropType(uint8_t code);
    bool DoRegistration = false;
    bool Connect = true;
    bool Pswd_Parent_Permission = true;
    uint8_t Pswd_Permission_Bit = 0;

    // The copy as a number (nothing when it is not one).
    TU32MultiValue* MultiProperty() const { return dynamic_cast<TU32MultiValue*>(copy_.get()); }
    TVEKPropertyBase& Copy() const { return *copy_; }
    TVEKPropertyBase* BoundProperty() const { return bound_; }
    const TTarn_Property_Link& Link() const { return link_; }
    bool Connected() const { return connected_; }
    bool Permitted() const { return permitted_; }
    uint16_t RegistrationNumber() const { return registration_; }

    // Handlers of the owner control.
    std::function<void()> OnValueArrived;
    std::function<void()> OnTypeChanged;
    TOwnerControl owner;

    // A user's change of a numeric copy: stored (clamped by the type) and,
    // when it changed the value and the window is connected, sent.
    void SetValue(double value);
    // Binds to the link's property: a fresh copy of its class holding its value.
    void BindTo(const TTarn_Property_Link& link);
    void Assign(const TTarnGuiComW& source);

    // The form's binding notification.
    void Notify(TBindingCode code, TTarnFormBinding& form);

  private:
    void Attach(TTarnFormBinding& form);
    void ConnectOrDisconnect(bool connecting, TTarnFormBinding& form);
    void Commit(TTarnFormBinding& form);
    void Load(TTarnFormBinding& form);
    void Collect(TTarnFormBinding& form);
    void Restore(TTarnFormBinding& form);
    void GetReplyArrived();
    void SetReplyArrived(int32_t status);
    void ReplaceCopy(std::unique_ptr<TVEKPropertyBase> copy);
    bool MaySend() const;
    void Send();
    TEditorCallback Callback(std::function<void()> code);

    std::unique_ptr<TVEKPropertyBase> copy_;
    TTarn_Property_Link link_;
    TVEKPropertyBase* bound_ = nullptr;
    TTarnFormBinding* form_ = nullptr;
    uint16_t registration_ = 0;
    bool connected_ = false;
    bool permitted_ = false;
    // Liveness token of this object: callbacks of the layer hold it weakly.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// Whether two properties hold different values (numbers by value, texts by
// text, handles by value).
bool ValuesDiffer(const TVEKPropertyBase& a, const TVEKPropertyBase& b);

}  // namespace objscope
