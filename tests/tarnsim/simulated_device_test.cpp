// The simulated device driven directly with request datagrams built by the
// core encoders: rejections, identity properties, confirm/delete/reset, and
// the class methods with their paging.
#include "simulated_device.h"

#include <gtest/gtest.h>

#include <random>

#include "protocol/tarn_device_properties.h"
#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_methods.h"
#include "protocol/tarn_rejections.h"
#include "protocol/tarn_replies.h"
#include "protocol/tarn_request_decoders.h"
#include "device_file.h"
#include "tarn_exchange.h"

namespace {

using objscope::MessageRejection;
using objscope::TarnAddress;
using objscope::TransportRejection;
using tarnsim_test::datagramOf;
using tarnsim_test::kRequester;
using tarnsim_test::Parsed;

constexpr uint32_t kFrom = 0x7F000001;
constexpr uint16_t kDeviceNumber = 3;

constexpr const char* kDeviceText = R"(
object 10 class 52
  prop 2 String "Gain"
  prop 4096 dB1 0 min -60 max 20 text "Level"
  prop 4098 Coeff 1 readonly text "Scale"
  prop 4100 String "ab"
object 11 class 52 owner 10
object 12 class 33 owner 11
object 20 class 11
  prop 3072 UWord 2
  prop 3073 UWord 700
object 21 class 254
  prop 3072 UWord 4
  prop 3073 UWord 1
  data 04 00 AA BB
object 30 class 226
  tests 100 3 5
object 40 class 68
  matrix 3 3 1:1 2:2
object 41 class 69
  prop 4096 Boolean 1
  prop 4097 UByte 2
  matrix 3 3
)";

class SimulatedDeviceTest : public ::testing::Test {
  protected:
    tarnsim::SimulatedDevice device{{kDeviceNumber, 0}, tarnsim::parseDeviceFile(kDeviceText)};
    uint16_t number = 0x8100;

    TarnAddress target(uint16_t object) const { return {0, kDeviceNumber, object}; }

    std::vector<Parsed> send(const objscope::TarnRequest& request) {
        std::vector<Parsed> out;
        for (const auto& message : device.handleDatagram(kFrom, datagramOf(request, number++))) {
            auto parsed = tarnsim_test::parse(message.datagram);
            EXPECT_TRUE(parsed.has_value());
            if (parsed)
                out.push_back(*parsed);
        }
        return out;
    }
    // The one reply to a request.
    Parsed ask(const objscope::TarnRequest& request) {
        auto out = send(request);
        EXPECT_FALSE(out.empty());
        return out.empty() ? Parsed{} : out.front();
    }
    Parsed method(uint16_t object, uint16_t id, std::span<const uint8_t> payload) {
        return ask(*objscope::buildMethod(kRequester, target(object), id, true, payload));
    }
    std::vector<uint8_t> getValue(uint16_t object, uint16_t id) {
        Parsed reply = ask(*objscope::buildGet(kRequester, target(object), id, 2));
        auto item = objscope::decodeItemReply(reply.data);
        if (!item)
            return {};
        return {item->value.begin(), item->value.end()};
    }
};

std::vector<uint8_t> item(uint16_t id, std::vector<uint8_t> value) {
    return objscope::encodeItem(id, value);
}

