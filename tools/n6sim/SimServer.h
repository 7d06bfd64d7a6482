#pragma once
// The LAN side of n6sim: the sockets on 1500 and 1901, the choice of reply path (unicast or
// broadcast, from which socket), fault injection, the send queue and the --log lines.
//
// Every received datagram is framed once (ParseSimRequest) and offered to every device in
// order, as a broadcast on a real LAN reaches every device; each device decides itself whether
// the datagram is meant for it.

#include "SimDevice.h"
#include "SimOptions.h"
#include "SimState.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

#include <deque>
#include <vector>

class QUdpSocket;

class SimServer : public QObject {
    Q_OBJECT
public:
    SimServer(const SimOptions &options, std::vector<SimDevice> devices, SimState *state,
              QObject *parent = nullptr);

    // Binds the receive sockets; false with `error` when one cannot be bound.
    bool start(QString &error);
    // A "# ..." remark on stdout (with --log only).
    void remark(const QString &text);

private:
    struct Outgoing {
        QUdpSocket *socket = nullptr;
        QByteArray data;
        QHostAddress to;
        quint16 port = 0;
    };

    QUdpSocket *bindSocket(const QHostAddress &address, quint16 port, QString &error);
    void readPending(QUdpSocket *socket);
    void handleDatagram(const QByteArray &data, const QHostAddress &sender, quint16 senderPort,
                        quint16 localPort);
    void answer(const SimDevice &device, const QList<QByteArray> &replies,
                const QHostAddress &sender, quint16 senderPort);
    QUdpSocket *replySocket(const SimDevice &device);
    void enqueue(const std::deque<Outgoing> &batch);
    void flush();
    void logDatagram(const char *direction, const QHostAddress &peer, quint16 peerPort,
                     quint16 localPort, const QByteArray &data);
    void saveState();

    SimOptions m_options;
    std::vector<SimDevice> m_devices;
    SimState *m_state;
    QHash<quint16, QUdpSocket *> m_receive; // by port
    QHash<QString, QUdpSocket *> m_own;     // "ip:port" -> socket, nullptr when not local
    std::deque<Outgoing> m_queue;
    QTimer m_retry;
    QElapsedTimer m_clock;
    QRandomGenerator m_random;
};
