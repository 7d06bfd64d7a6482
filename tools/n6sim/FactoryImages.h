#pragma once
// Factory settings of the simulated devices, as the byte images a device keeps.
//
// Z2/Z3: static address `ip`, mask 255.255.255.0, gateway and DNS x.y.z.1, name, web port 80,
// UPnP port 1900, user MAC all FF, 115200 8N1 no flow control, TCP client, local port 20108,
// remote 192.0.2.201:8234, 4 TCP server connections, style 1, cloud device number "QV" + MAC,
// network heartbeat "ping" every 30 s, registration "N6-REG" sent on connecting, HTTPD URL
// "/n6/data.php" with a text/plain header. Bytes the tool does not interpret hold
// 0x80 | (offset & 0x7F), so tests can see them travel back unchanged.
// Z1: the same addresses and line settings in the 28-byte block, RS-485 and RFC2217 on.

#include "SimDevice.h"

struct FactorySpec {
    SimModel model = SimModel::Z2;
    quint32 ip = 0;      // first dotted number highest
    QByteArray mac;      // 6 bytes
    QByteArray name;     // cut to 16 bytes
    QByteArray user;     // cut to 6 bytes
    QByteArray password; // cut to 6 bytes
    quint16 version = 0; // firmware above 4016 has heartbeat/registration and HTTPD images
    int modbus = 4;      // Modbus reply length: 1, 4 or 0
};

SimImages FactoryImages(const FactorySpec &spec);
