// The Z2 and Z3 write sequences as lists: which blocks, in which order, to whom, with which
// pauses and bytes. No sockets; the wire is checked against n6sim in tst_LanFlows.

#include <LanPackets.h>
#include <Unit_ProFun.h>
#include <WriteSequence.h>

#include <QtTest>

namespace {

const LanTarget Row{1, "00 11 22 33 44 55"};
const LanTarget Selected{2, "001122334455"}; // SelBindIndex/SelMac: another binding index

Z2WriteInputs z2Inputs(const QString &version, int workMode) {
    Z2WriteInputs in;
    in.versionText = version;
    in.port.WorkMode = workMode;
    in.port.BaudRate = 115200;
    in.port.DataBits = 8;
    in.port.Parity = 1;
    in.port.StopBits = 1;
    in.port.FlowControl = 1;
    in.port.TCPSvrCount = 1;
    in.base.StaticIP = "192.168.0.7";
    in.base.GatewayIP = "192.168.0.1";
    in.base.SubnetMask = "255.255.255.0";
    in.base.UserMAC = "FF FF FF FF FF FF";
    in.base.DNS = "8.8.8.8";
    in.row = Row;
    in.selected = Selected;
    in.user = "vexol";
    in.password = "vexol";
    return in;
}

QString names(const WriteSequence &seq) {
    QStringList list;
    for (const WriteStep &s : seq.steps)
        list << QString::fromLatin1(s.name);
    return list.join(',');
}

} // namespace

class tst_WriteSequence : public QObject {
    Q_OBJECT
private slots:
    void z2Blocks_data();
    void z2Blocks();
    void z2StepsOnTheWire();
    void httpdBlocksKeepBufferTail();
    void baseStartsFromLastImage();
    void badAddressReported();
    void z3Sequence();
    void versionText_data();
    void versionText();
    void registrationType_data();
    void registrationType();
};

void tst_WriteSequence::z2Blocks_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("workMode");
    QTest::addColumn<int>("regType");
    QTest::addColumn<bool>("modbusShown");
    QTest::addColumn<QString>("expected");

    QTest::newRow("4016, HTTPD client, cloud, Modbus: no heartreg, no HTTPD")
        << "4016" << 4 << RegTypeCloud << true << "base,port,cloud,modbus,restart";
    QTest::newRow("4017, HTTPD client, cloud, Modbus: everything")
        << "4017" << 4 << RegTypeCloud << true
        << "base,port,cloud,heartreg,httpd-url,httpd-header,modbus,restart";
    QTest::newRow("4017, TCP server, no cloud, no Modbus reply")
        << "4017" << 3 << RegTypeNone << false << "base,port,heartreg,restart";
    QTest::newRow("4017, MAC registration: no cloud block")
        << "4017" << 1 << RegTypeMac << false << "base,port,heartreg,restart";
    QTest::newRow("version not a number counts as 0")
        << "V4.2" << 4 << RegTypeNone << true << "base,port,modbus,restart";
    QTest::newRow("empty version") << "" << 4 << RegTypeNone << false << "base,port,restart";
}

void tst_WriteSequence::z2Blocks() {
    QFETCH(QString, version);
    QFETCH(int, workMode);
    QFETCH(int, regType);
    QFETCH(bool, modbusShown);
    QFETCH(QString, expected);

    Z2WriteInputs in = z2Inputs(version, workMode);
    in.registrationType = regType;
    in.modbusShown = modbusShown;
    const WriteSequence seq = BuildZ2Write(in);
    QCOMPARE(names(seq), expected);
    for (int i = 0; i < seq.steps.size(); ++i) {
        const WriteStep &s = seq.steps.at(i);
        QCOMPARE(s.port, CfgPort);
        const bool last2 = s.name == "modbus" || s.name == "restart";
        QCOMPARE(s.pauseAfterMs, last2 ? 0 : WriteBlockPauseMs);
        const bool toRow = s.name == "base" || s.name == "port" || s.name == "restart";
        QCOMPARE(s.target.mac, toRow ? Row.mac : Selected.mac);
        QCOMPARE(s.target.bindIndex, toRow ? Row.bindIndex : Selected.bindIndex);
    }
}

// Lengths and command bytes as they go out, for the full 4017 HTTPD sequence.
void tst_WriteSequence::z2StepsOnTheWire() {
    Z2WriteInputs in = z2Inputs("4017", 4);
    in.registrationType = RegTypeCloud;
    in.modbusShown = true;
    in.modbusForm = 4;
    in.modbus.ModbusTCP = true;
    in.modbus.PollEnable = true;
    in.modbus.PollTime = 300;
    const WriteSequence seq = BuildZ2Write(in);

    const QList<int> lengths{89, 85, 72, 107, 123, 223, 26, 22};
    const QList<quint8> cmds{cmdWriteBase,     cmdWritePort,     cmdWriteCloud,
                             cmdWriteHeartReg, cmdWriteHttpdUrl, cmdWriteHttpdHeader,
                             cmdWriteModbus,   cmdRestart};
    QCOMPARE(seq.steps.size(), lengths.size());
    for (int i = 0; i < seq.steps.size(); ++i) {
        const QByteArray p = seq.steps.at(i).Packet();
        QCOMPARE(p.size(), lengths.at(i));
        QCOMPARE(quint8(p.at(2)), cmds.at(i));
        QVERIFY(PacketSumOk(p));
    }
    QCOMPARE(quint8(seq.steps.at(5).Packet().at(1)), quint8(0xDC));
    QCOMPARE(quint8(seq.steps.at(0).Packet().at(1)), quint8(0x56));
    QCOMPARE(seq.steps.at(6).data, QByteArray::fromHex("0101012C"));
    QCOMPARE(seq.steps.at(7).Packet().mid(3, 6), QByteArray::fromHex("001122334455"));
    QCOMPARE(seq.steps.at(7).Packet().mid(9, 6), QByteArray("vexol\0", 6));
}

