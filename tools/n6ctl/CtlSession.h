#pragma once
// The LAN flows of n6ctl: one TUdpSvr, and waits for what it reports.
//
// A search collects OnDevFound for a while; a read sends cmdRead to a found device and gathers
// the parameter, cloud, heartbeat/registration, HTTPD and Modbus replies into a DeviceReadout;
// after a command or a write sequence, the device's code replies are collected in order.
// The waits run the event loop (replies are handled as they arrive) up to a deadline.

#include "CtlFields.h"

#include <Unit_Udp.h>

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

// One code reply of a device, in arrival order.
struct CtlAnswer {
    int status = 0;       // stAck, stPswdErr, stOtherErr or stCheckErr
    QString text;         // stCheckErr: the sum the device expected
    QString Word() const; // "ACK", "password refused", "error", "checksum complaint (..)"
};

class CtlSession : public QObject {
    Q_OBJECT
public:
    CtlSession();

    TUdpSvr &udp() { return m_udp; }

    // Searches and collects the devices that answer within `timeoutMs`. With `stopAtMac`
    // (twelve hex digits) it returns as soon as that device answered. False when the local
    // addresses cannot be bound.
    bool Search(int timeoutMs, const QByteArray &stopAtMac, QList<DeviceReadout> &devices);

    enum class ReadResult { Ok, Timeout, PasswordRefused, DeviceError };
    // Reads a found device into `dev` (Z1: decodes its search record, nothing is sent).
    // `deviceError` gets the device's complaint for DeviceError.
    ReadResult Read(DeviceReadout &dev, int timeoutMs, QString &deviceError);

    // Forgets the answers so far; then waits until `count` answers arrived or `timeoutMs`
    // passed, and returns them.
    void ClearAnswers() { m_answers.clear(); }
    QList<CtlAnswer> WaitAnswers(int count, int timeoutMs);

private:
    bool WaitFor(const std::function<bool()> &done, int timeoutMs);

    TUdpSvr m_udp;
    QList<DeviceReadout> m_found;
    QList<CtlAnswer> m_answers;
    bool m_portInUse = false;
    // Read in progress.
    DeviceReadout m_read;
    qint64 m_lastReplyMs = 0;
};
