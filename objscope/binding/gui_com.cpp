#include "binding/gui_com.h"

#include "binding/editor_form_binding.h"
#include "protocol/tarn_status.h"
#include "values/property_handle_value.h"
#include "values/property_string_value.h"

namespace objscope {

namespace {

bool IsNumberCode(uint8_t code) {
    return (code >= 1 && code <= 13) || (code >= 131 && code <= 167);
}
bool IsTextCode(uint8_t code) {
    return code == 14 || code == 67;
}
bool IsHandleCode(uint8_t code) {
    return (code >= 68 && code <= 71) || (code >= 75 && code <= 80);
}

}  // namespace

bool ValuesDiffer(const TVEKPropertyBase& a, const TVEKPropertyBase& b) {
    return !a.SameValue(b);
}

TTarnGuiComW::TTarnGuiComW() : copy_(std::make_unique<TU32MultiValue>()) {
    link_.SetProperty(copy_.get());
}

void TTarnGuiComW::ReplaceCopy(std::unique_ptr<TVEKPropertyBase> copy) {
    copy_ = std::move(copy);
    link_.SetProperty(copy_.get());
}

void TTarnGuiComW::SetPropType(uint8_t code) {
    const uint16_t id = copy_->PropertyID();
    if (IsNumberCode(code)) {
        if (!MultiProperty() || typeid(*copy_) != typeid(TU32MultiValue))
            ReplaceCopy(std::make_unique<TU32MultiValue>());
        MultiProperty()->SetVEKType(code);
    } else if (IsTextCode(code)) {
        if (!dynamic_cast<TU32StringValue*>(copy_.get()))
            ReplaceCopy(std::make_unique<TU32StringValue>());
    } else if (IsHandleCode(code)) {
        if (!dynamic_cast<TU32UWord_int*>(copy_.get()))
            ReplaceCopy(std::make_unique<TU32UWord_int>());
    } else {
        return;
    }
    copy_->SetPropertyID(id);
    if (owner.designing() && OnTypeChanged)
        OnTypeChanged();
}

bool TTarnGuiComW::MaySend() const {
    return connected_ && Connect && owner.visible() && !owner.designing() && form_ && form_->Comm();
}

void TTarnGuiComW::Send() {
    form_->Comm()->SetPropertyChecked(
        link_, TEditorStatusCallback{[this](int32_t status) { SetReplyArrived(status); }, alive_});
    copy_->SetModified(false);
}

// A device that refused the value keeps its own: the refusal is shown and the
// device's value read back, so the control returns to what the device holds.
// A set that got no reply means the device has gone: the form drops the
// connection.
void TTarnGuiComW::SetReplyArrived(int32_t status) {
    if (status == 0 || !form_)
        return;
    if (status < 0) {
        if (form_->OnConnectionLost)
            form_->OnConnectionLost();
        else
            form_->DropConnection();
        return;
    }
    if (form_->ShowRefusal)
        form_->ShowRefusal(StatusText(status));
    if (TEditorComm* comm = form_->Comm(); comm && connected_)
        comm->GetProperty(link_, Callback([this] { GetReplyArrived(); }));
}

void TTarnGuiComW::SetValue(double value) {
    TU32MultiValue* number = MultiProperty();
    if (!number)
        return;
    number->SetModified(false);
    number->SetData(value);
    if (number->Modified() && MaySend())
        Send();
}

void TTarnGuiComW::BindTo(const TTarn_Property_Link& link) {
    if (!link.Property())
        return;
    link_.Dest_Net = link.Dest_Net;
    link_.Dest_Dev = link.Dest_Dev;
    link_.Dest_Obj = link.Dest_Obj;
    bound_ = link.Property();
    auto copy = bound_->CreateSame();
    copy->Assign(*bound_);
    copy->SetModified(false);
    ReplaceCopy(std::move(copy));
    if (OnTypeChanged)
        OnTypeChanged();
}

void TTarnGuiComW::Assign(const TTarnGuiComW& source) {
    registration_ = source.registration_;
    connected_ = source.connected_;
    Pswd_Parent_Permission = source.Pswd_Parent_Permission;
    Pswd_Permission_Bit = source.Pswd_Permission_Bit;
    bound_ = source.bound_;
    link_.Assign(source.link_);
    permitted_ = source.permitted_;
}

TEditorCallback TTarnGuiComW::Callback(std::function<void()> code) {
    return {std::move(code), alive_};
}

void TTarnGuiComW::Notify(TBindingCode code, TTarnFormBinding& form) {
    switch (code) {
        case TBindingCode::kAttach:
            return Attach(form);
        case TBindingCode::kConnect:
            return ConnectOrDisconnect(true, form);
        case TBindingCode::kDisconnect:
            return ConnectOrDisconnect(false, form);
        case TBindingCode::kCommit:
            return Commit(form);
        case TBindingCode::kLoad:
            return Load(form);
        case TBindingCode::kCollect:
            return Collect(form);
        case TBindingCode::kRestore:
            return Restore(form);
    }
}

void TTarnGuiComW::Attach(TTarnFormBinding& form) {
    form_ = &form;
    if (Pswd_Parent_Permission)
        permitted_ = form.PermissionGranted();
    else
        permitted_ = Pswd_Permission_Bit == 0 ||
                     ((form.PermissionBits() >> (Pswd_Permission_Bit - 1)) & 1) != 0;
    if (!form.Control_Panel || !form.Object())
        return;
    const ObjectList& objects = form.Objects();
    if (link_.Dest_Dev != 0 || link_.Dest_Obj >= objects.size()) {
        // An explicit address: keep it.
        if (bound_)
            copy_->Assign(*bound_);
    } else {
        TVEKroot* target = objects[link_.Dest_Obj];
        if (TVEKPropertyBase* property = target->FindProperty(PropID()))
            BindTo(TTarn_Property_Link(target->NetHandle(), target->DevHandle(),
                                       target->ObjHandle(), property));
    }
    if (OnValueArrived)
        OnValueArrived();
}

void TTarnGuiComW::ConnectOrDisconnect(bool connecting, TTarnFormBinding& form) {
    form_ = &form;
    TEditorComm* comm = form.Comm();
    const bool active = owner.visible() && Connect && !owner.designing();
    if (permitted_ && connected_ && registration_ != 0) {
        if (!connecting && DoRegistration && active && comm)
            comm->TarnDeReg(registration_);
        registration_ = 0;
    }
    // Replies still on their way to a disconnected control find it gone: a
    // closed window waiting to be deleted no longer touches the objects,
    // which may be freed before it.
    if (!connecting && connected_)
        alive_ = std::make_shared<int>(0);
    connected_ = connecting;
    if (!(permitted_ && connecting && active && comm && bound_))
        return;
    comm->GetProperty(link_, Callback([this] { GetReplyArrived(); }));
    if (DoRegistration) {
        const int32_t number = comm->RegisterProperty(link_, Callback([this] {
                                                          if (OnValueArrived)
                                                              OnValueArrived();
                                                      }));
        if (number > 0)
            registration_ = static_cast<uint16_t>(number);
    }
}

void TTarnGuiComW::GetReplyArrived() {
    if (bound_ && ValuesDiffer(*copy_, *bound_)) {
        if (form_)
            form_->modified = true;
        bound_->Assign(*copy_);
    }
    if (OnValueArrived)
        OnValueArrived();
}

void TTarnGuiComW::Commit(TTarnFormBinding& form) {
    form_ = &form;
    if (bound_ && ValuesDiffer(*copy_, *bound_)) {
        form.modified = true;
        bound_->Assign(*copy_);
    }
}

void TTarnGuiComW::Load(TTarnFormBinding& form) {
    form_ = &form;
    for (const TTarn_Property_Link& link : form.Links()) {
        if (link.Dest_Net != link_.Dest_Net || link.Dest_Dev != link_.Dest_Dev ||
            link.Dest_Obj != link_.Dest_Obj || !link.Property() ||
            link.Property()->PropertyID() != copy_->PropertyID())
            continue;
        copy_->Assign(*link.Property());
        if (OnValueArrived)
            OnValueArrived();
        if (MaySend())
            Send();
        return;
    }
}

void TTarnGuiComW::Collect(TTarnFormBinding& form) {
    form_ = &form;
    if (!bound_ || !Connect)
        return;
    for (const TTarn_Property_Link& link : form.Links())
        if (link.Dest_Net == link_.Dest_Net && link.Dest_Dev == link_.Dest_Dev &&
            link.Dest_Obj == link_.Dest_Obj && link.Property() &&
            link.Property()->PropertyID() == copy_->PropertyID())
            return;
    form.Links().push_back(link_);
}

void TTarnGuiComW::Restore(TTarnFormBinding& form) {
    form_ = &form;
    if (!bound_)
        return;
    const bool differ = ValuesDiffer(*bound_, *copy_);
    copy_->SetModified(false);
    if (!differ)
        return;
    copy_->Assign(*bound_);
    // Send the object's value back so the device returns to where it was.
    if (MaySend() && !copy_->ReadOnly())
        Send();
}

}  // namespace objscope
