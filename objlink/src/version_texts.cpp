#include "version_texts.h"

#include <mutex>
#include <string>

#include "hubclient.h"

namespace objlink {
namespace {

constexpr const char* kVersionPrefix = "VEK NET DLL (OBJLINK.DLL) Version ";
constexpr const char* kVersionNumber = "1.1.0";
constexpr const char* kNoSupportVersion = "SUPPORT VERSION NOT AVAILABLE !!!!!!!";
constexpr uint32_t kAllBaseTexts = 0xFFFF;
constexpr size_t kMaxTextLength = 255;  // each text fits 256 bytes with its terminator

// Once built the texts never change again, so the pointers handed out stay
// valid.
struct VersionTexts {
    std::mutex mutex;
    bool built = false;
    std::string info;
    std::string all;
};

VersionTexts& texts() {
    static VersionTexts* t = new VersionTexts;
    return *t;
}

std::string limited(std::string text) {
    text.resize(std::min(text.size(), kMaxTextLength));
    return text;
}

}  // namespace

void buildVersionTexts(int32_t baseRegistrationId) {
    VersionTexts& t = texts();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (t.built) {
        return;
    }
    const char* base = GetVEKBaseVersion(baseRegistrationId, kAllBaseTexts);
    t.info = limited(std::string(kVersionPrefix) + kVersionNumber);
    t.all = limited(t.info + "\r\n" + (base != nullptr ? base : kNoSupportVersion));
    t.built = base != nullptr;
}

const char* versionText(bool all) {
    VersionTexts& t = texts();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!t.built) {
        return nullptr;
    }
    return all ? t.all.c_str() : t.info.c_str();
}

}  // namespace objlink
