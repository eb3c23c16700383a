// A tarnsim process serving simulated Tarn devices beside the test's
// hubserver: started from the build's bin folder, ready once it says so,
// ended with SIGTERM.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace testing_support {

class TarnsimProcess {
  public:
    // Serves one device at 127.0.0.<node>:`port` (the server's receive port)
    // with `extraArguments`; waits until it is ready. Its output goes to a
    // file in $VEK_STATE_DIR (or /tmp).
    TarnsimProcess(uint8_t node, uint16_t port,
                   const std::vector<std::string>& extraArguments = {});
    ~TarnsimProcess();
    TarnsimProcess(const TarnsimProcess&) = delete;
    TarnsimProcess& operator=(const TarnsimProcess&) = delete;

    bool ready() const { return ready_; }
    // What it printed so far.
    std::string output() const;

  private:
    pid_t pid_ = -1;
    std::string outputPath_;
    bool ready_ = false;
};

}  // namespace testing_support
