#pragma once
// One simulated device: its identity, its settings (factory, stored, running) and how it answers
// a request. No sockets here: SimServer hands every received datagram, framed once by
// ParseSimRequest, to every device, and sends what the device returns.
//
// A device keeps two sets of settings like the real firmware: `stored` (what writes change and
// reads return) and `running` (what the search shows and the credentials are checked against).
// cmdRestart (and cmdApplyZ3 on Z3) copies stored to running; cmdReset sets both to factory.

#include <QByteArray>
#include <QList>
#include <QString>

enum class SimModel { Z1, Z2, Z3 };

QString SimModelName(SimModel model);

// The settings images of one device. Z2/Z3 use param..modbus, Z1 only z1.
struct SimImages {
    QByteArray param;    // 130: base image 0..66, port image 67..129
    QByteArray cloud;    // 50
    QByteArray heartReg; // 85 (empty: firmware without heartbeat/registration)
    QByteArray httpd;    // 302 (empty: firmware without HTTPD client)
    QByteArray modbus;   // 1 or 4 bytes; empty: no Modbus reply
    QByteArray z1;       // 28-byte Z1 image
    bool operator==(const SimImages &other) const;
};

// A received datagram after the device-independent checks (lead, length).
struct SimRequest {
    enum Kind { Garbage, Search, Command, Z1Image } kind = Garbage;
    QString reason;      // Garbage: why it was ignored
    quint8 code = 0;     // Command
    QByteArray mac;      // Command, Z1Image: 6 bytes
    QByteArray user;     // Command: 6-byte field
    QByteArray password; // Command: 6-byte field
    QByteArray data;     // Command: the data block; Z1Image: the access code (6 bytes)
    QByteArray image;    // Z1Image: 28 bytes
    bool sumOk = false;  // Command
    quint8 expectedSum = 0;
};

SimRequest ParseSimRequest(const QByteArray &datagram);

// What a device does with one request.
struct SimAnswer {
    bool addressed = false;    // the request was for this device (its MAC, or a search)
    QList<QByteArray> replies; // datagrams to send, in order
    bool changed = false;      // settings changed: save the state
    QString note;              // remark for the log (why nothing was answered)
};

class SimDevice {
public:
    SimDevice(SimModel model, const QByteArray &mac, quint16 version, const SimImages &factory,
              const QByteArray &z1User = {}, const QByteArray &z1Password = {});

    SimModel model() const { return m_model; }
    QByteArray mac() const { return m_mac; }
    quint16 version() const { return m_version; }
    // The port the device answers from (1500 for Z2 and Z1, 1901 for Z3).
    quint16 replyPort() const;
    // Running address and mask as 32-bit numbers (first dotted number highest).
    quint32 ip() const;
    quint32 mask() const;
    QByteArray name() const;

    SimAnswer handle(const SimRequest &request, quint16 localPort, bool badChecksum);
    QByteArray searchReply() const;

    SimImages factory, stored, running;

private:
    SimAnswer command(const SimRequest &request, bool badChecksum);
    QByteArray codeReply(quint8 code, char status) const;
    bool listens(quint8 code, quint16 localPort) const;
    bool credentialsOk(const SimRequest &request) const;

    SimModel m_model;
    QByteArray m_mac;
    quint16 m_version;
    QByteArray m_z1User, m_z1Password; // Z1 has no base image holding them
};
