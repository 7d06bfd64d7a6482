#include "ImageEncoders.h"

#include "CodecBytes.h"
#include "Unit_ProFun.h"

using namespace codec;

namespace {

// Address and MAC fields are written whole or not at all: the conversion runs on a copy of the
// field, so a text that fails half-way leaves the field as the device sent it.
void PutIPField(QByteArray &image, int offset, const QByteArray &text) {
    QByteArray field = BytesToText(image, offset, 4);
    IPTextToBytes(field, 0, text);
    image.replace(offset, 4, field);
}

void PutMacField(QByteArray &image, int offset, const QByteArray &text) {
    image.replace(offset, 6, MacTextToBytes(text));
}

// Base image bytes 4..58 that Z2 and Z3 encode alike, in image order. Stops at the first
// address or MAC text that does not convert; `extFlags` is what byte 52 gets.
EncodeResult EncodeBaseCommon(QByteArray &image, const TBaseParam &v, quint8 extFlags) {
    PutLE(image, 4, quint32(v.LocationURLPort), 2);
    PutLE(image, 6, quint32(v.HTTPServerPort), 2);
    const char *field = "StaticIP";
    try {
        PutIPField(image, 9, v.StaticIP);
        field = "GatewayIP";
        PutIPField(image, 13, v.GatewayIP);
        field = "SubnetMask";
        PutIPField(image, 17, v.SubnetMask);
        TextToFixedBytes(image, 21, v.ModName, 16);
        TextToFixedBytes(image, 37, v.UserName, 6);
        TextToFixedBytes(image, 43, v.Password, 6);
        PutByte(image, 52, extFlags);
        field = "UserMAC";
        PutMacField(image, 53, v.UserMAC);
    } catch (const ConvertError &) {
        return {false, field};
    }
    return {};
}

// Port image bytes 0..51 that Z2 and Z3 encode alike, except the flags byte 50.
void EncodePortCommon(QByteArray &image, const TPortParam &v) {
    PutLE(image, 0, quint32(v.BaudRate), 4);
    PutByte(image, 4, quint32(v.DataBits));
    PutByte(image, 5, quint32(v.Parity));
    PutByte(image, 6, quint32(v.StopBits));
    PutByte(image, 7, quint32(v.FlowControl));
    PutLE(image, 8, 0, 4);
    PutLE(image, 12, quint32(v.LocalPort), 2);
    PutLE(image, 14, quint32(v.RemotePort), 2);
    TextToFixedBytes(image, 16, v.RemoteIP, 30);
    PutByte(image, 51, quint32(v.WorkMode));
}

// The data rule of the heartbeat/registration image for one data field.
bool EncodeHeartRegData(QByteArray &image, int lengthOffset, int dataOffset, const QByteArray &text,
                        bool hex) {
    bool ok = true;
    qsizetype length;
    if (hex) {
        ok = HexTextToBuffer(text, image, dataOffset, HeartRegDataMax);
        length = text.size() / 2;
    } else {
        TextToFixedBytes(image, dataOffset, text, HeartRegDataMax);
        length = text.size();
    }
    PutByte(image, lengthOffset, quint32(qMin<qsizetype>(length, HeartRegDataMax)));
    return ok;
}

QByteArray DecodeHeartRegData(const QByteArray &image, int lengthOffset, int dataOffset, bool hex) {
    const int length = qMin<int>(ByteAt(image, lengthOffset), HeartRegDataMax);
    const QByteArray bytes = BytesToText(image, dataOffset, length);
    return hex ? BytesToHexText(bytes) : bytes;
}

// Length byte capped at `capacity`, then that many bytes copied; the rest of the field stays.
void EncodeHttpdBlock(QByteArray &image, int offset, int capacity, const QByteArray &text) {
    EnsureSize(image, HttpdImageSize);
    const int length = int(qMin<qsizetype>(text.size(), capacity));
    PutByte(image, offset, quint32(length));
    for (int i = 0; i < length; ++i)
        PutByte(image, offset + 1 + i, static_cast<quint8>(text[i]));
}

QByteArray DecodeHttpdBlock(const QByteArray &image, int offset, int capacity) {
    return BytesToText(image, offset + 1, qMin<int>(ByteAt(image, offset), capacity));
}

} // namespace

EncodeResult EncodeBaseZ2(QByteArray &image, const TBaseParam &values, quint8 lastBaseFlags) {
    EnsureSize(image, BaseImageSize);
    quint8 flags = lastBaseFlags & 0x4F; // bits 0..3 and 6 keep their read values
    if (values.AddrType != 0)
        flags |= 0x80;
    if (values.ShortConn)
        flags |= 0x20;
    if (values.ClearCache)
        flags |= 0x10;
    PutByte(image, 3, flags);
    EncodeResult r = EncodeBaseCommon(image, values, quint8(values.ExtFlags) & 0xF0);
    if (!r.ok)
        return r;
    try {
        PutIPField(image, 59, values.DNS);
    } catch (const ConvertError &) {
        return {false, "DNS"};
    }
    PutByte(image, 63, quint32(values.ShortTime));
    return r;
}

EncodeResult EncodeBaseZ3(QByteArray &image, const TBaseParam &values) {
    EnsureSize(image, BaseImageSize);
    PutByte(image, 3, values.AddrType != 0 ? 0x80 : 0x00);
    return EncodeBaseCommon(image, values, quint8(values.ExtFlags));
}

