// Method payloads both ways: what the request builders write, the device's
// decoders read back; records keep every field; cut-off input is refused or
// cut to the whole records that arrived.
#include "protocol/tarn_method_codec.h"

#include <gtest/gtest.h>

#include "protocol/tarn_methods.h"

namespace {

using namespace objscope;

TEST(MethodCodec, RequestsDecodeToWhatWasBuilt) {
    auto add = decodeAddObjectRequest(addObjectPayload(11, 60, kNoOwner, 5));
    ASSERT_TRUE(add);
    EXPECT_EQ(add->classId, 11);
    EXPECT_EQ(add->objectId, 60);
    EXPECT_EQ(add->ownerId, kNoOwner);
    EXPECT_EQ(add->maxBlobEntries, 5);

    auto text = decodeClassTextRequest(classTextPayload(60, 3));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->offset, 3);
    EXPECT_EQ(text->flag, 1);

    auto circuit = decodeCircuitTestRequest(circuitTestPayload(0x30, 2, 7, 9));
    ASSERT_TRUE(circuit);
    EXPECT_EQ(circuit->modeFlags, 0x30);
    EXPECT_EQ(circuit->point, 7);
    EXPECT_EQ(circuit->settingCode, 9);

    auto results = decodeTestResultsRequest(testResultsPayload(kResultsBySequence, 4, 0, 12));
    ASSERT_TRUE(results);
    EXPECT_EQ(results->number, 4);
    EXPECT_EQ(results->firstRecord, 12);

    auto eob = decodeEobResultsRequest(eobResultsPayload(30, 2));
    ASSERT_TRUE(eob);
    EXPECT_EQ(eob->startIndex, 30);
    EXPECT_EQ(eob->channel, 2);

    const uint8_t bytes[] = {9, 8, 7};
    auto writePayload = *dataBlockWritePayload(400, bytes);  // the decoded bytes point into it
    auto write = decodeDataBlockWriteRequest(writePayload);
    ASSERT_TRUE(write);
    EXPECT_EQ(write->offset, 400);
    EXPECT_EQ(std::vector<uint8_t>(write->bytes.begin(), write->bytes.end()),
              (std::vector<uint8_t>{9, 8, 7}));

    auto connect = decodeMatrixCommand(matrixCrosspointPayload(true, 3, 4));
    ASSERT_TRUE(connect);
    EXPECT_EQ(connect->code, MatrixCommandCode::Connect);
    EXPECT_EQ(connect->input, 3);
    EXPECT_EQ(connect->output, 4);
    EXPECT_EQ(decodeMatrixCommand(matrixListPayload(17))->word, 17);
    EXPECT_EQ(decodeMatrixCommand(matrixOneToOnePayload())->code, MatrixCommandCode::OneToOne);
}

TEST(MethodCodec, CutOffRequestsAreRefused) {
    auto cut = [](std::vector<uint8_t> bytes, size_t drop) {
        bytes.resize(bytes.size() - drop);
        return bytes;
    };
    const uint8_t bytes[] = {1, 2, 3};
    EXPECT_FALSE(decodeAddObjectRequest(cut(addObjectPayload(1, 2, 3, 4), 1)));
    EXPECT_FALSE(decodeStartSequenceRequest(cut(startSequencePayload(kSequenceModeSet, 1), 5)));
    EXPECT_FALSE(decodeDataBlockWriteRequest(cut(*dataBlockWritePayload(0, bytes), 1)))
        << "fewer bytes than the count";
    EXPECT_FALSE(decodeMatrixCommand(cut(matrixCrosspointPayload(false, 1, 1), 1)));
    EXPECT_FALSE(decodeMatrixCommand(std::vector<uint8_t>{5, 0, 0})) << "unknown command";
    EXPECT_FALSE(decodeEobFlushRequest({}));
}

TEST(MethodCodec, RecordsKeepEveryField) {
    TestRecord test{7, 2, 0x30, packDateTime(2001, 1, 1, 12, 0, 0), 5, 1};
    EXPECT_EQ(test.dateTime, 0x2A216000u);
    TestResultRecord result{40, 3, 1, -448, -449, 0x81};
    EobPointRecord point{0x123456, 2, 100, -448};
    EobResultRecord eob{0, 1, 2, -448, -300, 1, 0, 3, 2};
    std::vector<uint8_t> bytes;
    appendRecord(bytes, test);
    appendRecord(bytes, result);
    appendRecord(bytes, point);
    appendRecord(bytes, eob);
    ASSERT_EQ(bytes.size(),
              kTestRecordSize + kTestResultRecordSize + kEobPointRecordSize + kEobResultRecordSize);
    std::span<const uint8_t> all(bytes);
    EXPECT_EQ(readTestRecord(all), test);
    EXPECT_EQ(readTestResultRecord(all.subspan(kTestRecordSize)), result);
    EXPECT_EQ(readEobPointRecord(all.subspan(kTestRecordSize + kTestResultRecordSize)), point);
    EXPECT_EQ(readEobResultRecord(all.last(kEobResultRecordSize)), eob);
    EXPECT_FALSE(readEobResultRecord(all.last(kEobResultRecordSize - 1)));
}

TEST(MethodCodec, RepliesAreCutToWhatArrived) {
    const uint8_t block[] = {1, 2, 3, 4, 5};
    auto chunk = dataBlockChunkPayload(512, block);
    chunk.resize(chunk.size() - 2);
    auto decoded = decodeDataBlockChunk(chunk);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->offset, 512);
    EXPECT_EQ(decoded->bytes.size(), 3u);

    std::vector<EobResultRecord> records(3);
    records[2].channel = 9;
    auto page = eobResultsPagePayload(kEobTestActive, records);
    EXPECT_EQ(decodeEobResultsPage(page)->records.size(), 3u);
    page.resize(page.size() - 1);
    auto short_ = decodeEobResultsPage(page);
    ASSERT_TRUE(short_);
    EXPECT_EQ(short_->statusWord, kEobTestActive);
    EXPECT_EQ(short_->records.size(), 2u);

    std::vector<Crosspoint> pairs{{1, 1}, {2, 3}};
    auto list = matrixPairsPayload(pairs);
    EXPECT_EQ(decodeMatrixPairs(list), pairs);
    list.pop_back();
    EXPECT_EQ(decodeMatrixPairs(list), (std::vector<Crosspoint>{{1, 1}}));
}

}  // namespace
