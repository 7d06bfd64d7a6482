// TUdpSvr against n6sim over loopback: search, bindings, read replies and last images, the
// bytes of every send operation and their silent failures, code replies.
//
// Addresses: the tool binds 127.0.0.20 (and 127.0.0.22), the simulator 127.0.0.21.

#include "LanRecorder.h"

#include <LanPackets.h>
#include <SimProcess.h>
#include <Unit_ProFun.h>
#include <Unit_Udp.h>

#include <ImageEncoders.h>
#include <Z1Block.h>

#include <QPointer>
#include <QRandomGenerator>
#include <QUdpSocket>
#include <QtTest>

namespace {

const char *const Pc = "127.0.0.20";
const char *const Pc2 = "127.0.0.22";
const char *const Dev = "127.0.0.21";
const QByteArray FirstMac = "02 4E 36 00 00 01";

QStringList simArgs(const QStringList &extra) {
    return QStringList{"--bind", Dev, "--first-ip", Dev, "--reply", "unicast"} + extra;
}

} // namespace

class tst_UdpSvr : public QObject {
    Q_OBJECT
private slots:
    void init();
    void searchFindsDevicesWithModels();
    void searchFromTwoBindings();
    void rebindOnlyOnAddressChange();
    void bindFailureReportsPortInUse();
    void searchWithoutAddressSendsNothing();
    void broadcastReplyReachesCompanion();
    void readFillsRecordsAndLastImages();
    void commandBytes_data();
    void commandBytes();
    void silentFailures_data();
    void silentFailures();
    void codeReplies_data();
    void codeReplies();
    void datagramsAtTheEndpoint_data();
    void datagramsAtTheEndpoint();
    void garbageFloodIsSurvived();
    void rebindFromAHandler();
};

void tst_UdpSvr::init() {
    qputenv("N6_BIND", Pc);
    qputenv("N6_BROADCAST", Dev);
    LastImages = TLastImages();
}

void tst_UdpSvr::searchFindsDevicesWithModels() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({"--z2", "2", "--z3", "1", "--z1", "1"})),
             qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);

    QCOMPARE(udp.SearchDevices(), srOK);
    QCOMPARE(rec.status, QList<int>{stSearchDone});
    QCOMPARE(rec.sent, QList<QByteArray>{QByteArray::fromHex("FF010102")});
    QCOMPARE(rec.sentPorts, QList<int>{1500});
    QTRY_COMPARE(rec.found.size(), 4);

    QList<int> models;
    for (const FoundDevice &d : rec.found) {
        models << d.model;
        QCOMPARE(d.bindIndex, 0);
    }
    std::sort(models.begin(), models.end());
    QCOMPARE(models, (QList<int>{ModelZ2, ModelZ2, ModelZ1, ModelZ3}));
    QCOMPARE(SearchReplies.size(), 4);
    for (int i = 0; i < rec.found.size(); ++i) {
        const FoundDevice &d = rec.found.at(i);
        QCOMPARE(SearchReplies.at(i).size(), d.model == ModelZ1 ? 35 : 36);
        QVERIFY(d.ip.startsWith("127.0.0."));
        if (d.model == ModelZ2 || d.model == ModelZ3)
            QCOMPARE(d.version, QStringLiteral("4021"));
    }
    QVERIFY(sim.waitForReceived(1));
    QCOMPARE(sim.received().at(0).bytes, QByteArray::fromHex("FF010102"));
    QCOMPARE(sim.received().at(0).localPort, quint16(1500));
}

void tst_UdpSvr::searchFromTwoBindings() {
    qputenv("N6_BIND", QByteArray(Pc) + "," + Pc2);
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({"--z2", "1"})), qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);
    QCOMPARE(udp.SearchDevices(), srOK);
    QCOMPARE(udp.BindingCount(), 2);
    QCOMPARE(udp.BindingAddress(0), QString(Pc));
    QCOMPARE(udp.BindingAddress(1), QString(Pc2));
    QTRY_COMPARE(rec.found.size(), 2);
    QList<int> indexes{rec.found.at(0).bindIndex, rec.found.at(1).bindIndex};
    std::sort(indexes.begin(), indexes.end());
    QCOMPARE(indexes, (QList<int>{0, 1}));
}