TEST_F(SimulatedDeviceTest, RejectsWithTheStatusThatNamesTheFault) {
    struct Case {
        const char* what;
        objscope::TarnRequest request;
        int32_t status;
    };
    auto set = [&](uint16_t object, uint16_t id, std::vector<uint8_t> value) {
        return *objscope::buildSet(kRequester, target(object), true, item(id, value));
    };
    auto shortGet = *objscope::buildGet(kRequester, target(10), 4096, 1);
    shortGet.data.resize(objscope::kTarnHeaderSize + 1);
    const Case cases[] = {
        {"unknown property", *objscope::buildGet(kRequester, target(10), 999, 1),
         objscope::statusValueOf(MessageRejection::PropertyInvalid)},
        {"read-only property", set(10, 4098, {0, 0, 0x80, 0x3F}),
         objscope::statusValueOf(MessageRejection::NotAllowedReadOnly)},
        {"class ID", set(10, objscope::kPropClassId, {1, 0}),
         objscope::statusValueOf(MessageRejection::NotAllowedReadOnly)},
        {"wrong size", set(10, 4096, {1, 2}),
         objscope::statusValueOf(MessageRejection::PropertyWrongSize)},
        {"above the limit (+25 dB)", set(10, 4096, {250}),
         objscope::statusValueOf(MessageRejection::FieldInvalid)},
        {"text too long", set(10, 4100, std::vector<uint8_t>(129, 'x')),
         objscope::statusValueOf(MessageRejection::PropertyWrongSize)},
        {"owner that does not exist", set(11, objscope::kPropOwnerHandle, {99, 0}),
         objscope::statusValueOf(MessageRejection::FieldInvalid)},
        {"unknown object", *objscope::buildGet(kRequester, target(77), 2, 1),
         objscope::statusValueOf(TransportRejection::ObjectInvalid)},
        {"another device", *objscope::buildGet(kRequester, {0, 9, 10}, 2, 1),
         objscope::statusValueOf(TransportRejection::DeviceInvalid)},
        {"unknown message", *objscope::buildMethod(kRequester, target(10), 77, true, {}),
         objscope::statusValueOf(TransportRejection::MethodInvalid)},
        {"class method on a class without",
         *objscope::buildMethod(kRequester, target(10), 3075, true, {}),
         objscope::statusValueOf(TransportRejection::MethodInvalid)},
        {"payload cut short", shortGet,
         objscope::statusValueOf(MessageRejection::MessageWrongSize)},
        {"deleting the device object", objscope::buildDelete(kRequester, 0, kDeviceNumber, 0),
         objscope::statusValueOf(MessageRejection::NotAllowedReadOnly)},
    };
    for (const auto& c : cases) {
        Parsed reply = ask(c.request);
        EXPECT_EQ(reply.status(), c.status) << c.what;
        EXPECT_EQ(reply.data.size(), objscope::kTarnHeaderSize) << c.what;
    }
    EXPECT_EQ(getValue(10, 4096), std::vector<uint8_t>{200}) << "a refused set changes nothing";
}

TEST_F(SimulatedDeviceTest, ReportsClassHandleAndOwnerAsProperties) {
    EXPECT_EQ(getValue(11, objscope::kPropClassId), (std::vector<uint8_t>{52, 0}));
    EXPECT_EQ(getValue(11, objscope::kPropObjectHandle), (std::vector<uint8_t>{11, 0}));
    EXPECT_EQ(getValue(11, objscope::kPropOwnerHandle), (std::vector<uint8_t>{10, 0}));
    EXPECT_EQ(getValue(10, objscope::kPropOwnerHandle), (std::vector<uint8_t>{0xFF, 0xFF}));

    Parsed listing = ask(objscope::buildGetAllProps(kRequester, target(11), 0));
    auto page = objscope::decodePropertyListing(listing.data);
    std::vector<uint16_t> ids;
    for (const auto& entry : page.entries)
        ids.push_back(entry.item.propertyId());
    EXPECT_EQ(ids, (std::vector<uint16_t>{0, 1, 2, 6, 7, 8, 11}));
    EXPECT_EQ(page.entries[0].typeCode, 68);
    EXPECT_EQ(page.entries[1].typeCode, 69);
}

TEST_F(SimulatedDeviceTest, ObjectListingStartsWithTheDeviceAndHonoursTheClassFilter) {
    auto all = objscope::decodeObjectListing(
        ask(objscope::buildGetAllObjs(kRequester, 0, kDeviceNumber, 0, std::nullopt)).data);
    ASSERT_EQ(all.entries.size(), device.contents().objects.size());
    EXPECT_EQ(all.entries[0].objectHandle, 0);
    EXPECT_EQ(all.entries[1].objectHandle, 10);
    auto blobs = objscope::decodeObjectListing(
        ask(objscope::buildGetAllObjs(kRequester, 0, kDeviceNumber, 0, objscope::kClassBlob)).data);
    ASSERT_EQ(blobs.entries.size(), 1u);
    EXPECT_EQ(blobs.entries[0].objectHandle, 20);
    auto rest = objscope::decodeObjectListing(
        ask(objscope::buildGetAllObjs(kRequester, 0, kDeviceNumber, 3, std::nullopt)).data);
    ASSERT_FALSE(rest.entries.empty());
    EXPECT_EQ(rest.entries[0].objectHandle, 12) << "from the fourth entry on";
}

