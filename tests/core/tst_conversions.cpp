// Text, hex, address and number conversions: worked examples and bad input.
#include "Unit_ProFun.h"

#include <QtTest>

namespace {
QByteArray Hex(const char *hex) {
    return QByteArray::fromHex(hex);
}
} // namespace

class TstConversions : public QObject {
    Q_OBJECT

private slots:
    void hexText_data();
    void hexText();
    void tryHexText_data();
    void tryHexText();
    void hexTextToBuffer_data();
    void hexTextToBuffer();
    void fixedWidthTexts();
    void hexDumps();
    void textToInt_data();
    void textToInt();
    void ipTextToUInt_data();
    void ipTextToUInt();
    void isSameSubnet_data();
    void isSameSubnet();
    void ipTextToBytes_data();
    void ipTextToBytes();
    void macTextToBytes_data();
    void macTextToBytes();
    void credentialField_data();
    void credentialField();
    void bytesToInt_data();
    void bytesToInt();
    void smallHelpers();
    void sumBytes_data();
    void sumBytes();
    void lineSettingsByte_data();
    void lineSettingsByte();
};

// BytesToHexText / HexTextToBytes, including the "returned unchanged" rule.
void TstConversions::hexText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("007fff lower case") << QByteArray("007fff") << Hex("007FFF");
    QTest::newRow("trailing odd digit ignored") << QByteArray("0A1") << Hex("0A");
    QTest::newRow("single digit gives nothing") << QByteArray("A") << QByteArray();
    QTest::newRow("blank between pairs: unchanged") << QByteArray("00 7F") << QByteArray("00 7F");
    QTest::newRow("bad pair: unchanged") << QByteArray("01ZZ") << QByteArray("01ZZ");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TstConversions::hexText() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(HexTextToBytes(text), bytes);
    if (bytes != text && text.size() % 2 == 0)
        QCOMPARE(BytesToHexText(bytes), text.toUpper());
}

void TstConversions::tryHexText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("single digit A") << QByteArray("A") << true << Hex("0A");
    QTest::newRow("bad first pair") << QByteArray("ZZ01") << false << QByteArray();
    QTest::newRow("bad later pair skipped") << QByteArray("01ZZ02") << true << Hex("0102");
    QTest::newRow("blanks removed") << QByteArray("0 1 f f") << true << Hex("01FF");
    QTest::newRow("odd last digit alone") << QByteArray("123") << true << Hex("1203");
    QTest::newRow("empty") << QByteArray() << true << QByteArray();
}

void TstConversions::tryHexText() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(QByteArray, bytes);
    QByteArray out("stale");
    QCOMPARE(TryHexTextToBytes(text, out), ok);
    QCOMPARE(out, bytes);
}

void TstConversions::hexTextToBuffer_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("buffer");
    // The buffer starts as six AA bytes.
    QTest::newRow("pairs then zeros")
        << QByteArray("0102") << 1 << 4 << true << Hex("AA01020000AA");
    QTest::newRow("bad pair stops, rest untouched")
        << QByteArray("01ZZ03") << 0 << 4 << false << Hex("01AAAAAAAAAA");
    QTest::newRow("blank makes a pair bad")
        << QByteArray("01 2") << 0 << 3 << false << Hex("01AAAAAAAAAA");
    QTest::newRow("size past the buffer end")
        << QByteArray("0102030405") << 4 << 40 << true << Hex("AAAAAAAA0102");
    QTest::newRow("negative offset")
        << QByteArray("010203") << -2 << 3 << true << Hex("03AAAAAAAAAA");
}

void TstConversions::hexTextToBuffer() {
    QFETCH(QByteArray, text);
    QFETCH(int, offset);
    QFETCH(int, size);
    QFETCH(bool, ok);
    QFETCH(QByteArray, buffer);
    QByteArray actual = Hex("AAAAAAAAAAAA");
    QCOMPARE(HexTextToBuffer(text, actual, offset, size), ok);
    QCOMPARE(actual, buffer);
}

