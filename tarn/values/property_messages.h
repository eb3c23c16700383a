// Where the property value code reports conditions the user should see
// (unknown type codes while packing or unpacking). The window layer installs
// a sink that shows a message box; without one the text goes to stderr.
#pragma once

#include <functional>
#include <string>

namespace objscope {

using PropertyMessageSink = std::function<void(const std::string& text)>;

// Installs `sink` (an empty function restores the stderr default) and
// returns the previous one.
PropertyMessageSink SetPropertyMessageSink(PropertyMessageSink sink);

void ShowPropertyMessage(const std::string& text);

}  // namespace objscope
