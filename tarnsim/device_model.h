// What a simulated device holds: its objects in listing order, each with its
// class, handle, owner and properties, plus the state behind the methods of
// some classes (data blocks, matrix crosspoints, the test manager's runs).
// Object 0 is the device itself.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_method_records.h"

namespace tarnsim {

constexpr uint16_t kNoOwner = 65535;

struct DeviceProperty {
    uint16_t id = 0;  // bits 0..13
    uint8_t typeCode = 0;
    std::vector<uint8_t> value;  // the item's value bytes
    bool readOnly = false;
    std::optional<double> min;  // engineering limits of numeric types; the
    std::optional<double> max;  // type's own limits apply where absent
    bool wiggle = false;        // moved by --wiggle
    std::string text;           // the description the class-text method gives

    double lowerLimit() const;
    double upperLimit() const;
};

struct MatrixState {
    uint16_t inputs = 0;
    uint16_t outputs = 0;
    std::set<std::pair<uint8_t, uint8_t>> connected;  // (input, output), from 1
};

struct TestRun {
    objscope::TestRecord record;
    std::vector<objscope::TestResultRecord> results;
};

struct TestManagerState {
    std::vector<TestRun> runs;
    std::vector<objscope::EobResultRecord> eobResults;
    uint16_t nextSerial = 1;
    bool testActive = false;
};

struct DeviceObject {
    uint16_t handle = 0;
    uint16_t classId = 0;
    uint16_t owner = kNoOwner;
    // Listed properties other than the identity ones (class, handle, owner),
    // in listing order.
    std::vector<DeviceProperty> properties;
    std::optional<std::vector<uint8_t>> dataBlock;  // BLOB-like classes
    std::optional<MatrixState> matrix;              // matrix router and combiner
    std::optional<TestManagerState> tests;          // Test Manager

    DeviceProperty* find(uint16_t id);
    const DeviceProperty* find(uint16_t id) const;
};

struct DeviceContents {
    std::vector<DeviceObject> objects;  // object 0 first

    DeviceObject* find(uint16_t handle);
    const DeviceObject* find(uint16_t handle) const;
    // Handles of `handle` and every object it owns, directly or further down.
    std::set<uint16_t> ownedTree(uint16_t handle) const;
};

// Classes whose contents live in a data block read and written by 3072/3073.
bool hasDataBlockMethods(uint16_t classId);
// Linked-list layout: 3072 is the block size, 3073 the entry count.
bool isLinkedListClass(uint16_t classId);
bool isMatrixClass(uint16_t classId);
constexpr uint16_t kClassTestManager = 226;
constexpr uint16_t kClassEobTable = 235;
constexpr uint16_t kClassMatrixRouter = 68;
constexpr uint16_t kClassMatrixCombiner = 69;

constexpr size_t kMaxDataBlockSize = 65535;
// A property description travels with a one-byte length.
constexpr size_t kMaxDescriptionLength = 255;

// Adds what an object of its class needs and lacks: the common properties
// (name, enable state, user data, tag) in front, and the state its methods
// work on (data block, matrix, test runs).
void completeObject(DeviceObject& object);

// A fresh device object 0 with the device properties at their defaults.
DeviceObject makeDeviceObject(uint16_t classId);

// Sample test runs and EOB results for a Test Manager: `runs` runs of
// `resultsPerRun` results each, and `eobRecords` EOB results.
TestManagerState makeSampleTests(uint16_t runs, uint16_t resultsPerRun, uint16_t eobRecords);

}  // namespace tarnsim