void tst_UdpSvr::rebindOnlyOnAddressChange() {
    TUdpSvr udp;
    QCOMPARE(udp.BindingCount(), 0);
    udp.SearchDevices();
    QCOMPARE(udp.BindingCount(), 1);
    const quint16 port = udp.BindingPort(0);
    QVERIFY(port != 0);
    udp.SearchDevices();
    QCOMPARE(udp.BindingPort(0), port);

    qputenv("N6_BIND", Pc2);
    udp.SearchDevices();
    QCOMPARE(udp.BindingCount(), 1);
    QCOMPARE(udp.BindingAddress(0), QString(Pc2));

    qputenv("N6_BIND", QByteArray(Pc2) + "," + Pc);
    udp.SearchDevices();
    QCOMPARE(udp.BindingCount(), 2);
    QCOMPARE(udp.BindingAddress(1), QString(Pc));
}

void tst_UdpSvr::bindFailureReportsPortInUse() {
    qputenv("N6_BIND", "192.0.2.99"); // not a local address: the bind fails, nothing is sent
    TUdpSvr udp;
    LanRecorder rec(udp);
    QCOMPARE(udp.SearchDevices(), srFail);
    QCOMPARE(rec.status, QList<int>{stPortInUse});
    QVERIFY(rec.sent.isEmpty());
    udp.SendDevCmd(0, FirstMac, cmdRead, "", "");
    QVERIFY(rec.sent.isEmpty());
}

void tst_UdpSvr::searchWithoutAddressSendsNothing() {
    qputenv("N6_BIND", ",");
    TUdpSvr udp;
    LanRecorder rec(udp);
    QCOMPARE(udp.SearchDevices(), srOK);
    QCOMPARE(rec.status, QList<int>{stSearchDone});
    QVERIFY(rec.sent.isEmpty());
}

// A reply broadcast to the tool's port arrives on the companion socket (0.0.0.0, same port);
// Linux never hands it to the socket bound to the unicast address.
void tst_UdpSvr::broadcastReplyReachesCompanion() {
    SimProcess sim;
    QVERIFY2(sim.start({"--bind", Dev, "--first-ip", Dev, "--reply", "broadcast", "--broadcast",
                        "127.255.255.255"}),
             qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);
    udp.SearchDevices();
    QTRY_COMPARE(rec.found.size(), 1);
    QCOMPARE(rec.found.at(0).bindIndex, 0);
    QCOMPARE(rec.found.at(0).mac, QString::fromLatin1(FirstMac));
}

void tst_UdpSvr::readFillsRecordsAndLastImages() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({"--z2", "1"})), qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);
    udp.SearchDevices();
    QTRY_COMPARE(rec.found.size(), 1);
    sim.clear();

    udp.SendDevCmd(0, FirstMac, cmdRead, "vexol", "vexol");
    QTRY_COMPARE(rec.modbusLengths.size(), 1);
    QCOMPARE(rec.params.size(), 1);
    QCOMPARE(rec.paramModels, QList<int>{ModelZ2});
    QCOMPARE(rec.clouds.size(), 1);
    QCOMPARE(rec.heartRegs.size(), 1);
    QCOMPARE(rec.urls.size(), 1);
    QCOMPARE(rec.modbusLengths, QList<int>{4});
    QCOMPARE(rec.params.at(0).UserMAC, QByteArray("FF FF FF FF FF FF")); // the device's own
    QCOMPARE(rec.params.at(0).StaticIP, QByteArray(Dev));

    // What the device sent is what the buffers hold.
    QByteArray param, cloud, heartReg, httpd;
    for (const SimDatagram &d : sim.sent()) {
        switch (d.bytes.size()) {
        case 130:
            param = d.bytes;
            break;
        case 50:
            cloud = d.bytes;
            break;
        case 85:
            heartReg = d.bytes;
            break;
        case 302:
            httpd = d.bytes;
            break;
        default:
            break;
        }
    }
    QCOMPARE(LastImages.LastParamImage.left(130), param);
    QCOMPARE(LastImages.LastParamLength, 130);
    QCOMPARE(LastImages.LastCloudImage, cloud);
    QCOMPARE(LastImages.LastHeartRegImage, heartReg);
    QCOMPARE(rec.heartRegs.at(0), heartReg);
    QCOMPARE(LastImages.LastHttpdImage, httpd);
    QCOMPARE(LastImages.LastBaseFlags, quint8(param.at(3)));
    QCOMPARE(LastImages.LastPortFlags, quint8(param.at(117)));
    QCOMPARE(rec.baseFlagsAtParamRead, QList<quint8>{quint8(param.at(3))});
}

