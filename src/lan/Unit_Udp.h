#pragma once
// TUdpSvr: the tool's configuration endpoint on the local network.
//
// Where data comes from and goes to: the endpoint binds one UDP socket to every local IPv4
// address (GetLocalIPList; N6_BIND replaces the list), broadcasts the search packet and the
// commands of the LAN protocol from one of those bindings (to 255.255.255.255, or N6_BROADCAST)
// and receives every datagram that devices send back. Each datagram is classified by its
// length (ClassifyDatagram, src/core/DatagramClass.h) and reported through exactly one of the
// nine signals below; the read replies are stored in the last-image buffers (LastImages.h)
// before their signal is emitted, so a handler that reads the buffers sees the new image.
//
// Bindings: per local address a socket on (address, port 0). Linux does not deliver a
// broadcast reply (to 255.255.255.255:P) to a socket bound to a unicast address, so off
// Windows each binding also gets a companion socket on (0.0.0.0, the same port P). What
// arrives on either belongs to that binding. Binding indexes are stable until the local
// address list changes (UpdateBindings compares the texts).
//
// Everything runs on the thread that owns the object (Qt delivers socket events there), so the
// buffers need no lock. Senders never wait for an answer: replies arrive later as signals.

#include "LastImages.h"

#include <Unit_Public.h>

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QUdpSocket;

class TUdpSvr : public QObject {
    Q_OBJECT
public:
    // Create: no binding exists yet; the first SearchDevices creates them.
    explicit TUdpSvr(QObject *parent = nullptr);
    // Destroy: closes every socket and empties SearchReplies.
    ~TUdpSvr() override;

    // Rebinds (when the local address list changed), then broadcasts FF 01 01 02 from every
    // binding to port 1500 and emits OnStatus(stSearchDone). Empties SearchReplies first.
    // Returns srOK, or srFail when the sends could not be made.
    int SearchDevices();
    // Rebinds only when the number of local addresses or any address text (in order) changed.
    // A socket that cannot be bound: OnStatus(stPortInUse, "") and no bindings stay active.
    void UpdateBindings();

    // The five send operations. `mac` with or without blanks; `user`/`password` put in the
    // packet by PutCredentialField. A MAC that does not convert or a binding index out of
    // range sends nothing and emits nothing. Each successful send emits OnDataSent.
    void SendDevCmd(int bindIndex, const QByteArray &mac, quint8 cmd, const QByteArray &user,
                    const QByteArray &password); // port 1500
    void SendDevCmdZ3(int bindIndex, const QByteArray &mac, quint8 cmd, const QByteArray &user,
                      const QByteArray &password); // port 1901
    void SendDevData(int bindIndex, const QByteArray &mac, quint8 cmd, const QByteArray &user,
                     const QByteArray &password, const QByteArray &data); // port 1500
    void SendDevDataZ3(int bindIndex, const QByteArray &mac, quint8 cmd, const QByteArray &user,
                       const QByteArray &password, const QByteArray &data); // port 1901
    // The bytes unchanged, no framing, to port 1500 (the Z1 LAN image).
    void SendDevRaw(int bindIndex, const QByteArray &data);

    // Copies an image into the last-image buffer of its kind (50, 85, 130, 302 bytes); any
    // other length changes nothing.
    static void KeepLastImage(const QByteArray &data);

    // The current bindings, in order (index = binding index of OnDevFound).
    int BindingCount() const;
    QString BindingAddress(int index) const; // empty when out of range
    quint16 BindingPort(int index) const;    // 0 when out of range
    // Where broadcasts go (255.255.255.255, or N6_BROADCAST).
    QString BroadcastTarget() const;

signals:
    // A datagram was sent (search broadcasts included).
    void OnDataSent(const QByteArray &data, const QString &destAddress, const QString &localAddress,
                    int destPort, int localPort);
    // A datagram arrived, before any interpretation.
    void OnDataRecv(const QByteArray &data, const QString &peerAddress, const QString &localAddress,
                    int peerPort, int localPort);
    // A search reply was accepted (and appended to SearchReplies). `name` holds the 14 GBK
    // bytes of the reply (zeros included; empty for Z1), `version` the decimal number (Z1:
    // "major.minor").
    void OnDevFound(const QString &ip, const QByteArray &name, const QString &mac,
                    const QString &version, int model, int bindIndex);
    // A 130-byte parameter image; `ports` has one element; `fromSerial` is false here.
    void OnParamRead(const TBaseParam &base, const TarrComParam &ports, bool fromSerial, int model);
    // A 50-byte cloud image; `cloud` has one element.
    void OnCloudRead(const TarrCloudParam &cloud, bool fromSerial, int model);
    // An 85-byte heartbeat/registration image (the bytes of LastHeartRegImage).
    void OnHeartRegRead(const QByteArray &image, bool fromSerial, int model);
    // A 302-byte HTTPD image: URL and header, cut at their fields (100 and 200 bytes).
    void OnHttpdRead(const QByteArray &url, const QByteArray &header);
    // A status code of Unit_Public.h (stSearchDone, stAck, stPswdErr, ...) and its text.
    void OnStatus(int code, const QString &text);
    // A 1- or 4-byte Modbus reply.
    void OnModbusInfo(const TModbusParam &modbus, int length);

private slots:
    // Reads every pending datagram of one socket and dispatches it.
    void UDPServerRead();

private:
    struct Binding;

    void DoStatus(int code, const QString &text);
    void DoDataSent(const QByteArray &data, const QString &destAddress, quint16 destPort,
                    int bindIndex);
    void Dispatch(const QByteArray &data, const QString &peerAddress, quint16 peerPort,
                  int bindIndex);
    void SendTo(int bindIndex, const QByteArray &packet, quint16 port);
    void SendFramed(int bindIndex, const QByteArray &mac, quint8 cmd, const QByteArray &user,
                    const QByteArray &password, const QByteArray &data, quint16 port);
    bool PrimaryConnReset();
    bool Activate();
    void CloseBindings();

    std::vector<std::unique_ptr<Binding>> m_bindings;
};
