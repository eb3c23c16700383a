#include "binding/editor_form_binding.h"

namespace objscope {

const char* const kCannotConnectToDevice =
    "CANNOT CONNECT TO FRAME/DEVICE\r\rConnection Status will be set to OFF for this editing "
    "session.";
const char* const kCannotConnectToObject =
    "CANNOT CONNECT TO OBJECT (device OK)\r\rNeed to download current configuration to the "
    "Frame\r\rConnection Status will be set to OFF for this editing session.";
const char* const kWrongObjectType =
    "CANNOT CONNECT TO OBJECT -- WRONG TYPE\r\rNeed to download current configuration to the "
    "Frame.\r\rConnection Status will be set to OFF for this editing session.";

TTarnFormBinding::TTarnFormBinding(TVEKroot* object, TEditorComm* comm)
    : object_(object), comm_(comm) {
    if (object_)
        object_->CollectObjects(objects_);
}

void TTarnFormBinding::RecollectObjects() {
    objects_.clear();
    if (object_)
        object_->CollectObjects(objects_);
}

void TTarnFormBinding::Broadcast(TBindingCode code) {
    for (TTarnGuiComW* control : controls_)
        control->Notify(code, *this);
}

bool TTarnFormBinding::CheckConnection() {
    if (!comm_ || !object_)
        return false;
    TU32aesClass_ID classId;
    classId.SetPropertyID(0);
    const TTarn_Property_Link link(object_->NetHandle(), object_->DevHandle(), object_->ObjHandle(),
                                   &classId);
    int32_t status = comm_->GetPropertyNow(link);
    if (status == -2)
        status = comm_->GetPropertyNow(link);  // one more try after a time-out
    const char* warning = nullptr;
    if (status < 0)
        warning = kCannotConnectToDevice;
    else if (status > 0)
        warning = kCannotConnectToObject;
    else if (classId.Data() != object_->ClassID())
        warning = kWrongObjectType;
    if (!warning)
        return true;
    if (ShowWarning)
        ShowWarning(warning);
    return false;
}

bool TTarnFormBinding::Show() {
    permissionGranted_ = true;
    permissionBits_ = 0xFFFF;
    if (!Control_Panel) {
        object_ = nullptr;
        objects_.clear();
    }
    Broadcast(TBindingCode::kAttach);
    Pending();
    if (connect && !CheckConnection())
        connect = false;
    Broadcast(connect ? TBindingCode::kConnect : TBindingCode::kDisconnect);
    Pending();
    return connect;
}

void TTarnFormBinding::Ok() {
    if (readOnly)
        return;
    modified = false;
    Broadcast(TBindingCode::kCommit);
    Pending();
}

void TTarnFormBinding::Cancel() {
    if (!connect || readOnly)
        return;
    Broadcast(TBindingCode::kRestore);
    Pending();
}

void TTarnFormBinding::Close() {
    if (closed_)
        return;
    closed_ = true;
    Broadcast(TBindingCode::kDisconnect);
}

void TTarnFormBinding::DropConnection() {
    if (!connect || closed_)
        return;
    connect = false;
    Broadcast(TBindingCode::kDisconnect);
}

void TTarnFormBinding::DoCollect() {
    links_.clear();
    Broadcast(TBindingCode::kCollect);
}

}  // namespace objscope
