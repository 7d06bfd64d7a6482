// The endpoint's dispatch table: every datagram length and header case, without sockets.

#include <DatagramClass.h>
#include <LanPackets.h>
#include <Z1Block.h>

#include <QtTest>

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

QByteArray searchReply(int version) {
    return MakeSearchReply("192.168.0.7", "00 11 22 33 44 55", version, "N6-Z2");
}

QByteArray filled(int size, char value = 0) {
    return QByteArray(size, value);
}

} // namespace

class tst_DatagramClass : public QObject {
    Q_OBJECT
private slots:
    void dispatch_data();
    void dispatch();
    void searchReplyFields();
    void z1RecordFields();
    void paramImageDecoded();
    void httpdTextsCut_data();
    void httpdTextsCut();
};

void tst_DatagramClass::dispatch_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("peerPort");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");

    const int ignored = int(DatagramKind::Ignored);
    const int status = int(DatagramKind::Status);
    const int modbus = int(DatagramKind::ModbusInfo);
    const int found = int(DatagramKind::DevFound);

    QTest::newRow("01 -> Modbus 1-byte") << hex("01") << 1500 << modbus << ModelZ2 << 0 << "";
    QTest::newRow("45 3A -> check error 3A")
        << hex("453A") << 1500 << status << ModelZ2 << stCheckErr << "3A";
    QTest::newRow("46 3A -> nothing") << hex("463A") << 1500 << ignored << ModelZ2 << 0 << "";
    QTest::newRow("FF 01 05 4B -> ack")
        << hex("FF01054B") << 1500 << status << ModelZ2 << stAck << "";
    QTest::newRow("FF 01 05 50 -> password error")
        << hex("FF010550") << 1500 << status << ModelZ2 << stPswdErr << "";
    QTest::newRow("FF 01 05 45 -> other error")
        << hex("FF010545") << 1901 << status << ModelZ3 << stOtherErr << "";
    QTest::newRow("FF 01 05 4E -> nothing")
        << hex("FF01054E") << 1500 << ignored << ModelZ2 << 0 << "";
    QTest::newRow("01 00 00 1E -> Modbus 4-byte")
        << hex("0100001E") << 1500 << modbus << ModelZ2 << 0 << "";
    QTest::newRow("search reply v2001 -> ModelNone")
        << searchReply(2001) << 1500 << found << ModelNone << 0 << "";
    QTest::newRow("search reply v2002 port 1500 -> Z2")
        << searchReply(2002) << 1500 << found << ModelZ2 << 0 << "";
    QTest::newRow("search reply v2002 port 1901 -> Z3")
        << searchReply(2002) << 1901 << found << ModelZ3 << 0 << "";
    QTest::newRow("search reply v2002 port 1600 -> ModelNone")
        << searchReply(2002) << 1600 << found << ModelNone << 0 << "";
    QTest::newRow("36 bytes without FF 24 01 -> nothing")
        << filled(36, 0x24) << 1500 << ignored << ModelZ2 << 0 << "";
    QTest::newRow("35 bytes, MAC all zero -> unknown length")
        << filled(35) << 1500 << status << ModelZ2 << stReceiveOther << "35";
    QTest::newRow("35 bytes Z1 record -> Z1 found")
        << MakeZ1SearchRecord("00 0E C6 01 02 03", 0x15, EncodeZ1Image(Z1FactoryValues())) << 1500
        << found << ModelZ1 << 0 << "";
    QTest::newRow("37 bytes -> unknown length 37")
        << filled(37) << 1500 << status << ModelZ2 << stReceiveOther << "37";
    QTest::newRow("40 bytes -> nothing") << filled(40) << 1500 << ignored << ModelZ2 << 0 << "";
    QTest::newRow("50 bytes from 1600 -> cloud, ModelNone")
        << filled(50) << 1600 << int(DatagramKind::CloudImage) << ModelNone << 0 << "";
    QTest::newRow("85 bytes -> heartbeat/registration")
        << filled(85) << 1500 << int(DatagramKind::HeartRegImage) << ModelZ2 << 0 << "";
    QTest::newRow("130 bytes from 1901 -> parameter image Z3")
        << filled(130) << 1901 << int(DatagramKind::ParamImage) << ModelZ3 << 0 << "";
    QTest::newRow("302 bytes -> HTTPD")
        << filled(302) << 1500 << int(DatagramKind::HttpdImage) << ModelZ2 << 0 << "";
    QTest::newRow("193 bytes -> other family")
        << filled(193) << 1500 << status << ModelZ2 << stVerIncompatible << "";
    QTest::newRow("256 bytes -> other family")
        << filled(256) << 1500 << status << ModelZ2 << stVerIncompatible << "";
    QTest::newRow("empty -> unknown length 0")
        << QByteArray() << 1500 << status << ModelZ2 << stReceiveOther << "0";
    QTest::newRow("8192 bytes -> unknown length")
        << filled(8192) << 1500 << status << ModelZ2 << stReceiveOther << "8192";
}

