// Upload Objs to File: every object of a device with its properties as
// object lines, then the data blocks of its BLOB and linked-list objects, as
// an object set file. One operation from the first listing to the last data
// block; the file is written through a temporary file renamed at the end, so
// a cancelled or failed upload leaves nothing under the chosen name.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "devicewin/object_set_view.h"
#include "model/object_root.h"
#include "objectset/file_replacing.h"
#include "settings/vek_list.h"
#include "windows/device_requests.h"

namespace objscope {

struct UploadOutcome {
    bool written = false;     // the file is in place
    bool cancelled = false;   // by the user, or no file was chosen
    bool incomplete = false;  // an object's properties or data did not come
    size_t objects = 0;       // object lines written
    size_t blobObjects = 0;   // objects whose data was read
};

class TObjectSetUpload {
  public:
    TObjectSetUpload(TDeviceRequests& requests, TObjectSetView& view, Liveness alive)
        : requests_(requests), view_(view), alive_(std::move(alive)) {}

    // Reads the device's object set into `text`. `listed` receives the
    // device's objects as listed (the main window shows them afterwards).
    // False when there was nothing to read or the user cancelled.
    bool Read(uint16_t device, std::string& text, TVEKList<TVEKroot>& listed);

    // The whole flow: lists the device, asks `choosePath` for the file (after
    // the listing, as the save dialog does; nothing ends the upload), reads
    // and writes. With `keepIncomplete` off an incomplete upload writes no
    // file (the console form).
    UploadOutcome Run(uint16_t device,
                      const std::function<std::optional<std::string>()>& choosePath,
                      TVEKList<TVEKroot>& listed, bool keepIncomplete = true);

    const UploadOutcome& Outcome() const { return outcome_; }

  private:
    bool ListObjects(uint16_t device, TVEKList<TVEKroot>& listed);
    void ReadObjects(uint16_t device, const TVEKList<TVEKroot>& listed, std::string& text);
    uint16_t MaxBlobEntries(uint16_t device, uint16_t objectId);
    void ListBlobObjects(uint16_t device, TVEKList<TVEKroot>& list);
    void ReadBlobData(uint16_t device, const TVEKList<TVEKroot>& list, std::string& text);
    bool Stopped();

    TDeviceRequests& requests_;
    TObjectSetView& view_;
    Liveness alive_;
    TVEKList<TVEKroot> blobObjects_;  // the BLOB objects of the first listing
    std::function<std::optional<std::string>()> choosePath_;
    std::optional<std::string> path_;
    UploadOutcome outcome_;
};

}  // namespace objscope
