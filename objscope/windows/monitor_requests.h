// The windows' requests carried out by the communication layer.
#pragma once

#include "comm/tarn_monitor.h"
#include "windows/device_requests.h"

namespace objscope {

class TMonitorRequests : public TDeviceRequests {
  public:
    explicit TMonitorRequests(TTarn_Monitor& monitor) : monitor_(monitor) {}

    int32_t GetAllObjects(TarnAddress device, TVEKList<TVEKroot>& list, uint16_t classFilter,
                          Completion done, Liveness alive) override;
    int32_t GetAllObjectsPlus(TarnAddress device, TVEKList<TVEKroot>& list, Completion done,
                              Liveness alive) override;
    int32_t GetAllClasses(TarnAddress device, TVEKList<TVEKroot>& list, Completion done,
                          Liveness alive) override;
    int32_t GetAllProperties(TarnAddress object, TVEKList<TVEKPropertyBase>& list, Completion done,
                             Liveness alive) override;
    void SetProperty(const TTarn_Property_Link& link) override;
    int32_t SetPropertyWait(const TTarn_Property_Link& link) override;
    int32_t GetPropertyNow(const TTarn_Property_Link& link, uint32_t addressOverride) override;
    int32_t DeleteObject(TVEKroot& object) override;
    int32_t SetDefaultData(uint16_t net, uint16_t dev) override;
    int32_t SoftResetFrame(uint16_t net, uint16_t dev) override;
    int32_t ActivateMethod(TarnAddress object, uint16_t messageId,
                           const std::vector<uint8_t>& payload, std::vector<uint8_t>& reply,
                           bool replyWanted) override;
    int32_t DeleteAllObjects(uint16_t net, uint16_t dev) override;
    int32_t StopTest(TarnAddress address, uint16_t sequence) override;
    int32_t StartSequence(TarnAddress address, uint16_t modeWord, uint16_t sequence,
                          uint16_t& result) override;
    int32_t RunCircuitTest(TarnAddress address, uint16_t modeFlags, uint16_t sequence,
                           uint16_t settingCode, uint16_t point, uint16_t& result) override;
    int32_t GetTestList(TarnAddress address, uint16_t selector, TTestRecords& records) override;
    int32_t GetTestResults(TarnAddress address, uint16_t selector1, uint16_t selector2,
                           uint16_t selector3, TTestRecords& records) override;
    int32_t FlushResults(TarnAddress address, uint16_t value1, uint16_t value2) override;
    std::vector<DeviceMapping> CopyDeviceMappings() const override;
    void SetDeviceAddress(uint16_t device, const DeviceAddress& address) override;
    int RequestTimeout() const override { return monitor_.RequestTimeOut(); }
    void SetRequestTimeout(int milliseconds) override { monitor_.SetRequestTimeOut(milliseconds); }
    void SetRawBooleanMode(bool on) override;

  private:
    TTarn_Monitor& monitor_;
};

}  // namespace objscope