TEST_F(SimulatedDeviceTest, MultiSetIsAllOrNothing) {
    std::vector<std::vector<uint8_t>> items{item(4096, {180}), item(4098, {0, 0, 0, 0})};
    auto refused = ask(*objscope::buildSetMultipleProps(kRequester, target(10), items));
    EXPECT_EQ(refused.status(), objscope::statusValueOf(MessageRejection::NotAllowedReadOnly));
    EXPECT_EQ(getValue(10, 4096), std::vector<uint8_t>{200});

    items.pop_back();
    items.push_back(item(2, {'N', 'e', 'w'}));
    EXPECT_EQ(ask(*objscope::buildSetMultipleProps(kRequester, target(10), items)).status(), 0);
    EXPECT_EQ(getValue(10, 4096), std::vector<uint8_t>{180});
    EXPECT_EQ(getValue(10, 2), (std::vector<uint8_t>{'N', 'e', 'w'}));
}

TEST_F(SimulatedDeviceTest, ConfirmCreatesFromTheClassAndReplacesValues) {
    std::vector<std::vector<uint8_t>> items{item(4096, {190})};
    auto created =
        ask(*objscope::buildConfirmObject(kRequester, 0, kDeviceNumber, 52, 50, 10, items));
    EXPECT_EQ(created.status(), 0);
    EXPECT_EQ(getValue(50, 4096), std::vector<uint8_t>{190});
    EXPECT_EQ(getValue(50, objscope::kPropOwnerHandle), (std::vector<uint8_t>{10, 0}));
    // The new object has the properties of its class, limits included.
    auto tooHigh = *objscope::buildSet(kRequester, target(50), true, item(4096, {250}));
    EXPECT_EQ(ask(tooHigh).status(), objscope::statusValueOf(MessageRejection::FieldInvalid));

    // A confirm that carries a read-only value stores the rest and warns.
    items = {item(4096, {100}), item(4098, {0, 0, 0, 0})};
    EXPECT_EQ(ask(*objscope::buildConfirmObject(kRequester, 0, kDeviceNumber, 52, 50, 10, items))
                  .status(),
              objscope::statusValueOf(MessageRejection::NotAllowedReadOnly));
    EXPECT_EQ(getValue(50, 4096), std::vector<uint8_t>{100});
    EXPECT_EQ(getValue(50, 4098), (std::vector<uint8_t>{0, 0, 0x80, 0x3F})) << "kept";

    struct Case {
        const char* what;
        uint16_t handle, owner;
        std::vector<uint8_t> item;
        int32_t status;
    };
    const Case refused[] = {
        {"owner missing", 51, 99, item(4096, {190}),
         objscope::statusValueOf(MessageRejection::FieldInvalid)},
        {"handle 0", 0, 65535, item(4096, {190}),
         objscope::statusValueOf(MessageRejection::FieldInvalid)},
        {"wrong size", 51, 65535, item(4096, {1, 2}),
         objscope::statusValueOf(MessageRejection::PropertyWrongSize)},
    };
    for (const auto& c : refused) {
        std::vector<std::vector<uint8_t>> one{c.item};
        auto reply = ask(*objscope::buildConfirmObject(kRequester, 0, kDeviceNumber, 52, c.handle,
                                                       c.owner, one));
        EXPECT_EQ(reply.status(), c.status) << c.what;
    }
    EXPECT_EQ(device.contents().find(51), nullptr) << "a refused confirm creates nothing";
}

TEST_F(SimulatedDeviceTest, DeleteTakesOwnedObjectsAndTheirRegistrations) {
    objscope::RegistrationProperty gain{4096, 131, 1};
    ask(*objscope::buildRegistration(kRequester, target(12), 12, {2, 14, 4}));
    ask(*objscope::buildRegistration(kRequester, target(10), 13, gain));
    EXPECT_EQ(device.registrations().size(), 2u);
    EXPECT_EQ(ask(objscope::buildDelete(kRequester, 0, kDeviceNumber, 11)).status(), 0);
    EXPECT_EQ(device.contents().find(11), nullptr);
    EXPECT_EQ(device.contents().find(12), nullptr);
    EXPECT_NE(device.contents().find(10), nullptr);
    EXPECT_EQ(device.registrations().size(), 1u);
    EXPECT_EQ(ask(objscope::buildDeleteAllObjs(kRequester, 0, kDeviceNumber)).status(), 0);
    EXPECT_EQ(device.contents().objects.size(), 1u) << "the device object stays";
    EXPECT_TRUE(device.registrations().empty());
}

