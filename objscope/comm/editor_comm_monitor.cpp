#include "comm/editor_comm_monitor.h"

namespace objscope {

namespace {

// The layer's callback for an editor's: it counts as absent (and the layer
// leaves the control's copy alone) once the control has gone.
TNotifyEvent ToNotifyEvent(TEditorCallback callback) {
    auto alive = callback.alive;
    return TNotifyEvent([callback](TTarn_Monitor&) { callback(); },
                        [alive] { return !alive.expired(); });
}

}  // namespace

int32_t TMonitorEditorComm::SetProperty(const TTarn_Property_Link& link) {
    return monitor_.SetProperty(link);
}

int32_t TMonitorEditorComm::SetPropertyChecked(const TTarn_Property_Link& link,
                                               TEditorStatusCallback done) {
    auto alive = done.alive;
    return monitor_.SetPropertyChecked(
        link, TNotifyEvent([done](TTarn_Monitor& sender) { done(sender.ReplyStatus()); },
                           [alive] { return !alive.expired(); }));
}

int32_t TMonitorEditorComm::GetProperty(const TTarn_Property_Link& link, TEditorCallback done) {
    return monitor_.GetProperty(link, ToNotifyEvent(std::move(done)));
}

int32_t TMonitorEditorComm::RegisterProperty(const TTarn_Property_Link& link,
                                             TEditorCallback changed) {
    return monitor_.RegisterProperty(link, ToNotifyEvent(std::move(changed)));
}

void TMonitorEditorComm::TarnDeReg(uint16_t registrationNumber) {
    monitor_.TarnDeReg(registrationNumber);
}

int32_t TMonitorEditorComm::GetPropertyNow(const TTarn_Property_Link& link) {
    return monitor_.GetPropertyNow(link);
}

int32_t TMonitorEditorComm::ActivateMethod(const TarnAddress& object, uint16_t methodId,
                                           std::span<const uint8_t> payload,
                                           std::vector<uint8_t>& reply, bool replyWanted) {
    return monitor_.ActivateMethod(object, methodId, payload, reply, replyWanted);
}

int32_t TMonitorEditorComm::DownloadObject(TVEKroot& object, bool onlyModified) {
    return monitor_.DownloadObject(object, onlyModified);
}

}  // namespace objscope
