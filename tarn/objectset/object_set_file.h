// Reading a whole object set file before anything is sent: every object line
// and BLOB line encoded, the first malformed line reported with its number.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "objectset/object_set_encoder.h"

namespace objscope {

struct ObjectSetFile {
    size_t lineCount = 0;        // every line of the file
    size_t objectLineCount = 0;  // the lines before the marker
    bool hasMarker = false;
    std::vector<ObjectRecord> objects;  // skipped lines left out
    std::vector<BlobRecord> blobs;
    size_t BlobLineCount() const { return hasMarker ? lineCount - objectLineCount - 1 : 0; }
};

struct ObjectSetProblem {
    size_t line = 0;  // 0: none
    std::string message;
};

// The lines of a text, ended by CR LF (a lone CR or LF inside a line stays),
// or by LF when the text has no CR LF at all; a last line without an end
// counts too.
std::vector<std::string_view> SplitTextLines(std::string_view text);

// Reads the file's text. On a malformed line `problem` names it and the
// result is incomplete.
ObjectSetFile ReadObjectSet(std::string_view text, ObjectSetProblem& problem);

}  // namespace objscope
