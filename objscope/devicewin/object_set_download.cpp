#include "devicewin/object_set_download.h"

#include <fstream>
#include <sstream>

#include "devicewin/device_scopes.h"
#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_methods.h"
#include "protocol/tarn_status.h"
#include "values/property_typed_values.h"

namespace objscope {
namespace {

constexpr int32_t kTimeOut = -2;
constexpr int32_t kConfirmWarning = 0x4000;
constexpr uint16_t kConfirmObjectMethod = 1029;
constexpr uint16_t kDownloadFlagProperty = 2062;
constexpr char kEmptyFile[] = ">> File is empty - Aborting operation";
constexpr char kDeleteFirst[] = "Delete Existing Objs in Frame first?";

std::string Counted(const char* label, size_t index, size_t count) {
    return label + std::to_string(index + 1) + " of  " + std::to_string(count);
}

}  // namespace

bool ReadTextFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::stringstream content;
    content << file.rdbuf();
    text = content.str();
    return !file.bad();
}

TDownloadFlagScope::TDownloadFlagScope(TDeviceRequests& requests, uint16_t device)
    : requests_(requests), device_(device) {
    Set(1);
}

TDownloadFlagScope::~TDownloadFlagScope() {
    Set(0);
}

void TDownloadFlagScope::Set(uint8_t value) {
    TU32UByte flag;
    flag.SetPropertyID(kDownloadFlagProperty);
    flag.SetValue(value);
    TTarn_Property_Link link(0, device_, 0, &flag);
    requests_.SetPropertyWait(link);
}

bool ReadObjectSetFile(TObjectSetView& view, const std::string& path, ObjectSetFile& file) {
    std::string text;
    if (!ReadTextFile(path, text)) {
        view.ShowError("The file " + path + " could not be read");
        return false;
    }
    ObjectSetProblem problem;
    file = ReadObjectSet(text, problem);
    if (problem.line != 0) {
        view.ShowError(">> Error in line " + std::to_string(problem.line) +
                       " of the file: " + problem.message + "\r   Nothing was sent to the device");
        return false;
    }
    if (file.objectLineCount == 0) {
        view.ShowError(kEmptyFile);
        return false;
    }
    return true;
}

DownloadOutcome TObjectSetDownload::Run(uint16_t device, const std::string& path,
                                        DeleteChoice deleteFirst) {
    outcome_ = {};
    stopped_ = false;
    ObjectSetFile file;
    if (!ReadObjectSetFile(view_, path, file)) {
        outcome_.failed = true;
        return outcome_;
    }
    SetAnswer answer = deleteFirst ? *deleteFirst : view_.Ask(kDeleteFirst);
    if (answer == SetAnswer::Cancel)
        return outcome_;
    outcome_.started = true;
    if (answer == SetAnswer::Yes)
        requests_.DeleteAllObjects(0, device);
    {
        TRawBooleanScope raw(requests_);
        TDownloadFlagScope flag(requests_, device);
        view_.ShowPanel("Downloading");
        SendObjects(device, file);
        if (!stopped_ && file.hasMarker && file.BlobLineCount() > 0)
            SendBlobLines(device, file);
        view_.HidePanel();
    }
    outcome_.finished = !stopped_;
    return outcome_;
}

int32_t TObjectSetDownload::SendTwice(const TarnAddress& address, uint16_t method,
                                      const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> reply;
    int32_t result = requests_.ActivateMethod(address, method, payload, reply, true);
    if (result == kTimeOut)
        result = requests_.ActivateMethod(address, method, payload, reply, true);
    return result;
}

bool TObjectSetDownload::Continue(const std::string& problem, const char* where,
                                  uint16_t objectId) {
    outcome_.failed = true;
    SetAnswer answer = view_.Ask(">> Error encountered - " + problem + "\r" + where +
                                 std::to_string(objectId) + "\r\r       Continue with Download?");
    if (answer != SetAnswer::Yes)
        stopped_ = true;
    return !stopped_;
}

void TObjectSetDownload::SendObjects(uint16_t device, const ObjectSetFile& file) {
    constexpr char kWhere[] = "   while downloading object: ";
    size_t count = file.objectLineCount;
    for (const auto& record : file.objects) {
        if (view_.CancelRequested()) {
            stopped_ = true;
            return;
        }
        size_t index = record.line - 1;  // object lines come first
        view_.ShowProgress(Counted("DownLoading Object ", index, count), StepPercent(index, count));
        if (!record.refusal.empty()) {
            if (!Continue(record.refusal, kWhere, record.objectId))
                return;
            continue;
        }
        if (record.maxBlobEntries != 0)
            SendTwice({0, device, 0}, kMethodAddObject,
                      addObjectPayload(record.classId, record.objectId, record.ownerId,
                                       record.maxBlobEntries));
        int32_t result =
            SendTwice({0, device, 0}, kConfirmObjectMethod, ConfirmObjectPayload(record));
        if (result > 0)
            result &= ~kConfirmWarning;
        if (result != 0 && !Continue(StatusText(result), kWhere, record.objectId))
            return;
        if (result == 0)
            ++outcome_.objectsSent;
    }
}

void TObjectSetDownload::SendBlobLines(uint16_t device, const ObjectSetFile& file) {
    constexpr char kWhere[] = "   While setting BLOB data in Object: ";
    size_t count = file.BlobLineCount();
    size_t firstLine = file.objectLineCount + 2;  // after the marker
    for (const auto& record : file.blobs) {
        if (view_.CancelRequested()) {
            stopped_ = true;
            return;
        }
        size_t index = record.line - firstLine;
        view_.ShowProgress(Counted("Processing BLOB Record ", index, count),
                           StepPercent(index, count));
        int32_t result = SendTwice({0, device, record.objectId}, kMethodWriteDataBlock,
                                   BlobWritePayload(record));
        if (result != 0 && !Continue(StatusText(result), kWhere, record.objectId))
            return;
        if (result == 0)
            ++outcome_.blobLinesSent;
    }
}

}  // namespace objscope
