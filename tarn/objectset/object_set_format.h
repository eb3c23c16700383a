// The object set file (*.tob): a device's whole object set as text. Lines end
// with CR LF. First one line per object, in the device's listing order:
//
//     class,object,owner,maxBlobEntries,(type,property,value),(type,property,value)...
//
// then, when the device has table or list data, the marker line and one line
// per data block chunk:
//
//     object,start,count,(byte,byte,...)
//
// The reader takes the first line that contains "####" as the marker.
#pragma once

#include <cstdint>
#include <string_view>

namespace objscope {

inline constexpr char kObjectSetMarkerLine[] = "############# BLOB Data to Follow ############";
inline constexpr char kObjectSetLineEnd[] = "\r\n";

constexpr uint16_t kObjectSetOwnerProperty = 7;
constexpr uint16_t kObjectSetNoOwner = 65535;
// The classes whose objects the data pass asks for by a class filter.
constexpr uint16_t kObjectSetBlobClass = 11;
constexpr uint16_t kObjectSetLinkedListClass = 254;
// A BLOB object's entry count: field 4 of its line.
constexpr uint16_t kObjectSetMaxBlobProperty = 3072;
// The encoded properties of one object travel in one record of at most this
// many bytes.
constexpr size_t kObjectSetMaxRecordBytes = 4096;

bool IsObjectSetMarker(std::string_view line);

// Properties an object line does not carry: the device's own bookkeeping
// (0, 1, 4, 5, 10, 12 of every class) and, per class, values the device
// computes or that a download must not overwrite. The owner (7) goes into
// field 3 instead.
bool IsLeftOutProperty(uint16_t classId, uint16_t propertyId);

}  // namespace objscope
