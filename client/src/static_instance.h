// Process-wide state of the library that outlives the static objects of the
// process at exit (the library thread still runs until the library's own
// destructor ends it) and leaves no heap block behind when the library is
// unloaded with dlclose: the object lives in the library's static storage,
// is built on first use and is never destroyed. Lists in it give their
// memory back when they are emptied at unload.
#pragma once

#include <new>

namespace hubclient {

template <typename T>
T& staticInstance() {
    alignas(T) static unsigned char storage[sizeof(T)];
    static T* instance = new (storage) T();
    return *instance;
}

}  // namespace hubclient
