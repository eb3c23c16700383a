// The editors' view of the communication layer, served by TTarn_Monitor.
#pragma once

#include "binding/editor_comm.h"
#include "comm/tarn_monitor.h"

namespace objscope {

class TMonitorEditorComm : public TEditorComm {
  public:
    explicit TMonitorEditorComm(TTarn_Monitor& monitor) : monitor_(monitor) {}
    int32_t SetProperty(const TTarn_Property_Link& link) override;
    int32_t SetPropertyChecked(const TTarn_Property_Link& link,
                               TEditorStatusCallback done) override;
    int32_t GetProperty(const TTarn_Property_Link& link, TEditorCallback done) override;
    int32_t RegisterProperty(const TTarn_Property_Link& link, TEditorCallback changed) override;
    void TarnDeReg(uint16_t registrationNumber) override;
    int32_t GetPropertyNow(const TTarn_Property_Link& link) override;
    int32_t ActivateMethod(const TarnAddress& object, uint16_t methodId,
                           std::span<const uint8_t> payload, std::vector<uint8_t>& reply,
                           bool replyWanted) override;
    int32_t DownloadObject(TVEKroot& object, bool onlyModified) override;

  private:
    TTarn_Monitor& monitor_;
};

}  // namespace objscope
