// LAN packets: search, plain commands, data commands, search and code replies.
#include "LanPackets.h"
#include "Unit_ProFun.h"

#include <QtTest>

namespace {
QByteArray Hex(const char *hex) {
    return QByteArray::fromHex(hex);
}
} // namespace

class TstPackets : public QObject {
    Q_OBJECT

private slots:
    void searchPacket();
    void cmdPacket_data();
    void cmdPacket();
    void dataPacket_data();
    void dataPacket();
    void badMacThrows_data();
    void badMacThrows();
    void parseCommand();
    void searchReplyModel_data();
    void searchReplyModel();
    void searchReplyLayout();
    void codeReplies();
};

void TstPackets::searchPacket() {
    QCOMPARE(SearchPacket(), Hex("FF010102"));
    QVERIFY(PacketSumOk(SearchPacket()));
}

void TstPackets::cmdPacket_data() {
    QTest::addColumn<quint8>("cmd");
    QTest::addColumn<QByteArray>("mac");
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("packet");
    QTest::newRow("read, empty credentials, sum 15")
        << cmdRead << QByteArray("00 11 22 33 44 55") << QByteArray() << QByteArray()
        << Hex("FF1303001122334455"
               "000000000000"
               "000000000000"
               "15");
    // "ab" adds 61 + 62 to the sum, "cd" 63 + 64: 15 + C3 + C7 = 19F -> 9F.
    QTest::newRow("two-letter user and password")
        << cmdRead << QByteArray("001122334455") << QByteArray("ab") << QByteArray("cd")
        << Hex("FF1303001122334455"
               "616200000000"
               "636400000000"
               "9F");
    QTest::newRow("long user cut to six after dropping blanks")
        << cmdRestart << QByteArray("00 11 22 33 44 55") << QByteArray("a b c d e f g h")
        << QByteArray("vexol")
        << Hex("FF1302001122334455"
               "616263646566"
               "7665786F6C00"
               "97");
}

void TstPackets::cmdPacket() {
    QFETCH(quint8, cmd);
    QFETCH(QByteArray, mac);
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, packet);
    const QByteArray actual = CmdPacket(cmd, mac, user, password);
    QCOMPARE(actual, packet);
    QVERIFY(PacketSumOk(actual));
}

void TstPackets::dataPacket_data() {
    QTest::addColumn<quint8>("cmd");
    QTest::addColumn<int>("dataSize");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("lengthByte");
    QTest::newRow("header block 201 -> 223 bytes, DC") << cmdWriteHttpdHeader << 201 << 223 << 0xDC;
    QTest::newRow("base image 67 -> 89 bytes, 56") << cmdWriteBase << 67 << 89 << 0x56;
    QTest::newRow("port image 63 -> 85 bytes, 52") << cmdWritePort << 63 << 85 << 0x52;
    QTest::newRow("modbus 1 -> 23 bytes, 14") << cmdWriteModbus << 1 << 23 << 0x14;
    QTest::newRow("HTTPD image 302: length low 8 bits")
        << cmdWriteHttpdUrl << 302 << 324 << (302 + 19) % 256;
}

void TstPackets::dataPacket() {
    QFETCH(quint8, cmd);
    QFETCH(int, dataSize);
    QFETCH(int, size);
    QFETCH(int, lengthByte);
    QByteArray data(dataSize, '\0');
    for (int i = 0; i < dataSize; ++i)
        data[i] = char(i * 3 + 1);
    const QByteArray packet = DataPacket(cmd, "00 11 22 33 44 55", "vexol", "vexol", data);
    QCOMPARE(packet.size(), size);
    QCOMPARE(quint8(packet[0]), quint8(0xFF));
    QCOMPARE(int(quint8(packet[1])), lengthByte);
    QCOMPARE(quint8(packet[2]), cmd);
    QCOMPARE(packet.mid(21, dataSize), data);
    QVERIFY(PacketSumOk(packet));
    QCOMPARE(quint8(packet[size - 1]), SumBytes(packet, 1, size - 2));
    // The header is that of the plain command.
    QCOMPARE(packet.mid(2, 19), CmdPacket(cmd, "00 11 22 33 44 55", "vexol", "vexol").mid(2, 19));
}

void TstPackets::badMacThrows_data() {
    QTest::addColumn<QByteArray>("mac");
    QTest::newRow("ten hex digits") << QByteArray("0011223344");
    QTest::newRow("not hex") << QByteArray("00 11 22 33 44 GG");
    QTest::newRow("empty") << QByteArray();
}

