// Base, port, cloud, heartbeat/registration, HTTPD and Modbus images: decoders and field
// encoders, and the rule that an encoder leaves every byte it does not own as it was.
#include "ImageEncoders.h"
#include "Unit_ProFun.h"

#include <QtTest>

namespace {

QByteArray Hex(const char *hex) {
    return QByteArray::fromHex(hex);
}

// An image whose byte i is (seed + 7 * i) & 0xFF: every byte is distinguishable.
QByteArray Pattern(int size, int seed = 0x11) {
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((seed + 7 * i) & 0xFF);
    return image;
}

// Offsets where `a` and `b` differ.
QList<int> Changed(const QByteArray &a, const QByteArray &b) {
    QList<int> out;
    for (int i = 0; i < qMax(a.size(), b.size()); ++i)
        if (i >= a.size() || i >= b.size() || a[i] != b[i])
            out.append(i);
    return out;
}

bool OnlyIn(const QList<int> &changed, const QList<int> &allowed) {
    for (int i : changed)
        if (!allowed.contains(i))
            return false;
    return true;
}

QList<int> Range(int from, int to) {
    QList<int> out;
    for (int i = from; i <= to; ++i)
        out.append(i);
    return out;
}

TBaseParam SampleBase() {
    TBaseParam v;
    v.AddrType = 1;
    v.LocationURLPort = 0x1234;
    v.HTTPServerPort = 80;
    v.StaticIP = "192.168.0.7";
    v.GatewayIP = "192.168.0.201";
    v.SubnetMask = "255.255.255.0";
    v.ModName = "N6-Z2";
    v.UserName = "admin";
    v.Password = "12345";
    v.ExtFlags = 0xA0;
    v.ClearCache = true;
    v.ShortConn = false;
    v.UserMAC = "00 11 22 33 44 55";
    v.DNS = "8.8.4.4";
    v.ShortTime = 3;
    return v;
}

TPortParam SamplePort() {
    TPortParam v;
    v.BaudRate = 115200;
    v.DataBits = 8;
    v.Parity = 1;
    v.StopBits = 1;
    v.FlowControl = 5;
    v.LocalPort = 20108;
    v.RemotePort = 8234;
    v.RemoteIP = "example.org";
    v.WorkMode = 1;
    v.TCPSvrCount = 4;
    v.ResetTime = 300;
    v.HttpdMethod = 1;
    return v;
}

} // namespace

class TstImages : public QObject {
    Q_OBJECT

private slots:
    void decodeBase();
    void decodeShortImages();
    void baseZ2Flags_data();
    void baseZ2Flags();
    void baseZ2RoundTripAndCarriedBytes();
    void baseZ3();
    void baseStopsAtBadText_data();
    void baseStopsAtBadText();
    void portModbusRule_data();
    void portModbusRule();
    void portZ2RegistrationFlags();
    void portZ2RoundTrip();
    void portZ3();
    void cloud();
    void heartRegData_data();
    void heartRegData();
    void heartRegFlagsAndDecode();
    void httpd();
    void modbus_data();
    void modbus();
};

void TstImages::decodeBase() {
    QByteArray image(BaseImageSize, '\0');
    image.replace(9, 4, Hex("0700A8C0"));
    image.replace(21, 16, QByteArray("N6-Z2") + QByteArray(11, '\0'));
    image[3] = char(0xB7); // bits 0, 1, 2, 4, 5, 7
    image.replace(53, 6, Hex("FFFFFFFFFFFF"));
    QCOMPARE(DecodeBaseImage(image).StaticIP, QByteArray("192.168.0.7"));
    const TBaseParam p = DecodeBaseImage(image);
    QCOMPARE(p.ModName.size(), 16);
    QCOMPARE(p.ModName, QByteArray("N6-Z2") + QByteArray(11, '\0'));
    QCOMPARE(p.HeartTarget, 1);
    QCOMPARE(p.FlagBit1, 1);
    QCOMPARE(p.RegSendMode, 1);
    QCOMPARE(p.ClearCache, true);
    QCOMPARE(p.ShortConn, true);
    QCOMPARE(p.AddrType, 1);
    QCOMPARE(p.UserMAC, QByteArray("FF FF FF FF FF FF"));

    // A name filled to the full width has no terminating zero.
    image.replace(21, 16, "ABCDEFGHIJKLMNOP");
    QCOMPARE(DecodeBaseImage(image).ModName, QByteArray("ABCDEFGHIJKLMNOP"));

    // UARTLength stays 0 whatever the port image holds; TCPStyle is the low nibble of byte 58.
    QByteArray port = Pattern(PortImageSize);
    port[58] = char(0x43);
    QCOMPARE(DecodePortImage(port).UARTLength, 0);
    QCOMPARE(DecodePortImage(port).TCPStyle, 3);
}

