#include "protocol/tarn_method_codec.h"

#include <algorithm>

#include "protocol/tarn_bytes.h"

namespace objscope {
namespace {

template <typename Result, typename Read>
std::optional<Result> decodeWith(std::span<const uint8_t> payload, Read read) {
    ByteReader in(payload);
    Result result = read(in);
    if (!in.ok())
        return std::nullopt;
    return result;
}

std::vector<uint8_t> wordsPayload(std::initializer_list<uint16_t> words) {
    std::vector<uint8_t> out;
    ByteWriter w(out);
    for (uint16_t word : words)
        w.u16(word);
    return out;
}

}  // namespace

std::optional<AddObjectRequest> decodeAddObjectRequest(std::span<const uint8_t> payload) {
    return decodeWith<AddObjectRequest>(payload, [](ByteReader& in) {
        AddObjectRequest r;
        r.classId = in.u16();
        r.objectId = in.u16();
        r.ownerId = in.u16();
        r.maxBlobEntries = in.u16();
        return r;
    });
}

std::optional<ClassTextRequest> decodeClassTextRequest(std::span<const uint8_t> payload) {
    return decodeWith<ClassTextRequest>(payload, [](ByteReader& in) {
        ClassTextRequest r;
        r.classId = in.u16();
        r.offset = in.u16();
        r.flag = in.u8();
        return r;
    });
}

std::optional<uint16_t> decodeStopTestRequest(std::span<const uint8_t> payload) {
    return decodeWith<uint16_t>(payload, [](ByteReader& in) { return in.u16(); });
}

std::optional<StartSequenceRequest> decodeStartSequenceRequest(std::span<const uint8_t> payload) {
    return decodeWith<StartSequenceRequest>(payload, [](ByteReader& in) {
        StartSequenceRequest r;
        r.modeWord = in.u16();
        r.sequence = in.u16();
        return r;
    });
}

std::optional<CircuitTestRequest> decodeCircuitTestRequest(std::span<const uint8_t> payload) {
    return decodeWith<CircuitTestRequest>(payload, [](ByteReader& in) {
        CircuitTestRequest r;
        r.modeFlags = in.u16();
        r.sequence = in.u16();
        r.point = in.u16();
        r.settingCode = in.u16();
        return r;
    });
}

std::optional<TestListRequest> decodeTestListRequest(std::span<const uint8_t> payload) {
    return decodeWith<TestListRequest>(payload, [](ByteReader& in) {
        TestListRequest r;
        r.selector = in.u16();
        r.firstRecord = in.u16();
        return r;
    });
}

std::optional<TestResultsRequest> decodeTestResultsRequest(std::span<const uint8_t> payload) {
    return decodeWith<TestResultsRequest>(payload, [](ByteReader& in) {
        TestResultsRequest r;
        r.selector = in.u16();
        r.number = in.u16();
        r.third = in.u16();
        r.firstRecord = in.u16();
        return r;
    });
}

std::optional<FlushResultsRequest> decodeFlushResultsRequest(std::span<const uint8_t> payload) {
    return decodeWith<FlushResultsRequest>(payload, [](ByteReader& in) {
        FlushResultsRequest r;
        r.selector = in.u16();
        r.number = in.u16();
        return r;
    });
}

std::optional<DataBlockReadRequest> decodeDataBlockReadRequest(std::span<const uint8_t> payload) {
    return decodeWith<DataBlockReadRequest>(payload, [](ByteReader& in) {
        DataBlockReadRequest r;
        r.offset = in.u16();
        r.limit = in.u16();
        return r;
    });
}

std::optional<DataBlockWriteRequest> decodeDataBlockWriteRequest(std::span<const uint8_t> payload) {
    return decodeWith<DataBlockWriteRequest>(payload, [](ByteReader& in) {
        DataBlockWriteRequest r;
        r.offset = in.u16();
        uint16_t count = in.u16();
        r.bytes = in.bytes(count);
        return r;
    });
}

std::optional<EobResultsRequest> decodeEobResultsRequest(std::span<const uint8_t> payload) {
    return decodeWith<EobResultsRequest>(payload, [](ByteReader& in) {
        EobResultsRequest r;
        in.skip(2);
        r.startIndex = in.u16();
        r.channel = in.u16();
        return r;
    });
}

bool decodeEobFlushRequest(std::span<const uint8_t> payload) {
    return !payload.empty();
}

std::optional<MatrixCommand> decodeMatrixCommand(std::span<const uint8_t> payload) {
    ByteReader in(payload);
    MatrixCommand command;
    uint8_t code = in.u8();
    command.word = in.u16();
    if (!in.ok())
        return std::nullopt;
    switch (code) {
        case static_cast<uint8_t>(MatrixCommandCode::List):
        case static_cast<uint8_t>(MatrixCommandCode::OneToOne):
            break;
        case static_cast<uint8_t>(MatrixCommandCode::Disconnect):
        case static_cast<uint8_t>(MatrixCommandCode::Connect):
            command.input = in.u8();
            command.output = in.u8();
            if (!in.ok())
                return std::nullopt;
            break;
        default:
            return std::nullopt;
    }
    command.code = static_cast<MatrixCommandCode>(code);
    return command;
}

std::vector<uint8_t> dataBlockReadPayload(uint16_t offset) {
    return wordsPayload({offset, kDataBlockReadAll});
}

std::optional<std::vector<uint8_t>> dataBlockWritePayload(uint16_t offset,
                                                          std::span<const uint8_t> bytes) {
    if (bytes.size() > 0xFFFF)
        return std::nullopt;
    auto out = wordsPayload({offset, static_cast<uint16_t>(bytes.size())});
    ByteWriter(out).bytes(bytes);
    return out;
}

std::vector<uint8_t> eobResultsPayload(uint16_t startIndex, uint16_t channel) {
    return wordsPayload({0, startIndex, channel});
}

std::vector<uint8_t> eobFlushPayload() {
    return {0};
}

std::vector<uint8_t> matrixListPayload(uint16_t startIndex) {
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.u8(static_cast<uint8_t>(MatrixCommandCode::List));
    w.u16(startIndex);
    return out;
}

std::vector<uint8_t> matrixCrosspointPayload(bool connect, uint8_t input, uint8_t output) {
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.u8(
        static_cast<uint8_t>(connect ? MatrixCommandCode::Connect : MatrixCommandCode::Disconnect));
    w.u16(1);
    w.u8(input);
    w.u8(output);
    return out;
}

std::vector<uint8_t> matrixOneToOnePayload() {
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.u8(static_cast<uint8_t>(MatrixCommandCode::OneToOne));
    w.u16(0);
    return out;
}

std::vector<uint8_t> methodResultPayload(uint16_t result) {
    return wordsPayload({result});
}

std::vector<uint8_t> dataBlockChunkPayload(uint16_t offset, std::span<const uint8_t> bytes) {
    auto out =
        wordsPayload({offset, static_cast<uint16_t>(std::min<size_t>(bytes.size(), 0xFFFF))});
    ByteWriter(out).bytes(bytes.first(std::min<size_t>(bytes.size(), 0xFFFF)));
    return out;
}

std::optional<DataBlockChunk> decodeDataBlockChunk(std::span<const uint8_t> reply) {
    ByteReader in(reply);
    DataBlockChunk chunk;
    chunk.offset = in.u16();
    uint16_t count = in.u16();
    if (!in.ok())
        return std::nullopt;
    chunk.bytes = reply.subspan(4, std::min<size_t>(count, reply.size() - 4));
    return chunk;
}

std::vector<uint8_t> testListPayload(std::span<const TestRecord> records) {
    auto out = wordsPayload({static_cast<uint16_t>(records.size())});
    for (const auto& record : records)
        appendRecord(out, record);
    return out;
}

std::vector<uint8_t> testResultsPayload(TestResultHeader header,
                                        std::span<const TestResultRecord> records) {
    header.recordCount = static_cast<uint16_t>(records.size());
    std::vector<uint8_t> out;
    appendRecord(out, header);
    for (const auto& record : records)
        appendRecord(out, record);
    return out;
}

std::vector<uint8_t> eobResultsPagePayload(uint16_t statusWord,
                                           std::span<const EobResultRecord> records) {
    auto out = wordsPayload({statusWord, 0, 0, 0, static_cast<uint16_t>(records.size())});
    for (const auto& record : records)
        appendRecord(out, record);
    return out;
}

std::optional<EobResultsPage> decodeEobResultsPage(std::span<const uint8_t> reply) {
    ByteReader in(reply);
    EobResultsPage page;
    page.statusWord = in.u16();
    in.skip(6);
    uint16_t count = in.u16();
    if (!in.ok())
        return std::nullopt;
    for (uint16_t i = 0; i < count; ++i) {
        auto record = readEobResultRecord(in.bytes(kEobResultRecordSize));
        if (!record)
            break;
        page.records.push_back(*record);
    }
    return page;
}

std::vector<uint8_t> matrixPairsPayload(std::span<const Crosspoint> pairs) {
    auto out = wordsPayload({static_cast<uint16_t>(pairs.size())});
    for (const auto& pair : pairs) {
        out.push_back(pair.input);
        out.push_back(pair.output);
    }
    return out;
}

std::vector<Crosspoint> decodeMatrixPairs(std::span<const uint8_t> reply) {
    ByteReader in(reply);
    uint16_t count = in.u16();
    std::vector<Crosspoint> pairs;
    for (uint16_t i = 0; i < count && in.remaining() >= 2; ++i) {
        Crosspoint pair;
        pair.input = in.u8();
        pair.output = in.u8();
        pairs.push_back(pair);
    }
    return pairs;
}

}  // namespace objscope
