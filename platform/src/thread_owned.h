// A per-thread object deleted when its thread ends, without a C++
// thread_local that has a destructor. Such a thread_local registers its
// destructor with the dynamic loader on first use, which takes the loader's
// lock: a library thread that first touches it while dlopen or dlclose holds
// that lock (and waits for the thread) would deadlock. A pthread key with a
// destructor needs no loader lock.
//
// The object has no C++ destructor on purpose: a static one would run among
// the exit handlers, and when this library was loaded with dlopen those run
// before the ELF destructors of the libraries that use it (hubclient and
// objlink end their threads there, which still need their loops). The owner
// calls release() from an ELF destructor of this library instead, which runs
// after those of every library depending on it, at exit and at dlclose alike.
#pragma once

#include <pthread.h>

namespace plat::detail {

template <typename T>
class ThreadOwned {
  public:
    ThreadOwned() { valid_ = ::pthread_key_create(&key_, &destroy) == 0; }
    // At exit or unload the calling thread's object is deleted (as a
    // thread_local would be); other threads still holding one keep it, as
    // their key destructor would point into code about to be unmapped.
    void release() {
        reset();
        if (valid_) {
            ::pthread_key_delete(key_);
            valid_ = false;
        }
    }
    ThreadOwned(const ThreadOwned&) = delete;
    ThreadOwned& operator=(const ThreadOwned&) = delete;

    T* get() const { return valid_ ? static_cast<T*>(::pthread_getspecific(key_)) : nullptr; }

    // Hands `object` (or nullptr) to the calling thread; the previous one is
    // deleted after the slot was cleared.
    void reset(T* object = nullptr) {
        T* old = get();
        if (valid_) {
            ::pthread_setspecific(key_, object);
        }
        delete old;
    }

  private:
    static void destroy(void* object) { delete static_cast<T*>(object); }

    pthread_key_t key_{};
    bool valid_ = false;
};

}  // namespace plat::detail