void TstConversions::fixedWidthTexts() {
    // Exactly count bytes, zeros included; bytes outside the source read as zero.
    QCOMPARE(BytesToText(QByteArray("ab\0cd", 5), 1, 3), QByteArray("b\0c", 3));
    QCOMPARE(BytesToText(QByteArray("ab"), 1, 4), QByteArray("b\0\0\0", 4));
    QCOMPARE(BytesToText(QByteArray("ab"), -1, 2), QByteArray("\0a", 2));
    QCOMPARE(BytesToText(QByteArray("ab"), 0, -5), QByteArray());

    QByteArray dest = Hex("AAAAAAAAAAAA");
    TextToFixedBytes(dest, 1, "xyz", 4);
    QCOMPARE(dest, QByteArray("\xAAxyz\0\xAA", 6));
    TextToFixedBytes(dest, 0, "longer than the width", 3);
    QCOMPARE(dest.left(3), QByteArray("lon"));
    TextToFixedBytes(dest, 4, "past the end", 10); // only the two bytes inside are written
    QCOMPARE(dest, QByteArray("lonz", 4) + "pa");

    QCOMPARE(RemoveSpaces(" a b  c "), QByteArray("abc"));
    QCOMPARE(RemoveSpaces("a\tb"), QByteArray("a\tb"));
    QCOMPARE(ReverseText("abc"), QByteArray("cba"));
}

void TstConversions::hexDumps() {
    QCOMPARE(BytesToHexText(Hex("007FFF")), QByteArray("007FFF"));
    QCOMPARE(BytesToHexText({}), QByteArray());
    QCOMPARE(BytesToSpacedHex(Hex("FF01")), QByteArray("FF 01 "));
    QCOMPARE(BytesToHexSep(Hex("0A0B0C"), 2, "-"), QByteArray("0A-0B-"));
    QCOMPARE(BytesToHexSep(Hex("0A0B"), 99, ""), QByteArray("0A0B"));
    QCOMPARE(BytesToHexSep(Hex("0A0B"), -1, " "), QByteArray());
    QCOMPARE(BytesToMacText(Hex("00112233445F")), QByteArray("00 11 22 33 44 5F"));
    QCOMPARE(BytesToMacText(Hex("0011")), QByteArray("00 11 00 00 00 00"));
}

void TstConversions::textToInt_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("123") << QByteArray("123") << true << 123;
    QTest::newRow("leading blanks") << QByteArray("  42") << true << 42;
    QTest::newRow("negative") << QByteArray("-5") << true << -5;
    QTest::newRow("lowest 32-bit") << QByteArray("-2147483648") << true << INT_MIN;
    QTest::newRow("above 32 bits") << QByteArray("2147483648") << false << 0;
    QTest::newRow("many digits") << QByteArray("99999999999999999999999") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("sign only") << QByteArray("-") << false << 0;
    QTest::newRow("trailing blank") << QByteArray("12 ") << false << 0;
    QTest::newRow("letters") << QByteArray("12a") << false << 0;
}

void TstConversions::textToInt() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    if (ok)
        QCOMPARE(TextToInt(text), value);
    else
        QVERIFY_THROWS_EXCEPTION(ConvertError, TextToInt(text));
    QCOMPARE(TextToIntDef(text, 77), ok ? value : 77);
}

void TstConversions::ipTextToUInt_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<quint32>("value");
    QTest::newRow("192.168.0.7") << QByteArray("192.168.0.7") << true << 0xC0A80007u;
    QTest::newRow("three numbers") << QByteArray("192.168.0") << false << 0u;
    QTest::newRow("two separators in a row") << QByteArray("1..2.3") << false << 0u;
    QTest::newRow("empty") << QByteArray() << false << 0u;
    QTest::newRow("parts after the fourth ignored")
        << QByteArray("1.2.3.4.5") << true << 0x01020304u;
    QTest::newRow("any separator character") << QByteArray("1a2-3,4") << true << 0x01020304u;
    QTest::newRow("256 not rejected, 32-bit wrap")
        << QByteArray("1.256.0.1") << true << 0x02000001u;
    // Runs are read in 32-bit arithmetic: a huge run gives a defined (wrapped) value.
    quint32 run = 0;
    for (char c : QByteArray("99999999999999999999"))
        run = run * 10u + quint32(c - '0');
    QTest::newRow("huge run wraps, no overflow")
        << QByteArray("99999999999999999999.0.0.1") << true << (run << 24) + 1u;
}

void TstConversions::ipTextToUInt() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(quint32, value);
    if (!ok) {
        QVERIFY_THROWS_EXCEPTION(ConvertError, IPTextToUInt(text));
        return;
    }
    QCOMPARE(IPTextToUInt(text), value);
}

void TstConversions::isSameSubnet_data() {
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<bool>("same");
    QTest::newRow("same /24") << QByteArray("192.168.0.7") << QByteArray("192.168.0.201")
                              << QByteArray("255.255.255.0") << true;
    QTest::newRow("other /24") << QByteArray("192.168.1.7") << QByteArray("192.168.0.201")
                               << QByteArray("255.255.255.0") << false;
    QTest::newRow("mask 0 matches all")
        << QByteArray("10.0.0.1") << QByteArray("192.0.2.1") << QByteArray("0.0.0.0") << true;
}