void tst_UdpSvr::commandBytes_data() {
    QTest::addColumn<QString>("op");
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray zeros12(12, '\0');
    const QByteArray read = QByteArray::fromHex("FF1303001122334455") + zeros12 + '\x15';
    QTest::newRow("read, empty credentials")
        << "cmd" << QByteArray() << QByteArray() << QByteArray() << 1500 << read;
    QTest::newRow("read through the Z3 port")
        << "cmdZ3" << QByteArray() << QByteArray() << QByteArray() << 1901 << read;
    QTest::newRow("two-letter user name")
        << "cmd" << QByteArray("ab") << QByteArray() << QByteArray() << 1500
        << QByteArray::fromHex("FF1303001122334455") + "ab" + QByteArray(10, '\0') + '\xD8';
    QTest::newRow("two-letter password")
        << "cmd" << QByteArray() << QByteArray("ab") << QByteArray() << 1500
        << QByteArray::fromHex("FF1303001122334455") + QByteArray(6, '\0') + "ab" +
               QByteArray(4, '\0') + '\xD8';
    QTest::newRow("user name cut at six after blanks removed")
        << "cmd" << QByteArray("a b cdefgh") << QByteArray() << QByteArray() << 1500
        << QByteArray();
    QByteArray header(201, '\0');
    header[0] = 10;
    QTest::newRow("201-byte header block: length byte DC, 223 bytes")
        << "data" << QByteArray() << QByteArray() << header << 1500 << QByteArray();
    QTest::newRow("data block through the Z3 port")
        << "dataZ3" << QByteArray() << QByteArray() << QByteArray(67, '\x01') << 1901
        << QByteArray();
    QTest::newRow("raw 40 bytes unchanged")
        << "raw" << QByteArray() << QByteArray() << QByteArray(40, '\x5A') << 1500
        << QByteArray(40, '\x5A');
}

void tst_UdpSvr::commandBytes() {
    QFETCH(QString, op);
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, data);
    QFETCH(int, port);
    QFETCH(QByteArray, expected);

    SimProcess sim;
    QVERIFY2(sim.start(simArgs({"--z2", "1"})), qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);
    udp.SearchDevices();
    QVERIFY(sim.waitForReceived(1));
    sim.clear();
    rec.sent.clear();
    rec.sentPorts.clear();

    const QByteArray mac = "00 11 22 33 44 55"; // no device answers to this MAC
    const quint8 cmd = data.isEmpty() ? cmdRead : cmdWriteBase;
    if (op == "cmd")
        udp.SendDevCmd(0, mac, cmd, user, password);
    else if (op == "cmdZ3")
        udp.SendDevCmdZ3(0, mac, cmd, user, password);
    else if (op == "data")
        udp.SendDevData(0, mac, cmdWriteHttpdHeader, user, password, data);
    else if (op == "dataZ3")
        udp.SendDevDataZ3(0, mac, cmdWriteBase, user, password, data);
    else
        udp.SendDevRaw(0, data);

    QVERIFY(sim.waitForReceived(1));
    const SimDatagram got = sim.received().at(0);
    QCOMPARE(int(got.localPort), port);
    QCOMPARE(got.peerPort, udp.BindingPort(0));
    QCOMPARE(rec.sent.size(), 1);
    QCOMPARE(rec.sent.at(0), got.bytes);
    QCOMPARE(rec.sentPorts, QList<int>{port});
    if (!expected.isEmpty())
        QCOMPARE(got.bytes, expected);
    if (op == "cmd" && user.size() > 6)
        QCOMPARE(got.bytes.mid(9, 6), QByteArray("abcdef"));
    if (op.startsWith("data")) {
        QCOMPARE(got.bytes.size(), 22 + data.size());
        QCOMPARE(quint8(got.bytes.at(1)), quint8(data.size() + 19));
        QCOMPARE(got.bytes.mid(21, data.size()), data);
        QVERIFY(PacketSumOk(got.bytes));
    }
}