bool ModbusTcpBit(const TPortParam &values) {
    return values.ModbusTCP != 0 && (values.WorkMode == 1 || values.WorkMode == 3);
}

void EncodePortZ2(QByteArray &image, const TPortParam &values, quint8 lastPortFlags) {
    EnsureSize(image, PortImageSize);
    EncodePortCommon(image, values);
    quint8 flags = lastPortFlags & 0x83; // bits 0, 1 and 7 keep their read values
    if (ModbusTcpBit(values))
        flags |= 0x04;
    if (values.BaudSync != 0)
        flags |= 0x08;
    if (values.CloudEnable != 0)
        flags |= 0x10;
    if (values.KickOld)
        flags |= 0x20;
    if (values.MacReg)
        flags |= 0x40;
    PutByte(image, 50, flags);
    PutByte(image, 52, quint32(values.HttpdMethod));
    PutByte(image, 53, quint32(values.TCPSvrCount));
    PutLE(image, 54, quint32(values.ResetTime), 2);
    PutByte(image, 56, values.CustomReg ? 1 : 0);
}

void EncodePortZ3(QByteArray &image, const TPortParam &values) {
    EnsureSize(image, PortImageSize);
    EncodePortCommon(image, values);
    PutBits(image, 50, 0x04, ModbusTcpBit(values));
    PutBits(image, 50, 0x08, values.BaudSync != 0);
    PutLE(image, 52, quint32(values.UARTLength), 4);
    PutByte(image, 58, quint32(values.TCPSvrCount) * 16u + quint32(values.TCPStyle));
}

void DecodePortTailZ3(const QByteArray &image, TPortParam &port) {
    port.UARTLength = BytesToInt(image, 52, 4, true);
    const quint8 countStyle = ByteAt(image, 58);
    port.TCPSvrCount = countStyle >> 4;
    port.TCPStyle = countStyle & 0x0F;
}

void EncodeCloud(QByteArray &image, const TCloudParam &values) {
    EnsureSize(image, CloudImageSize);
    TextToFixedBytes(image, 2, values.DeviceID, 20);
    TextToFixedBytes(image, 22, values.CommPassword, 8);
}

bool EncodeHeartReg(QByteArray &image, const HeartRegValues &v) {
    EnsureSize(image, HeartRegImageSize);
    PutByte(image, 0,
            FlagsToByte({v.NetHeart, v.UartHeart, v.ConnectWith, v.DataWith, v.RemoveHttpdHead,
                         v.UartSetParam, v.HeartHex, v.RegHex}));
    PutLE(image, 1, quint32(v.HeartTime), 2);
    const bool heartOk = EncodeHeartRegData(image, 3, 5, v.HeartData, v.HeartHex);
    const bool regOk = EncodeHeartRegData(image, 4, 45, v.RegData, v.RegHex);
    return heartOk && regOk;
}

HeartRegValues DecodeHeartRegImage(const QByteArray &image) {
    HeartRegValues v;
    const std::array<bool, 8> f = ByteToFlags(ByteAt(image, 0));
    v.NetHeart = f[0];
    v.UartHeart = f[1];
    v.ConnectWith = f[2];
    v.DataWith = f[3];
    v.RemoveHttpdHead = f[4];
    v.UartSetParam = f[5];
    v.HeartHex = f[6];
    v.RegHex = f[7];
    v.HeartTime = qint32(GetLE16(image, 1));
    v.HeartData = DecodeHeartRegData(image, 3, 5, v.HeartHex);
    v.RegData = DecodeHeartRegData(image, 4, 45, v.RegHex);
    return v;
}

void EncodeHttpdUrl(QByteArray &image, const QByteArray &url) {
    EncodeHttpdBlock(image, 0, HttpdUrlBlockSize - 1, url);
}

void EncodeHttpdHeader(QByteArray &image, const QByteArray &header) {
    EncodeHttpdBlock(image, HttpdUrlBlockSize, HttpdHeaderBlockSize - 1, header);
}

QByteArray HttpdUrlBlock(const QByteArray &image) {
    return BytesToText(image, 0, HttpdUrlBlockSize);
}

QByteArray HttpdHeaderBlock(const QByteArray &image) {
    return BytesToText(image, HttpdUrlBlockSize, HttpdHeaderBlockSize);
}

void DecodeHttpdImage(const QByteArray &image, QByteArray &url, QByteArray &header) {
    url = DecodeHttpdBlock(image, 0, HttpdUrlBlockSize - 1);
    header = DecodeHttpdBlock(image, HttpdUrlBlockSize, HttpdHeaderBlockSize - 1);
}

QByteArray EncodeModbus(const ModbusValues &values, int form) {
    QByteArray out(form == ModbusImageLong ? ModbusImageLong : ModbusImageShort, '\0');
    PutByte(out, 0, values.ModbusTCP ? 1 : 0);
    PutByte(out, 1, values.PollEnable ? 1 : 0);
    PutByte(out, 2, quint32(values.PollTime / 256)); // integer division, low 8 bits
    PutByte(out, 3, quint32(values.PollTime) & 0xFF);
    return out;
}
