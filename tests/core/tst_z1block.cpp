// The Z1 block: the write frame of the worked example, reply checks, line settings, LAN forms.
#include "Unit_ProFun.h"
#include "Z1Block.h"

#include <QtTest>

namespace {

QByteArray Hex(const char *hex) {
    return QByteArray::fromHex(hex);
}

// The page of the worked example: destination 192.168.0.201:8234, module 192.168.0.7:20108,
// gateway 192.168.0.201, TCP Client, 115200 NONE/8/1, ID 0, RS485 and RFC2217, mask /24.
Z1Values ExamplePage() {
    Z1Values v;
    v.DeIP = "192.168.0.201";
    v.DePort = 8234;
    v.ModuleIP = "192.168.0.7";
    v.ModulePort = 20108;
    v.Gateway = "192.168.0.201";
    v.WorkMode = 1;
    v.BaudRate = 115200;
    v.Parity = 0;
    v.DataBits = 3;
    v.StopBits = 0;
    v.ID = 0;
    v.Flags = Z1FlagRS485 | Z1FlagRFC2217;
    v.Mask = "255.255.255.0";
    return v;
}

const char ExampleFrame[] = "55BAC900A8C02A200700A8C08C4EC900A8C00100C20103000084"
                            "00FFFFFF3D";

void CompareValues(const Z1Values &a, const Z1Values &b) {
    QCOMPARE(a.DeIP, b.DeIP);
    QCOMPARE(a.DePort, b.DePort);
    QCOMPARE(a.ModuleIP, b.ModuleIP);
    QCOMPARE(a.ModulePort, b.ModulePort);
    QCOMPARE(a.Gateway, b.Gateway);
    QCOMPARE(a.WorkMode, b.WorkMode);
    QCOMPARE(a.BaudRate, b.BaudRate);
    QCOMPARE(a.Parity, b.Parity);
    QCOMPARE(a.DataBits, b.DataBits);
    QCOMPARE(a.StopBits, b.StopBits);
    QCOMPARE(a.ID, b.ID);
    QCOMPARE(a.Flags, b.Flags);
    QCOMPARE(a.Mask, b.Mask);
}

} // namespace

class TstZ1Block : public QObject {
    Q_OBJECT

private slots:
    void writeFrameExample();
    void factoryValuesAreTheExample();
    void replyFillsTheValues();
    void fieldBytes_data();
    void fieldBytes();
    void addressRule_data();
    void addressRule();
    void replyCheck_data();
    void replyCheck();
    void lcrByte_data();
    void lcrByte();
    void lcrRoundTrip();
    void binText_data();
    void binText();
    void netImage();
    void searchRecord();
};

void TstZ1Block::writeFrameExample() {
    const QByteArray frame = Z1WriteFrame(EncodeZ1Image(ExamplePage()));
    QCOMPARE(frame, Hex(ExampleFrame));
    QVERIFY(IsZ1WriteFrame(frame));
    QByteArray off = frame;
    off[30] = char(off[30] + 1);
    QVERIFY(!IsZ1WriteFrame(off));
}

void TstZ1Block::factoryValuesAreTheExample() {
    QCOMPARE(Z1WriteFrame(EncodeZ1Image(Z1FactoryValues())), Hex(ExampleFrame));
}

void TstZ1Block::replyFillsTheValues() {
    const QByteArray image = Hex(ExampleFrame).mid(2, Z1ImageSize);
    for (const quint8 spare : {quint8(0x00), quint8(0x7E)}) {
        const QByteArray reply = MakeZ1ReplyFrame(image, spare);
        QCOMPARE(reply.size(), Z1ReplyFrameSize);
        QVERIFY(IsZ1ReplyFrame(reply));
        QCOMPARE(Z1ReplyImage(reply), image);
        CompareValues(DecodeZ1Image(Z1ReplyImage(reply)), ExamplePage());
    }
    // A short block decodes without reading past it.
    QCOMPARE(DecodeZ1Image(Hex("01")).DeIP, QByteArray("0.0.0.1"));
}