void tst_UdpSvr::silentFailures_data() {
    QTest::addColumn<QByteArray>("mac");
    QTest::addColumn<int>("bindIndex");
    QTest::newRow("MAC of ten hex digits") << QByteArray("0011223344") << 0;
    QTest::newRow("MAC with a bad pair") << QByteArray("00112233445G") << 0;
    QTest::newRow("binding index out of range") << QByteArray("001122334455") << 1;
    QTest::newRow("negative binding index") << QByteArray("001122334455") << -1;
}

void tst_UdpSvr::silentFailures() {
    QFETCH(QByteArray, mac);
    QFETCH(int, bindIndex);
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({"--z2", "1"})), qPrintable(sim.errorText()));
    TUdpSvr udp;
    udp.SearchDevices();
    QVERIFY(sim.waitForReceived(1));
    sim.clear();
    LanRecorder rec(udp);

    udp.SendDevCmd(bindIndex, mac, cmdRead, "", "");
    udp.SendDevDataZ3(bindIndex, mac, cmdWriteBase, "", "", QByteArray(67, '\0'));
    if (bindIndex != 0)
        udp.SendDevRaw(bindIndex, QByteArray(40, '\0'));
    QVERIFY(rec.sent.isEmpty());
    QVERIFY(rec.status.isEmpty());
    QVERIFY(!sim.waitForReceived(1, 300));
}

void tst_UdpSvr::codeReplies_data() {
    QTest::addColumn<QStringList>("simExtra");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<int>("status");
    QTest::newRow("right credentials, restart -> ACK")
        << QStringList() << QByteArray("vexol") << stAck;
    QTest::newRow("wrong password -> password error")
        << QStringList() << QByteArray("wrong") << stPswdErr;
    QTest::newRow("device finds a bad checksum -> complaint")
        << QStringList{"--bad-checksum"} << QByteArray("vexol") << stCheckErr;
}

void tst_UdpSvr::codeReplies() {
    QFETCH(QStringList, simExtra);
    QFETCH(QByteArray, password);
    QFETCH(int, status);
    SimProcess sim;
    QVERIFY2(sim.start(simArgs(QStringList{"--z2", "1"} + simExtra)), qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);
    udp.SearchDevices();
    QTRY_COMPARE(rec.found.size(), 1);
    rec.status.clear();
    rec.statusText.clear();

    udp.SendDevCmd(0, FirstMac, cmdRestart, "vexol", password);
    QTRY_COMPARE(rec.status.size(), 1);
    QCOMPARE(rec.status.at(0), status);
    if (status == stCheckErr) {
        // The text is the sum the device expected as two upper-case hex digits (the simulator
        // names the right sum of what it got).
        const QByteArray sent = rec.sent.last();
        const QString expected =
            QString::fromLatin1(BytesToHexText(QByteArray(1, char(SumBytes(sent, 1, 20)))));
        QCOMPARE(rec.statusText.at(0), expected);
    }
}

