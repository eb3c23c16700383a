// Device-wide modes the object set flows switch on for their run and off on
// every way out.
#pragma once

#include "windows/device_requests.h"

namespace objscope {

// The raw-Boolean mode (Boolean properties read and written as their byte).
class TRawBooleanScope {
  public:
    explicit TRawBooleanScope(TDeviceRequests& requests) : requests_(requests) {
        requests_.SetRawBooleanMode(true);
    }
    ~TRawBooleanScope() { requests_.SetRawBooleanMode(false); }
    TRawBooleanScope(const TRawBooleanScope&) = delete;
    TRawBooleanScope& operator=(const TRawBooleanScope&) = delete;

  private:
    TDeviceRequests& requests_;
};

// Property 2062 of object 0 set to 1 while a download writes the device,
// back to 0 afterwards.
class TDownloadFlagScope {
  public:
    TDownloadFlagScope(TDeviceRequests& requests, uint16_t device);
    ~TDownloadFlagScope();
    TDownloadFlagScope(const TDownloadFlagScope&) = delete;
    TDownloadFlagScope& operator=(const TDownloadFlagScope&) = delete;

  private:
    void Set(uint8_t value);
    TDeviceRequests& requests_;
    uint16_t device_;
};

}  // namespace objscope