void TstImages::decodeShortImages() {
    // Short or empty images decode without reading past them; missing bytes count as zero.
    const TBaseParam base = DecodeBaseImage(Hex("0000004B"));
    QCOMPARE(base.AddrType, 0);
    QCOMPARE(base.HeartTarget, 1);
    QCOMPARE(base.StaticIP, QByteArray("0.0.0.0"));
    QCOMPARE(base.ModName, QByteArray(16, '\0'));
    QCOMPARE(DecodePortImage({}).BaudRate, 0);
    QCOMPARE(DecodePortImage({}).RemoteIP, QByteArray(30, '\0'));
    QCOMPARE(DecodeCloudImage(Hex("0000")).DeviceID, QByteArray(20, '\0'));
}

void TstImages::baseZ2Flags_data() {
    QTest::addColumn<int>("lastFlags");
    QTest::addColumn<int>("addrType");
    QTest::addColumn<bool>("shortConn");
    QTest::addColumn<bool>("clearCache");
    QTest::addColumn<int>("flags");
    QTest::newRow("4B, DHCP, both off -> 4B") << 0x4B << 0 << false << false << 0x4B;
    QTest::newRow("4B, static, both on -> FB") << 0x4B << 1 << true << true << 0xFB;
    QTest::newRow("FF, DHCP, both off -> 4F") << 0xFF << 0 << false << false << 0x4F;
    QTest::newRow("00, static item 2 -> 80") << 0x00 << 2 << false << false << 0x80;
}

void TstImages::baseZ2Flags() {
    QFETCH(int, lastFlags);
    QFETCH(int, addrType);
    QFETCH(bool, shortConn);
    QFETCH(bool, clearCache);
    QFETCH(int, flags);
    TBaseParam v = SampleBase();
    v.AddrType = addrType;
    v.ShortConn = shortConn;
    v.ClearCache = clearCache;
    QByteArray image(BaseImageSize, '\0');
    QVERIFY(EncodeBaseZ2(image, v, quint8(lastFlags)).ok);
    QCOMPARE(quint8(image[3]), quint8(flags));
}

