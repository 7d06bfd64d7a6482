// The simulator in the network lab: a device in the PC's subnet answers by unicast, the device in
// another subnet (198.51.100.7, no route from the PC) is found and read by broadcast only.
// Runs in the PC namespace (192.0.2.1); n6sim runs in the device namespace.

#include "SimProcess.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

namespace {

const QHostAddress PcAddress(QStringLiteral("192.0.2.1"));
const QHostAddress NearDevice(QStringLiteral("192.0.2.10"));
const QHostAddress FarDevice(QStringLiteral("198.51.100.7"));
const QByteArray FarMac = QByteArray::fromHex("024E36000002");

QList<QNetworkDatagram> Collect(QUdpSocket &socket, int count, int timeoutMs = 3000) {
    QList<QNetworkDatagram> out;
    QDeadlineTimer deadline(timeoutMs);
    while (out.size() < count && !deadline.hasExpired()) {
        socket.waitForReadyRead(50);
        while (socket.hasPendingDatagrams())
            out.append(socket.receiveDatagram());
    }
    return out;
}

// cmdRead for `mac` with the factory credentials: FF 13 03 MAC user password sum.
QByteArray ReadCommand(const QByteArray &mac) {
    QByteArray packet = QByteArray::fromHex("FF1303") + mac + QByteArray("vexol\0vexol\0", 12);
    quint8 sum = 0;
    for (int i = 1; i < packet.size(); ++i)
        sum += quint8(packet.at(i));
    return packet + char(sum);
}

} // namespace

class TestNetlabSim : public QObject {
    Q_OBJECT

    SimProcess sim;
    QUdpSocket unicast;   // 192.0.2.1:P, sends the broadcasts
    QUdpSocket broadcast; // 0.0.0.0:P, gets what is broadcast to 255.255.255.255:P

private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("N6_SIM_NETNS"))
            QSKIP("runs only inside the network lab (ctest -L netlab)");
        const auto share = QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint;
        QVERIFY(unicast.bind(PcAddress, 0, share));
        QVERIFY(broadcast.bind(QHostAddress::AnyIPv4, unicast.localPort(), share));
        QVERIFY2(sim.start({"--z2", "2", "--first-ip", "192.0.2.10,198.51.100.7"}),
                 qPrintable(sim.errorText()));
    }

    void otherSubnetDeviceIsFoundByBroadcastOnly() {
        unicast.writeDatagram(QByteArray::fromHex("FF010102"), QHostAddress::Broadcast, 1500);
        const QList<QNetworkDatagram> direct = Collect(unicast, 1);
        const QList<QNetworkDatagram> broadcasted = Collect(broadcast, 1);

        QCOMPARE(direct.size(), 1);
        QCOMPARE(direct.first().senderAddress(), NearDevice);
        QCOMPARE(direct.first().senderPort(), 1500);
        QCOMPARE(direct.first().data().mid(5, 4), QByteArray::fromHex("C000020A"));

        QCOMPARE(broadcasted.size(), 1);
        QCOMPARE(broadcasted.first().senderAddress(), FarDevice);
        QCOMPARE(broadcasted.first().data().mid(5, 4), QByteArray::fromHex("C6336407"));

        QVERIFY(sim.waitForSent(2));
        QCOMPARE(sim.sent().at(0).peer, PcAddress);
        QCOMPARE(sim.sent().at(1).peer, QHostAddress(QHostAddress::Broadcast));
        // The PC has no route to the far device: unicast there cannot even leave.
        QCOMPARE(unicast.writeDatagram(QByteArray(1, 'x'), FarDevice, 1500), qint64(-1));
    }

    void otherSubnetDeviceIsReadByBroadcast() {
        sim.clear();
        unicast.writeDatagram(ReadCommand(FarMac), QHostAddress::Broadcast, 1500);
        QList<int> sizes;
        for (const QNetworkDatagram &d : Collect(broadcast, 5))
            sizes.append(int(d.data().size()));
        QCOMPARE(sizes, (QList<int>{130, 50, 85, 302, 4}));
        QVERIFY(!unicast.hasPendingDatagrams());
    }

    void cleanupTestCase() { sim.stop(); }
};

QTEST_GUILESS_MAIN(TestNetlabSim)
#include "tst_netlab_sim.moc"