void TstConversions::isSameSubnet() {
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(QByteArray, mask);
    QFETCH(bool, same);
    QCOMPARE(IsSameSubnet(first, second, mask), same);
    QVERIFY_THROWS_EXCEPTION(ConvertError, IsSameSubnet(first, second, "255.255"));
}

void TstConversions::ipTextToBytes_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("field"); // six bytes, starting as AA
    QTest::newRow("192.168.0.7 stored last-first")
        << QByteArray("192.168.0.7") << 1 << true << Hex("AA0700A8C0AA");
    QTest::newRow("blanks removed")
        << QByteArray(" 192. 168.0 .7") << 1 << true << Hex("AA0700A8C0AA");
    QTest::newRow("two parts: bytes 3 and 0")
        << QByteArray("10.20") << 0 << true << Hex("14AAAA0AAAAA");
    QTest::newRow("empty writes nothing") << QByteArray("") << 0 << true << Hex("AAAAAAAAAAAA");
    QTest::newRow("parts after the fourth ignored")
        << QByteArray("1.2.3.4.x") << 0 << true << Hex("04030201AAAA");
    QTest::newRow("low 8 bits of each number")
        << QByteArray("256.257.0.511") << 0 << true << Hex("FF000100AAAA");
    QTest::newRow("bad part: earlier bytes stay")
        << QByteArray("1.x.3.4") << 0 << false << Hex("AAAAAA01AAAA");
    QTest::newRow("trailing dot is an empty part")
        << QByteArray("1.2.3.") << 0 << false << Hex("AA030201AAAA");
    QTest::newRow("field past the end: nothing outside")
        << QByteArray("1.2.3.4") << 4 << true << Hex("AAAAAAAA0403");
}

void TstConversions::ipTextToBytes() {
    QFETCH(QByteArray, text);
    QFETCH(int, offset);
    QFETCH(bool, ok);
    QFETCH(QByteArray, field);
    QByteArray dest = Hex("AAAAAAAAAAAA");
    if (ok)
        IPTextToBytes(dest, offset, text);
    else
        QVERIFY_THROWS_EXCEPTION(ConvertError, IPTextToBytes(dest, offset, text));
    QCOMPARE(dest, field);
    if (QByteArray(QTest::currentDataTag()).startsWith("192"))
        QCOMPARE(BytesToIPText(dest, offset), QByteArray("192.168.0.7"));
}

void TstConversions::macTextToBytes_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("bytes"); // destination starts as six AA bytes
    QTest::newRow("blank separated")
        << QByteArray("00 11 22 33 44 5f") << true << Hex("00112233445F");
    QTest::newRow("without blanks") << QByteArray("00112233445F") << true << Hex("00112233445F");
    QTest::newRow("eleven digits: last single digit")
        << QByteArray("00112233445") << true << Hex("001122334405");
    QTest::newRow("extra digits ignored")
        << QByteArray("00112233445566") << true << Hex("001122334455");
    QTest::newRow("ten digits: error, five bytes written")
        << QByteArray("0011223344") << false << Hex("0011223344AA");
    QTest::newRow("empty") << QByteArray("") << false << Hex("AAAAAAAAAAAA");
    QTest::newRow("bad pair: earlier bytes stay")
        << QByteArray("0011ZZ334455") << false << Hex("0011AAAAAAAA");
    QTest::newRow("colons are not blanks")
        << QByteArray("00:11:22:33:44:55") << false << Hex("00AAAAAAAAAA");
}

void TstConversions::macTextToBytes() {
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(QByteArray, bytes);
    QByteArray dest = Hex("AAAAAAAAAAAA");
    if (ok) {
        MacTextToBytes(dest, 0, text);
        QCOMPARE(MacTextToBytes(text), bytes);
    } else {
        QVERIFY_THROWS_EXCEPTION(ConvertError, MacTextToBytes(dest, 0, text));
        QVERIFY_THROWS_EXCEPTION(ConvertError, MacTextToBytes(text));
    }
    QCOMPARE(dest, bytes);
}

void TstConversions::credentialField_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("blank in the middle dropped, zero padded")
        << QByteArray("ab cd") << QByteArray("abcd\0\0", 6);
    QTest::newRow("eight letters cut to six") << QByteArray("abcdefgh") << QByteArray("abcdef");
    QTest::newRow("blanks dropped before the cut")
        << QByteArray("a b c d e f g") << QByteArray("abcdef");
    QTest::newRow("empty") << QByteArray() << QByteArray(6, '\0');
}

