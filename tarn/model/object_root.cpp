#include "model/object_root.h"

#include "model/editor_registry.h"
#include "protocol/property_id.h"

namespace objscope {
namespace {

// Placement values 1 and 2 live in characters 3..6 of the User Data text.
constexpr size_t kPlacementTextOffset = 2;
constexpr size_t kPlacementTextLength = 6;

}  // namespace

TVEKroot::TVEKroot() {
    classId_.SetPropertyID(kClassIDPropertyID);
    classId_.SetName("Class ID");
    netHandle_.SetName("Net Handle");
    devHandle_.SetName("Device Handle");
    devHandle_.SetData(kNoHandle);
    objHandle_.SetPropertyID(kObjHandlePropertyID);
    objHandle_.SetName("Object Handle");
    objHandle_.SetData(kNoHandle);
    ownerHandle_.SetPropertyID(kOwnerHandlePropertyID);
    ownerHandle_.SetName("Owner Handle");
    ownerHandle_.SetData(kNoHandle);

    objectName_ = AddProperty<TU32TObjectName>("Object Name", kObjectNamePropertyID);
    objectName_->SetData("TVEKRoot");
    enableState_ = AddProperty<TU32Boolean>("Enable State", kEnableStatePropertyID);
    enableState_->SetValue(true);
    enableState_->SetSendLast(true);
    userData_ = AddProperty<TU32UserData>("User Data", kUserDataPropertyID);
    tagField_ = AddProperty<TU32UByte>("Tag Field", kTagFieldPropertyID);
}

TVEKroot::~TVEKroot() = default;

TVEKPropertyBase* TVEKroot::FindProperty(uint16_t id) const {
    for (const auto& property : properties_) {
        if (SamePropertyID(property->PropertyID(), id))
            return property.get();
    }
    return nullptr;
}

void TVEKroot::ReplaceListedProperties(std::vector<std::unique_ptr<TVEKPropertyBase>> properties) {
    // Only the class's own properties are kept: a list that replaced them
    // earlier is freed.
    if (!replacedOwnList_) {
        unlistedProperties_ = std::move(properties_);
        replacedOwnList_ = true;
    }
    properties_ = std::move(properties);
}

void TVEKroot::SetAddress(uint16_t net, uint16_t dev, uint16_t obj) {
    netHandle_.SetData(net);
    devHandle_.SetData(dev);
    objHandle_.SetData(obj);
}

void TVEKroot::SetPlacement(const TPlacement& placement) {
    placement_ = placement;
    std::string text = userData_->Data();
    if (text.size() < kPlacementTextLength)
        text.resize(kPlacementTextLength, ' ');
    for (size_t i = 0; i < 2; ++i) {
        auto value = static_cast<uint16_t>(placement[i]);
        text[kPlacementTextOffset + 2 * i] = static_cast<char>(value & 0xFF);
        text[kPlacementTextOffset + 2 * i + 1] = static_cast<char>(value >> 8);
    }
    userData_->SetData(text);
}

void TVEKroot::CollectObjects(ObjectList& list) {
    list.push_back(this);
}

bool TVEKroot::GetInputProperties(int, PropertyList& list) {
    list.clear();
    return false;
}

bool TVEKroot::GetOutputProperties(int, PropertyList& list) {
    list.clear();
    return false;
}

void TVEKroot::ShowEditor(bool passThrough, bool readOnly, bool connect) {
    if (!editor_) {
        // An editor set on this object wins over its class's editor.
        EditorFactory factory = editorClass_ ? editorClass_ : FindEditor(ClassName());
        if (factory)
            editor_ = factory(*this);
    }
    if (!editor_)
        return;
    editor_->SetEditorFlags(passThrough, readOnly, connect);
    editor_->ShowEditorWindow();
}

}  // namespace objscope
