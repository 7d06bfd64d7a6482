#pragma once
// Platform-specific functions, one small function per need; #ifdefs live only in this folder.

#include <QHostAddress>
#include <QStringList>

class QUdpSocket;

// Fills `list` with the dotted IPv4 addresses of the interfaces that are up and running,
// loopback excluded, in interface order, and returns their number. The environment variable
// N6_BIND (comma-separated addresses) replaces the list (tests, demo, unusual networks). With
// no address at all the result is 0 and `list` is left as it was.
int GetLocalIPList(QStringList &list);

// Where every LAN datagram goes: 255.255.255.255, or the address in N6_BROADCAST.
QHostAddress BroadcastAddress();

// Windows: switches SIO_UDP_CONNRESET on the socket (whether an ICMP port-unreachable is
// reported as a reset on the next receive); true when the control call succeeds. Elsewhere there
// is nothing to switch and the result is true.
bool SetUdpConnReset(QUdpSocket *socket, bool enable);

// Windows: starts a hidden, detached "arp -d" to flush the ARP cache. Elsewhere nothing.
void FlushArpCache();