void TstImages::baseZ2RoundTripAndCarriedBytes() {
    const QByteArray before = Pattern(BaseImageSize);
    QByteArray image = before;
    const TBaseParam v = SampleBase();
    QVERIFY(EncodeBaseZ2(image, v, 0x4B).ok);
    // Bytes 0..2, 8, 49..51 and 64..66 are not the encoder's: they go back as read.
    QVERIFY(
        OnlyIn(Changed(before, image), QList<int>{3} + Range(4, 7) + Range(9, 48) + Range(52, 63)));
    QCOMPARE(image.mid(9, 4), Hex("0700A8C0"));
    QCOMPARE(quint8(image[52]), quint8(0xA0));

    const TBaseParam back = DecodeBaseImage(image);
    QCOMPARE(back.AddrType, 1);
    QCOMPARE(back.LocationURLPort, v.LocationURLPort);
    QCOMPARE(back.HTTPServerPort, v.HTTPServerPort);
    QCOMPARE(back.StaticIP, v.StaticIP);
    QCOMPARE(back.GatewayIP, v.GatewayIP);
    QCOMPARE(back.SubnetMask, v.SubnetMask);
    QCOMPARE(back.ModName, v.ModName + QByteArray(11, '\0'));
    QCOMPARE(back.UserName, v.UserName + QByteArray(1, '\0'));
    QCOMPARE(back.ExtFlags, 0xA0);
    QCOMPARE(back.ClearCache, true);
    QCOMPARE(back.UserMAC, v.UserMAC);
    QCOMPARE(back.DNS, v.DNS);
    QCOMPARE(back.ShortTime, 3);
    QCOMPARE(back.HeartTarget, 1); // bit 0 of the read flags 0x4B travels back

    // Bits 0..3 of the extension flags are always 0 on Z2.
    TBaseParam low = v;
    low.ExtFlags = 0x5F;
    QVERIFY(EncodeBaseZ2(image, low, 0).ok);
    QCOMPARE(quint8(image[52]), quint8(0x50));

    // A short buffer is padded to the full image first.
    QByteArray shortImage;
    QVERIFY(EncodeBaseZ2(shortImage, v, 0).ok);
    QCOMPARE(shortImage.size(), BaseImageSize);
}

void TstImages::baseZ3() {
    const QByteArray before = Pattern(BaseImageSize);
    QByteArray image = before;
    TBaseParam v = SampleBase();
    v.ExtFlags = 3; // ID type: both
    QVERIFY(EncodeBaseZ3(image, v).ok);
    QCOMPARE(quint8(image[3]), quint8(0x80));
    QCOMPARE(quint8(image[52]), quint8(0x03));
    QCOMPARE(image.mid(59, 5), before.mid(59, 5)); // DNS and short time carried over on Z3
    QVERIFY(
        OnlyIn(Changed(before, image), QList<int>{3} + Range(4, 7) + Range(9, 48) + Range(52, 58)));

    v.AddrType = 0;
    QVERIFY(EncodeBaseZ3(image, v).ok);
    QCOMPARE(quint8(image[3]), quint8(0x00));
}

void TstImages::baseStopsAtBadText_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("firstKept"); // first byte offset that must keep its read value
    QTest::newRow("bad gateway: mask, name.. kept") << QByteArray("GatewayIP") << 13;
    QTest::newRow("bad MAC: MAC, DNS, short time kept") << QByteArray("UserMAC") << 53;
    QTest::newRow("bad DNS: short time kept") << QByteArray("DNS") << 59;
}

void TstImages::baseStopsAtBadText() {
    QFETCH(QByteArray, field);
    QFETCH(int, firstKept);
    TBaseParam v = SampleBase();
    if (field == "GatewayIP")
        v.GatewayIP = "192.168..1";
    else if (field == "UserMAC")
        v.UserMAC = "00 11 22";
    else
        v.DNS = "dns.example";
    const QByteArray before = Pattern(BaseImageSize);
    QByteArray image = before;
    const EncodeResult r = EncodeBaseZ2(image, v, 0);
    QVERIFY(!r.ok);
    QCOMPARE(r.badField, field);
    QCOMPARE(image.mid(9, 4), Hex("0700A8C0")); // written before the bad field
    QCOMPARE(image.mid(firstKept, 64 - firstKept), before.mid(firstKept, 64 - firstKept));
}

void TstImages::portModbusRule_data() {
    QTest::addColumn<int>("modbus");
    QTest::addColumn<int>("workMode");
    QTest::addColumn<bool>("bit2");
    QTest::newRow("Modbus, TCP client -> set") << 1 << 1 << true;
    QTest::newRow("Modbus, TCP server -> set") << 1 << 3 << true;
    QTest::newRow("Modbus, UDP server -> cleared") << 1 << 2 << false;
    QTest::newRow("Modbus, HTTPD client -> cleared") << 1 << 4 << false;
    QTest::newRow("None, TCP client -> cleared") << 0 << 1 << false;
}