void TstConversions::credentialField() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, field);
    QByteArray dest(8, '\xAA');
    PutCredentialField(dest, text, 1);
    QCOMPARE(dest.mid(1, 6), field);
    QCOMPARE(dest.at(0), '\xAA');
    QCOMPARE(dest.at(7), '\xAA');
    QByteArray tail(3, '\xAA');
    PutCredentialField(tail, text, 1); // only two bytes fit: nothing written past the end
    QCOMPARE(tail.size(), 3);
}

void TstConversions::bytesToInt_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("littleEndian");
    QTest::addColumn<int>("value");
    QTest::newRow("01 02 LE") << Hex("0102") << 2 << true << 0x0201;
    QTest::newRow("01 02 BE") << Hex("0102") << 2 << false << 0x0102;
    QTest::newRow("FF FF FF FF wraps to -1") << Hex("FFFFFFFF") << 4 << true << -1;
    QTest::newRow("3 bytes LE 00 10 0E") << Hex("00100E") << 3 << true << 921600;
    QTest::newRow("count past the data reads zero") << Hex("01") << 4 << false << 0x01000000;
    QTest::newRow("count above 4 keeps 32 bits") << Hex("0102030405") << 5 << true << 0x04030201;
    QTest::newRow("count 0") << Hex("01") << 0 << true << 0;
}

void TstConversions::bytesToInt() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(bool, littleEndian);
    QFETCH(int, value);
    QCOMPARE(BytesToInt(bytes, 0, count, littleEndian), value);
}

void TstConversions::smallHelpers() {
    QCOMPARE(UIntToIPText(0xC0A80007u), QByteArray("192.168.0.7"));
    QCOMPARE(Word16ToBytes(0x12345), Hex("4523"));
    QCOMPARE(Word16ToBytes(-1), Hex("FFFF"));
    const std::array<bool, 8> flags = ByteToFlags(0xA5);
    QCOMPARE(flags[0], true);
    QCOMPARE(flags[1], false);
    QCOMPARE(flags[7], true);
    QCOMPARE(FlagsToByte(flags), quint8(0xA5));
}

void TstConversions::sumBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("sum");
    QTest::newRow("01 01") << Hex("0101") << 0 << 2 << 0x02;
    QTest::newRow("wraps at 256") << Hex("FF02") << 0 << 2 << 0x01;
    QTest::newRow("sum of 300 is 2C") << Hex("FFFF2E") << 0 << 3 << 0x2C;
    QTest::newRow("count 0") << Hex("0101") << 0 << 0 << 0;
    QTest::newRow("count past the end") << Hex("0101") << 1 << 100 << 0x01;
}

void TstConversions::sumBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(int, sum);
    QCOMPARE(int(SumBytes(bytes, offset, count)), sum);
    if (offset == 0 && count == bytes.size())
        QCOMPARE(int(SumBytes(bytes)), sum);
}

void TstConversions::lineSettingsByte_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("binText");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("03 none/8/1") << 0x03 << QByteArray("000011") << 0 << 3 << 0;
    QTest::newRow("1F even/8/2") << 0x1F << QByteArray("011111") << 2 << 3 << 1;
    QTest::newRow("1E even/7/2") << 0x1E << QByteArray("011110") << 2 << 2 << 1;
    QTest::newRow("08 odd/5/1") << 0x08 << QByteArray("001000") << 1 << 0 << 0;
    QTest::newRow("3D space/6/2") << 0x3D << QByteArray("111101") << 4 << 1 << 1;
    QTest::newRow("05") << 0x05 << QByteArray("000101") << 0 << 1 << 1;
    QTest::newRow("00") << 0x00 << QByteArray("000000") << 0 << 0 << 0;
    // Bytes of 64 and more give longer texts; the readers still read characters 1 to 6.
    QTest::newRow("40 seven digits") << 0x40 << QByteArray("1000000") << 0 << 0 << 0;
    QTest::newRow("FF eight digits") << 0xFF << QByteArray("11111111") << 4 << 3 << 1;
}

void TstConversions::lineSettingsByte() {
    QFETCH(int, value);
    QFETCH(QByteArray, binText);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QCOMPARE(ByteToBinText(quint8(value)), binText);
    QCOMPARE(LcrParity(quint8(value)), parity);
    QCOMPARE(LcrDataBits(quint8(value)), dataBits);
    QCOMPARE(LcrStopBits(quint8(value)), stopBits);
}

QTEST_GUILESS_MAIN(TstConversions)
#include "tst_conversions.moc"
