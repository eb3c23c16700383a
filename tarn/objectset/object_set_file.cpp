#include "objectset/object_set_file.h"

#include "objectset/object_set_format.h"

namespace objscope {

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    // Files written here end their lines with CR LF, and a lone CR or LF may
    // stand inside a text; a file without any CR LF (edited by hand) ends
    // them with LF.
    const std::string_view end = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t stop = text.find(end, start);
        if (stop == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, stop - start));
        start = stop + end.size();
    }
    return lines;
}

ObjectSetFile ReadObjectSet(std::string_view text, ObjectSetProblem& problem) {
    problem = {};
    ObjectSetFile file;
    auto lines = SplitTextLines(text);
    file.lineCount = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        LineResult result;
        if (!file.hasMarker && IsObjectSetMarker(lines[i])) {
            file.hasMarker = true;
            continue;
        }
        if (!file.hasMarker) {
            ++file.objectLineCount;
            ObjectRecord record;
            record.line = i + 1;
            result = EncodeObjectLine(lines[i], record);
            if (result.kind == LineResult::Record)
                file.objects.push_back(std::move(record));
        } else {
            BlobRecord record;
            record.line = i + 1;
            result = EncodeBlobLine(lines[i], record);
            if (result.kind == LineResult::Record)
                file.blobs.push_back(std::move(record));
        }
        if (result.kind == LineResult::Malformed) {
            problem = {i + 1, result.reason};
            return file;
        }
    }
    return file;
}

}  // namespace objscope
