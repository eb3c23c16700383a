#include "network_state.h"

namespace hub {

NetworkState& networkState() {
    static NetworkState state;
    return state;
}

}  // namespace hub
