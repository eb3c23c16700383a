// Start and stop of the network service: the two UDP sockets, the own
// address and the settings that pace the sends.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

#include "debuglog.h"
#include "message_codes.h"
#include "network.h"
#include "network_pacing.h"
#include "network_registrations.h"
#include "network_settings.h"
#include "network_state.h"
#include "udp_port_holders.h"
#include "wire/address.h"

namespace hub {
namespace {

constexpr size_t kHostNameMax = 50;

unsigned lastError() {
    return static_cast<unsigned>(errno);
}

void closeSocket(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

int openUdpSocket() {
    return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
}

bool enableOption(int fd, int option) {
    int on = 1;
    return ::setsockopt(fd, SOL_SOCKET, option, &on, sizeof on) == 0;
}

bool makeNonBlocking(int fd) {
    int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool bindWildcard(int fd, uint16_t port) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

ino_t socketInode(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? st.st_ino : 0;
}

// Binds the wildcard address at `port` with SO_REUSEPORT, so simulated
// devices of the same user can bind 127.0.0.x at the same port beside it (a
// socket bound to the device's own address gets that address's traffic
// ahead of the wildcard one). The kernel lets only sockets of the same user
// share a port this way, so no other user can bind it while this socket
// exists. A second wildcard socket on the port (another server, or any
// program of this user) would share the devices' replies with this one:
// when one is there after the bind, the bind counts as failed with
// EADDRINUSE. SO_REUSEADDR is not used: it would let any user bind the port.
bool bindServerPort(int fd, uint16_t port) {
    if (!enableOption(fd, SO_REUSEPORT) || !bindWildcard(fd, port)) {
        return false;
    }
    if (otherWildcardSocketOnPort(port, socketInode(fd))) {
        errno = EADDRINUSE;
        return false;
    }
    return true;
}

// Writes "   ** HUBSERVER (EXE) Startup Error (<what>, Error = <errno>).\n".
bool startStepFailed(const char* what) {
    unsigned error = lastError();
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Startup Error (%s, Error = %u).\n", what, error);
    return false;
}

bool bindFailed(const char* socketName, uint16_t port) {
    unsigned error = lastError();
    char what[96];
    std::snprintf(what, sizeof what, "Unable to bind %s to Port %u", socketName,
                  static_cast<unsigned>(port));
    errno = static_cast<int>(error);
    return startStepFailed(what);
}

// Both sockets share their ports only with sockets of the same user bound to
// particular addresses (see bindServerPort).
bool openSockets(NetworkState& s, const ServerConfig& config) {
    if ((s.SendSocket = openUdpSocket()) < 0) {
        return startStepFailed("Unable to create Sending Socket");
    }
    if ((s.ReceiveSocket = openUdpSocket()) < 0) {
        return startStepFailed("Unable to create Receiving Socket");
    }
    if (!enableOption(s.SendSocket, SO_BROADCAST)) {
        return startStepFailed("Unable to set socket options on Sending Socket");
    }
    if (!makeNonBlocking(s.SendSocket)) {
        return startStepFailed("Unable to set Sending Socket as Non Blocking");
    }
    uint16_t sendPort = static_cast<uint16_t>(config.sendSocketPort);
    if (!bindServerPort(s.SendSocket, sendPort)) {
        return bindFailed("Sending Socket", sendPort);
    }
    uint16_t recvPort = static_cast<uint16_t>(config.recvSocketPort);
    if (!bindServerPort(s.ReceiveSocket, recvPort)) {
        return bindFailed("Recieve Socket", recvPort);
    }
    errno = 0;
    if (!plat::watchReadable(s.ReceiveSocket, s.WindowHandle, kMsgSocketReady)) {
        return startStepFailed("Unable to select Recieve Socket");
    }
    return true;
}

// The first IPv4 address of the local host name, host order; 0 when the
// name cannot be read or resolved.
uint32_t hostNameAddress() {
    char name[kHostNameMax + 1] = {};
    if (::gethostname(name, kHostNameMax) != 0) {
        return 0;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &found) != 0 || found == nullptr) {
        return 0;
    }
    uint32_t address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
    return address;
}

// "VEKBaseAddress"; "0.0.0.0" (and text that is no address, which is logged)
// means the address of the host name.
uint32_t ownAddress(const std::string& setting) {
    std::optional<uint32_t> parsed = wire::parseDottedAddress(setting);
    if (!parsed) {
        _Debug_Internal(
            0, "   ** HUBSERVER (EXE) Invalid VEKBaseAddress \"%.50s\", using host name.\n",
            setting.c_str());
    }
    if (parsed && *parsed != 0) {
        return *parsed;
    }
    return hostNameAddress();
}

void resetState(NetworkState& s, plat::Hwnd mainWindow) {
    s.NetworkInstalled = false;
    s.SendSocket = -1;
    s.ReceiveSocket = -1;
    s.MyIPAddress = 0;
    s.messageNumbers.reset();
    s.duplicates.reset();
    s.WindowHandle = mainWindow;
}

}  // namespace

// There is no sockets library to load or initialize here: the system's
// socket calls are always present, so those two start steps cannot fail and
// write nothing.
int32_t InitNetworkInterface(plat::Hwnd mainWindow, const ServerConfig& config) {
    NetworkState& s = networkState();
    resetState(s, mainWindow);
    if (config.noNetworkSupport != 0) {
        return 1;
    }
    if (!openSockets(s, config) || !openSendPacing()) {
        closeSendPacing();
        plat::unwatch(s.ReceiveSocket);
        closeSocket(s.SendSocket);
        closeSocket(s.ReceiveSocket);
        _Debug_Internal(0, "   ** HUBSERVER (EXE) Startup Error (Network Failed to Initialize).\n");
        return 0;
    }
    s.MyIPAddress = ownAddress(config.vekBaseAddress);
    s.RecvSocketPort = static_cast<uint16_t>(config.recvSocketPort);
    s.MsgDelayTime = config.messageDelayTime;
    s.DoubleUpBroadcasts = config.doubleUpBroadcasts;
    s.DoubleUpDelayTime = config.doubleUpDelayTime;
    s.NetworkInstalled = true;
    openNetList();
    networkSettings().setNetworkDebug(config.messagesOut != 0);
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Started... (Network).\n");
    return 1;
}

void RemoveNetworkInterface() {
    NetworkState& s = networkState();
    if (!s.NetworkInstalled) {
        return;
    }
    closeSendPacing();
    closeNetList();
    plat::unwatch(s.ReceiveSocket);
    closeSocket(s.SendSocket);
    closeSocket(s.ReceiveSocket);
    s.NetworkInstalled = false;
    _Debug_Internal(0, "   ** HUBSERVER (EXE) Shutting Down... (Network).\n");
}

bool NetworkInstalled() {
    return networkState().NetworkInstalled;
}

uint32_t GetIPAddress() {
    return networkState().MyIPAddress;
}

uint16_t GetNextMessageNumber() {
    return networkState().messageNumbers.next();
}

uint16_t TakeMessageNumbers(uint16_t count) {
    return networkState().messageNumbers.take(count);
}

void TurnOnNetworkDebugging(int32_t on) {
    networkSettings().setNetworkDebug(on != 0);
}

}  // namespace hub
