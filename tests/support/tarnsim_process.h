// A tarnsim process for integration tests: started with the given arguments,
// ready once it has printed "tarnsim: ready" (its sockets are bound), ended
// with SIGTERM when the object goes (or by stop()).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace testing_support {

class TarnsimProcess {
  public:
    // Starts `program` (the tarnsim binary) with `args`. Check ready().
    TarnsimProcess(const std::string& program, const std::vector<std::string>& args,
                   std::chrono::milliseconds startTimeout = std::chrono::seconds(10));
    ~TarnsimProcess();
    TarnsimProcess(const TarnsimProcess&) = delete;
    TarnsimProcess& operator=(const TarnsimProcess&) = delete;

    bool ready() const { return ready_; }
    pid_t pid() const { return pid_; }
    // What the program printed on stdout and stderr until it was ready (or
    // ended), and after stop() everything.
    const std::string& output() const { return output_; }

    // Sends SIGTERM, waits for the exit and returns the exit status (-1 when
    // it did not end normally).
    int stop();

  private:
    void readOutput(std::chrono::milliseconds timeout, bool untilReady);

    pid_t pid_ = -1;
    int outputFd_ = -1;
    bool ready_ = false;
    std::string output_;
};

// The tarnsim binary of this build.
std::string tarnsimPath();

}  // namespace testing_support
