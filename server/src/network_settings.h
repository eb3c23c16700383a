// Settings of the network service that others change: the network debugging
// switch (message 5376, the "Debug O&N"/"Debug O&FF" menu commands, the
// command words DEBUG_ON/DEBUG_OFF, "MessagesOut" at start).
#pragma once

#include <atomic>

namespace hub {

class NetworkSettings {
  public:
    void setNetworkDebug(bool on) { networkDebug_.store(on); }
    bool networkDebug() const { return networkDebug_.load(); }

  private:
    std::atomic<bool> networkDebug_{false};
};

NetworkSettings& networkSettings();

}  // namespace hub
