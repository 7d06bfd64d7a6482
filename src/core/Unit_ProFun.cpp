#include "Unit_ProFun.h"

#include "CodecBytes.h"

#include <algorithm>
#include <limits>

using namespace codec;

ConvertError::ConvertError(QByteArray message)
    : m_message(std::move(message)) {}

const char *ConvertError::what() const noexcept {
    return m_message.constData();
}

namespace {

const char HexDigits[] = "0123456789ABCDEF";

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// One hex pair read like "$" + the two characters: upper or lower case; a zero character as the
// second one (or the text's end) leaves the first digit alone. -1 when the pair is not hex.
int ReadHexPair(const QByteArray &text, qsizetype index) {
    const char first = index < text.size() ? text[index] : '\0';
    const char second = index + 1 < text.size() ? text[index + 1] : '\0';
    const int high = HexDigitValue(first);
    if (high < 0)
        return -1;
    if (second == '\0')
        return high;
    const int low = HexDigitValue(second);
    return low < 0 ? -1 : high * 16 + low;
}

void AppendHex(QByteArray &out, quint8 byte) {
    out.append(HexDigits[byte >> 4]);
    out.append(HexDigits[byte & 0x0F]);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

// ---- Text and hex ----------------------------------------------------------------------------

QByteArray BytesToHexText(const QByteArray &bytes) {
    return BytesToHexSep(bytes, int(bytes.size()), {});
}

QByteArray HexTextToBytes(const QByteArray &hex) {
    QByteArray out;
    const qsizetype pairs = hex.size() / 2;
    out.reserve(pairs);
    for (qsizetype i = 0; i < pairs; ++i) {
        const int value = ReadHexPair(hex, 2 * i);
        if (value < 0)
            return hex;
        out.append(static_cast<char>(value));
    }
    return out;
}

bool TryHexTextToBytes(const QByteArray &hex, QByteArray &out) {
    const QByteArray text = RemoveSpaces(hex);
    out.clear();
    const qsizetype pairs = (text.size() + 1) / 2;
    for (qsizetype i = 0; i < pairs; ++i) {
        const int value = ReadHexPair(text, 2 * i);
        if (value < 0) {
            if (out.isEmpty())
                return false;
            continue;
        }
        out.append(static_cast<char>(value));
    }
    return true;
}

bool HexTextToBuffer(const QByteArray &hex, QByteArray &buffer, int offset, int size) {
    const qsizetype pairs = hex.size() / 2;
    for (int i = 0; i < size; ++i) {
        int value = 0;
        if (i < pairs) {
            value = ReadHexPair(hex, 2 * qsizetype(i));
            if (value < 0)
                return false;
        }
        PutByte(buffer, qint64(offset) + i, value);
    }
    return true;
}

QByteArray RemoveSpaces(const QByteArray &text) {
    QByteArray out = text;
    out.replace(' ', QByteArray());
    return out;
}

QByteArray ReverseText(const QByteArray &text) {
    QByteArray out = text;
    std::reverse(out.begin(), out.end());
    return out;
}

QByteArray BytesToText(const QByteArray &data, int offset, int count) {
    QByteArray out;
    if (count <= 0)
        return out;
    out.resize(count);
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<char>(ByteAt(data, qint64(offset) + i));
    return out;
}

void TextToFixedBytes(QByteArray &dest, int offset, const QByteArray &text, int width) {
    for (int i = 0; i < width; ++i)
        PutByte(dest, qint64(offset) + i, i < text.size() ? static_cast<quint8>(text[i]) : 0);
}

QByteArray BytesToSpacedHex(const QByteArray &bytes) {
    return BytesToHexSep(bytes, int(bytes.size()), QByteArray(" "));
}

QByteArray BytesToHexSep(const QByteArray &bytes, int count, const QByteArray &separator) {
    const qsizetype n = qBound(qsizetype(0), qsizetype(count), bytes.size());
    QByteArray out;
    out.reserve(n * (2 + separator.size()));
    for (qsizetype i = 0; i < n; ++i) {
        AppendHex(out, static_cast<quint8>(bytes[i]));
        out.append(separator);
    }
    return out;
}

// ---- Numbers and addresses ---------------------------------------------------------------------

qint32 TextToInt(const QByteArray &text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size())
        throw ConvertError("'" + text + "' is not a valid integer value");
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            throw ConvertError("'" + text + "' is not a valid integer value");
        value = value * 10 + (text[i] - '0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            throw ConvertError("'" + text + "' is out of range");
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        throw ConvertError("'" + text + "' is out of range");
    return static_cast<qint32>(value);
}

qint32 TextToIntDef(const QByteArray &text, qint32 fallback) {
    try {
        return TextToInt(text);
    } catch (const ConvertError &) {
        return fallback;
    }
}

quint32 IPTextToUInt(const QByteArray &text) {
    quint32 result = 0;
    qsizetype i = 0;
    for (int part = 0; part < 4; ++part) {
        const qsizetype start = i;
        quint32 number = 0;
        while (i < text.size() && IsDigit(text[i])) {
            number = number * 10u + quint32(text[i] - '0');
            ++i;
        }
        if (i == start)
            throw ConvertError("'" + text + "' is not a valid IPv4 address");
        result = (result << 8) + number;
        ++i; // the separator
    }
    return result;
}

bool IsSameSubnet(const QByteArray &first, const QByteArray &second, const QByteArray &mask) {
    const quint32 m = IPTextToUInt(mask);
    return (IPTextToUInt(first) & m) == (IPTextToUInt(second) & m);
}

QByteArray UIntToIPText(quint32 value) {
    return QByteArray::number(value >> 24) + '.' + QByteArray::number((value >> 16) & 0xFF) + '.' +
           QByteArray::number((value >> 8) & 0xFF) + '.' + QByteArray::number(value & 0xFF);
}

QByteArray BytesToIPText(const QByteArray &data, int offset) {
    const qint64 o = offset;
    return QByteArray::number(ByteAt(data, o + 3)) + '.' + QByteArray::number(ByteAt(data, o + 2)) +
           '.' + QByteArray::number(ByteAt(data, o + 1)) + '.' +
           QByteArray::number(ByteAt(data, o));
}

void IPTextToBytes(QByteArray &dest, int offset, const QByteArray &text) {
    const QByteArray compact = RemoveSpaces(text);
    if (compact.isEmpty())
        return;
    const QList<QByteArray> parts = compact.split('.');
    const qsizetype used = qMin<qsizetype>(parts.size(), 4);
    for (qsizetype i = 0; i < used; ++i) {
        const bool last = i == used - 1;
        const qint32 number = TextToInt(parts[i]);
        PutByte(dest, qint64(offset) + (last ? 0 : 3 - i), quint32(number));
    }
}

QByteArray BytesToMacText(const QByteArray &data, int offset) {
    QByteArray out;
    for (int i = 0; i < 6; ++i) {
        if (i > 0)
            out.append(' ');
        AppendHex(out, ByteAt(data, qint64(offset) + i));
    }
    return out;
}

void MacTextToBytes(QByteArray &dest, int offset, const QByteArray &text) {
    const QByteArray compact = RemoveSpaces(text);
    for (int i = 0; i < 6; ++i) {
        const int value = 2 * i < compact.size() ? ReadHexPair(compact, 2 * i) : -1;
        if (value < 0)
            throw ConvertError("'" + text + "' is not a valid MAC address");
        PutByte(dest, qint64(offset) + i, quint32(value));
    }
}

QByteArray MacTextToBytes(const QByteArray &text) {
    QByteArray mac(6, '\0');
    MacTextToBytes(mac, 0, text);
    return mac;
}

void PutCredentialField(QByteArray &dest, const QByteArray &text, int offset, int width) {
    QByteArray field = RemoveSpaces(text);
    if (field.size() < 6)
        field.append(6 - field.size(), '\0');
    for (int i = 0; i < width && i < field.size(); ++i)
        PutByte(dest, qint64(offset) + i, static_cast<quint8>(field[i]));
}

qint32 BytesToInt(const QByteArray &data, int offset, int count, bool littleEndian) {
    quint32 value = 0;
    for (int i = 0; i < count; ++i) {
        const int power = littleEndian ? i : count - 1 - i;
        if (power < 4)
            value += quint32(ByteAt(data, qint64(offset) + i)) << (8 * power);
    }
    return static_cast<qint32>(value);
}

QByteArray Word16ToBytes(qint64 value) {
    QByteArray out(2, '\0');
    PutLE(out, 0, quint32(quint64(value) & 0xFFFF), 2);
    return out;
}

std::array<bool, 8> ByteToFlags(quint8 value) {
    std::array<bool, 8> flags{};
    for (int i = 0; i < 8; ++i)
        flags[i] = (value >> i) & 1;
    return flags;
}

quint8 FlagsToByte(const std::array<bool, 8> &flags) {
    quint8 value = 0;
    for (int i = 0; i < 8; ++i)
        if (flags[i])
            value |= quint8(1u << i);
    return value;
}

quint8 SumBytes(const QByteArray &data, int offset, int count) {
    quint32 sum = 0;
    for (int i = 0; i < count; ++i)
        sum += ByteAt(data, qint64(offset) + i);
    return static_cast<quint8>(sum & 0xFF);
}

quint8 SumBytes(const QByteArray &data) {
    quint32 sum = 0;
    for (const char c : data)
        sum += static_cast<quint8>(c);
    return static_cast<quint8>(sum & 0xFF);
}

// ---- Serial line-settings byte
// --------------------------------------------------------------------

QByteArray ByteToBinText(quint8 value) {
    QByteArray digits;
    do {
        digits.prepend(char('0' + (value & 1)));
        value >>= 1;
    } while (value != 0);
    if (digits.size() < 6)
        digits.prepend(QByteArray(6 - digits.size(), '0'));
    return digits;
}

// The readers look at characters 1 to 6 of the binary text (1-based); for bytes below 64 these
// are bits 5 to 0.
int LcrParity(quint8 value) {
    const QByteArray t = ByteToBinText(value);
    if (t[2] != '1')
        return 0;
    return 1 + (t[0] == '1' ? 2 : 0) + (t[1] == '1' ? 1 : 0);
}

int LcrDataBits(quint8 value) {
    const QByteArray t = ByteToBinText(value);
    const QByteArray bits = t.mid(4, 2);
    if (bits == "00")
        return 0;
    if (bits == "01")
        return 1;
    if (bits == "10")
        return 2;
    return 3;
}

int LcrStopBits(quint8 value) {
    return ByteToBinText(value)[3] == '1' ? 1 : 0;
}

// ---- Image decoders -----------------------------------------------------------------------------

TBaseParam DecodeBaseImage(const QByteArray &image) {
    TBaseParam p;
    const quint8 flags = ByteAt(image, 3);
    p.HeartTarget = flags & 0x01;
    p.FlagBit1 = (flags >> 1) & 1;
    p.RegSendMode = (flags >> 2) & 1;
    p.ClearCache = (flags >> 4) & 1;
    p.ShortConn = (flags >> 5) & 1;
    p.AddrType = (flags >> 7) & 1;
    p.LocationURLPort = qint32(GetLE16(image, 4));
    p.HTTPServerPort = qint32(GetLE16(image, 6));
    p.StaticIP = BytesToIPText(image, 9);
    p.GatewayIP = BytesToIPText(image, 13);
    p.SubnetMask = BytesToIPText(image, 17);
    p.ModName = BytesToText(image, 21, 16);
    p.UserName = BytesToText(image, 37, 6);
    p.Password = BytesToText(image, 43, 6);
    p.ExtFlags = ByteAt(image, 52);
    p.UserMAC = BytesToMacText(image, 53);
    p.DNS = BytesToIPText(image, 59);
    p.ShortTime = ByteAt(image, 63);
    return p;
}

TPortParam DecodePortImage(const QByteArray &image) {
    TPortParam p;
    p.BaudRate = BytesToInt(image, 0, 4, true);
    p.DataBits = ByteAt(image, 4);
    p.Parity = ByteAt(image, 5);
    p.StopBits = ByteAt(image, 6);
    p.FlowControl = ByteAt(image, 7);
    p.LocalPort = qint32(GetLE16(image, 12));
    p.RemotePort = qint32(GetLE16(image, 14));
    p.RemoteIP = BytesToText(image, 16, 30);
    const quint8 flags = ByteAt(image, 50);
    p.ModbusTCP = (flags >> 2) & 1;
    p.BaudSync = (flags >> 3) & 1;
    p.CloudEnable = (flags >> 4) & 1;
    p.KickOld = (flags >> 5) & 1;
    p.MacReg = (flags >> 6) & 1;
    p.WorkMode = ByteAt(image, 51);
    p.HttpdMethod = ByteAt(image, 52);
    p.TCPSvrCount = ByteAt(image, 53);
    p.ResetTime = qint32(GetLE16(image, 54));
    p.CustomReg = ByteAt(image, 56) == 1;
    p.TCPStyle = ByteAt(image, 58) & 0x0F;
    return p;
}

TCloudParam DecodeCloudImage(const QByteArray &image) {
    TCloudParam c;
    c.DeviceID = BytesToText(image, 2, 20);
    c.CommPassword = BytesToText(image, 22, 8);
    return c;
}
