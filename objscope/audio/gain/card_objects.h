// The channels of a device's cards: A/D and D/A channels, card inputs and
// outputs, and the card connector that groups up to 16 inputs and 16
// outputs. None has an editor; they are listed, edited in the property list
// and downloaded like every object.
#pragma once

#include <memory>
#include <vector>

#include "model/object_audio_bases.h"

namespace objscope::audio {

inline constexpr int kMaxConnectorChannels = 16;

class TU32ADChannel : public TAudioElement {
  public:
    TU32ADChannel();
    std::string ClassName() const override { return "TU32ADChannel"; }
};

class TU32DAChannel : public TAudioElement {
  public:
    TU32DAChannel();
    std::string ClassName() const override { return "TU32DAChannel"; }
};

class TU32CardInput : public TAudioElement {
  public:
    TU32CardInput();
    std::string ClassName() const override { return "TU32CardInput"; }
};

class TU32CardOutput : public TAudioElement {
  public:
    TU32CardOutput();
    std::string ClassName() const override { return "TU32CardOutput"; }
};

// Its own properties start at 2048 ("Card Number"), where an audio element
// keeps its mute: it is a plain object that owns channels.
class TU32CardConnector : public TVEKroot {
  public:
    TU32CardConnector();
    std::string ClassName() const override { return "TU32CardConnector"; }
    int InputCount() const { return static_cast<int>(inputs_.size()); }
    int OutputCount() const { return static_cast<int>(outputs_.size()); }

    void ClearOwnedObjects() override;
    // Card inputs and outputs, up to 16 of each; anything else is handed back.
    std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) override;
    void CollectObjects(ObjectList& list) override;
    ObjectList OwnedObjectList() const override;

  private:
    void UpdateCount();

    std::vector<std::unique_ptr<TVEKroot>> inputs_;
    std::vector<std::unique_ptr<TVEKroot>> outputs_;
};

void RegisterCardClasses();

}  // namespace objscope::audio
