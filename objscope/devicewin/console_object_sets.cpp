#include "devicewin/console_object_sets.h"

#include "devicewin/console_set_view.h"
#include "devicewin/object_set_compare_flow.h"
#include "devicewin/object_set_download.h"
#include "devicewin/object_set_upload.h"

namespace objscope {

int ConsoleUpload(TDeviceRequests& requests, uint16_t device, const std::string& path) {
    TConsoleSetView view;
    TObjectSetUpload upload(requests, view, {});
    TVEKList<TVEKroot> listed;
    UploadOutcome outcome = upload.Run(
        device, [&path] { return std::optional<std::string>(path); }, listed, false);
    if (!outcome.written || outcome.incomplete || view.Failed())
        return 1;
    std::fprintf(stderr, "%zu objects and the data of %zu objects written to %s\n", outcome.objects,
                 outcome.blobObjects, path.c_str());
    return 0;
}

int ConsoleDownload(TDeviceRequests& requests, uint16_t device, const std::string& path,
                    bool deleteExisting) {
    TConsoleSetView view;
    TObjectSetDownload download(requests, view);
    DownloadOutcome outcome =
        download.Run(device, path, deleteExisting ? SetAnswer::Yes : SetAnswer::No);
    if (!outcome.finished || outcome.failed || view.Failed())
        return 1;
    std::fprintf(stderr, "%zu objects and %zu BLOB lines written to device %u\n",
                 outcome.objectsSent, outcome.blobLinesSent, device);
    return 0;
}

int ConsoleCompare(TDeviceRequests& requests, uint16_t device, const std::string& path,
                   std::FILE* out) {
    TConsoleSetView view;
    auto differences = CompareDeviceWithFile(requests, view, device, path);
    if (!differences)
        return 1;
    for (const auto& line : differences->lines)
        std::fprintf(out, "%s\n", line.c_str());
    std::fprintf(out, "%s\n", differences->TotalLine().c_str());
    return differences->Equal() && !view.Failed() ? 0 : 1;
}

}  // namespace objscope
