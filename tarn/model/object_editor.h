// The hook through which an object opens its editor window. The core knows
// editors only through this interface; the editor units of the audio classes
// supply a factory that builds their window for an object.
#pragma once

#include <functional>
#include <memory>

namespace objscope {

class TVEKroot;

class TObjectEditor {
  public:
    virtual ~TObjectEditor() = default;
    // Flags set by the opener; editors that are not editor forms ignore them.
    virtual void SetEditorFlags(bool /*passThrough*/, bool /*readOnly*/, bool /*connect*/) {}
    virtual void ShowEditorWindow() = 0;
};

// Builds the editor window of an object (the object is its owner).
using EditorFactory = std::function<std::unique_ptr<TObjectEditor>(TVEKroot& object)>;

}  // namespace objscope
