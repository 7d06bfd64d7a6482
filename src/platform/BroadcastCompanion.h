#pragma once
// Whether a UDP socket bound to a unicast address needs a companion socket on (0.0.0.0, same
// port) to receive replies broadcast to 255.255.255.255 at that port.

// Linux and the other Unix systems deliver such broadcasts only to sockets bound to the
// wildcard address; Windows delivers them to the unicast-bound socket as well.
bool NeedsBroadcastCompanion();