TEST_F(SimulatedDeviceTest, SoftResetRestoresWhatWasMadePermanent) {
    auto setGain = [&](uint8_t raw) {
        return ask(*objscope::buildSet(kRequester, target(10), true, item(4096, {raw}))).status();
    };
    EXPECT_EQ(setGain(150), 0);
    EXPECT_EQ(ask(objscope::buildSoftReset(kRequester, 0, kDeviceNumber)).status(), 0);
    EXPECT_EQ(getValue(10, 4096), std::vector<uint8_t>{200}) << "not made permanent";

    EXPECT_EQ(setGain(150), 0);
    EXPECT_EQ(ask(objscope::buildSetDefaultData(kRequester, 0, kDeviceNumber)).status(), 0);
    EXPECT_EQ(setGain(160), 0);
    ask(objscope::buildSoftReset(kRequester, 0, kDeviceNumber));
    EXPECT_EQ(getValue(10, 4096), std::vector<uint8_t>{150});

    // Boot flag 8: the next reset ignores what was made permanent.
    auto flags =
        *objscope::buildSet(kRequester, target(0), true,
                            item(objscope::kPropBootFlags, {objscope::kBootFlagDefaultObjects}));
    EXPECT_EQ(ask(flags).status(), 0);
    ask(objscope::buildSoftReset(kRequester, 0, kDeviceNumber));
    EXPECT_EQ(getValue(10, 4096), std::vector<uint8_t>{200});
    EXPECT_EQ(getValue(0, objscope::kPropBootFlags), std::vector<uint8_t>{0});
}

TEST_F(SimulatedDeviceTest, TestListIsPagedWithPartialStatus) {
    objscope::RecordPager pager(objscope::kTestListLayout);
    std::vector<int32_t> statuses;
    uint16_t start = 0;
    for (int page = 0; page < 10; ++page) {
        Parsed reply =
            method(30, objscope::kMethodGetTestList, objscope::testListPayload(0, start));
        EXPECT_LE(reply.data.size(), tarnsim::kMaxMethodReplyBytes);
        statuses.push_back(reply.status());
        size_t taken = pager.addPage(reply.payload());
        start = static_cast<uint16_t>(start + taken);
        if (reply.status() != objscope::kStatusPartialResponse || taken == 0)
            break;
    }
    EXPECT_EQ(statuses, (std::vector<int32_t>{objscope::kStatusPartialResponse, 0}));
    ASSERT_EQ(pager.recordCount(), 100u);
    auto last = objscope::readTestRecord(pager.record(99));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->serial, 100);
    EXPECT_EQ(last->passCount + last->failCount, 3);
}

TEST_F(SimulatedDeviceTest, SequenceStartAndResultsBySerial) {
    Parsed started = method(30, objscope::kMethodStartSequence,
                            objscope::startSequencePayload(objscope::kSequenceModeStart, 4));
    auto serial = objscope::methodResult(started.payload());
    ASSERT_TRUE(serial);
    EXPECT_EQ(*serial, 101);
    Parsed refused = method(30, objscope::kMethodStartSequence,
                            objscope::startSequencePayload(objscope::kSequenceModeStart, 0));
    EXPECT_EQ(refused.status(), objscope::statusValueOf(MessageRejection::FieldInvalid));

    Parsed results =
        method(30, objscope::kMethodGetTestResults, objscope::testResultsPayload(0, 7, 0, 0));
    auto header = objscope::readTestResultHeader(results.payload());
    ASSERT_TRUE(header);
    EXPECT_EQ(header->serial, 7);
    EXPECT_EQ(header->recordCount, 3);
    EXPECT_EQ(results.payload().size(),
              objscope::kTestResultHeaderSize + 3 * objscope::kTestResultRecordSize);
}

