// Runs the GUI thread's event loop until a condition holds, sleeping between
// looks (for the screenshot run and the window tests).
#pragma once

#include <functional>

namespace objscope {

// True once `done` holds; false when `limitMs` passed first.
bool RunEventsUntil(const std::function<bool()>& done, int limitMs);

}  // namespace objscope
