#include "windows/monitor_requests.h"

#include "comm/raw_boolean_mode.h"

namespace objscope {
namespace {

TNotifyEvent Callback(Completion done, Liveness alive) {
    if (!done)
        return {};
    return TNotifyEvent([done = std::move(done)](TTarn_Monitor&) { done(); }, std::move(alive));
}

}  // namespace

int32_t TMonitorRequests::GetAllObjects(TarnAddress device, TVEKList<TVEKroot>& list,
                                        uint16_t classFilter, Completion done, Liveness alive) {
    std::optional<uint16_t> filter;
    if (classFilter != 0)
        filter = classFilter;
    return monitor_.GetAllObjects(device, list, filter,
                                  Callback(std::move(done), std::move(alive)));
}

int32_t TMonitorRequests::GetAllObjectsPlus(TarnAddress device, TVEKList<TVEKroot>& list,
                                            Completion done, Liveness alive) {
    return monitor_.GetAllObjectsPlus(device, list, Callback(std::move(done), std::move(alive)));
}

int32_t TMonitorRequests::GetAllClasses(TarnAddress device, TVEKList<TVEKroot>& list,
                                        Completion done, Liveness alive) {
    return monitor_.GetAllClasses(device, list, Callback(std::move(done), std::move(alive)));
}

int32_t TMonitorRequests::GetAllProperties(TarnAddress object, TVEKList<TVEKPropertyBase>& list,
                                           Completion done, Liveness alive) {
    return monitor_.GetAllProperties(object, list, Callback(std::move(done), std::move(alive)));
}

void TMonitorRequests::SetProperty(const TTarn_Property_Link& link) {
    monitor_.SetProperty(link);
}

int32_t TMonitorRequests::SetPropertyWait(const TTarn_Property_Link& link) {
    return monitor_.SetPropertyWait(link);
}

int32_t TMonitorRequests::GetPropertyNow(const TTarn_Property_Link& link,
                                         uint32_t addressOverride) {
    return monitor_.GetPropertyNow(link, addressOverride);
}

int32_t TMonitorRequests::DeleteObject(TVEKroot& object) {
    return monitor_.DeleteObject(object);
}

int32_t TMonitorRequests::SetDefaultData(uint16_t net, uint16_t dev) {
    return monitor_.SetDefaultData(net, dev);
}

int32_t TMonitorRequests::SoftResetFrame(uint16_t net, uint16_t dev) {
    return monitor_.SoftResetFrame(net, dev);
}

int32_t TMonitorRequests::ActivateMethod(TarnAddress object, uint16_t messageId,
                                         const std::vector<uint8_t>& payload,
                                         std::vector<uint8_t>& reply, bool replyWanted) {
    return monitor_.ActivateMethod(object, messageId, payload, reply, replyWanted);
}

int32_t TMonitorRequests::DeleteAllObjects(uint16_t net, uint16_t dev) {
    return monitor_.DeleteAllObjects(net, dev);
}

int32_t TMonitorRequests::StopTest(TarnAddress address, uint16_t sequence) {
    return monitor_.StopTest(address, sequence);
}

int32_t TMonitorRequests::StartSequence(TarnAddress address, uint16_t modeWord, uint16_t sequence,
                                        uint16_t& result) {
    return monitor_.StartSequence(address, modeWord, sequence, result);
}

int32_t TMonitorRequests::RunCircuitTest(TarnAddress address, uint16_t modeFlags,
                                         uint16_t sequence, uint16_t settingCode, uint16_t point,
                                         uint16_t& result) {
    return monitor_.RunCircuitTest(address, modeFlags, sequence, settingCode, point, result);
}

int32_t TMonitorRequests::GetTestList(TarnAddress address, uint16_t selector,
                                      TTestRecords& records) {
    return monitor_.GetTestList(address, selector, records);
}

int32_t TMonitorRequests::GetTestResults(TarnAddress address, uint16_t selector1,
                                         uint16_t selector2, uint16_t selector3,
                                         TTestRecords& records) {
    return monitor_.GetTestResults(address, selector1, selector2, selector3, records);
}

int32_t TMonitorRequests::FlushResults(TarnAddress address, uint16_t value1, uint16_t value2) {
    return monitor_.FlushResults(address, value1, value2);
}

std::vector<DeviceMapping> TMonitorRequests::CopyDeviceMappings() const {
    std::vector<DeviceMapping> list;
    monitor_.CopyDeviceMappings(list);
    return list;
}

void TMonitorRequests::SetDeviceAddress(uint16_t device, const DeviceAddress& address) {
    monitor_.SetDeviceAddress(device, address.address);
}

void TMonitorRequests::SetRawBooleanMode(bool on) {
    objscope::SetRawBooleanMode(on);
}

}  // namespace objscope