TEST_F(SimulatedDeviceTest, EobResultsCarryTheActiveBitAndFlushEmptiesThem) {
    Parsed circuit =
        method(30, objscope::kMethodCircuitTest, objscope::circuitTestPayload(0x30, 1, 5, 1));
    EXPECT_EQ(circuit.status(), 0);
    Parsed results = method(30, objscope::kMethodEobResults, objscope::eobResultsPayload(0, 0));
    auto page = objscope::decodeEobResultsPage(results.payload());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->statusWord & objscope::kEobTestActive, objscope::kEobTestActive);
    EXPECT_EQ(page->records.size(), 5u);
    EXPECT_EQ(method(30, objscope::kMethodEobFlush, objscope::eobFlushPayload()).status(), 0);
    page = objscope::decodeEobResultsPage(
        method(30, objscope::kMethodEobResults, objscope::eobResultsPayload(0, 0)).payload());
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->records.empty());
}

TEST_F(SimulatedDeviceTest, DataBlockIsReadInChunksAndWrittenBack) {
    std::vector<uint8_t> bytes(300);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(
        method(20, objscope::kMethodWriteDataBlock, *objscope::dataBlockWritePayload(1000, bytes))
            .status(),
        0);
    std::vector<uint8_t> block;
    std::vector<int32_t> statuses;
    for (int i = 0; i < 10; ++i) {
        Parsed reply = method(20, objscope::kMethodReadDataBlock,
                              objscope::dataBlockReadPayload(static_cast<uint16_t>(block.size())));
        auto chunk = objscope::decodeDataBlockChunk(reply.payload());
        ASSERT_TRUE(chunk);
        EXPECT_EQ(chunk->offset, block.size());
        block.insert(block.end(), chunk->bytes.begin(), chunk->bytes.end());
        statuses.push_back(reply.status());
        if (reply.status() != objscope::kStatusPartialResponse)
            break;
    }
    EXPECT_EQ(statuses.size(), 3u) << "1400 bytes in chunks of 512";
    EXPECT_EQ(statuses.back(), 0);
    ASSERT_EQ(block.size(), 1400u);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), block.begin() + 1000));

    auto cut = *objscope::dataBlockWritePayload(0, bytes);
    cut.resize(cut.size() - 1);
    EXPECT_EQ(method(20, objscope::kMethodWriteDataBlock, cut).status(),
              objscope::statusValueOf(MessageRejection::MessageWrongSize));
    EXPECT_EQ(
        method(20, objscope::kMethodWriteDataBlock, *objscope::dataBlockWritePayload(1401, bytes))
            .status(),
        objscope::statusValueOf(MessageRejection::FieldInvalid))
        << "a write may not leave a gap";
}

TEST_F(SimulatedDeviceTest, LinkedListSizesFollowWhatWasWritten) {
    const uint8_t entry[] = {5, 0, 1, 2, 3};
    EXPECT_EQ(
        method(21, objscope::kMethodWriteDataBlock, *objscope::dataBlockWritePayload(4, entry))
            .status(),
        0);
    EXPECT_EQ(getValue(21, 3072), (std::vector<uint8_t>{9, 0})) << "block size";
    EXPECT_EQ(getValue(21, 3073), (std::vector<uint8_t>{2, 0})) << "entries";
}

TEST_F(SimulatedDeviceTest, MatrixCommandsFollowTheClassRules) {
    using objscope::Crosspoint;
    auto pairs = [&](uint16_t object, const std::vector<uint8_t>& payload) {
        Parsed reply = method(object, objscope::kMethodMatrixCommand, payload);
        EXPECT_EQ(reply.status(), 0);
        return objscope::decodeMatrixPairs(reply.payload());
    };
    EXPECT_EQ(pairs(40, objscope::matrixListPayload(0)), (std::vector<Crosspoint>{{1, 1}, {2, 2}}));
    // A router output selects one input.
    EXPECT_EQ(pairs(40, objscope::matrixCrosspointPayload(true, 3, 1)),
              (std::vector<Crosspoint>{{2, 2}, {3, 1}}));
    EXPECT_EQ(pairs(40, objscope::matrixOneToOnePayload()),
              (std::vector<Crosspoint>{{1, 1}, {2, 2}, {3, 3}}));
    // Cross combine mirrors a connection; self-routing keeps the diagonal.
    EXPECT_EQ(pairs(41, objscope::matrixCrosspointPayload(true, 2, 1)),
              (std::vector<Crosspoint>{{1, 2}, {2, 1}}));
    pairs(41, objscope::matrixOneToOnePayload());
    EXPECT_EQ(pairs(41, objscope::matrixCrosspointPayload(false, 2, 2)),
              (std::vector<Crosspoint>{{1, 1}, {2, 2}, {3, 3}}));
    Parsed outside =
        method(41, objscope::kMethodMatrixCommand, objscope::matrixCrosspointPayload(true, 4, 1));
    EXPECT_EQ(outside.status(), objscope::statusValueOf(MessageRejection::FieldInvalid));
}