void TstImages::portModbusRule() {
    QFETCH(int, modbus);
    QFETCH(int, workMode);
    QFETCH(bool, bit2);
    TPortParam v = SamplePort();
    v.ModbusTCP = modbus;
    v.WorkMode = workMode;
    QByteArray z2(PortImageSize, '\0');
    EncodePortZ2(z2, v, 0xFF);
    QCOMPARE(bool(quint8(z2[50]) & 0x04), bit2);
    QByteArray z3(PortImageSize, '\xFF');
    EncodePortZ3(z3, v);
    QCOMPARE(bool(quint8(z3[50]) & 0x04), bit2);
}

void TstImages::portZ2RegistrationFlags() {
    // Registration type item 3 ("Enable Quorvex Cloud") after a read with MAC and custom reg.
    QByteArray image(PortImageSize, '\0');
    image[50] = char(0xC3); // read: bit 6 MacReg, bits 0, 1, 7
    image[56] = 1;
    TPortParam v = SamplePort();
    v.CloudEnable = 1;
    v.MacReg = false;
    v.CustomReg = false;
    v.BaudSync = 1;
    v.KickOld = true;
    EncodePortZ2(image, v, 0xC3);
    QCOMPARE(quint8(image[50]), quint8(0x83 | 0x08 | 0x10 | 0x20));
    QCOMPARE(quint8(image[56]), quint8(0));
}

void TstImages::portZ2RoundTrip() {
    const QByteArray before = Pattern(PortImageSize);
    QByteArray image = before;
    TPortParam v = SamplePort();
    v.UARTLength = 999; // collected, not written on Z2
    v.TCPStyle = 2;     // collected, not written on Z2
    v.CustomReg = true;
    EncodePortZ2(image, v, quint8(before[50]));
    QCOMPARE(image.mid(8, 4), Hex("00000000"));
    QCOMPARE(image[58], before[58]);
    QVERIFY(OnlyIn(Changed(before, image), Range(0, 45) + Range(50, 56)));
    const TPortParam back = DecodePortImage(image);
    QCOMPARE(back.BaudRate, v.BaudRate);
    QCOMPARE(back.DataBits, v.DataBits);
    QCOMPARE(back.Parity, v.Parity);
    QCOMPARE(back.StopBits, v.StopBits);
    QCOMPARE(back.FlowControl, v.FlowControl);
    QCOMPARE(back.LocalPort, v.LocalPort);
    QCOMPARE(back.RemotePort, v.RemotePort);
    QCOMPARE(back.RemoteIP, v.RemoteIP + QByteArray(30 - v.RemoteIP.size(), '\0'));
    QCOMPARE(back.WorkMode, v.WorkMode);
    QCOMPARE(back.HttpdMethod, v.HttpdMethod);
    QCOMPARE(back.TCPSvrCount, v.TCPSvrCount);
    QCOMPARE(back.ResetTime, v.ResetTime);
    QCOMPARE(back.CustomReg, true);
    QCOMPARE(back.UARTLength, 0);
}

void TstImages::portZ3() {
    const QByteArray before = Pattern(PortImageSize);
    QByteArray image = before;
    TPortParam v = SamplePort();
    v.UARTLength = 200;
    v.TCPSvrCount = 4;
    v.TCPStyle = 1;
    v.BaudSync = 1;
    v.ModbusTCP = 0;
    v.CloudEnable = 1; // not a Z3 field: bit 4 keeps the buffer's value
    EncodePortZ3(image, v);
    QCOMPARE(image.mid(52, 4), Hex("C8000000"));
    QCOMPARE(quint8(image[58]), quint8(0x41));
    QCOMPARE(image[56], before[56]);
    QCOMPARE(quint8(image[50]) & ~0x0C, quint8(before[50]) & ~0x0C);
    QCOMPARE(quint8(image[50]) & 0x0C, 0x08);
    QVERIFY(OnlyIn(Changed(before, image), Range(0, 45) + Range(50, 55) + QList<int>{58}));

    // Read back the Z3 way: the three fields come out as written.
    TPortParam back = DecodePortImage(image);
    DecodePortTailZ3(image, back);
    QCOMPARE(back.UARTLength, 200);
    QCOMPARE(back.TCPSvrCount, 4);
    QCOMPARE(back.TCPStyle, 1);
    // A short image reads as zeros, never past its end.
    TPortParam shortPort;
    DecodePortTailZ3(image.left(52), shortPort);
    QCOMPARE(shortPort.UARTLength, 0);
    QCOMPARE(shortPort.TCPSvrCount, 0);
}

