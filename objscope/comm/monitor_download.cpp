// DownloadObject: an object's properties into the device, then its owned
// objects, with one automatic second try and the 30-second error dialog.
#include "comm/tarn_monitor.h"
#include "platform/wait.h"

namespace objscope {
namespace {

// "Property Invalid" (8) or "Property Wrong Size" (16) in the message status.
constexpr int32_t kDownloadWarningBits = 0x1800;

bool isDownloadWarning(int32_t status) {
    return status > 0 && (status & kDownloadWarningBits) != 0;
}

TarnAddress objectAddress(TVEKroot& object) {
    return {object.NetHandle(), object.DevHandle(), object.ObjHandle()};
}

}  // namespace

int32_t TTarn_Monitor::JudgeDownloadStatus(int32_t status, const std::string& objectName,
                                           int& tries, bool& tryAgain) {
    tryAgain = false;
    if (isDownloadWarning(status)) {
        ++downloadWarnings_;
        return kStatusOk;
    }
    std::string text = "Download Error:  " + objectName + "\r\r" + "Error:  " + StatusText(status);
    TDownloadAnswer answer = view_ != nullptr ? view_->AskDownloadError(text, kDownloadErrorSeconds)
                                              : TDownloadAnswer::TimedOut;
    switch (answer) {
        case TDownloadAnswer::Retry:
            tryAgain = true;
            return status;
        case TDownloadAnswer::Abort:
            return status;
        case TDownloadAnswer::Ignore:
            return kStatusOk;
        case TDownloadAnswer::TimedOut:
            break;
    }
    // Unattended: each time-out takes a try; the last one accepts the error.
    --tries;
    if (tries > 0) {
        tryAgain = true;
        return status;
    }
    return kStatusOk;
}

int32_t TTarn_Monitor::DownloadObject(TVEKroot& object, bool onlyModified) {
    if (registrationId_ <= 0)
        return kStatusNotRegistered;
    PropertyList collected;
    for (const auto& property : object.Properties()) {
        if (!onlyModified || property->Modified())
            collected.push_back(property.get());
    }
    ObjectList family;
    object.CollectObjects(family);
    bool hasOwned = family.size() > 1;
    bool confirm = !onlyModified || object.ClassIDProperty().Modified() ||
                   object.ObjHandleProperty().Modified() || object.OwnerHandleProperty().Modified();
    auto send = [&] {
        return confirm ? ConfirmObject(object, hasOwned)
                       : SetMultipleProps(objectAddress(object), collected);
    };

    int tries = 3;
    int32_t status = send();
    if (status != kStatusOk) {
        plat::processMessagesUntil([] { return false; },
                                   std::chrono::steady_clock::now() + kDownloadRetryPause);
        ++downloadWarnings_;
        LogLine("Download Warning # " + std::to_string(downloadWarnings_));
        status = send();
        while (status != kStatusOk) {
            bool tryAgain = false;
            status = JudgeDownloadStatus(status, object.ObjectName(), tries, tryAgain);
            if (!tryAgain)
                break;
            status = send();
        }
    }
    if (status == kStatusOk && confirm) {
        object.ClassIDProperty().SetModified(false);
        object.ObjHandleProperty().SetModified(false);
        object.OwnerHandleProperty().SetModified(false);
    }
    // What the device refused stays modified, so a later download of the
    // modified properties sends it again.
    if (status != kStatusOk)
        return status;
    for (TVEKPropertyBase* property : collected)
        property->SetModified(false);

    for (size_t i = 1; i < family.size() && status == kStatusOk; ++i) {
        if (family[i] != nullptr && family[i] != &object)
            status = DownloadObject(*family[i], onlyModified);
    }
    if (status == kStatusOk && confirm) {
        for (TVEKPropertyBase* property : collected) {
            if (property->SendLast() && !property->ReadOnly()) {
                TTarn_Property_Link link(object.NetHandle(), object.DevHandle(), object.ObjHandle(),
                                         property);
                SetProperty(link);
            }
        }
    }
    return status;
}

}  // namespace objscope