TEST_F(SimulatedDeviceTest, AddObject) {
    Parsed added =
        method(0, objscope::kMethodAddObject, objscope::addObjectPayload(11, 60, 65535, 5));
    EXPECT_EQ(added.status(), 0);
    const tarnsim::DeviceObject* blob = device.contents().find(60);
    ASSERT_NE(blob, nullptr);
    ASSERT_TRUE(blob->dataBlock);
    EXPECT_EQ(blob->dataBlock->size(), 5u * 700u) << "entry size of the class's first object";
    Parsed again =
        method(0, objscope::kMethodAddObject, objscope::addObjectPayload(11, 60, 65535, 5));
    EXPECT_EQ(again.status(), objscope::statusValueOf(MessageRejection::CouldNotCreateObject));
}

// One entry of a class-text answer, read byte by byte.
struct RawTextEntry {
    uint16_t id;
    uint8_t typeCode;
    uint8_t flags;
    uint16_t reserved;
    std::string text;
    bool operator==(const RawTextEntry&) const = default;
};

struct RawTextPage {
    uint16_t classId = 0;
    uint16_t count = 0;
    std::vector<RawTextEntry> entries;
    size_t trailing = 0;  // bytes after the last declared entry
};

RawTextPage readTextPage(std::span<const uint8_t> bytes) {
    auto word = [&](size_t at) { return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8); };
    RawTextPage page;
    if (bytes.size() < 4) {
        ADD_FAILURE() << "answer of " << bytes.size() << " bytes";
        return page;
    }
    page.classId = word(0);
    page.count = word(2);
    size_t at = 4;
    for (uint16_t n = 0; n < page.count; ++n) {
        if (at + 7 > bytes.size() || at + 7 + bytes[at + 6] > bytes.size()) {
            ADD_FAILURE() << "entry " << n << " runs past the answer";
            return page;
        }
        RawTextEntry entry{word(at), bytes[at + 2], bytes[at + 3], word(at + 4), {}};
        entry.text.assign(bytes.begin() + static_cast<ptrdiff_t>(at + 7),
                          bytes.begin() + static_cast<ptrdiff_t>(at + 7 + bytes[at + 6]));
        page.entries.push_back(entry);
        at += 7 + bytes[at + 6];
    }
    page.trailing = bytes.size() - at;
    return page;
}

