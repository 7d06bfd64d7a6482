// The device simulator seen from the wire: requests built here byte by byte (not by the tool's
// packet builders) go to n6sim over loopback; the replies are checked byte by byte.
//
// Addresses: the simulator binds 127.0.0.11, the client sends from 127.0.0.10 and catches
// "broadcast" replies on 127.0.0.12 (the simulator's --broadcast) at the same port.

#include "SimProcess.h"

#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace {

const QHostAddress SimAddress(QStringLiteral("127.0.0.11"));
const QHostAddress ClientAddress(QStringLiteral("127.0.0.10"));
const QHostAddress BroadcastAddress(QStringLiteral("127.0.0.12"));
constexpr quint16 Z2Port = 1500;
constexpr quint16 Z3Port = 1901;

// The first devices of every simulator started here: Z2 (…10, 192.0.2.10), Z2 (…11),
// Z3 (…12), Z1 (…13), in that order.
const QStringList BaseArgs = {
    "--bind",     "127.0.0.11", "--broadcast", "127.0.0.12", "--first-mac", "02:4E:36:00:00:10",
    "--first-ip", "192.0.2.10", "--name",      "lab"};
const QByteArray Z2Mac = QByteArray::fromHex("024E36000010");
const QByteArray Z3Mac = QByteArray::fromHex("024E36000012");
const QByteArray Z1Mac = QByteArray::fromHex("024E36000013");

quint8 Sum(const QByteArray &bytes, int from, int to) {
    quint8 sum = 0;
    for (int i = from; i <= to; ++i)
        sum += quint8(bytes.at(i));
    return sum;
}

QByteArray Field6(const QByteArray &text) {
    return text.left(6).leftJustified(6, '\0');
}

// FF, length, code, MAC, user, password, data, sum of everything after the FF.
QByteArray Command(quint8 code, const QByteArray &mac, const QByteArray &user = "vexol",
                   const QByteArray &password = "vexol", const QByteArray &data = {}) {
    QByteArray packet;
    packet.append(char(0xFF));
    packet.append(char((data.size() + 19) & 0xFF));
    packet.append(char(code));
    packet += mac + Field6(user) + Field6(password) + data;
    packet.append(char(Sum(packet, 1, int(packet.size()) - 1)));
    return packet;
}

const QByteArray Search = QByteArray::fromHex("FF010102");

QByteArray Hex(const char *text) {
    return QByteArray::fromHex(text);
}

QByteArray WithSum(QByteArray reply) {
    reply.append(char(Sum(reply, 1, int(reply.size()) - 1)));
    return reply;
}

// The test's side of the wire: a socket on 127.0.0.10 and one on 127.0.0.12 at the same port.
class Client {
public:
    Client() {
        unicast.bind(ClientAddress, 0);
        broadcast.bind(BroadcastAddress, unicast.localPort());
        unicast.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4 << 20);
    }
    void send(const QByteArray &bytes, quint16 port) {
        unicast.writeDatagram(bytes, SimAddress, port);
    }
    // Takes what arrived on both sockets so far.
    QList<QNetworkDatagram> take(QUdpSocket &socket) {
        QList<QNetworkDatagram> out;
        while (socket.hasPendingDatagrams())
            out.append(socket.receiveDatagram());
        return out;
    }
    QUdpSocket unicast;
    QUdpSocket broadcast;
};

} // namespace

class TestN6Sim : public QObject {
    Q_OBJECT

private:
    // Starts the simulator with BaseArgs + `extra` (two Z2, one Z3, one Z1 unless overridden).
    bool startSim(const QStringList &extra = {"--z2", "2", "--z3", "1", "--z1", "1"}) {
        if (!sim.start(BaseArgs + extra)) {
            qWarning() << sim.errorText();
            return false;
        }
        return true;
    }

    // Sends `request` to `port`, then a search as a marker, and returns what the devices sent
    // between the two (the simulator handles datagrams in arrival order).
    QList<QByteArray> exchange(const QByteArray &request, quint16 port) {
        sim.clear();
        client.send(request, port);
        if (!sim.waitForReceived(1))
            return {QByteArray("no request seen")};
        client.send(Search, Z2Port);
        if (!sim.waitForReceived(2))
            return {QByteArray("no marker seen")};
        // Only what was sent between the request and the marker (late replies to an earlier
        // marker may come first).
        QList<QByteArray> replies;
        bool seen = false;
        for (const SimDatagram &d : sim.datagrams()) {
            if (d.in && seen)
                break;
            if (d.in && d.bytes == request)
                seen = true;
            else if (seen)
                replies.append(d.bytes);
        }
        return replies;
    }

