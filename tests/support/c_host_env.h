/*
 * For test programs written in C against the public headers: free UDP
 * ports, VEKMAIN.INI in $VEK_CONFIG_DIR and a device socket on a loopback
 * address beside the server (SO_REUSEPORT, as the server binds its ports).
 */
#ifndef VEK_C_HOST_ENV_H
#define VEK_C_HOST_ENV_H

/* A UDP port nothing uses at this moment, or -1. */
int hostFreeUdpPort(void);

/* Writes VEKMAIN.INI with these ports, the own address 127.0.0.1 and no
 * pacing; 0, or -1 without VEK_CONFIG_DIR or when it cannot be written. */
int hostWriteSettings(int recvPort, int sendPort);

/* A UDP socket bound to `address` (dotted) at `port`; -1 when the bind
 * fails. */
int hostOpenPeer(const char* address, int port);

#endif