void tst_DatagramClass::dispatch() {
    QFETCH(QByteArray, data);
    QFETCH(int, peerPort);
    QFETCH(int, kind);
    QFETCH(int, model);
    QFETCH(int, status);
    QFETCH(QString, text);

    const DatagramClass c = ClassifyDatagram(data, quint16(peerPort));
    QCOMPARE(int(c.kind), kind);
    QCOMPARE(c.model, model);
    if (c.kind == DatagramKind::Status) {
        QCOMPARE(c.status, status);
        QCOMPARE(c.statusText, text);
    }
    if (c.kind == DatagramKind::ModbusInfo)
        QCOMPARE(c.modbusLength, data.size());
}

void tst_DatagramClass::searchReplyFields() {
    const DatagramClass c = ClassifyDatagram(searchReply(4017), 1500);
    QCOMPARE(c.ip, QStringLiteral("192.168.0.7"));
    QCOMPARE(c.mac, QStringLiteral("00 11 22 33 44 55"));
    QCOMPARE(c.version, QStringLiteral("4017"));
    QCOMPARE(c.name, QByteArray("N6-Z2\0\0\0\0\0\0\0\0\0", 14));

    const DatagramClass m = ClassifyDatagram(hex("0100001E"), 1500);
    QCOMPARE(m.modbus.ModbusTCP, quint8(1));
    QCOMPARE(m.modbus.PollEnable, quint8(0));
    QCOMPARE(m.modbus.PollTime, QByteArray("30"));
}

void tst_DatagramClass::z1RecordFields() {
    Z1Values v = Z1FactoryValues();
    v.ModuleIP = "10.1.2.3";
    const DatagramClass c =
        ClassifyDatagram(MakeZ1SearchRecord("00 0E C6 01 02 03", 0x15, EncodeZ1Image(v)), 4000);
    QCOMPARE(c.model, ModelZ1);
    QCOMPARE(c.ip, QStringLiteral("10.1.2.3"));
    QCOMPARE(c.mac, QStringLiteral("00 0E C6 01 02 03"));
    QCOMPARE(c.version, QStringLiteral("1.5"));
    QVERIFY(c.name.isEmpty());
}

void tst_DatagramClass::paramImageDecoded() {
    QByteArray image(130, '\0');
    image.replace(9, 4, hex("0700A8C0"));  // static IP 192.168.0.7
    image[67 + 51] = 4;                    // work mode HTTPD client
    image.replace(67, 4, hex("00C20100")); // 115200 baud
    const DatagramClass c = ClassifyDatagram(image, 1500);
    QCOMPARE(c.base.StaticIP, QByteArray("192.168.0.7"));
    QCOMPARE(c.port.WorkMode, 4);
    QCOMPARE(c.port.BaudRate, 115200);
}

void tst_DatagramClass::httpdTextsCut_data() {
    QTest::addColumn<int>("urlLength");
    QTest::addColumn<int>("headerLength");
    QTest::addColumn<int>("expectUrl");
    QTest::addColumn<int>("expectHeader");
    QTest::newRow("URL 5, header 0") << 5 << 0 << 5 << 0;
    QTest::newRow("URL 100, header 200 (full fields)") << 100 << 200 << 100 << 200;
    QTest::newRow("URL length 101 cut at its field") << 101 << 10 << 100 << 10;
    QTest::newRow("lengths FF FF cut at their fields") << 255 << 255 << 100 << 200;
}

void tst_DatagramClass::httpdTextsCut() {
    QFETCH(int, urlLength);
    QFETCH(int, headerLength);
    QFETCH(int, expectUrl);
    QFETCH(int, expectHeader);
    QByteArray image(302, 'u');
    image.replace(101, 201, QByteArray(201, 'h'));
    image[0] = char(urlLength);
    image[101] = char(headerLength);
    const DatagramClass c = ClassifyDatagram(image, 1500);
    QCOMPARE(c.url, QByteArray(expectUrl, 'u'));
    QCOMPARE(c.header, QByteArray(expectHeader, 'h'));
}

QTEST_GUILESS_MAIN(tst_DatagramClass)
#include "tst_DatagramClass.moc"
