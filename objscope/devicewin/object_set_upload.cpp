#include "devicewin/object_set_upload.h"

#include <cstdio>

#include "devicewin/device_scopes.h"
#include "objectset/object_set_format.h"
#include "objectset/object_set_writer.h"
#include "protocol/more_follows_pager.h"
#include "protocol/tarn_device_properties.h"
#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_status.h"
#include "values/property_typed_values.h"

namespace objscope {
namespace {

constexpr int32_t kTimeOut = -2;
constexpr char kNothingListed[] = ">> No Objects Retrieve - Operation aborted";

std::string Counted(const char* label, size_t index, size_t count) {
    return label + std::to_string(index + 1) + " of  " + std::to_string(count);
}

bool Contains(const TVEKList<TVEKroot>& list, uint16_t objectId) {
    for (const auto& object : list) {
        if (object && object->ObjHandle() == objectId)
            return true;
    }
    return false;
}

// Drops the entries `keep` refuses (and empty ones).
template <typename Keep>
void KeepOnly(TVEKList<TVEKroot>& list, Keep keep) {
    for (size_t i = list.size(); i-- > 0;) {
        const TVEKroot* object = list.at(i);
        if (!object || !keep(*object))
            list.remove(i);
    }
}

}  // namespace

int StepPercent(size_t index, size_t count) {
    return count == 0 ? 0 : static_cast<int>((index * 100 + count / 2) / count);
}

bool TObjectSetUpload::Stopped() {
    if (!outcome_.cancelled && (view_.CancelRequested() || (alive_ && !alive_())))
        outcome_.cancelled = true;
    return outcome_.cancelled;
}

bool TObjectSetUpload::ListObjects(uint16_t device, TVEKList<TVEKroot>& listed) {
    outcome_ = {};
    blobObjects_.clear();
    requests_.GetAllObjects({0, device, 0}, blobObjects_, kObjectSetBlobClass, {}, alive_);
    // A device that ignores the filter lists everything: only BLOB objects
    // have an entry count to read.
    KeepOnly(blobObjects_,
             [](const TVEKroot& object) { return object.ClassID() == kObjectSetBlobClass; });
    listed.clear();
    requests_.GetAllObjects({0, device, 0}, listed, 0, {}, alive_);
    if (listed.empty()) {
        view_.ShowError(kNothingListed);
        return false;
    }
    return true;
}

bool TObjectSetUpload::Read(uint16_t device, std::string& text, TVEKList<TVEKroot>& listed) {
    if (!ListObjects(device, listed))
        return false;
    ReadObjects(device, listed, text);
    return !outcome_.cancelled;
}

UploadOutcome TObjectSetUpload::Run(uint16_t device,
                                    const std::function<std::optional<std::string>()>& choosePath,
                                    TVEKList<TVEKroot>& listed, bool keepIncomplete) {
    if (!ListObjects(device, listed))
        return outcome_;
    std::optional<std::string> path = choosePath();
    if (!path) {
        outcome_.cancelled = true;
        return outcome_;
    }
    std::string text;
    ReadObjects(device, listed, text);
    if (outcome_.cancelled || (outcome_.incomplete && !keepIncomplete))
        return outcome_;
    outcome_.written = WriteFileReplacing(*path, text);
    if (!outcome_.written)
        view_.ShowError("The file " + *path + " could not be written");
    return outcome_;
}

uint16_t TObjectSetUpload::MaxBlobEntries(uint16_t device, uint16_t objectId) {
    if (!Contains(blobObjects_, objectId))
        return 0;
    TU32UWord entries;
    entries.SetPropertyID(kObjectSetMaxBlobProperty);
    TTarn_Property_Link link(0, device, objectId, &entries);
    int32_t result = requests_.GetPropertyNow(link, 0);
    if (result == kTimeOut)
        result = requests_.GetPropertyNow(link, 0);
    return result == 0 ? entries.Value() : 0;
}

void TObjectSetUpload::ReadObjects(uint16_t device, const TVEKList<TVEKroot>& listed,
                                   std::string& text) {
    TRawBooleanScope raw(requests_);
    view_.ShowPanel("Uploading");
    size_t count = listed.size();
    for (size_t i = 0; i < count && !Stopped(); ++i) {
        const TVEKroot* object = listed.at(i);
        if (!object)
            continue;
        view_.ShowProgress(Counted("UpLoading Object ", i, count), StepPercent(i, count));
        TVEKList<TVEKPropertyBase> properties;
        int32_t result =
            requests_.GetAllProperties({0, device, object->ObjHandle()}, properties, {}, alive_);
        if (Stopped())
            break;
        if (result < 0) {
            view_.ShowError("Error Getting Properties for Object" + std::to_string(i + 1) + "\r" +
                            "Error: " + StatusText(result));
            outcome_.incomplete = true;
            break;
        }
        std::vector<const TVEKPropertyBase*> values;
        for (const auto& property : properties)
            values.push_back(property.get());
        text += ObjectLineFor(object->ClassID(), object->ObjHandle(),
                              MaxBlobEntries(device, object->ObjHandle()), values);
        text += kObjectSetLineEnd;
        ++outcome_.objects;
    }
    if (!Stopped()) {
        TVEKList<TVEKroot> blobPass;
        ListBlobObjects(device, blobPass);
        ReadBlobData(device, blobPass, text);
    }
    view_.HidePanel();
}

void TObjectSetUpload::ListBlobObjects(uint16_t device, TVEKList<TVEKroot>& list) {
    requests_.GetAllObjects({0, device, 0}, list, kObjectSetBlobClass, {}, alive_);
    const TVEKroot* first = list.empty() ? nullptr : list.at(0);
    if (!first || first->ObjHandle() != 0) {
        requests_.GetAllObjects({0, device, 0}, list, kObjectSetLinkedListClass, {}, alive_);
        return;
    }
    // The device ignored the filter and listed every object from 0 on.
    KeepOnly(list, [](const TVEKroot& object) { return IsBlobBearingClass(object.ClassID()); });
}

void TObjectSetUpload::ReadBlobData(uint16_t device, const TVEKList<TVEKroot>& list,
                                    std::string& text) {
    if (list.empty())
        return;
    text += kObjectSetMarkerLine;
    text += kObjectSetLineEnd;
    view_.ShowPanel("Getting BLOB data");
    size_t count = list.size();
    for (size_t i = 0; i < count && !Stopped(); ++i) {
        const TVEKroot* object = list.at(i);
        if (!object)
            continue;
        view_.ShowProgress(Counted("Getting BLOB data for Object ", i, count),
                           StepPercent(i, count));
        TarnAddress address{0, device, object->ObjHandle()};
        PagerOutcome read = ReadDataBlock(
            [&](std::span<const uint8_t> payload, std::vector<uint8_t>& reply) {
                return requests_.ActivateMethod(address, kMethodReadDataBlock,
                                                {payload.begin(), payload.end()}, reply, true);
            },
            [&](uint16_t offset, std::span<const uint8_t> bytes) {
                text += BlobLine(object->ObjHandle(), offset, bytes);
                text += kObjectSetLineEnd;
            });
        if (read.end == PagerEnd::Failed) {
            view_.ShowError("Error Getting BLOB data for Object" + std::to_string(i + 1) + "\r" +
                            "Error: " + StatusText(read.status));
            outcome_.incomplete = true;
        } else if (read.end != PagerEnd::Complete) {
            view_.ShowError("The BLOB data of object " + std::to_string(object->ObjHandle()) +
                            " did not come to an end; what came is kept");
            outcome_.incomplete = true;
        }
        ++outcome_.blobObjects;
    }
}

}  // namespace objscope