void TstImages::cloud() {
    const QByteArray before = Pattern(CloudImageSize);
    QByteArray image = before;
    TCloudParam v;
    v.DeviceID = "123";
    v.CommPassword = "0123456789";
    EncodeCloud(image, v);
    QCOMPARE(image.mid(2, 20), QByteArray("123") + QByteArray(17, '\0'));
    QCOMPARE(image.mid(22, 8), QByteArray("01234567"));
    QVERIFY(OnlyIn(Changed(before, image), Range(2, 29)));
    QCOMPARE(DecodeCloudImage(image).DeviceID, image.mid(2, 20));
    QCOMPARE(DecodeCloudImage(image).CommPassword, QByteArray("01234567"));
}

void TstImages::heartRegData_data() {
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("field"); // the 40-byte data field
    const QByteArray t45(45, 'x');
    QTest::newRow("text of 45 -> 40") << false << t45 << true << 40 << t45.left(40);
    QTest::newRow("text of 260 -> 40")
        << false << QByteArray(260, 'y') << true << 40 << QByteArray(40, 'y');
    QTest::newRow("short text zero padded")
        << false << QByteArray("hb") << true << 2 << QByteArray("hb") + QByteArray(38, '\0');
    QTest::newRow("hex of 7 digits -> 3 bytes")
        << true << QByteArray("A1B2C3D") << true << 3 << Hex("A1B2C3") + QByteArray(37, '\0');
    QTest::newRow("hex of 100 digits -> 40")
        << true << QByteArray(100, 'F') << true << 40 << QByteArray(40, '\xFF');
    // A bad pair stops the fill (the rest of the field keeps the previous bytes, here 0xEE).
    QTest::newRow("bad hex stops the fill")
        << true << QByteArray("01ZZ03") << false << 3 << Hex("01") + QByteArray(39, '\xEE');
}

void TstImages::heartRegData() {
    QFETCH(bool, hex);
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, length);
    QFETCH(QByteArray, field);
    for (const bool registration : {false, true}) {
        QByteArray image(HeartRegImageSize, '\xEE');
        HeartRegValues v;
        (registration ? v.RegHex : v.HeartHex) = hex;
        (registration ? v.RegData : v.HeartData) = text;
        QCOMPARE(EncodeHeartReg(image, v), ok);
        QCOMPARE(int(quint8(image[registration ? 4 : 3])), length);
        QCOMPARE(image.mid(registration ? 45 : 5, 40), field);
        QCOMPARE(image.size(), HeartRegImageSize);
    }
}

void TstImages::heartRegFlagsAndDecode() {
    HeartRegValues v;
    v.NetHeart = true;
    v.DataWith = true;
    v.UartSetParam = true;
    v.RegHex = true;
    v.HeartTime = 0x10203; // low 16 bits stored
    v.HeartData = "ping";
    v.RegData = "0A0B";
    QByteArray image;
    QVERIFY(EncodeHeartReg(image, v));
    QCOMPARE(image.size(), HeartRegImageSize);
    QCOMPARE(quint8(image[0]), quint8(0x01 | 0x08 | 0x20 | 0x80));
    QCOMPARE(image.mid(1, 2), Hex("0302"));
    const HeartRegValues back = DecodeHeartRegImage(image);
    QCOMPARE(back.NetHeart, true);
    QCOMPARE(back.UartHeart, false);
    QCOMPARE(back.DataWith, true);
    QCOMPARE(back.RegHex, true);
    QCOMPARE(back.HeartTime, 0x0203);
    QCOMPARE(back.HeartData, QByteArray("ping"));
    QCOMPARE(back.RegData, QByteArray("0A0B"));

    // Length bytes above 40 never read past their 40-byte fields.
    image[3] = char(0xFF);
    image[4] = char(41);
    const HeartRegValues capped = DecodeHeartRegImage(image);
    QCOMPARE(capped.HeartData.size(), 40);
    QCOMPARE(capped.RegData.size(), 80); // 40 bytes as hex
    QCOMPARE(DecodeHeartRegImage(Hex("FFFFFF")).HeartData, QByteArray());
}