void TstZ1Block::fieldBytes_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("decoded"); // -2: same as value
    QTest::newRow("921600 baud -> 00 10 0E")
        << QByteArray("BaudRate") << 921600 << 17 << Hex("00100E") << -2;
    QTest::newRow("baud cut to 24 bits")
        << QByteArray("BaudRate") << 0x1234567 << 17 << Hex("674523") << 0x234567;
    QTest::newRow("ID 300 -> 01 2C, high first")
        << QByteArray("ID") << 300 << 21 << Hex("012C") << -2;
    QTest::newRow("ID 0 -> 00 00") << QByteArray("ID") << 0 << 21 << Hex("0000") << -2;
    QTest::newRow("ID 70000 cut to 16 bits")
        << QByteArray("ID") << 70000 << 21 << Hex("1170") << 0x1170;
    QTest::newRow("port 65536 cut to 0") << QByteArray("DePort") << 65536 << 4 << Hex("0000") << 0;
    QTest::newRow("no work mode selected -> FF")
        << QByteArray("WorkMode") << -1 << 16 << Hex("FF") << 255;
}

void TstZ1Block::fieldBytes() {
    QFETCH(QByteArray, field);
    QFETCH(int, value);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(int, decoded);
    Z1Values v = ExamplePage();
    int Z1Values::*member = field == "BaudRate" ? &Z1Values::BaudRate
                            : field == "ID"     ? &Z1Values::ID
                            : field == "DePort" ? &Z1Values::DePort
                                                : &Z1Values::WorkMode;
    v.*member = value;
    const QByteArray image = EncodeZ1Image(v);
    QCOMPARE(image.mid(offset, bytes.size()), bytes);
    QCOMPARE(DecodeZ1Image(image).*member, decoded == -2 ? value : decoded);
}

void TstZ1Block::addressRule_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("four numbers, last first")
        << QByteArray("192.168.0.7") << true << Hex("0700A8C0");
    QTest::newRow("two numbers leave the lower bytes zero")
        << QByteArray("10.20") << true << Hex("0000140A");
    QTest::newRow("numbers after the fourth ignored")
        << QByteArray("1.2.3.4.x") << true << Hex("04030201");
    QTest::newRow("blanks removed, low 8 bits")
        << QByteArray(" 256 .1.1.1") << true << Hex("01010100");
    QTest::newRow("empty text") << QByteArray("") << false << QByteArray();
    QTest::newRow("two dots in a row") << QByteArray("1..2.3") << false << QByteArray();
    QTest::newRow("not a number") << QByteArray("1.2.3.x") << false << QByteArray();
}

void TstZ1Block::addressRule() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(QByteArray, bytes);
    QByteArray field = Hex("AAAAAAAA");
    Z1Values v = ExamplePage();
    v.Gateway = text;
    if (ok) {
        Z1IPTextToBytes(field, 0, text);
        QCOMPARE(field, bytes);
        QCOMPARE(EncodeZ1Image(v).mid(12, 4), bytes);
    } else {
        QVERIFY_THROWS_EXCEPTION(ConvertError, Z1IPTextToBytes(field, 0, text));
        QVERIFY_THROWS_EXCEPTION(ConvertError, EncodeZ1Image(v));
    }
}

void TstZ1Block::replyCheck_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("valid");
    const QByteArray good = MakeZ1ReplyFrame(Hex(ExampleFrame).mid(2, Z1ImageSize), 0x11);
    QTest::newRow("valid") << good << true;
    QByteArray typeBD = good;
    typeBD[1] = char(0xBD);
    typeBD[31] = char(SumBytes(typeBD, 2, 29)); // the sum does not cover the type byte
    QTest::newRow("type BD") << typeBD << false;
    QByteArray lead = good;
    lead[0] = 0x56;
    QTest::newRow("lead 56") << lead << false;
    QByteArray sumOff = good;
    sumOff[31] = char(sumOff[31] + 1);
    QTest::newRow("sum off by one") << sumOff << false;
    QByteArray spareChanged = good;
    spareChanged[30] = char(spareChanged[30] + 1); // byte 30 is counted in the sum
    QTest::newRow("byte 30 changed") << spareChanged << false;
    QTest::newRow("31 bytes") << good.left(31) << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TstZ1Block::replyCheck() {
    QFETCH(QByteArray, frame);
    QFETCH(bool, valid);
    QCOMPARE(IsZ1ReplyFrame(frame), valid);
}

