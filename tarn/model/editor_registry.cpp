#include "model/editor_registry.h"

#include <map>
#include <mutex>

namespace objscope {
namespace {

struct EditorTable {
    std::mutex lock;
    std::map<std::string, EditorFactory, std::less<>> editors;
};

EditorTable& TheEditors() {
    static EditorTable table;
    return table;
}

}  // namespace

void RegisterEditor(std::string className, EditorFactory factory) {
    EditorTable& table = TheEditors();
    std::lock_guard guard(table.lock);
    table.editors[std::move(className)] = std::move(factory);
}

void UnregisterEditor(std::string_view className) {
    EditorTable& table = TheEditors();
    std::lock_guard guard(table.lock);
    auto found = table.editors.find(className);
    if (found != table.editors.end())
        table.editors.erase(found);
}

EditorFactory FindEditor(std::string_view className) {
    EditorTable& table = TheEditors();
    std::lock_guard guard(table.lock);
    auto found = table.editors.find(className);
    return found != table.editors.end() ? found->second : EditorFactory{};
}

}  // namespace objscope