void tst_WriteSequence::httpdBlocksKeepBufferTail() {
    Z2WriteInputs in = z2Inputs("4017", 4);
    in.images.LastHttpdImage.fill('x');
    in.httpdUrl = QByteArray(150, 'a');
    in.httpdHeader = QByteArray(10, 'h');
    const WriteSequence seq = BuildZ2Write(in);

    const WriteStep &url = seq.steps.at(3);
    const WriteStep &header = seq.steps.at(4);
    QCOMPARE(url.name, QByteArray("httpd-url"));
    QCOMPARE(url.data.size(), 101);
    QCOMPARE(quint8(url.data.at(0)), quint8(100));
    QCOMPARE(url.data.mid(1), QByteArray(100, 'a'));
    QCOMPARE(header.data.size(), 201);
    QCOMPARE(quint8(header.data.at(0)), quint8(10));
    QCOMPARE(header.data.mid(1, 10), QByteArray(10, 'h'));
    QCOMPARE(header.data.mid(11), QByteArray(190, 'x'));
    // The buffers the sequence leaves behind hold what was sent.
    QCOMPARE(seq.images.LastHttpdImage.mid(101), header.data);
}

void tst_WriteSequence::baseStartsFromLastImage() {
    Z2WriteInputs in = z2Inputs("4017", 1);
    in.images.LastParamImage.fill(char(0xA5));
    in.images.LastBaseFlags = 0x4B;
    const WriteSequence seq = BuildZ2Write(in);
    const QByteArray base = seq.steps.at(0).data;
    QCOMPARE(base.size(), 67);
    QCOMPARE(base.left(3), QByteArray(3, char(0xA5))); // not interpreted: carried over
    QCOMPARE(quint8(base.at(3)), quint8(0x4B));        // DHCP, short/clear off: flags as read
    QCOMPARE(base.mid(9, 4), QByteArray::fromHex("0700A8C0"));
    QCOMPARE(seq.images.LastParamImage.left(67), base);
    QCOMPARE(seq.steps.at(1).data, seq.images.LastParamImage.mid(67, 63));
    QVERIFY(seq.badFields.isEmpty());
}

void tst_WriteSequence::badAddressReported() {
    Z2WriteInputs in = z2Inputs("4017", 1);
    in.base.GatewayIP = "192.168.x.1";
    const WriteSequence seq = BuildZ2Write(in);
    QCOMPARE(seq.badFields, QList<QByteArray>{"GatewayIP"});
}

void tst_WriteSequence::z3Sequence() {
    Z3WriteInputs in;
    in.row = {2, "AABBCCDDEEFF"};
    in.user = "ab";
    in.base.StaticIP = "10.0.0.9";
    in.base.AddrType = 1;
    in.port.UARTLength = 200;
    in.port.TCPSvrCount = 4;
    in.port.TCPStyle = 1;
    const WriteSequence seq = BuildZ3Write(in);
    QCOMPARE(names(seq), QStringLiteral("base,port,apply"));
    const QList<int> lengths{89, 85, 22};
    for (int i = 0; i < 3; ++i) {
        const WriteStep &s = seq.steps.at(i);
        QCOMPARE(s.port, CfgPortZ3);
        QCOMPARE(s.target.bindIndex, 2);
        QCOMPARE(s.Packet().size(), lengths.at(i));
        QCOMPARE(s.pauseAfterMs, i < 2 ? WriteBlockPauseMs : 0);
    }
    QCOMPARE(quint8(seq.steps.at(0).data.at(3)), quint8(0x80));
    QCOMPARE(seq.steps.at(1).data.mid(52, 4), QByteArray::fromHex("C8000000"));
    QCOMPARE(quint8(seq.steps.at(1).data.at(58)), quint8(0x41));
    QCOMPARE(quint8(seq.steps.at(2).Packet().at(2)), cmdApplyZ3);
}

void tst_WriteSequence::versionText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("4017") << "4017" << 4017;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("dotted Z1 version") << "1.5" << 0;
    QTest::newRow("letters") << "V4017" << 0;
}

void tst_WriteSequence::versionText() {
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(VersionNumber(text), number);
}

void tst_WriteSequence::registrationType_data() {
    QTest::addColumn<int>("cloud");
    QTest::addColumn<bool>("macReg");
    QTest::addColumn<bool>("customReg");
    QTest::addColumn<int>("type");
    QTest::newRow("none") << 0 << false << false << RegTypeNone;
    QTest::newRow("cloud") << 1 << false << false << RegTypeCloud;
    QTest::newRow("cloud and custom: custom wins") << 1 << false << true << RegTypeUser;
    QTest::newRow("MAC") << 0 << true << false << RegTypeMac;
}

void tst_WriteSequence::registrationType() {
    QFETCH(int, cloud);
    QFETCH(bool, macReg);
    QFETCH(bool, customReg);
    QFETCH(int, type);
    TPortParam p;
    p.CloudEnable = cloud;
    p.MacReg = macReg;
    p.CustomReg = customReg;
    QCOMPARE(RegistrationType(p), type);
    ApplyRegistrationType(p, type);
    QCOMPARE(RegistrationType(p), type);
    QCOMPARE(int(p.MacReg) + int(p.CustomReg) + p.CloudEnable, type == RegTypeNone ? 0 : 1);
}

QTEST_GUILESS_MAIN(tst_WriteSequence)
#include "tst_WriteSequence.moc"