void TstZ1Block::lcrByte_data() {
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<int>("byte");
    QTest::newRow("NONE/8/1 -> 03") << 0 << 3 << 0 << 0x03;
    QTest::newRow("EVEN/7/2 -> 1E") << 2 << 2 << 1 << 0x1E;
    QTest::newRow("ODD/5/1 -> 08") << 1 << 0 << 0 << 0x08;
    QTest::newRow("SPACE/6/2 -> 3D") << 4 << 1 << 1 << 0x3D;
    QTest::newRow("no selection -1/-1/-1 -> 03") << -1 << -1 << -1 << 0x03;
}

void TstZ1Block::lcrByte() {
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(int, byte);
    QCOMPARE(int(MakeLcrByte(parity, dataBits, stopBits)), byte);
}

void TstZ1Block::lcrRoundTrip() {
    // Every choice of the three lists survives the byte and its readers.
    for (int p = 0; p <= 4; ++p)
        for (int d = 0; d <= 3; ++d)
            for (int s = 0; s <= 1; ++s) {
                const quint8 b = MakeLcrByte(p, d, s);
                QVERIFY(b < 64);
                QCOMPARE(LcrParity(b), p);
                QCOMPARE(LcrDataBits(b), d);
                QCOMPARE(LcrStopBits(b), s);
            }
}

void TstZ1Block::binText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("101 -> 5") << QByteArray("101") << true << 5;
    QTest::newRow("011110 -> 1E") << QByteArray("011110") << true << 0x1E;
    QTest::newRow("empty -> 0") << QByteArray() << true << 0;
    QTest::newRow("40 ones keep the last 31") << QByteArray(40, '1') << true << 0x7FFFFFFF;
    QTest::newRow("digit 2") << QByteArray("102") << false << 0;
}

void TstZ1Block::binText() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    if (ok)
        QCOMPARE(BinTextToInt(text), value);
    else
        QVERIFY_THROWS_EXCEPTION(ConvertError, BinTextToInt(text));
}

void TstZ1Block::netImage() {
    const QByteArray image = EncodeZ1Image(ExamplePage());
    const QByteArray net = Z1NetImage("00 11 22 33 44 55", image);
    QCOMPARE(net.size(), Z1NetImageSize);
    QCOMPARE(net.left(6), Hex("001122334455"));
    QCOMPARE(net.mid(6, 6), QByteArray("738296"));
    QCOMPARE(net.mid(12), image);
    QByteArray mac, back;
    QVERIFY(ParseZ1NetImage(net, mac, back));
    QCOMPARE(mac, Hex("001122334455"));
    QCOMPARE(back, image);
    QByteArray wrongCode = net;
    wrongCode[6] = '8';
    QVERIFY(!ParseZ1NetImage(wrongCode, mac, back));
    QVERIFY(!ParseZ1NetImage(net.left(39), mac, back));
    QVERIFY_THROWS_EXCEPTION(ConvertError, Z1NetImage("0011223344", image));
}

void TstZ1Block::searchRecord() {
    const QByteArray image = EncodeZ1Image(ExamplePage());
    const QByteArray record = MakeZ1SearchRecord("00 1A 2B 3C 4D 5E", 0x21, image);
    QCOMPARE(record.size(), Z1SearchRecordSize);
    QCOMPARE(quint8(record[6]), quint8(0x21));
    QCOMPARE(Z1RecordImage(record), image);
    QVERIFY(Z1RecordMatches(record, "001A2B3C4D5E"));
    QVERIFY(Z1RecordMatches(record, "00 1a 2b 3c 4d 5e"));
    QVERIFY(!Z1RecordMatches(record, "001A2B3C4D5F"));
    QVERIFY(!Z1RecordMatches(record.left(34), "001A2B3C4D5E"));
    QVERIFY(!Z1RecordMatches(record, ""));
}

QTEST_GUILESS_MAIN(TstZ1Block)
#include "tst_z1block.moc"
