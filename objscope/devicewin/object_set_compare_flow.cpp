#include "devicewin/object_set_compare_flow.h"

#include "devicewin/object_set_download.h"
#include "devicewin/object_set_upload.h"

namespace objscope {

std::optional<ObjectSetDifferences> CompareDeviceWithFile(TDeviceRequests& requests,
                                                          TObjectSetView& view, uint16_t device,
                                                          const std::string& path, Liveness alive) {
    ObjectSetFile file;
    if (!ReadObjectSetFile(view, path, file))
        return std::nullopt;
    TObjectSetUpload upload(requests, view, std::move(alive));
    std::string text;
    TVEKList<TVEKroot> listed;
    if (!upload.Read(device, text, listed))
        return std::nullopt;
    ObjectSetProblem problem;
    ObjectSetFile held = ReadObjectSet(text, problem);
    if (problem.line != 0) {
        view.ShowError("The device's object set could not be read back (line " +
                       std::to_string(problem.line) + ": " + problem.message + ")");
        return std::nullopt;
    }
    ObjectSetDifferences differences = CompareObjectSets(file, held);
    if (upload.Outcome().incomplete)
        differences.lines.insert(differences.lines.begin(),
                                 "The device's object set was not read completely");
    return differences;
}

}  // namespace objscope
