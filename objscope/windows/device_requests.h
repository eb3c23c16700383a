// The operations of the communication layer that the windows use, by their
// names. The program connects them to the layer (TTarn_Monitor); the
// windows never talk to objlink themselves.
//
// A completion is called on the GUI thread after the listing ended (also
// when it failed: the list is then empty or short). A window hands a
// completion only while it exists and holds the list it passed until the
// completion ran or the window is gone (see `Liveness`).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/object_root.h"
#include "values/property_link.h"
#include "settings/settings_device_mapping.h"
#include "protocol/tarn_header.h"
#include "protocol/tarn_methods.h"
#include "settings/vek_list.h"

namespace objscope {

using Completion = std::function<void()>;
// False once the window that asked has gone: its completion is not called
// and its list is not touched.
using Liveness = std::function<bool()>;

class TDeviceRequests {
  public:
    // What the operations a connection does not carry answer (no objlink
    // registration).
    static constexpr int32_t kNoLayer = -15;

    virtual ~TDeviceRequests() = default;

    // --- listings (asynchronous, paged) ---------------------------------
    // classFilter 0 lists every object.
    virtual int32_t GetAllObjects(TarnAddress device, TVEKList<TVEKroot>& list,
                                  uint16_t classFilter, Completion done, Liveness alive) = 0;
    virtual int32_t GetAllObjectsPlus(TarnAddress device, TVEKList<TVEKroot>& list, Completion done,
                                      Liveness alive) = 0;
    virtual int32_t GetAllClasses(TarnAddress device, TVEKList<TVEKroot>& list, Completion done,
                                  Liveness alive) = 0;
    // Without a completion the call waits (keeping the GUI live) until the
    // listing ended and returns the send result or the failure status.
    virtual int32_t GetAllProperties(TarnAddress object, TVEKList<TVEKPropertyBase>& list,
                                     Completion done, Liveness alive) = 0;

    // --- single properties ------------------------------------------------
    virtual void SetProperty(const TTarn_Property_Link& link) = 0;
    virtual int32_t SetPropertyWait(const TTarn_Property_Link& link) = 0;
    virtual int32_t GetPropertyNow(const TTarn_Property_Link& link, uint32_t addressOverride) = 0;

    // --- device commands (synchronous, status values) ---------------------
    virtual int32_t DeleteObject(TVEKroot& object) = 0;
    virtual int32_t SetDefaultData(uint16_t net, uint16_t dev) = 0;
    virtual int32_t SoftResetFrame(uint16_t net, uint16_t dev) = 0;
    virtual int32_t ActivateMethod(TarnAddress object, uint16_t messageId,
                                   const std::vector<uint8_t>& payload, std::vector<uint8_t>& reply,
                                   bool replyWanted) = 0;
    virtual int32_t DeleteAllObjects(uint16_t net, uint16_t dev) {
        (void)net, (void)dev;
        return kNoLayer;
    }

    // --- the Test Manager's methods (synchronous) ------------------------------
    // The paged readers return the last page's status: 0x8000 (more follows)
    // when their page cap cut the list.
    virtual int32_t StopTest(TarnAddress address, uint16_t sequence) {
        (void)address, (void)sequence;
        return kNoLayer;
    }
    virtual int32_t StartSequence(TarnAddress address, uint16_t modeWord, uint16_t sequence,
                                  uint16_t& result) {
        (void)address, (void)modeWord, (void)sequence, (void)result;
        return kNoLayer;
    }
    virtual int32_t RunCircuitTest(TarnAddress address, uint16_t modeFlags, uint16_t sequence,
                                   uint16_t settingCode, uint16_t point, uint16_t& result) {
        (void)address, (void)modeFlags, (void)sequence, (void)settingCode, (void)point,
            (void)result;
        return kNoLayer;
    }
    virtual int32_t GetTestList(TarnAddress address, uint16_t selector, TTestRecords& records) {
        (void)address, (void)selector, (void)records;
        return kNoLayer;
    }
    virtual int32_t GetTestResults(TarnAddress address, uint16_t selector1, uint16_t selector2,
                                   uint16_t selector3, TTestRecords& records) {
        (void)address, (void)selector1, (void)selector2, (void)selector3, (void)records;
        return kNoLayer;
    }
    virtual int32_t FlushResults(TarnAddress address, uint16_t value1, uint16_t value2) {
        (void)address, (void)value1, (void)value2;
        return kNoLayer;
    }

    // --- device mappings and settings --------------------------------------
    virtual std::vector<DeviceMapping> CopyDeviceMappings() const = 0;
    virtual void SetDeviceAddress(uint16_t device, const DeviceAddress& address) = 0;
    virtual int RequestTimeout() const = 0;
    virtual void SetRequestTimeout(int milliseconds) = 0;
    // The object list window's raw-Boolean mode (read when properties are
    // created).
    virtual void SetRawBooleanMode(bool on) = 0;
};

}  // namespace objscope
