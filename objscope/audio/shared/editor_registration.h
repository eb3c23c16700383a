// Registers an editor form class for the objects of a class name: the form
// is made with the object and the editor communication of the program.
#pragma once

#include <memory>
#include <string>

#include "model/editor_registry.h"

namespace objscope::audio {

template <class Form>
void RegisterFormEditor(const std::string& className, TEditorComm& comm) {
    RegisterEditor(className, [&comm](TVEKroot& object) -> std::unique_ptr<TObjectEditor> {
        return std::make_unique<Form>(object, &comm);
    });
}

}  // namespace objscope::audio
