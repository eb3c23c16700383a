// Writing a file so that readers never see it half written: the text goes to
// a temporary file in the same folder, which is then renamed over the name.
#pragma once

#include <string>

namespace objscope {

// False (and neither file nor temporary left behind) when it cannot be
// written; the old file under `path`, if any, then stays as it was.
bool WriteFileReplacing(const std::string& path, const std::string& text);

}  // namespace objscope