void TstImages::httpd() {
    QByteArray image = Pattern(HttpdImageSize);
    const QByteArray longUrl = QByteArray(120, 'u');
    EncodeHttpdUrl(image, longUrl);
    QCOMPARE(quint8(image[0]), quint8(100));
    QCOMPARE(image.mid(1, 100), longUrl.left(100));

    // A shorter URL keeps the rest of the field as it was.
    EncodeHttpdUrl(image, "abc");
    QCOMPARE(quint8(image[0]), quint8(3));
    QCOMPARE(image.mid(1, 5), QByteArray("abcuu"));

    const QByteArray before = image;
    EncodeHttpdHeader(image, QByteArray(250, 'h'));
    QCOMPARE(quint8(image[101]), quint8(200));
    QVERIFY(OnlyIn(Changed(before, image), Range(101, 301)));

    QCOMPARE(HttpdUrlBlock(image).size(), HttpdUrlBlockSize);
    QCOMPARE(HttpdUrlBlock(image), image.left(101));
    QCOMPARE(HttpdHeaderBlock(image).size(), HttpdHeaderBlockSize);
    QCOMPARE(HttpdHeaderBlock(image), image.mid(101));

    QByteArray url, header;
    DecodeHttpdImage(image, url, header);
    QCOMPARE(url, QByteArray("abc"));
    QCOMPARE(header, QByteArray(200, 'h'));

    // Length bytes beyond their blocks are cut at 100 and 200.
    image[0] = char(0xFF);
    image[101] = char(0xFF);
    DecodeHttpdImage(image, url, header);
    QCOMPARE(url.size(), 100);
    QCOMPARE(header.size(), 200);
    // A length 5 URL and an empty header.
    QByteArray small(HttpdImageSize, '\0');
    small[0] = 5;
    small.replace(1, 5, "hello");
    DecodeHttpdImage(small, url, header);
    QCOMPARE(url, QByteArray("hello"));
    QCOMPARE(header, QByteArray());
    // An empty buffer is padded before a block is written.
    QByteArray empty;
    EncodeHttpdHeader(empty, "h");
    QCOMPARE(empty.size(), HttpdImageSize);
}

void TstImages::modbus_data() {
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<bool>("poll");
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("form");
    QTest::addColumn<QByteArray>("image");
    QTest::newRow("form 4, 300 -> 01 01 01 2C") << true << true << 300 << 4 << Hex("0101012C");
    QTest::newRow("form 1 on -> 01") << true << true << 300 << 1 << Hex("01");
    QTest::newRow("form 1 off -> 00") << false << true << 300 << 1 << Hex("00");
    QTest::newRow("form 4, 70000 low 8 bits of div")
        << false << false << 70000 << 4 << Hex("00001170");
}

void TstImages::modbus() {
    QFETCH(bool, tcp);
    QFETCH(bool, poll);
    QFETCH(int, time);
    QFETCH(int, form);
    QFETCH(QByteArray, image);
    ModbusValues v;
    v.ModbusTCP = tcp;
    v.PollEnable = poll;
    v.PollTime = time;
    QCOMPARE(EncodeModbus(v, form), image);
}

QTEST_GUILESS_MAIN(TstImages)
#include "tst_images.moc"