TEST_F(SimulatedDeviceTest, ClassTextDescribesTheClassPropertiesFieldByField) {
    Parsed reply = method(0, objscope::kMethodReadClassText, objscope::classTextPayload(52, 0));
    EXPECT_EQ(reply.status(), 0);
    EXPECT_EQ(reply.tarn.Src_Obj, objscope::kDeviceObjectHandle);
    RawTextPage page = readTextPage(reply.payload());
    EXPECT_EQ(page.classId, 52);
    uint8_t level = device.contents().find(10)->find(4096)->typeCode;
    uint8_t scale = device.contents().find(10)->find(4098)->typeCode;
    // Listing order of the class's first object; the identity properties and
    // the read-only one carry flag 1; 4100 has no text and is left out.
    const std::vector<RawTextEntry> expected = {
        {0, 68, 1, 0, "Class ID"},     {1, 69, 1, 0, "Object Handle"}, {2, 14, 0, 0, "Object Name"},
        {6, 13, 0, 0, "Enable State"}, {7, 69, 0, 0, "Owner Handle"},  {8, 14, 0, 0, "User Data"},
        {11, 1, 0, 0, "Tag Field"},    {4096, level, 0, 0, "Level"},   {4098, scale, 1, 0, "Scale"},
    };
    EXPECT_EQ(page.count, expected.size());
    EXPECT_EQ(page.entries, expected);
    EXPECT_EQ(page.trailing, 0u);

    // The offset counts entries; past the end, and for a class the device
    // has no object of, the answer is an empty page (status 0).
    struct Case {
        uint16_t classId;
        uint16_t offset;
        std::vector<uint16_t> ids;
    } cases[] = {{52, 7, {4096, 4098}}, {52, 9, {}}, {52, 400, {}}, {999, 0, {}}};
    for (const auto& c : cases) {
        Parsed later = method(0, objscope::kMethodReadClassText,
                              objscope::classTextPayload(c.classId, c.offset));
        EXPECT_EQ(later.status(), 0) << c.classId << " from " << c.offset;
        RawTextPage rest = readTextPage(later.payload());
        EXPECT_EQ(rest.classId, c.classId);
        std::vector<uint16_t> ids;
        for (const auto& entry : rest.entries)
            ids.push_back(entry.id);
        EXPECT_EQ(ids, c.ids) << c.classId << " from " << c.offset;
    }

    auto cutShort = objscope::classTextPayload(52, 0);
    cutShort.resize(3);
    EXPECT_EQ(method(0, objscope::kMethodReadClassText, cutShort).status(),
              objscope::statusValueOf(MessageRejection::MessageWrongSize));
}

TEST_F(SimulatedDeviceTest, ClassTextPagesLongDescriptions) {
    std::string file = "object 5 class 300\n";
    const std::string longText(200, 'x');
    for (int id = 4096; id < 4106; ++id)
        file += "  prop " + std::to_string(id) + " UByte 0 text \"" + longText + "\"\n";
    tarnsim::SimulatedDevice wordy{{kDeviceNumber, 0}, tarnsim::parseDeviceFile(file)};
    std::vector<uint16_t> ids;
    int pages = 0;
    uint16_t offset = 0;
    for (bool more = true; more && pages < 20; ++pages) {
        auto request = objscope::buildMethod(kRequester, target(0), objscope::kMethodReadClassText,
                                             true, objscope::classTextPayload(300, offset));
        auto out = wordy.handleDatagram(kFrom, datagramOf(*request, number++));
        ASSERT_EQ(out.size(), 1u);
        EXPECT_LE(out[0].datagram.size(), 1480u);
        auto reply = tarnsim_test::parse(out[0].datagram);
        ASSERT_TRUE(reply);
        more = reply->status() == objscope::kStatusPartialResponse;
        EXPECT_TRUE(more || reply->status() == 0) << reply->status();
        RawTextPage page = readTextPage(reply->payload());
        EXPECT_LE(reply->payload().size(), tarnsim::kMethodPayloadRoom);
        for (const auto& entry : page.entries)
            ids.push_back(entry.id);
        offset = static_cast<uint16_t>(offset + page.count);
    }
    EXPECT_GT(pages, 2);
    // The seven common properties, then the ten described ones, each once.
    ASSERT_EQ(ids.size(), 17u);
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(ids[7 + static_cast<size_t>(n)], 4096 + n);
}

TEST_F(SimulatedDeviceTest, SurvivesRandomDatagrams) {
    std::mt19937 random(7);
    std::vector<uint8_t> base =
        datagramOf(objscope::buildGetAllProps(kRequester, target(10), 0), 1);
    for (int i = 0; i < 20000; ++i) {
        std::vector<uint8_t> bytes = base;
        bytes.resize(random() % 64);
        for (size_t k = 9; k < bytes.size(); ++k) {
            if (random() % 3 == 0)
                bytes[k] = static_cast<uint8_t>(random());
        }
        if (bytes.size() >= 7) {
            uint16_t ids[] = {1,    2,    14,   17,   18,   19,   1024, 1025, 1027, 1028, 1029,
                              1030, 1031, 3072, 3073, 3074, 3075, 3076, 3077, 3082, 3083};
            uint16_t id = ids[random() % std::size(ids)];
            bytes[5] = static_cast<uint8_t>(id);
            bytes[6] = static_cast<uint8_t>(id >> 8);
        }
        for (const auto& out : device.handleDatagram(kFrom, bytes))
            EXPECT_LE(out.datagram.size(), 1480u);
    }
}

}  // namespace
