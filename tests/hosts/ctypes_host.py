#!/usr/bin/env python3
"""A Python program using libhubclient.so or libobjlink.so through ctypes.

    ctypes_host.py <library folder> hubclient|objlink cleanup|keep|dlclose|bare

It starts up, sends a message to a device peer on 127.0.0.2, receives the
peer's echo through a callback and leaves its main code (see dlopen_host.c
for the modes). It prints "main returned" when its main code is done, so a
caller can measure how long the interpreter takes to end after it. The caller
gives it private VEK_* folders and VEK_HUBSERVER; the host picks free UDP
ports and writes VEKMAIN.INI itself.
"""
import ctypes
import os
import select
import socket
import sys
import threading

LIVENESS_S = 5.0
PEER = "127.0.0.2"


class Message(ctypes.Structure):
    pass


Message._fields_ = [("Address", ctypes.c_uint32), ("Length", ctypes.c_uint32),
                    ("Dataptr", ctypes.POINTER(ctypes.c_uint8)),
                    ("next", ctypes.POINTER(Message))]


class NetAddress(ctypes.Structure):
    _pack_ = 1
    _fields_ = [("AddressType", ctypes.c_int32), ("Address", ctypes.c_uint32)]


class NetMessage(ctypes.Structure):
    _pack_ = 1
    _fields_ = [("ObjectID", ctypes.c_uint16), ("MessageID", ctypes.c_uint16),
                ("DataLength", ctypes.c_uint16), ("DataPtr", ctypes.POINTER(ctypes.c_uint8)),
                ("Address", NetAddress)]


class NetResponse(ctypes.Structure):
    _pack_ = 1
    _fields_ = [("Status", ctypes.c_int32), ("ObjectID", ctypes.c_uint16),
                ("MessageID", ctypes.c_uint16), ("MessageNumber", ctypes.c_uint16),
                ("DataLength", ctypes.c_uint16), ("MaxDataLength", ctypes.c_uint16),
                ("DataPtr", ctypes.POINTER(ctypes.c_uint8)), ("Address", NetAddress)]


ReceiveCallback = ctypes.CFUNCTYPE(None, ctypes.POINTER(Message), ctypes.c_uint32)
ObjectCallback = ctypes.CFUNCTYPE(None, ctypes.c_uint32, ctypes.POINTER(NetResponse))

received = threading.Event()


def on_receive(message, parameter):
    received.set()


def on_object_message(parameter, response):
    received.set()


# Kept referenced for as long as the library may call them.
receive_callback = ReceiveCallback(on_receive)
object_callback = ObjectCallback(on_object_message)


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("0.0.0.0", 0))
        return s.getsockname()[1]


def write_settings(recv_port, send_port):
    folder = os.environ["VEK_CONFIG_DIR"]
    os.makedirs(folder, mode=0o700, exist_ok=True)
    with open(os.path.join(folder, "VEKMAIN.INI"), "w") as f:
        f.write("[VEK BASE 32]\nRecvSocketPort=%d\nSendSocketPort=%d\n"
                "VEKBaseAddress=127.0.0.1\nMessageDelayTime=0\n" % (recv_port, send_port))


def open_peer(port):
    s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEPORT, 1)
    s.bind((PEER, port))
    return s


def peer_echo(peer, port):
    """Sends the first datagram the peer receives back to the server."""
    ready, _, _ = select.select([peer], [], [], LIVENESS_S)
    if not ready:
        return False
    data = peer.recv(1500)
    return peer.sendto(data, ("127.0.0.1", port)) == len(data)


class HubclientSession:
    def __init__(self, lib):
        self.lib = lib
        lib.VEKBaseStartup.restype = ctypes.c_int32
        lib.VEKBaseCleanup.argtypes = [ctypes.c_int32]
        lib.GetMessageNumber.argtypes = [ctypes.c_int32]
        lib.SendVEKNetMessage.argtypes = [ctypes.c_int32, ctypes.POINTER(Message)]
        lib.RegisterReceiveCallback_CB.argtypes = [ctypes.c_int32, ReceiveCallback,
                                                   ctypes.c_uint32]
        self.id = lib.VEKBaseStartup()

    def subscribe(self):
        return self.lib.RegisterReceiveCallback_CB(self.id, receive_callback, 1) >= 1

    def send(self):
        number = self.lib.GetMessageNumber(self.id)
        data = (ctypes.c_uint8 * 12)(*b"VEK\x42\x00\x07\x00", number & 0xFF, number >> 8, 1, 2, 3)
        m = Message(0x7F000002, 12, data, None)
        return self.lib.SendVEKNetMessage(self.id, ctypes.byref(m)) == 1

    def cleanup(self):
        self.lib.VEKBaseCleanup(self.id)


class ObjlinkSession:
    def __init__(self, lib):
        self.lib = lib
        lib.VEKNetStartup.restype = ctypes.c_int32
        lib.VEKNetCleanup.argtypes = [ctypes.c_int32]
        lib.RegisterVEKObjectMessages_CB.argtypes = [ctypes.c_int32, ctypes.c_uint16,
                                                     ObjectCallback, ctypes.c_uint32]
        lib.SendVEKMessage.argtypes = [ctypes.c_int32, ctypes.c_uint32,
                                       ctypes.POINTER(NetMessage), ctypes.POINTER(NetResponse)]
        self.id = lib.VEKNetStartup()

    def subscribe(self):
        return self.lib.RegisterVEKObjectMessages_CB(self.id, 0x42, object_callback, 1) >= 1

    def send(self):
        data = (ctypes.c_uint8 * 3)(1, 2, 3)
        m = NetMessage(0x42, 0x07, 3, data, NetAddress(4, 0x7F000002))
        r = NetResponse()
        return self.lib.SendVEKMessage(self.id, 0, ctypes.byref(m), ctypes.byref(r)) > 0

    def cleanup(self):
        self.lib.VEKNetCleanup(self.id)


def fail(what):
    print("ctypes_host: " + what, file=sys.stderr)
    return 1


def main():
    if len(sys.argv) != 4:
        return fail("usage: ctypes_host.py <folder> hubclient|objlink cleanup|keep|dlclose|bare")
    folder, name, mode = sys.argv[1:]
    recv_port, send_port = free_udp_port(), free_udp_port()
    if recv_port == send_port:
        return fail("no ports")
    write_settings(recv_port, send_port)
    peer = open_peer(recv_port)
    lib = ctypes.CDLL(os.path.join(folder, "lib%s.so" % name))
    session = ObjlinkSession(lib) if name == "objlink" else HubclientSession(lib)
    if session.id < 1:
        return fail("startup failed")
    if mode != "bare":
        if not (session.subscribe() and session.send() and peer_echo(peer, recv_port)
                and received.wait(LIVENESS_S)):
            return fail("send or receive failed")
    if mode in ("cleanup", "dlclose"):
        session.cleanup()
    if mode == "dlclose":
        libdl = ctypes.CDLL(None)
        libdl.dlclose.argtypes = [ctypes.c_void_p]
        if libdl.dlclose(lib._handle) != 0:
            return fail("dlclose failed")
    peer.close()
    print("main returned", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
