// The editor windows of the object classes, keyed by the class name an
// object reports. Kept apart from the object factories, so registering a
// class (which several families do for the classes they own) can never drop
// the editor another family registered for it.
#pragma once

#include <string>
#include <string_view>

#include "model/object_editor.h"

namespace objscope {

// Registers (or replaces) the editor of a class name.
void RegisterEditor(std::string className, EditorFactory factory);
// Removes a class's editor; its objects then open none.
void UnregisterEditor(std::string_view className);
// The editor of a class name, or an empty function.
EditorFactory FindEditor(std::string_view className);

}  // namespace objscope
