// TVEKroot: the mirror of one Tarn object. It owns its property values, knows
// its address (net, device and object handle), its owner handle and class ID,
// and offers the virtual operations that the audio object classes fill in
// (inputs and outputs, owned objects, placement, streams, the editor).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/object_editor.h"
#include "values/property_handle_value.h"
#include "protocol/property_id.h"
#include "values/property_string_value.h"
#include "values/property_typed_values.h"
#include "protocol/tarn_bytes.h"

namespace objscope {

constexpr uint16_t kNoHandle = 65535;  // device/object/owner handle "none"
constexpr size_t kClassNameStreamWidth = 24;

// IDs of the properties common to all objects.
constexpr uint16_t kClassIDPropertyID = MakePropertyID(0, 0, 1);
constexpr uint16_t kObjHandlePropertyID = MakePropertyID(0, 1, 1);
constexpr uint16_t kObjectNamePropertyID = MakePropertyID(0, 2, 3);
constexpr uint16_t kEnableStatePropertyID = MakePropertyID(0, 6, 0);
constexpr uint16_t kOwnerHandlePropertyID = MakePropertyID(0, 7, 1);
constexpr uint16_t kUserDataPropertyID = MakePropertyID(0, 8, 3);
constexpr uint16_t kTagFieldPropertyID = MakePropertyID(0, 11, 0);

using TPlacement = std::array<int32_t, 5>;
using PropertyList = std::vector<TVEKPropertyBase*>;
using ObjectList = std::vector<class TVEKroot*>;

class TVEKroot {
  public:
    TVEKroot();
    virtual ~TVEKroot();
    TVEKroot(const TVEKroot&) = delete;
    TVEKroot& operator=(const TVEKroot&) = delete;

    // The C++ class name, written into object streams.
    virtual std::string ClassName() const { return "TVEKroot"; }

    // --- properties ---------------------------------------------------
    const std::vector<std::unique_ptr<TVEKPropertyBase>>& Properties() const { return properties_; }
    // The first listed property equal to `id` in bits 0..13, or none.
    TVEKPropertyBase* FindProperty(uint16_t id) const;

    TU32aesClass_ID& ClassIDProperty() { return classId_; }
    TU32aesNET_Handle& NetHandleProperty() { return netHandle_; }
    TU32aesDEV_Handle& DevHandleProperty() { return devHandle_; }
    TU32aesOBJ_Handle& ObjHandleProperty() { return objHandle_; }
    TU32aesOBJ_Handle& OwnerHandleProperty() { return ownerHandle_; }
    TU32TObjectName& ObjectNameProperty() { return *objectName_; }
    TU32Boolean& EnableStateProperty() { return *enableState_; }
    TU32UserData& UserDataProperty() { return *userData_; }
    TU32UByte& TagFieldProperty() { return *tagField_; }

    uint16_t ClassID() const { return classId_.Data(); }
    void SetClassID(uint16_t id) { classId_.SetData(id); }
    uint16_t NetHandle() const { return netHandle_.Data(); }
    uint16_t DevHandle() const { return devHandle_.Data(); }
    uint16_t ObjHandle() const { return objHandle_.Data(); }
    uint16_t OwnerHandle() const { return ownerHandle_.Data(); }
    void SetAddress(uint16_t net, uint16_t dev, uint16_t obj);
    void SetOwnerHandle(uint16_t handle) { ownerHandle_.SetData(handle); }
    const std::string& ObjectName() const { return objectName_->Data(); }
    void SetObjectName(std::string_view name) { objectName_->SetData(name); }
    const std::string& UserData() const { return userData_->Data(); }
    uint8_t TagField() const { return tagField_->Value(); }
    void SetTagField(uint8_t tag) { tagField_->SetValue(tag); }
    uint8_t AddressTypeCode() const { return addressTypeCode_; }

    // --- published counts --------------------------------------------
    uint16_t NumOwnedObjs = 0;
    uint16_t NumInputs = 0;
    uint16_t NumOutputs = 0;
    uint16_t MinInputs = 0;
    uint16_t MaxInputs = 0;
    uint16_t MinOutputs = 0;
    uint16_t MaxOutputs = 0;

    // --- virtual operations --------------------------------------------
    virtual void SetNumInputs(uint16_t) {}
    virtual void SetNumOutputs(uint16_t) {}

    // Object stream (tagged layout, see object_stream.cpp).
    virtual void SaveToStream(ByteWriter& out) const;
    // False when the stream is cut off or not in the expected layout.
    virtual bool LoadFromStream(ByteReader& in);

