#include "objectset/object_set_file.h"

#include "objectset/object_set_format.h"

namespace objscope {

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = next;
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
