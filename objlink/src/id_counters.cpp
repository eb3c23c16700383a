#include "id_counters.h"

#include <climits>
#include <mutex>

namespace objlink {
namespace {

struct Counters {
    std::mutex mutex;  // IDSemaphore
    int32_t registration = 1;
    int32_t objectSubscriber = 1;
    int32_t response = 1;
};

// Never destroyed: the library thread of hubclient may still call in while
// static objects are torn down at exit.
Counters& counters() {
    static Counters* c = new Counters;
    return *c;
}

int32_t take(int32_t Counters::*counter) {
    Counters& c = counters();
    std::lock_guard<std::mutex> lock(c.mutex);
    int32_t id = c.*counter;
    c.*counter = id == INT32_MAX ? 1 : id + 1;
    return id;
}

}  // namespace

int32_t nextRegistrationNumber() {
    return take(&Counters::registration);
}

int32_t nextObjectSubscriberNumber() {
    return take(&Counters::objectSubscriber);
}

int32_t nextResponseNumber() {
    return take(&Counters::response);
}

}  // namespace objlink
