#include "version_texts.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

namespace hubclient {
namespace {

constexpr size_t kTextSize = 256;
constexpr const char* kDllText = "VEK Network DLL (HUBCLIENT.DLL) Version ";
constexpr const char* kDllVersion = "1.00";

// Plain arrays, valid for the life of the process: callers keep the pointers.
char gDll[kTextSize];
char gServer[kTextSize];
char gAll[kTextSize];
std::atomic<bool> gBuilt{false};
std::mutex gBuildLock;

// Copies a text, cut to the array's size with its terminator.
void store(char (&to)[kTextSize], const std::string& text) {
    size_t n = std::min(text.size(), kTextSize - 1);
    std::memcpy(to, text.data(), n);
    to[n] = '\0';
}

}  // namespace

bool versionTextsBuilt() {
    return gBuilt.load();
}

void buildVersionTexts(std::span<const uint8_t> serverText) {
    std::lock_guard<std::mutex> lock(gBuildLock);
    if (gBuilt.load()) {
        return;
    }
    auto end = std::find(serverText.begin(), serverText.end(), uint8_t{0});
    std::string dll = std::string(kDllText) + kDllVersion;
    std::string server = std::string(serverText.begin(), end) + "\r\n";
    store(gDll, dll);
    store(gServer, server);
    store(gAll, dll + "\r\n" + server);
    gBuilt.store(true);
}

const char* versionText(uint32_t flags) {
    bool dll = (flags & kVersionDll) != 0;
    bool server = (flags & kVersionServer) != 0;
    if (dll && server) {
        return gAll;
    }
    if (dll) {
        return gDll;
    }
    return server ? gServer : nullptr;
}

}  // namespace hubclient
