// What became of the monitored traffic: received from the feed, shown,
// logged, dropped before it reached the window (the feed's queue was full)
// and discarded by the bounded capture store. Shown in the status bar and
// written into the closing block of every log.
#pragma once

#include <cstdint>
#include <string>

namespace busprobe {

struct TrafficCounts {
    uint64_t received = 0;
    uint64_t shown = 0;
    uint64_t logged = 0;
    uint64_t dropped = 0;
    uint64_t discarded = 0;

    // "Received 2, shown 2, logged 0, dropped 0, discarded 0"
    std::string text() const {
        return "Received " + std::to_string(received) + ", shown " + std::to_string(shown) +
               ", logged " + std::to_string(logged) + ", dropped " + std::to_string(dropped) +
               ", discarded " + std::to_string(discarded);
    }
};

}  // namespace busprobe