    virtual void SetInputName(int, std::string_view) {}
    virtual std::string GetInputName(int) const { return {}; }
    virtual void SetOutputName(int, std::string_view) {}
    virtual std::string GetOutputName(int) const { return {}; }
    virtual void SetInputNode(int, uint16_t) {}
    virtual uint16_t GetInputNode(int) const { return 0; }
    virtual void SetOutputNode(int, uint16_t) {}
    virtual uint16_t GetOutputNode(int) const { return 0; }

    // Stores the five values and writes the first two as u16 into
    // characters 3..4 and 5..6 of the User Data text (lengthened to 6).
    virtual void SetPlacement(const TPlacement& placement);
    virtual TPlacement GetPlacement() const { return placement_; }

    // Owned objects: meaningful in complex classes only. AddOwnedObject
    // takes the object over and answers nothing, or hands it back when this
    // class does not keep such objects (the base keeps none).
    virtual void ClearOwnedObjects() {}
    virtual std::unique_ptr<TVEKroot> AddOwnedObject(std::unique_ptr<TVEKroot> object) {
        return object;
    }
    // Appends this object, then (in complex classes) its owned objects.
    virtual void CollectObjects(ObjectList& list);
    // The objects this one owns directly, in their order (none in the base).
    virtual ObjectList OwnedObjectList() const { return {}; }

    // The properties of input / output `index`; the base empties the list
    // and answers false.
    virtual bool GetInputProperties(int index, PropertyList& list);
    virtual bool GetOutputProperties(int index, PropertyList& list);

    // Opens the editor window: created on first use (from the editor set on
    // this object, else the one registered for its class name), given the
    // three flags, and shown. Nothing happens for a class without an editor.
    virtual void ShowEditor(bool passThrough, bool readOnly, bool connect);
    TObjectEditor* Editor() const { return editor_.get(); }
    // The editor window has closed: the object forgets it and hands it to
    // the caller, who disposes of it.
    std::unique_ptr<TObjectEditor> ReleaseEditor() { return std::move(editor_); }
    // An editor for this object alone (tests, owned elements); classes
    // register theirs with RegisterEditor.
    void SetEditorClass(EditorFactory factory) { editorClass_ = std::move(factory); }

    // Three further slots for classes that keep a node list (the automatic
    // mixer): read it, set it, copy the layout of another object of the
    // same class. Nothing in the base.
    virtual std::vector<uint16_t> GetNodeList() const { return {}; }
    virtual void SetNodeList(const std::vector<uint16_t>&) {}
    virtual void CopyLayout(const TVEKroot&) {}

    // Appends a property to the list (taking it over) and returns it.
    template <class T>
    T* AddProperty(std::unique_ptr<T> property) {
        T* raw = property.get();
        properties_.push_back(std::move(property));
        return raw;
    }
    // A new listed property with its display name and ID.
    template <class T>
    T* AddProperty(std::string_view name, uint16_t id) {
        auto property = std::make_unique<T>();
        property->SetName(name);
        property->SetPropertyID(id);
        return AddProperty(std::move(property));
    }

  protected:
    // Makes `properties` the listed properties. The class's own properties
    // stay alive (unlisted), so the typed accessors above remain valid; a
    // list that replaced them before is freed.
    void ReplaceListedProperties(std::vector<std::unique_ptr<TVEKPropertyBase>> properties);

    // Records that subclasses append after the base part of the stream.
    virtual void SaveClassRecords(ByteWriter&) const {}
    virtual bool LoadClassRecords(ByteReader&) { return true; }

  private:
    std::vector<std::unique_ptr<TVEKPropertyBase>> properties_;
    std::vector<std::unique_ptr<TVEKPropertyBase>> unlistedProperties_;
    bool replacedOwnList_ = false;
    TU32aesClass_ID classId_;
    TU32aesNET_Handle netHandle_;
    TU32aesDEV_Handle devHandle_;
    TU32aesOBJ_Handle objHandle_;
    TU32aesOBJ_Handle ownerHandle_;
    uint8_t addressTypeCode_ = 72;
    TU32TObjectName* objectName_ = nullptr;
    TU32Boolean* enableState_ = nullptr;
    TU32UserData* userData_ = nullptr;
    TU32UByte* tagField_ = nullptr;
    TPlacement placement_{};
    std::unique_ptr<TObjectEditor> editor_;
    EditorFactory editorClass_;
};

}  // namespace objscope