    // The replies of the devices to one request, as the client received them.
    QList<QNetworkDatagram> roundTrip(const QByteArray &request, quint16 port, int expected) {
        sim.clear();
        client.take(client.unicast);
        client.send(request, port);
        QList<QNetworkDatagram> got;
        QDeadlineTimer deadline(5000);
        while (got.size() < expected && !deadline.hasExpired()) {
            client.unicast.waitForReadyRead(50);
            got += client.take(client.unicast);
        }
        return got;
    }

    QByteArray readParam(const QByteArray &mac, quint16 port) {
        const QList<QByteArray> replies = exchange(Command(0x03, mac), port);
        return replies.isEmpty() ? QByteArray() : replies.first();
    }

    QByteArray searchReplyOf(const QByteArray &mac) {
        sim.clear();
        client.send(Search, Z2Port);
        sim.waitForSent(1);
        QTest::qWait(100);
        for (const SimDatagram &d : sim.sent())
            if (d.bytes.mid(d.bytes.size() == 35 ? 0 : 9, 6) == mac)
                return d.bytes;
        return {};
    }

    SimProcess sim;
    Client client;

private slots:
    void cleanup() { sim.stop(); }

    void searchAnswersWithEveryDeviceByteExact() {
        QVERIFY(startSim({"--z2", "2", "--z3", "1", "--z1", "1", "--reply", "unicast"}));
        const QList<QNetworkDatagram> got = roundTrip(Search, Z2Port, 4);
        QCOMPARE(got.size(), 4);

        // FF 24 01 | 2 free | IP first number first | MAC | version LE | 2 free | name (14) |
        // 2 free | sum of bytes 1..34.
        const QByteArray z2a = WithSum(Hex("FF2401A55A C000020A 024E36000010 B50F 3CC3"
                                           "6C61622D5A322D310000000000007EE7"));
        const QByteArray z2b = WithSum(Hex("FF2401A55A C000020B 024E36000011 B50F 3CC3"
                                           "6C61622D5A322D320000000000007EE7"));
        const QByteArray z3 = WithSum(Hex("FF2401A55A C000020C 024E36000012 B50F 3CC3"
                                          "6C61622D5A332D310000000000007EE7"));
        // Z1 search record: MAC | version byte | Z1 image: destination 192.0.2.201:8234,
        // module 192.0.2.13:20108, gateway 192.0.2.1, TCP client, 115200, 8N1, ID 0,
        // RS-485 + RFC2217, mask 255.255.255.0.
        const QByteArray z1 = Hex("024E36000013 21 C90200C0 2A20 0D0200C0 8C4E 010200C0 01 00C201"
                                  "03 0000 84 00FFFFFF");
        const QList<QByteArray> expected = {z2a, z2b, z3, z1};
        const QList<quint16> ports = {Z2Port, Z2Port, Z3Port, Z2Port};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(got.at(i).data().toHex(' '), expected.at(i).toHex(' '));
            QCOMPARE(got.at(i).senderPort(), int(ports.at(i)));
        }
    }

    void requestGetsReply_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("port");
        QTest::addColumn<QList<QByteArray>>("replies");
        using L = QList<QByteArray>;
        const QByteArray read = Command(0x03, Z2Mac);
        QByteArray badSum = read;
        badSum[21] = char(badSum.at(21) + 1);

        QTest::newRow("wrong checksum -> 45 + expected sum")
            << badSum << 1500 << L{"E" + read.right(1)};
        QTest::newRow("wrong password -> FF 01 03 50")
            << Command(0x03, Z2Mac, "vexol", "guess") << 1500 << L{Hex("FF010350")};
        QTest::newRow("wrong user -> FF 01 05 50")
            << Command(0x05, Z2Mac, "admin", "vexol", QByteArray(67, 'x')) << 1500
            << L{Hex("FF010550")};
        QTest::newRow("wrong MAC -> silence") << Command(0x03, Hex("024E360000FF")) << 1500 << L{};
        QTest::newRow("Z2 command on 1901 -> silence") << read << 1901 << L{};
        QTest::newRow("Z3 read on 1500 -> silence") << Command(0x03, Z3Mac) << 1500 << L{};
        QTest::newRow("Z3 restart on 1500 -> K from 1901")
            << Command(0x02, Z3Mac) << 1500 << L{Hex("FF01024B")};
        QTest::newRow("Z3 apply on 1901 -> K")
            << Command(0x04, Z3Mac) << 1901 << L{Hex("FF01044B")};
        QTest::newRow("Z2 apply -> E") << Command(0x04, Z2Mac) << 1500 << L{Hex("FF010445")};
        QTest::newRow("unknown command 0x7F -> E")
            << Command(0x7F, Z2Mac) << 1500 << L{Hex("FF017F45")};
        QTest::newRow("base write of 66 bytes -> E")
            << Command(0x05, Z2Mac, "vexol", "vexol", QByteArray(66, 'x')) << 1500
            << L{Hex("FF010545")};
        QTest::newRow("modbus write of 4 bytes -> K")
            << Command(0x24, Z2Mac, "vexol", "vexol", Hex("01010064")) << 1500
            << L{Hex("FF01244B")};
        QTest::newRow("Z1 restart -> K") << Command(0x02, Z1Mac) << 1500 << L{Hex("FF01024B")};
        QTest::newRow("Z1 image with wrong code -> silence")
            << Z1Mac + QByteArray("123456") + QByteArray(28, 'x') << 1500 << L{};
        QByteArray longerLength = read;
        longerLength[1] = char(0x14);
        QTest::newRow("length byte off -> silence") << longerLength << 1500 << L{};
        QByteArray lead = read;
        lead[0] = char(0xFE);
        QTest::newRow("lead FE -> silence") << lead << 1500 << L{};
        QTest::newRow("empty datagram -> silence") << QByteArray() << 1500 << L{};
        QTest::newRow("3 bytes -> silence") << Hex("FF0101") << 1500 << L{};
        QTest::newRow("search with bad sum -> silence") << Hex("FF010103") << 1500 << L{};
        QTest::newRow("truncated read -> silence") << read.left(12) << 1500 << L{};
        QTest::newRow("2000 bytes of FF -> silence") << QByteArray(2000, char(0xFF)) << 1500 << L{};
    }

    void requestGetsReply() {
        QFETCH(QByteArray, request);
        QFETCH(int, port);
        QFETCH(QList<QByteArray>, replies);
        QVERIFY(startSim());
        QCOMPARE(exchange(request, quint16(port)), replies);
        QVERIFY(sim.isRunning());
    }

    void readGivesImagesAsSeparateDatagrams_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("mac");
        QTest::addColumn<int>("port");
        QTest::addColumn<QList<int>>("sizes");
        QTest::newRow("Z2: 130 50 85 302 4")
            << QStringList{"--z2", "1"} << Z2Mac << 1500 << QList<int>{130, 50, 85, 302, 4};
        QTest::newRow("Z3 from 1901") << QStringList{"--z2", "2", "--z3", "1"} << Z3Mac << 1901
                                      << QList<int>{130, 50, 85, 302, 4};
        QTest::newRow("1-byte Modbus")
            << QStringList{"--modbus", "1"} << Z2Mac << 1500 << QList<int>{130, 50, 85, 302, 1};
        QTest::newRow("no Modbus")
            << QStringList{"--modbus", "none"} << Z2Mac << 1500 << QList<int>{130, 50, 85, 302};
        QTest::newRow("firmware 4016: no heartbeat, no HTTPD")
            << QStringList{"--version", "4016"} << Z2Mac << 1500 << QList<int>{130, 50, 4};
    }

    void readGivesImagesAsSeparateDatagrams() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, mac);
        QFETCH(int, port);
        QFETCH(QList<int>, sizes);
        QVERIFY(startSim(args + QStringList{"--reply", "unicast"}));
        const QList<QNetworkDatagram> got =
            roundTrip(Command(0x03, mac), quint16(port), sizes.size());
        QList<int> gotSizes;
        for (const QNetworkDatagram &d : got) {
            gotSizes.append(int(d.data().size()));
            QCOMPARE(d.senderPort(), port);
        }
        QCOMPARE(gotSizes, sizes);
        // Factory base image: static address 192.0.2.10 stored last number first, name, user.
        const QByteArray param = got.first().data();
        QCOMPARE(param.mid(9, 4), Hex(mac == Z3Mac ? "0C0200C0" : "0A0200C0"));
        QCOMPARE(param.mid(17, 4), Hex("00FFFFFF"));
        QCOMPARE(param.mid(37, 12), QByteArray("vexol\0vexol\0", 12));
        QCOMPARE(param.mid(67, 4), Hex("00C20100")); // 115200
    }

    void writeIsReadBackAndAppliedByRestart() {
        QVERIFY(startSim());
        const QByteArray factory = readParam(Z2Mac, Z2Port);
        QCOMPARE(factory.size(), 130);

        QByteArray base = factory.left(67);
        base.replace(9, 4, Hex("630200C0")); // 192.0.2.99
        base.replace(21, 16, QByteArray("renamed").leftJustified(16, '\0'));
        base.replace(43, 6, QByteArray("secret")); // new password
        QCOMPARE(exchange(Command(0x05, Z2Mac, "vexol", "vexol", base), Z2Port),
                 QList<QByteArray>{Hex("FF01054B")});
        QByteArray port = factory.mid(67);
        port[51] = char(3); // TCP server
        QCOMPARE(exchange(Command(0x06, Z2Mac, "vexol", "vexol", port), Z2Port),
                 QList<QByteArray>{Hex("FF01064B")});

        // Read back before the restart: the written images, every other byte as before.
        QCOMPARE(readParam(Z2Mac, Z2Port).toHex(' '), (base + port).toHex(' '));
        // Not current yet: the search shows the old address, the old password still works.
        QCOMPARE(searchReplyOf(Z2Mac).mid(5, 4), Hex("C000020A"));

        QCOMPARE(exchange(Command(0x02, Z2Mac), Z2Port), QList<QByteArray>{Hex("FF01024B")});
        const QByteArray reply = searchReplyOf(Z2Mac);
        QCOMPARE(reply.mid(5, 4), Hex("C0000263"));
        QCOMPARE(reply.mid(19, 14), QByteArray("renamed").leftJustified(14, '\0'));
        QCOMPARE(exchange(Command(0x03, Z2Mac), Z2Port), QList<QByteArray>{Hex("FF010350")});
        QCOMPARE(exchange(Command(0x03, Z2Mac, "vexol", "secret"), Z2Port).size(), 5);
    }

    void resetRestoresFactoryValues() {
        QVERIFY(startSim());
        const QByteArray factory = readParam(Z3Mac, Z3Port);
        QByteArray base = factory.left(67);
        base.replace(21, 16, QByteArray("changed").leftJustified(16, '\0'));
        exchange(Command(0x05, Z3Mac, "vexol", "vexol", base), Z3Port);
        exchange(Command(0x04, Z3Mac), Z3Port);
        QCOMPARE(searchReplyOf(Z3Mac).mid(19, 7), QByteArray("changed"));

        QCOMPARE(exchange(Command(0x0B, Z3Mac), Z3Port), QList<QByteArray>{Hex("FF010B4B")});
        QCOMPARE(readParam(Z3Mac, Z3Port), factory);
        QCOMPARE(searchReplyOf(Z3Mac).mid(19, 8), QByteArray("lab-Z3-1"));
    }

    void z1ImageWithAccessCodeIsApplied() {
        QVERIFY(startSim());
        QByteArray image = searchReplyOf(Z1Mac).mid(7);
        QCOMPARE(image.size(), 28);
        image.replace(6, 4, Hex("2A0200C0")); // module address 192.0.2.42
        image[16] = char(3);                  // TCP server
        QCOMPARE(exchange(Z1Mac + "738296" + image, Z2Port), QList<QByteArray>{});
        QCOMPARE(searchReplyOf(Z1Mac).mid(7).toHex(' '), image.toHex(' '));
    }

    void replyPathFollowsMode_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("deviceIp");
        QTest::addColumn<bool>("broadcast");
        QTest::newRow("unicast") << "unicast"
                                 << "192.0.2.10" << false;
        QTest::newRow("broadcast") << "broadcast"
                                   << "127.0.0.13" << true;
        QTest::newRow("auto, sender in the device's subnet") << "auto"
                                                             << "127.0.0.13" << false;
        // Auto with a sender in another subnet broadcasts: the network lab test shows that.
        QTest::newRow("auto, loopback sender, other subnet") << "auto"
                                                             << "192.0.2.10" << false;
    }

    void replyPathFollowsMode() {
        QFETCH(QString, mode);
        QFETCH(QString, deviceIp);
        QFETCH(bool, broadcast);
        QVERIFY(startSim({"--reply", mode, "--first-ip", deviceIp}));
        client.take(client.broadcast);
        client.take(client.unicast);
        client.send(Search, Z2Port);
        QVERIFY(sim.waitForSent(1));
        QUdpSocket &expected = broadcast ? client.broadcast : client.unicast;
        QUdpSocket &other = broadcast ? client.unicast : client.broadcast;
        QTRY_VERIFY(expected.hasPendingDatagrams());
        QVERIFY(!other.hasPendingDatagrams());
        QCOMPARE(sim.sent().first().peer, broadcast ? BroadcastAddress : ClientAddress);
        QCOMPARE(sim.sent().first().peerPort, client.unicast.localPort());
    }

    void faultInjection_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QList<QByteArray>>("replies");
        const QByteArray ack = Hex("FF01024B");
        QTest::newRow("--twice sends each reply twice")
            << QStringList{"--twice"} << QList<QByteArray>{ack, ack};
        QTest::newRow("--drop 1 sends nothing")
            << QStringList{"--drop", "1"} << QList<QByteArray>{};
        QTest::newRow("--mute-commands answers no command")
            << QStringList{"--mute-commands"} << QList<QByteArray>{};
        QTest::newRow("--bad-checksum complains with the right sum")
            << QStringList{"--bad-checksum"}
            << QList<QByteArray>{"E" + Command(0x02, Z2Mac).right(1)};
    }

    void faultInjection() {
        QFETCH(QStringList, args);
        QFETCH(QList<QByteArray>, replies);
        QVERIFY(startSim(args + QStringList{"--z2", "1", "--reply", "unicast"}));
        sim.clear();
        client.send(Command(0x02, Z2Mac), Z2Port);
        QVERIFY(sim.waitForReceived(1));
        sim.waitForSent(int(replies.size()) + 1, 300); // give unwanted extras time to show
        QList<QByteArray> sent;
        for (const SimDatagram &d : sim.sent())
            sent.append(d.bytes);
        QCOMPARE(sent, replies);
    }

    void delayHoldsRepliesBack() {
        QVERIFY(startSim({"--z2", "1", "--delay", "300"}));
        sim.clear();
        client.send(Search, Z2Port);
        QVERIFY(sim.waitForSent(1));
        QVERIFY(sim.sent().first().ms - sim.received().first().ms >= 300);
    }

    void stateSurvivesRestartOfSimulator() {
        QTemporaryDir dir;
        const QString file = dir.filePath("devices.json");
        QVERIFY(startSim({"--z2", "1", "--state", file}));
        QByteArray base = readParam(Z2Mac, Z2Port).left(67);
        base.replace(21, 16, QByteArray("kept").leftJustified(16, '\0'));
        exchange(Command(0x05, Z2Mac, "vexol", "vexol", base), Z2Port);
        exchange(Command(0x02, Z2Mac), Z2Port);
        sim.stop();

        QVERIFY(startSim({"--z2", "1", "--state", file}));
        QCOMPARE(searchReplyOf(Z2Mac).mid(19, 5), QByteArray("kept\0", 5));
        exchange(Command(0x0B, Z2Mac), Z2Port);
        sim.stop();
        QVERIFY(startSim({"--z2", "1", "--state", file}));
        QCOMPARE(searchReplyOf(Z2Mac).mid(19, 8), QByteArray("lab-Z2-1"));
    }

    void thousandDevicesAnswerOneSearch() {
        QVERIFY(startSim({"--z2", "1000", "--reply", "unicast"}));
        client.send(Search, Z2Port);
        QVERIFY(sim.waitForSent(1000, 20000));
        QCOMPARE(sim.sent().size(), 1000);
        QVERIFY2(!sim.remarks().join('\n').contains("failed"),
                 qPrintable(sim.remarks().join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestN6Sim)
#include "tst_n6sim.moc"
