// Writes valid messages as seeds: make_seed_corpus <folder>. Each fuzz target
// gets a subfolder of the same name.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "protocol/tarn_items.h"
#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_methods.h"
#include "protocol/tarn_reply_builders.h"
#include "protocol/tarn_requests.h"

using namespace objscope;
using Bytes = std::vector<uint8_t>;

namespace {

const TarnRequester kMe{0, 0x8031};
const TarnAddress kObject{0, 1, 0x20};
const TarnAddress kDevice{0, 1, 0};

class SeedWriter {
  public:
    explicit SeedWriter(std::filesystem::path root) : root_(std::move(root)) {}

    void write(const std::string& target, const Bytes& bytes) {
        auto folder = root_ / target;
        std::filesystem::create_directories(folder);
        std::ofstream out(folder / ("seed" + std::to_string(++count_)), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    void write(const std::string& target, const std::string& text) {
        write(target, Bytes(text.begin(), text.end()));
    }

  private:
    std::filesystem::path root_;
    int count_ = 0;
};

TarnHeader headerOf(const TarnRequest& request) {
    return *readTarnHeader(request.data);
}

void writeReplies(SeedWriter& seeds) {
    TarnHeader listing = headerOf(buildGetAllObjs(kMe, 0, 1, 0, std::nullopt));
    std::vector<ObjectEntry> objects{{0x30, 0xE2, "Mixer 1"}, {0x31, 11, "Blob"}};
    std::vector<PropertyListEntry> properties{{2, encodeItem(5, Bytes{1, 2})},
                                              {14, encodeItem(6, Bytes{'a', 'b', 'c'})},
                                              {131, encodeItem(7, Bytes{200})}};
    std::vector<uint16_t> classes{1, 11, 0xE2, 254};
    const std::string target = "fuzz_tarn_replies";
    seeds.write(target, *buildObjectListingReply(listing, kDevice, objects, true));
    seeds.write(target, *buildObjectPlusListingReply(listing, kDevice, objects, false));
    seeds.write(target, *buildPropertyListingReply(listing, kObject, properties, true));
    seeds.write(target, *buildClassListingReply(listing, kDevice, classes));
    seeds.write(target, buildStatusReply(listing, kDevice, 0, 0x80));
    seeds.write(target, buildPayloadReply(listing, kObject, encodeItem(5, Bytes{0x40, 0xFE})));
    seeds.write(target, buildNotification({0, 0x8031, 12}, kObject, encodeItem(5, Bytes{1})));
    Bytes testList{2, 0};
    testList.resize(2 + 2 * 14, 7);
    seeds.write(target, buildPayloadReply(listing, kObject, testList));
    Bytes results(12, 0);
    results[10] = 1;
    results.resize(12 + 11, 3);
    seeds.write(target, buildPayloadReply(listing, kObject, results));
}

void writeRequests(SeedWriter& seeds) {
    std::vector<Bytes> items{encodeItem(1, Bytes{9}), encodeItem(2, Bytes{1, 2, 3})};
    const std::string target = "fuzz_tarn_requests";
    seeds.write(target, buildRegistration(kMe, kObject, 12, {0x4105, 2, 2})->data);
    seeds.write(target, buildRegistration(kMe, kObject, 13, {0x0106, 14, 10})->data);
    seeds.write(target, buildUnregister(kMe, kObject, {0, 0x8031, 12}).data);
    seeds.write(target, buildConfirmObject(kMe, 0, 1, 0xE2, 0x30, 0xFFFF, items)->data);
    seeds.write(target, buildSetMultipleProps(kMe, kObject, items)->data);
    seeds.write(target, buildGet(kMe, kObject, 0x0105, 3)->data);
    seeds.write(target, buildSet(kMe, kObject, true, items[1])->data);
    seeds.write(target, buildGetAllObjs(kMe, 0, 1, 0, kClassBlob).data);
    seeds.write(target, buildSoftReset(kMe, 0, 1).data);
    seeds.write(target,
                buildMethod(kMe, kObject, kMethodGetTestList, true, testListPayload(0, 0))->data);
}

// Whole request datagrams for a simulated device, one per kind of request
// and method it answers.
void writeDeviceRequests(SeedWriter& seeds) {
    const std::string target = "fuzz_tarnsim_requests";
    const TarnAddress blob{0, 1, 20};
    const TarnAddress tests{0, 1, 30};
    const TarnAddress matrix{0, 1, 40};
    std::vector<Bytes> items{encodeItem(4096, Bytes{190}), encodeItem(2, Bytes{'x'})};
    const uint8_t block[] = {1, 2, 3, 4};
    std::vector<TarnRequest> requests{
        *buildGet(kMe, {0, 1, 10}, 4096, 1),
        *buildSet(kMe, {0, 1, 10}, true, items[0]),
        *buildSetMultipleProps(kMe, {0, 1, 10}, items),
        buildGetAllProps(kMe, {0, 1, 10}, 0),
        *buildRegistration(kMe, {0, 1, 10}, 12, {4096, 131, 1}),
        buildUnregister(kMe, {0, 1, 10}, {0, 0x8031, 12}),
        buildGetAllObjs(kMe, 0, 1, 0, std::nullopt),
        buildGetAllObjsPlus(kMe, 0, 1, 1),
        buildGetAllClasses(kMe, 0, 1),
        *buildConfirmObject(kMe, 0, 1, 52, 50, 10, items),
        buildDelete(kMe, 0, 1, 10),
        buildSoftReset(kMe, 0, 1),
        *buildMethod(kMe, kDevice, kMethodAddObject, true, addObjectPayload(11, 60, 65535, 4)),
        *buildMethod(kMe, kDevice, kMethodReadClassText, true, classTextPayload(60, 0)),
        *buildMethod(kMe, blob, kMethodReadDataBlock, true, dataBlockReadPayload(0)),
        *buildMethod(kMe, blob, kMethodWriteDataBlock, true, *dataBlockWritePayload(2, block)),
        *buildMethod(kMe, tests, kMethodGetTestList, true, testListPayload(0, 0)),
        *buildMethod(kMe, tests, kMethodGetTestResults, true, testResultsPayload(0, 1, 0, 0)),
        *buildMethod(kMe, tests, kMethodEobResults, true, eobResultsPayload(0, 0)),
        *buildMethod(kMe, matrix, kMethodMatrixCommand, true, matrixCrosspointPayload(true, 2, 1)),
    };
    uint16_t number = 0x8000;
    for (const auto& request : requests) {
        Bytes datagram{'V',
                       'E',
                       'K',
                       0x00,
                       0xFF,
                       static_cast<uint8_t>(request.messageId),
                       static_cast<uint8_t>(request.messageId >> 8),
                       static_cast<uint8_t>(number),
                       static_cast<uint8_t>(number >> 8)};
        ++number;
        datagram.insert(datagram.end(), request.data.begin(), request.data.end());
        seeds.write(target, datagram);
    }
}

void writeDeviceFiles(SeedWriter& seeds) {
    const std::string target = "fuzz_tarnsim_device_file";
    seeds.write(target, std::string("object 0 class 17\n  prop 2 String \"Rack \\x41\\\"\"\n"
                                    "  prop 2068 UByte 8\n"));
    seeds.write(target, std::string("object 10 class 52 owner none  # gain\n"
                                    "  prop 4096 dB1 -3.5 min -60 max 20\n"
                                    "  prop 4097 dB2 -12.25 readonly wiggle\n"
                                    "  prop 4098 Coeff 0.5\n  prop 4099 ByteArray 00 ff\n"
                                    "  prop 4100 NumberList 1 65535\n  prop 4101 ObjAddr 1 2\n"
                                    "object 11 class 67 owner 10\n"));
    seeds.write(target, std::string("object 5 class 68\n  matrix 3 2 1:1 3:2\n  connect 2:1\n"
                                    "object 6 class 11\n  prop 3072 UWord 1\n  data 01 02\n"
                                    "object 7 class 226\n  tests 2 2 2\n"));
}

void writeItems(SeedWriter& seeds) {
    const std::string target = "fuzz_tarn_items";
    for (size_t size : {1, 2, 3, 4, 8}) {
        Bytes item = encodeItem(0x0105, Bytes(size, 0x5A));
        Bytes twoItems = item;
        twoItems.insert(twoItems.end(), item.begin(), item.end());
        seeds.write(target, twoItems);
    }
}

void writeSettings(SeedWriter& seeds) {
    const std::string target = "fuzz_settings_text";
    seeds.write(target, std::string("0, 1, 15, IP, 192.168.1.20"));
    seeds.write(target, std::string("0,16,31,COM,$1F"));
    seeds.write(target, std::string("\"7\", 32, 47, \"via IP, link\", 10.0.0.5"));
    seeds.write(target, std::string("127.0.0.2"));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    SeedWriter seeds(argv[1]);
    writeReplies(seeds);
    writeRequests(seeds);
    writeDeviceRequests(seeds);
    writeDeviceFiles(seeds);
    writeItems(seeds);
    writeSettings(seeds);
    return 0;
}
