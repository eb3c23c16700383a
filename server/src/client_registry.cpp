#include "client_registry.h"

#include <algorithm>
#include <atomic>
#include <list>
#include <mutex>
#include <new>

#include "client_id_store.h"
#include "debuglog.h"
#include "message_codes.h"
#include "network.h"
#include "wire/ipc.h"

namespace hub {
namespace {

struct ClientRegistry {
    std::mutex lock;
    bool running = false;
    std::list<_Client> clients;  // registration order
    int32_t nextClientNumber = 1;
    plat::Hwnd mainWindow = plat::kNoWindow;
    int32_t autoShutdown = 1;
};

ClientRegistry& registry() {
    static ClientRegistry* r = new ClientRegistry;  // used by threads that may outlive statics
    return *r;
}

std::atomic<ClientPortsCloser> gPortsCloser{nullptr};

// Caller holds the lock.
int32_t takeClientNumber(ClientRegistry& r) {
    int32_t id = r.nextClientNumber;
    r.nextClientNumber = ClientNumberAfter(id);
    saveNextClientNumber(r.nextClientNumber);
    return id;
}

int32_t registerClient(plat::Hwnd window, uint32_t processID, ClientType_t type) {
    ClientRegistry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (!r.running) {
        return 0;
    }
    if (type == win16_client) {
        r.clients.remove_if([](const _Client& c) { return c.ClientType == win16_client; });
    }
    if (window == plat::kNoWindow) {
        return wire::kResultBadRequest;
    }
    try {
        _Client client;
        client.ClientHandle = window;
        client.ProcessID = processID;
        client.ClientType = type;
        client.ClientID = takeClientNumber(r);
        r.clients.push_back(client);
        return client.ClientID;
    } catch (const std::bad_alloc&) {
        return wire::kResultOutOfMemory;
    }
}

template <typename Match>
std::optional<_Client> findFirst(Match match) {
    ClientRegistry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = std::find_if(r.clients.begin(), r.clients.end(), match);
    return it == r.clients.end() ? std::nullopt : std::optional<_Client>(*it);
}

}  // namespace

int32_t ClientNumberAfter(int32_t id) {
    return id >= kLastClientNumber || id < 1 ? 1 : id + 1;
}

int32_t InitClientInterface(plat::Hwnd mainWindow, int32_t autoShutdown) {
    ClientRegistry& r = registry();
    {
        std::lock_guard<std::mutex> guard(r.lock);
        r.clients.clear();
        r.nextClientNumber = loadNextClientNumber();
        r.mainWindow = mainWindow;
        r.autoShutdown = autoShutdown;
        r.running = true;
    }
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Started... (Client Interface).\n");
    return 1;
}

void RemoveClientInterface() {
    ClientRegistry& r = registry();
    {
        std::lock_guard<std::mutex> guard(r.lock);
        if (!r.running) {
            return;
        }
        r.running = false;
        r.clients.clear();
        r.mainWindow = plat::kNoWindow;
    }
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Shutting Down... (Client Interface).\n");
}

int32_t RegisterWin32Client(plat::Hwnd window, uint32_t processID) {
    return registerClient(window, processID, win32_client);
}

int32_t RegisterWin16Client(plat::Hwnd window) {
    return registerClient(window, 0, win16_client);
}

int32_t UnRegisterClient(int32_t clientID) {
    // The other lists first, without the registry lock (lock order).
    DeleteNetRegistrationEntryID(clientID);
    if (ClientPortsCloser closer = gPortsCloser.load()) {
        closer(clientID);
    }
    ClientRegistry& r = registry();
    plat::Hwnd closeTarget = plat::kNoWindow;
    {
        std::lock_guard<std::mutex> guard(r.lock);
        size_t before = r.clients.size();
        r.clients.remove_if([clientID](const _Client& c) { return c.ClientID == clientID; });
        bool removedLast = r.clients.size() != before && r.clients.empty();
        if (r.running && removedLast && r.autoShutdown != 0) {
            closeTarget = r.mainWindow;
        }
    }
    if (closeTarget != plat::kNoWindow) {
        plat::postMessage(closeTarget, kMsgAutoShutdown, 0, 0);
    }
    return 0;
}

bool AutomaticShutdownDue() {
    ClientRegistry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.running && r.autoShutdown != 0 && r.clients.empty();
}

uint32_t GetClientProcessID(int32_t clientID) {
    std::optional<_Client> c = FindClient(clientID);
    return c ? c->ProcessID : 0;
}

ClientType_t GetClientType(int32_t clientID) {
    std::optional<_Client> c = FindClient(clientID);
    return c ? c->ClientType : win32_client;
}

plat::Hwnd GetClientWindowHandle(int32_t clientID) {
    std::optional<_Client> c = FindClient(clientID);
    return c ? c->ClientHandle : plat::kNoWindow;
}

std::optional<_Client> FindClient(int32_t clientID) {
    return findFirst([clientID](const _Client& c) { return c.ClientID == clientID; });
}

std::optional<_Client> FindClientByWindow(plat::Hwnd window) {
    return findFirst([window](const _Client& c) { return c.ClientHandle == window; });
}

size_t ClientCount() {
    ClientRegistry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.clients.size();
}

void SetClientPortsCloser(ClientPortsCloser closer) {
    gPortsCloser.store(closer);
}

}  // namespace hub