void TstPackets::badMacThrows() {
    QFETCH(QByteArray, mac);
    QVERIFY_THROWS_EXCEPTION(ConvertError, CmdPacket(cmdRead, mac, "", ""));
    QVERIFY_THROWS_EXCEPTION(ConvertError, DataPacket(cmdWriteBase, mac, "", "", "x"));
}

void TstPackets::parseCommand() {
    const QByteArray packet = DataPacket(cmdWriteCloud, "0A0B0C0D0E0F", "user", "pw", "data");
    CmdFields f;
    QVERIFY(ParseCmdPacket(packet, f));
    QCOMPARE(f.cmd, cmdWriteCloud);
    QCOMPARE(f.mac, Hex("0A0B0C0D0E0F"));
    QCOMPARE(f.user, QByteArray("user\0\0", 6));
    QCOMPARE(f.password, QByteArray("pw\0\0\0\0", 6));
    QCOMPARE(f.data, QByteArray("data"));
    QVERIFY(ParseCmdPacket(CmdPacket(cmdRead, "0A0B0C0D0E0F", "", ""), f));
    QCOMPARE(f.data, QByteArray());
    QVERIFY(!ParseCmdPacket(packet.left(21), f));
    QVERIFY(!ParseCmdPacket(Hex("FE") + packet.mid(1), f));

    QByteArray broken = packet;
    broken[broken.size() - 1] = char(broken.back() + 1);
    QVERIFY(!PacketSumOk(broken));
    QVERIFY(!PacketSumOk(Hex("FF01")));
    QVERIFY(!PacketSumOk({}));
}

void TstPackets::searchReplyModel_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<quint16>("port");
    QTest::addColumn<int>("model");
    QTest::newRow("version 2001 -> none") << 2001 << quint16(1500) << ModelNone;
    QTest::newRow("version 2002 port 1500 -> Z2") << 2002 << quint16(1500) << ModelZ2;
    QTest::newRow("version 2002 port 1901 -> Z3") << 2002 << quint16(1901) << ModelZ3;
    QTest::newRow("version 2002 port 1600 -> none") << 2002 << quint16(1600) << ModelNone;
}

void TstPackets::searchReplyModel() {
    QFETCH(int, version);
    QFETCH(quint16, port);
    QFETCH(int, model);
    const QByteArray reply = MakeSearchReply("192.168.0.7", "00 11 22 33 44 55", version, "dev");
    QVERIFY(IsSearchReply(reply));
    QCOMPARE(ModelFromSearchReply(DecodeSearchReply(reply).Version, port), model);
}

void TstPackets::searchReplyLayout() {
    const QByteArray reply =
        MakeSearchReply("192.168.0.7", "00 11 22 33 44 55", 4017, "name-longer-than-14");
    QCOMPARE(reply.size(), SearchReplySize);
    QCOMPARE(reply.left(3), Hex("FF2401"));
    QCOMPARE(reply.mid(5, 4), Hex("C0A80007")); // natural order, unlike the images
    QCOMPARE(reply.mid(9, 6), Hex("001122334455"));
    QCOMPARE(reply.mid(15, 2), Hex("B10F")); // 4017 little-endian
    const SearchReplyInfo info = DecodeSearchReply(reply);
    QCOMPARE(info.IP, QByteArray("192.168.0.7"));
    QCOMPARE(info.MAC, QByteArray("00 11 22 33 44 55"));
    QCOMPARE(info.Version, 4017);
    QCOMPARE(info.Name, QByteArray("name-longer-th"));
    QCOMPARE(DecodeSearchReply(MakeSearchReply("1.2.3.4", "000000000000", 1, "ab")).Name,
             QByteArray("ab") + QByteArray(12, '\0'));

    QByteArray other = reply;
    other[2] = 0x02;
    QVERIFY(!IsSearchReply(other));
    QVERIFY(!IsSearchReply(reply.left(35)));
    QVERIFY(!IsSearchReply(reply + '\0'));
    QCOMPARE(DecodeSearchReply(Hex("FF24")).IP, QByteArray("0.0.0.0")); // never reads past
    QVERIFY_THROWS_EXCEPTION(ConvertError, MakeSearchReply("1.2.3", "000000000000", 1, ""));
}

void TstPackets::codeReplies() {
    QCOMPARE(MakeCodeReply(CodeAck), Hex("FF01004B"));
    QCOMPARE(MakeCodeReply(CodePswdErr), Hex("FF010050"));
    QCOMPARE(MakeCheckErrReply(0x3A), Hex("453A"));
}

QTEST_GUILESS_MAIN(TstPackets)
#include "tst_packets.moc"
