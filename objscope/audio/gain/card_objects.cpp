#include "audio/gain/card_objects.h"

#include "audio/shared/property_setup.h"
#include "model/object_factory.h"

namespace objscope::audio {

namespace {

constexpr double kChannelMax = 8;
constexpr double kConnectorChannelMax = 16;

void AddChannelNumber(TVEKroot& object, double max) {
    AddLimited<TU32UByte>(object, "Channel Number", 4096, 0, 0, max);
}

// Takes the object into `list` when it is a `Channel` and there is room.
template <class Channel>
bool Keep(std::unique_ptr<TVEKroot>& object, std::vector<std::unique_ptr<TVEKroot>>& list) {
    if (!dynamic_cast<Channel*>(object.get()) || list.size() >= kMaxConnectorChannels)
        return false;
    list.push_back(std::move(object));
    return true;
}

}  // namespace

TU32ADChannel::TU32ADChannel() {
    SetClassID(145);
    SetObjectName("A/D Channel");
    AddChannelNumber(*this, kChannelMax);
    AddLimited<TU32SByte>(*this, "In Lev Select (dB)", 4097, 14, -56, 44);
    AddNumber<TU32Boolean>(*this, "Test Bus Control", 4098, 0);
    AddNumber<TU32Boolean>(*this, "Phantom Power Control", 4100, 0);
    AddLimited<TU32VEKDB2>(*this, "Input Signal level", 20485, -128, -128, 44)->SetReadOnly(true);
    AddReading<TU32Boolean>(*this, "Signal Present", 20486, 0);
    AddReading<TU32Boolean>(*this, "Overflow State", 20487, 0);
}

TU32DAChannel::TU32DAChannel() {
    SetClassID(144);
    SetObjectName("D/A Channel");
    AddChannelNumber(*this, kChannelMax);
    AddLimited<TU32SByte>(*this, "Out Lev Select (dBu)", 4097, 14, 14, 24);
    AddNumber<TU32Boolean>(*this, "Test Bus Control", 4098, 0);
    AddReading<TU32VEKDB2>(*this, "Out Level", 20485, 0);
}

TU32CardInput::TU32CardInput() {
    SetClassID(151);
    SetObjectName("Card Input");
    AddChannelNumber(*this, kConnectorChannelMax);
}

TU32CardOutput::TU32CardOutput() {
    SetClassID(150);
    SetObjectName("Card Output");
    AddChannelNumber(*this, kConnectorChannelMax);
}

TU32CardConnector::TU32CardConnector() {
    SetClassID(147);
    SetObjectName("Card Connector");
    AddLimited<TU32UByte>(*this, "Card Number", 2048, 0, 0, 9);
    AddNumber<TU32UByte>(*this, "Card Type", 2049, 0);
    AddProperty<TU32aesDEV_Handle>("Device Handle", 18434)->SetData(kNoHandle);
}

void TU32CardConnector::UpdateCount() {
    NumOwnedObjs = static_cast<uint16_t>(inputs_.size() + outputs_.size());
}

void TU32CardConnector::ClearOwnedObjects() {
    inputs_.clear();
    outputs_.clear();
    UpdateCount();
}

std::unique_ptr<TVEKroot> TU32CardConnector::AddOwnedObject(std::unique_ptr<TVEKroot> object) {
    if (Keep<TU32CardInput>(object, inputs_) || Keep<TU32CardOutput>(object, outputs_)) {
        UpdateCount();
        return nullptr;
    }
    return object;
}

void TU32CardConnector::CollectObjects(ObjectList& list) {
    TVEKroot::CollectObjects(list);
    const ObjectList owned = OwnedObjectList();
    list.insert(list.end(), owned.begin(), owned.end());
}

ObjectList TU32CardConnector::OwnedObjectList() const {
    ObjectList list;
    for (const auto* channels : {&inputs_, &outputs_})
        for (const auto& channel : *channels)
            list.push_back(channel.get());
    return list;
}

void RegisterCardClasses() {
    RegisterObjectClass("TU32ADChannel", [] { return std::make_unique<TU32ADChannel>(); });
    RegisterObjectClass("TU32DAChannel", [] { return std::make_unique<TU32DAChannel>(); });
    RegisterObjectClass("TU32CardInput", [] { return std::make_unique<TU32CardInput>(); });
    RegisterObjectClass("TU32CardOutput", [] { return std::make_unique<TU32CardOutput>(); });
    RegisterObjectClass("TU32CardConnector", [] { return std::make_unique<TU32CardConnector>(); });
}

}  // namespace objscope::audio
