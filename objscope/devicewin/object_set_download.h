// Download Objs from File: an object set file written into a device. The
// whole file is read and encoded before anything is sent, so a malformed
// file changes nothing on the device; the raw-Boolean mode and the device's
// download flag (property 2062 of object 0) are restored on every way out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devicewin/object_set_view.h"
#include "objectset/object_set_file.h"
#include "windows/device_requests.h"

namespace objscope {

struct DownloadOutcome {
    bool started = false;   // something was sent to the device
    bool finished = false;  // every line was gone through
    bool failed = false;    // the file could not be read, or the device refused something
    size_t objectsSent = 0;
    size_t blobLinesSent = 0;
};

// "Delete Existing Objs in Frame first?": asked (nothing), or answered
// beforehand (the console form).
using DeleteChoice = std::optional<SetAnswer>;

class TObjectSetDownload {
  public:
    TObjectSetDownload(TDeviceRequests& requests, TObjectSetView& view)
        : requests_(requests), view_(view) {}

    DownloadOutcome Run(uint16_t device, const std::string& path, DeleteChoice deleteFirst = {});

  private:
    void SendObjects(uint16_t device, const ObjectSetFile& file);
    void SendBlobLines(uint16_t device, const ObjectSetFile& file);
    int32_t SendTwice(const TarnAddress& address, uint16_t method,
                      const std::vector<uint8_t>& payload);
    bool Continue(const std::string& problem, const char* where, uint16_t objectId);

    TDeviceRequests& requests_;
    TObjectSetView& view_;
    DownloadOutcome outcome_;
    bool stopped_ = false;
};

bool ReadTextFile(const std::string& path, std::string& text);

// Reads and encodes an object set file; false (after telling the user) when
// it cannot be read, is malformed or holds no object line.
bool ReadObjectSetFile(TObjectSetView& view, const std::string& path, ObjectSetFile& file);

}  // namespace objscope
