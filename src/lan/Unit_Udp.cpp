#include "Unit_Udp.h"

#include "BroadcastCompanion.h"
#include "Platform.h"

#include <DatagramClass.h>
#include <LanPackets.h>
#include <Unit_ProFun.h>

#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QVariant>

Q_LOGGING_CATEGORY(lcUdp, "n6.udp")

TLastImages LastImages;
QList<QByteArray> SearchReplies;

namespace {

// Large enough for a burst of 1000 search replies (the kernel caps it at its own maximum).
constexpr int ReceiveBufferBytes = 4 * 1024 * 1024;
// Datagrams up to this size are received whole.
constexpr qint64 MaxDatagramSize = 8192;

constexpr auto BindMode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

} // namespace

// A socket leaves a binding closed and disconnected at once (its port is free again), but is
// freed only when control is back in the event loop: a handler may rebind while UDPServerRead
// is still reading that socket, inside the socket's own readyRead.
struct RetireSocket {
    void operator()(QUdpSocket *socket) const {
        QObject::disconnect(socket, nullptr, nullptr, nullptr);
        socket->close();
        socket->deleteLater();
    }
};
using SocketPtr = std::unique_ptr<QUdpSocket, RetireSocket>;

// One local address: the socket bound to (address, port P) and, where broadcast replies need
// it, its companion on (0.0.0.0, P). Inactive (no sockets) after a failed bind. The sockets
// are children of the endpoint, so a retired one still pending deletion goes with it.
struct TUdpSvr::Binding {
    QString address;
    quint16 port = 0;
    SocketPtr socket;
    SocketPtr companion;
};

TUdpSvr::TUdpSvr(QObject *parent)
    : QObject(parent) {
    qRegisterMetaType<TBaseParam>();
    qRegisterMetaType<TCloudParam>();
    qRegisterMetaType<TModbusParam>();
    SearchReplies.clear();
}

TUdpSvr::~TUdpSvr() {
    CloseBindings();
    SearchReplies.clear();
}

int TUdpSvr::BindingCount() const {
    return int(m_bindings.size());
}

QString TUdpSvr::BindingAddress(int index) const {
    if (index < 0 || index >= BindingCount())
        return {};
    return m_bindings[size_t(index)]->address;
}

quint16 TUdpSvr::BindingPort(int index) const {
    if (index < 0 || index >= BindingCount())
        return 0;
    return m_bindings[size_t(index)]->port;
}

QString TUdpSvr::BroadcastTarget() const {
    return BroadcastAddress().toString();
}

void TUdpSvr::CloseBindings() {
    for (auto &b : m_bindings) {
        b->socket.reset();
        b->companion.reset();
        b->port = 0;
    }
}

bool TUdpSvr::Activate() {
    for (auto &b : m_bindings) {
        if (b->socket)
            continue;
        SocketPtr socket(new QUdpSocket(this));
        if (!socket->bind(QHostAddress(b->address), 0, BindMode)) {
            qCWarning(lcUdp) << "cannot bind" << b->address << socket->errorString();
            CloseBindings();
            return false;
        }
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, ReceiveBufferBytes);
        b->port = socket->localPort();
        connect(socket.get(), &QUdpSocket::readyRead, this, &TUdpSvr::UDPServerRead);
        if (NeedsBroadcastCompanion()) {
            SocketPtr companion(new QUdpSocket(this));
            if (!companion->bind(QHostAddress(QHostAddress::AnyIPv4), b->port, BindMode)) {
                qCWarning(lcUdp) << "cannot bind the broadcast companion of" << b->address
                                 << b->port << companion->errorString();
                CloseBindings();
                return false;
            }
            companion->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                       ReceiveBufferBytes);
            connect(companion.get(), &QUdpSocket::readyRead, this, &TUdpSvr::UDPServerRead);
            b->companion = std::move(companion);
        }
        b->socket = std::move(socket);
    }
    return true;
}

void TUdpSvr::UpdateBindings() {
    QStringList list;
    const int n = GetLocalIPList(list);
    bool changed = n != BindingCount();
    for (int i = 0; !changed && i < n; ++i)
        changed = m_bindings[size_t(i)]->address != list.at(i);
    if (!changed || n <= 0)
        return;

    CloseBindings();
    m_bindings.clear();
    for (const QString &address : std::as_const(list)) {
        auto b = std::make_unique<Binding>();
        b->address = address;
        m_bindings.push_back(std::move(b));
    }
    if (!Activate())
        DoStatus(stPortInUse, QString());
}

int TUdpSvr::SearchDevices() {
    SearchReplies.clear();
    UpdateBindings();
    if (!m_bindings.empty() && !m_bindings.front()->socket && !Activate())
        return srFail; // the sockets cannot be bound for the sends either
    const QByteArray packet = SearchPacket();
    for (int i = 0; i < BindingCount(); ++i) {
        if (PrimaryConnReset())
            SendTo(i, packet, CfgPort);
    }
    DoStatus(stSearchDone, QString());
    return srOK;
}

// The primary socket is that of the first binding; asking for it binds the sockets when a
// previous bind failed.
bool TUdpSvr::PrimaryConnReset() {
    if (m_bindings.empty())
        return false;
    if (!m_bindings.front()->socket && !Activate())
        return false;
    return SetUdpConnReset(m_bindings.front()->socket.get(), false);
}