// Datagrams sent straight at binding 0 from a test socket (on port 1500, 1901 or a free one):
// what the endpoint reports, and that SearchReplies grows exactly with OnDevFound.
void tst_UdpSvr::datagramsAtTheEndpoint_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("peerPort");
    QTest::addColumn<int>("foundModel"); // -1: no OnDevFound
    QTest::addColumn<QList<int>>("status");
    QTest::addColumn<QString>("statusText");

    const QByteArray reply = MakeSearchReply("127.0.0.23", "02 4E 36 00 00 09", 4017, "dev");
    QTest::newRow("search reply from 1500 -> Z2, stored")
        << reply << 1500 << int(ModelZ2) << QList<int>{} << "";
    QTest::newRow("search reply from 1901 -> Z3, stored")
        << reply << 1901 << int(ModelZ3) << QList<int>{} << "";
    QTest::newRow("search reply v2001 from 1500 -> ModelNone, stored")
        << MakeSearchReply("127.0.0.23", "02 4E 36 00 00 09", 2001, "old") << 1500 << int(ModelNone)
        << QList<int>{} << "";
    QTest::newRow("search reply from a free port -> ModelNone, stored")
        << reply << 0 << int(ModelNone) << QList<int>{} << "";
    QByteArray badHeader = reply;
    badHeader[2] = 0x02;
    QTest::newRow("36 bytes FF 24 02 -> nothing stored")
        << badHeader << 1500 << -1 << QList<int>{} << "";
    QTest::newRow("Z1 record -> Z1, stored")
        << MakeZ1SearchRecord("02 4E 36 00 00 0A", 0x21, EncodeZ1Image(Z1FactoryValues())) << 1500
        << int(ModelZ1) << QList<int>{} << "";
    QTest::newRow("35 zero bytes -> unknown length, nothing stored")
        << QByteArray(35, '\0') << 1500 << -1 << QList<int>{stReceiveOther} << "35";
    QTest::newRow("37 bytes -> unknown length 37")
        << QByteArray(37, '\x24') << 1500 << -1 << QList<int>{stReceiveOther} << "37";
    QTest::newRow("45 3A -> check error 3A")
        << QByteArray::fromHex("453A") << 1500 << -1 << QList<int>{stCheckErr} << "3A";
    QTest::newRow("8192 bytes arrive whole")
        << QByteArray(8192, '\xA5') << 1500 << -1 << QList<int>{stReceiveOther} << "8192";
}

void tst_UdpSvr::datagramsAtTheEndpoint() {
    QFETCH(QByteArray, data);
    QFETCH(int, peerPort);
    QFETCH(int, foundModel);
    QFETCH(QList<int>, status);
    QFETCH(QString, statusText);

    TUdpSvr udp;
    udp.SearchDevices(); // binds; nobody answers at 127.0.0.21
    QCOMPARE(udp.BindingCount(), 1);
    LanRecorder rec(udp);
    QUdpSocket peer;
    QVERIFY2(peer.bind(QHostAddress("127.0.0.23"), quint16(peerPort), QUdpSocket::ShareAddress),
             qPrintable(peer.errorString()));
    QCOMPARE(peer.writeDatagram(data, QHostAddress(Pc), udp.BindingPort(0)), qint64(data.size()));

    QTRY_COMPARE(rec.received.size(), 1);
    QCOMPARE(rec.received.at(0), data);
    QCOMPARE(rec.status, status);
    if (!status.isEmpty())
        QCOMPARE(rec.statusText.at(0), statusText);
    QCOMPARE(rec.found.size(), foundModel < 0 ? 0 : 1);
    QCOMPARE(SearchReplies.size(), rec.found.size());
    if (foundModel >= 0) {
        QCOMPARE(rec.found.at(0).model, foundModel);
        QCOMPARE(rec.found.at(0).bindIndex, 0);
        QCOMPARE(SearchReplies.at(0), data);
    }
}

