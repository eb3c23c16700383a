// The object stream of TVEKroot:
//   55 AA AA 55 "Obj:", class name (length byte + 24 characters),
//   stream records of class ID, net, device, object and owner handle and
//   object name, 55 AA AA 55 "Data", five placement values (u32 each),
//   55 AA AA 55 "Data", then per listed property 55 AA AA 55 "Prop", the u16
//   property ID and the property's stream record; subclasses append their
//   own records after that.
#include "model/object_root.h"
#include "values/property_stream.h"

namespace objscope {

void TVEKroot::SaveToStream(ByteWriter& out) const {
    WriteSectionTag(out, "Obj:");
    WriteFixedText(out, ClassName(), kClassNameStreamWidth);
    classId_.WriteToStream(out);
    netHandle_.WriteToStream(out);
    devHandle_.WriteToStream(out);
    objHandle_.WriteToStream(out);
    ownerHandle_.WriteToStream(out);
    objectName_->WriteToStream(out);
    WriteSectionTag(out, "Data");
    for (int32_t value : placement_)
        out.u32(static_cast<uint32_t>(value));
    WriteSectionTag(out, "Data");
    for (const auto& property : properties_) {
        WriteSectionTag(out, "Prop");
        out.u16(property->PropertyID());
        property->WriteToStream(out);
    }
    SaveClassRecords(out);
}

bool TVEKroot::LoadFromStream(ByteReader& in) {
    if (!ReadSectionTag(in, "Obj:"))
        return false;
    ReadFixedText(in, kClassNameStreamWidth);
    bool headerRead = classId_.ReadFromStream(in) && netHandle_.ReadFromStream(in) &&
                      devHandle_.ReadFromStream(in) && objHandle_.ReadFromStream(in) &&
                      ownerHandle_.ReadFromStream(in) && objectName_->ReadFromStream(in);
    if (!headerRead || !ReadSectionTag(in, "Data"))
        return false;
    TPlacement placement{};
    for (int32_t& value : placement)
        value = static_cast<int32_t>(in.u32());
    if (!ReadSectionTag(in, "Data"))
        return false;
    placement_ = placement;
    while (PeekSectionTag(in, "Prop")) {
        in.skip(8);
        TVEKPropertyBase* property = FindProperty(in.u16());
        // A property this class does not have: its record length is unknown.
        if (!in.ok() || !property || !property->ReadFromStream(in))
            return false;
    }
    return LoadClassRecords(in);
}

}  // namespace objscope