void TUdpSvr::SendTo(int bindIndex, const QByteArray &packet, quint16 port) {
    if (bindIndex < 0 || bindIndex >= BindingCount())
        return;
    QUdpSocket *socket = m_bindings[size_t(bindIndex)]->socket.get();
    if (!socket)
        return;
    const qint64 sent = socket->writeDatagram(packet, BroadcastAddress(), port);
    if (sent != packet.size()) {
        qCWarning(lcUdp) << "send from" << m_bindings[size_t(bindIndex)]->address
                         << "failed:" << socket->errorString();
        return;
    }
    DoDataSent(packet, BroadcastTarget(), port, bindIndex);
}

void TUdpSvr::SendDevCmd(int bindIndex, const QByteArray &mac, quint8 cmd, const QByteArray &user,
                         const QByteArray &password) {
    SendDevData(bindIndex, mac, cmd, user, password, QByteArray());
}

void TUdpSvr::SendDevCmdZ3(int bindIndex, const QByteArray &mac, quint8 cmd, const QByteArray &user,
                           const QByteArray &password) {
    SendDevDataZ3(bindIndex, mac, cmd, user, password, QByteArray());
}

void TUdpSvr::SendDevData(int bindIndex, const QByteArray &mac, quint8 cmd, const QByteArray &user,
                          const QByteArray &password, const QByteArray &data) {
    SendFramed(bindIndex, mac, cmd, user, password, data, CfgPort);
}

void TUdpSvr::SendDevDataZ3(int bindIndex, const QByteArray &mac, quint8 cmd,
                            const QByteArray &user, const QByteArray &password,
                            const QByteArray &data) {
    SendFramed(bindIndex, mac, cmd, user, password, data, CfgPortZ3);
}

void TUdpSvr::SendFramed(int bindIndex, const QByteArray &mac, quint8 cmd, const QByteArray &user,
                         const QByteArray &password, const QByteArray &data, quint16 port) {
    QByteArray packet;
    try {
        packet = data.isEmpty() ? CmdPacket(cmd, mac, user, password)
                                : DataPacket(cmd, mac, user, password, data);
    } catch (const ConvertError &e) {
        qCWarning(lcUdp) << "command not sent:" << e.what();
        return;
    }
    if (PrimaryConnReset())
        SendTo(bindIndex, packet, port);
}

void TUdpSvr::SendDevRaw(int bindIndex, const QByteArray &data) {
    if (PrimaryConnReset())
        SendTo(bindIndex, data, CfgPort);
}

void TUdpSvr::KeepLastImage(const QByteArray &data) {
    switch (data.size()) {
    case CloudImageSize:
        LastImages.LastCloudImage = data;
        break;
    case HeartRegImageSize:
        LastImages.LastHeartRegImage = data;
        break;
    case ParamImageSize:
        LastImages.LastParamImage.replace(0, ParamImageSize, data);
        LastImages.LastParamLength = ParamImageSize;
        break;
    case HttpdImageSize:
        LastImages.LastHttpdImage = data;
        break;
    default:
        break;
    }
}

void TUdpSvr::DoStatus(int code, const QString &text) {
    emit OnStatus(code, text);
}

void TUdpSvr::DoDataSent(const QByteArray &data, const QString &destAddress, quint16 destPort,
                         int bindIndex) {
    const Binding &b = *m_bindings[size_t(bindIndex)];
    emit OnDataSent(data, destAddress, b.address, destPort, b.port);
}

void TUdpSvr::UDPServerRead() {
    auto *socket = qobject_cast<QUdpSocket *>(sender());
    if (!socket)
        return;
    while (socket->state() == QAbstractSocket::BoundState && socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram(MaxDatagramSize);
        // Find the binding on every datagram: a handler may have rebound meanwhile (the old
        // socket is then closed, not yet freed; what it still held is dropped).
        int index = -1;
        for (int i = 0; i < BindingCount(); ++i) {
            const Binding &b = *m_bindings[size_t(i)];
            if (b.socket.get() == socket || b.companion.get() == socket)
                index = i;
        }
        if (index < 0)
            return;
        if (!datagram.isValid())
            continue;
        Dispatch(datagram.data(), datagram.senderAddress().toString(),
                 quint16(datagram.senderPort()), index);
    }
}

void TUdpSvr::Dispatch(const QByteArray &data, const QString &peerAddress, quint16 peerPort,
                       int bindIndex) {
    {
        const Binding &b = *m_bindings[size_t(bindIndex)];
        emit OnDataRecv(data, peerAddress, b.address, peerPort, b.port);
    }
    const DatagramClass c = ClassifyDatagram(data, peerPort);
    switch (c.kind) {
    case DatagramKind::Ignored:
        break;
    case DatagramKind::Status:
        DoStatus(c.status, c.statusText);
        break;
    case DatagramKind::ModbusInfo:
        emit OnModbusInfo(c.modbus, c.modbusLength);
        break;
    case DatagramKind::DevFound:
        // Stored before the signal, so that entry k is there when row k is added.
        SearchReplies.append(data);
        emit OnDevFound(c.ip, c.name, c.mac, c.version, c.model, bindIndex);
        break;
    case DatagramKind::ParamImage:
        LastImages.LastBaseFlags = quint8(data.at(3));
        LastImages.LastPortFlags = quint8(data.at(BaseImageSize + 50));
        KeepLastImage(data);
        emit OnParamRead(c.base, TarrComParam{c.port}, false, c.model);
        break;
    case DatagramKind::CloudImage:
        KeepLastImage(data);
        emit OnCloudRead(TarrCloudParam{c.cloud}, false, c.model);
        break;
    case DatagramKind::HeartRegImage:
        KeepLastImage(data);
        emit OnHeartRegRead(LastImages.LastHeartRegImage, false, c.model);
        break;
    case DatagramKind::HttpdImage:
        KeepLastImage(data);
        emit OnHttpdRead(c.url, c.header);
        break;
    }
}
