#include "SimServer.h"

#include "Unit_Public.h"

#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <cstdio>

Q_LOGGING_CATEGORY(lcSim, "n6.sim")

namespace {

constexpr int RetryMs = 1;
constexpr int ReceiveBuffer = 4 * 1024 * 1024;

void PrintLine(const QByteArray &line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

SimServer::SimServer(const SimOptions &options, std::vector<SimDevice> devices, SimState *state,
                     QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_devices(std::move(devices))
    , m_state(state)
    , m_random(options.seed) {
    m_clock.start();
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &SimServer::flush);
}

QUdpSocket *SimServer::bindSocket(const QHostAddress &address, quint16 port, QString &error) {
    auto *socket = new QUdpSocket(this);
    if (!socket->bind(address, port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        error = QStringLiteral("cannot bind %1:%2: %3")
                    .arg(address.toString())
                    .arg(port)
                    .arg(socket->errorString());
        delete socket;
        return nullptr;
    }
    socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, m_options.sendBuffer);
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, ReceiveBuffer);
    connect(socket, &QUdpSocket::readyRead, this, [this, socket] { readPending(socket); });
    return socket;
}

bool SimServer::start(QString &error) {
    for (const quint16 port : {CfgPort, CfgPortZ3}) {
        QUdpSocket *socket = bindSocket(m_options.bind, port, error);
        if (!socket)
            return false;
        m_receive.insert(port, socket);
    }
    for (const SimDevice &device : m_devices)
        remark(QStringLiteral("device %1 mac %2 ip %3 version %4")
                   .arg(SimModelName(device.model()),
                        QString::fromLatin1(device.mac().toHex(' ').toUpper()),
                        QHostAddress(device.ip()).toString(),
                        device.model() == SimModel::Z1
                            ? QStringLiteral("0x%1").arg(device.version(), 2, 16, QChar('0'))
                            : QString::number(device.version())));
    return true;
}

void SimServer::remark(const QString &text) {
    if (m_options.log)
        PrintLine("# " + text.toUtf8());
}

void SimServer::logDatagram(const char *direction, const QHostAddress &peer, quint16 peerPort,
                            quint16 localPort, const QByteArray &data) {
    if (!m_options.log)
        return;
    const QByteArray hex = data.isEmpty() ? QByteArray("-") : data.toHex().toUpper();
    PrintLine(QByteArray::number(m_clock.elapsed()) + ' ' + direction + ' ' +
              peer.toString().toLatin1() + ':' + QByteArray::number(peerPort) + ' ' +
              QByteArray::number(localPort) + ' ' + QByteArray::number(data.size()) + ' ' + hex);
}

void SimServer::readPending(QUdpSocket *socket) {
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        if (!datagram.isValid())
            continue;
        QHostAddress sender = datagram.senderAddress();
        sender.setAddress(sender.toIPv4Address()); // drop any IPv4-mapped form
        handleDatagram(datagram.data(), sender, quint16(datagram.senderPort()),
                       socket->localPort());
    }
}

void SimServer::handleDatagram(const QByteArray &data, const QHostAddress &sender,
                               quint16 senderPort, quint16 localPort) {
    logDatagram("in", sender, senderPort, localPort, data);
    const SimRequest request = ParseSimRequest(data);
    if (request.kind == SimRequest::Garbage) {
        remark("ignored: " + request.reason);
        return;
    }
    if (m_options.muteCommands && request.kind != SimRequest::Search) {
        remark(QStringLiteral("ignored: --mute-commands"));
        return;
    }
    bool anyone = false;
    bool changed = false;
    for (SimDevice &device : m_devices) {
        const SimAnswer result = device.handle(request, localPort, m_options.badChecksum);
        if (!result.addressed)
            continue;
        anyone = true;
        changed = changed || result.changed;
        if (!result.note.isEmpty())
            remark(QStringLiteral("%1 %2: %3")
                       .arg(SimModelName(device.model()),
                            QString::fromLatin1(device.mac().toHex().toUpper()), result.note));
        answer(device, result.replies, sender, senderPort);
    }
    if (!anyone)
        remark(QStringLiteral("no device takes this datagram on port %1").arg(localPort));
    if (changed)
        saveState();
}

QUdpSocket *SimServer::replySocket(const SimDevice &device) {
    const quint16 port = device.replyPort();
    // Only with the wildcard binding may a device use its own address (in a network namespace
    // or on a real LAN); with a specific binding everything leaves from that address.
    if (m_options.bind != QHostAddress(QHostAddress::AnyIPv4))
        return m_receive.value(port);
    const QHostAddress own(device.ip());
    const QString key = own.toString() + ':' + QString::number(port);
    auto it = m_own.find(key);
    if (it == m_own.end()) {
        QString error;
        QUdpSocket *socket = bindSocket(own, port, error); // fails when the address is not local
        it = m_own.insert(key, socket);
    }
    return it.value() ? it.value() : m_receive.value(port);
}

void SimServer::answer(const SimDevice &device, const QList<QByteArray> &replies,
                       const QHostAddress &sender, quint16 senderPort) {
    if (replies.isEmpty())
        return;
    bool unicast = m_options.reply == ReplyMode::Unicast;
    if (m_options.reply == ReplyMode::Auto) {
        // A sender on this host's loopback is always reachable directly; a broadcast from the
        // wildcard socket would leave through the default route instead.
        const quint32 mask = device.mask();
        unicast = sender.isLoopback() || (sender.toIPv4Address() & mask) == (device.ip() & mask);
    }
    const QHostAddress to = unicast ? sender : m_options.broadcast;
    QUdpSocket *socket = replySocket(device);
    std::deque<Outgoing> batch;
    for (const QByteArray &reply : replies) {
        for (int copy = 0; copy < (m_options.twice ? 2 : 1); ++copy) {
            if (m_options.drop > 0.0 && m_random.generateDouble() < m_options.drop) {
                remark(QStringLiteral("dropped reply of %1 bytes").arg(reply.size()));
                continue;
            }
            batch.push_back({socket, reply, to, senderPort});
        }
    }
    if (m_options.delayMs > 0)
        QTimer::singleShot(m_options.delayMs, this, [this, batch] { enqueue(batch); });
    else
        enqueue(batch);
}

void SimServer::enqueue(const std::deque<Outgoing> &batch) {
    m_queue.insert(m_queue.end(), batch.begin(), batch.end());
    flush();
}

void SimServer::flush() {
    while (!m_queue.empty()) {
        const Outgoing &out = m_queue.front();
        if (out.socket->writeDatagram(out.data, out.to, out.port) < 0) {
            if (out.socket->error() == QAbstractSocket::TemporaryError) {
                m_retry.start(); // send buffer full: try again shortly, in order
                return;
            }
            qCWarning(lcSim) << "send to" << out.to.toString() << out.port
                             << "failed:" << out.socket->errorString();
            remark("send failed: " + out.socket->errorString());
        } else {
            logDatagram("out", out.to, out.port, out.socket->localPort(), out.data);
        }
        m_queue.pop_front();
    }
}

void SimServer::saveState() {
    if (!m_state || !m_state->enabled())
        return;
    QString error;
    if (!m_state->save(m_devices, error))
        qCWarning(lcSim) << "cannot write the state file:" << error;
}