// Thousands of random datagrams of every length the table knows and of random lengths, from
// port 1500 and a free port: the endpoint reports each one, stores a search reply exactly
// when it reports a device, and the handlers that decode what it hands over never fail.
void tst_UdpSvr::garbageFloodIsSurvived() {
    TUdpSvr udp;
    udp.SearchDevices();
    QCOMPARE(udp.BindingCount(), 1);
    LanRecorder rec(udp);
    int decoded = 0;
    connect(&udp, &TUdpSvr::OnHeartRegRead, this, [&](const QByteArray &image, bool, int) {
        DecodeHeartRegImage(image);
        ++decoded;
    });
    connect(
        &udp, &TUdpSvr::OnDevFound, this,
        [&](const QString &, const QByteArray &, const QString &, const QString &, int model, int) {
            QCOMPARE(SearchReplies.size(), rec.found.size());
            if (model == ModelZ1)
                DecodeZ1Image(Z1RecordImage(SearchReplies.last()));
        });

    QUdpSocket fromFree, from1500;
    QVERIFY(fromFree.bind(QHostAddress("127.0.0.23"), 0));
    QVERIFY(from1500.bind(QHostAddress("127.0.0.23"), 1500, QUdpSocket::ShareAddress));
    QRandomGenerator random(4711);
    const QList<int> known{1, 2, 4, 35, 36, 40, 50, 85, 130, 193, 256, 302};
    int sent = 0;
    for (int batch = 0; batch < 20; ++batch) {
        for (int i = 0; i < 100; ++i) {
            const int size = i % 2 ? known.at(random.bounded(int(known.size())))
                                   : random.bounded(i % 10 == 0 ? 8193 : 400);
            QByteArray data(size, '\0');
            for (char &c : data)
                c = char(random.bounded(256));
            if (size == 36 && i % 4 == 1)
                data.replace(0, 3, QByteArray::fromHex("FF2401"));
            QUdpSocket &socket = i % 3 ? fromFree : from1500;
            QCOMPARE(socket.writeDatagram(data, QHostAddress(Pc), udp.BindingPort(0)),
                     qint64(size));
            ++sent;
        }
        QTRY_COMPARE(rec.received.size(), sent);
    }
    QCOMPARE(SearchReplies.size(), rec.found.size());
    QVERIFY(!rec.found.isEmpty());
    QCOMPARE(decoded, rec.heartRegs.size());
}

// A handler that searches again after the local addresses changed rebinds while the endpoint
// is still reading a burst from the old socket. The old sockets are closed at once but live on
// until control is back in the event loop (freeing them under the reader was a use after
// free); the rest of the old burst is dropped with them and the new binding works.
void tst_UdpSvr::rebindFromAHandler() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({"--z2", "20"})), qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);
    QList<QPointer<QUdpSocket>> old;
    bool aliveAndClosed = false;
    connect(&udp, &TUdpSvr::OnDevFound, this, [&] {
        if (!old.isEmpty())
            return;
        for (QUdpSocket *s : udp.findChildren<QUdpSocket *>())
            old << s;
        qputenv("N6_BIND", Pc2);
        udp.SearchDevices();
        aliveAndClosed = true;
        for (const QPointer<QUdpSocket> &s : std::as_const(old))
            aliveAndClosed = aliveAndClosed && s && s->state() == QAbstractSocket::UnconnectedState;
    });
    udp.SearchDevices();
    QTRY_VERIFY(!old.isEmpty());
    QVERIFY(aliveAndClosed);
    QCOMPARE(udp.BindingAddress(0), QString(Pc2));
    QTRY_VERIFY(std::all_of(old.begin(), old.end(), [](const auto &s) { return s.isNull(); }));
    // The second search's replies arrive on the new binding.
    QTRY_COMPARE(SearchReplies.size(), 20);
    QCOMPARE(rec.found.last().bindIndex, 0);
}

QTEST_GUILESS_MAIN(tst_UdpSvr)
#include "tst_UdpSvr.moc"
