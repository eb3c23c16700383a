// The text of "objscope --help".
#pragma once

namespace objscope {

extern const char kHelpText[];

}  // namespace objscope
