// The communication layer as an editor window uses it: send a value, read
// one, register for changes and cancel a registration, and the synchronous
// read of the connection check. The program's layer implements it; tests use
// a recording one. Every callback carries the liveness of its control, so a
// reply that arrives after the window closed is dropped, never delivered.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "protocol/tarn_header.h"
#include "protocol/tarn_status.h"
#include "values/property_link.h"

namespace objscope {

class TVEKroot;

struct TEditorCallback {
    std::function<void()> code;
    std::weak_ptr<void> alive;  // the window's liveness token
    // Whether the control that asked is still there. Once it has gone the
    // layer neither calls back nor touches the link's property (the
    // control's copy, freed with it).
    bool Alive() const { return code && !alive.expired(); }
    // Calls the code unless the control has gone.
    void operator()() const {
        if (Alive())
            code();
    }
};

// A callback that learns the device's verdict on a set: 0 taken, positive
// the device's refusal, negative no reply.
struct TEditorStatusCallback {
    std::function<void(int32_t status)> code;
    std::weak_ptr<void> alive;
    bool Alive() const { return code && !alive.expired(); }
    void operator()(int32_t status) const {
        if (Alive())
            code(status);
    }
};

class TEditorComm {
  public:
    virtual ~TEditorComm() = default;
    // Sends the link's property, no reply wanted. Returns the send result.
    virtual int32_t SetProperty(const TTarn_Property_Link& link) = 0;
    // Sends the link's property with a reply wanted; the device's verdict
    // arrives through `done`. Returns the send result. A layer without
    // replies sends plainly and reports nothing.
    virtual int32_t SetPropertyChecked(const TTarn_Property_Link& link,
                                       TEditorStatusCallback done) {
        (void)done;
        return SetProperty(link);
    }
    // Reads the property into the link's property, then calls back.
    virtual int32_t GetProperty(const TTarn_Property_Link& link, TEditorCallback done) = 0;
    // Registers for changes: every notification decodes into the link's
    // property and calls back. Returns the registration number (> 0) or a
    // negative send result.
    virtual int32_t RegisterProperty(const TTarn_Property_Link& link, TEditorCallback changed) = 0;
    virtual void TarnDeReg(uint16_t registrationNumber) = 0;
    // Synchronous read into the link's property: 0, a negative failure or a
    // positive device status.
    virtual int32_t GetPropertyNow(const TTarn_Property_Link& link) = 0;
    // A method of the object (message kind 31), waited for when a reply is
    // wanted: the reply's payload arrives in `reply` when the status value
    // is 0 or 0x8000. A layer without methods sends nothing.
    virtual int32_t ActivateMethod(const TarnAddress& object, uint16_t methodId,
                                   std::span<const uint8_t> payload, std::vector<uint8_t>& reply,
                                   bool replyWanted) {
        (void)object, (void)methodId, (void)payload, (void)replyWanted;
        reply.clear();
        return kStatusNotRegistered;
    }

    // Sends an object to its device whole (all its properties, then its
    // owned objects), synchronously: 0 or the first failure's status. A
    // layer without downloads answers -1 and sends nothing.
    virtual int32_t DownloadObject(TVEKroot& object, bool onlyModified) {
        (void)object;
        (void)onlyModified;
        return -1;
    }
};

}  // namespace objscope
