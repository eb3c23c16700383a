#include "objectset/object_set_compare.h"

#include <map>

namespace objscope {
namespace {

std::string ObjectName(const ObjectRecord& object) {
    return "object " + std::to_string(object.objectId) + " (class " +
           std::to_string(object.classId) + ")";
}

// The data blocks by object, as the BLOB lines put them together.
std::map<uint16_t, std::vector<uint8_t>> DataBlocks(const ObjectSetFile& file) {
    std::map<uint16_t, std::vector<uint8_t>> blocks;
    for (const auto& blob : file.blobs) {
        auto& block = blocks[blob.objectId];
        size_t end = blob.start + blob.bytes.size();
        if (end > block.size())
            block.resize(end, 0);
        std::copy(blob.bytes.begin(), blob.bytes.end(), block.begin() + blob.start);
    }
    return blocks;
}

class Comparison {
  public:
    void Add(std::string line) {
        result.lines.push_back(std::move(line));
        ++result.count;
    }

    void Header(const ObjectRecord& file, const ObjectRecord& device) {
        const std::pair<const char*, std::pair<uint16_t, uint16_t>> fields[] = {
            {"class", {file.classId, device.classId}},
            {"owner", {file.ownerId, device.ownerId}},
            {"maximum BLOB entries", {file.maxBlobEntries, device.maxBlobEntries}},
        };
        for (const auto& [name, values] : fields) {
            if (values.first != values.second)
                Add("Object " + std::to_string(file.objectId) + ": " + name + ": file " +
                    std::to_string(values.first) + ", device " + std::to_string(values.second));
        }
    }

    void Properties(const ObjectRecord& file, const ObjectRecord& device) {
        std::string object = "Object " + std::to_string(file.objectId) + ": property ";
        for (const auto& wanted : file.properties) {
            const EncodedProperty* held = Find(device, wanted.propertyId);
            if (!held)
                Add(object + std::to_string(wanted.propertyId) +
                    " only in the file: " + wanted.text);
            else if (held->value != wanted.value || held->typeCode != wanted.typeCode)
                Add(object + std::to_string(wanted.propertyId) + ": file " + wanted.text +
                    ", device " + held->text);
        }
        for (const auto& held : device.properties) {
            if (!Find(file, held.propertyId))
                Add(object + std::to_string(held.propertyId) + " only on the device: " + held.text);
        }
    }

    ObjectSetDifferences result;

  private:
    static const EncodedProperty* Find(const ObjectRecord& object, uint16_t id) {
        for (const auto& property : object.properties) {
            if (property.propertyId == id)
                return &property;
        }
        return nullptr;
    }
};

const ObjectRecord* FindObject(const ObjectSetFile& set, uint16_t id) {
    for (const auto& object : set.objects) {
        if (object.objectId == id)
            return &object;
    }
    return nullptr;
}

}  // namespace

std::string ObjectSetDifferences::TotalLine() const {
    if (count == 0)
        return "No differences";
    return std::to_string(count) + (count == 1 ? " difference" : " differences");
}

ObjectSetDifferences CompareObjectSets(const ObjectSetFile& file, const ObjectSetFile& device) {
    Comparison comparison;
    for (const auto& wanted : file.objects) {
        const ObjectRecord* held = FindObject(device, wanted.objectId);
        if (!held) {
            comparison.Add("Only in the file: " + ObjectName(wanted));
            continue;
        }
        comparison.Header(wanted, *held);
        comparison.Properties(wanted, *held);
    }
    for (const auto& held : device.objects) {
        if (!FindObject(file, held.objectId))
            comparison.Add("Only on the device: " + ObjectName(held));
    }
    auto fileBlocks = DataBlocks(file);
    auto deviceBlocks = DataBlocks(device);
    for (const auto& [id, block] : fileBlocks) {
        auto held = deviceBlocks.find(id);
        if (held == deviceBlocks.end() || held->second != block)
            comparison.Add("Object " + std::to_string(id) + ": BLOB data differ (file " +
                           std::to_string(block.size()) + " bytes, device " +
                           std::to_string(held == deviceBlocks.end() ? 0 : held->second.size()) +
                           " bytes)");
    }
    return std::move(comparison.result);
}

}  // namespace objscope
