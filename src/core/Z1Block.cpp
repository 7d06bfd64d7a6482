#include "Z1Block.h"

#include "CodecBytes.h"
#include "Unit_ProFun.h"

using namespace codec;

namespace {

// Offsets within the block.
enum : int {
    OffDeIP = 0,
    OffDePort = 4,
    OffModuleIP = 6,
    OffModulePort = 10,
    OffGateway = 12,
    OffWorkMode = 16,
    OffBaudRate = 17,
    OffLcr = 20,
    OffID = 21,
    OffFlags = 23,
    OffMask = 24,
};

const int NetMacOffset = 0;
const int NetCodeOffset = 6;
const int NetImageOffset = 12;
const int RecordVersionOffset = 6;
const int RecordImageOffset = 7;

} // namespace

Z1Values Z1FactoryValues() {
    Z1Values v;
    v.DeIP = Z1DefDeIP;
    v.DePort = TextToInt(Z1DefDePort);
    v.ModuleIP = Z1DefModuleIP;
    v.ModulePort = TextToInt(Z1DefModulePort);
    v.Gateway = Z1DefGateway;
    v.WorkMode = Z1DefWorkMode;
    v.BaudRate = TextToInt(Z1DefBaudRate);
    v.Parity = Z1DefParity;
    v.DataBits = Z1DefDataBits;
    v.StopBits = Z1DefStopBits;
    v.ID = TextToInt(Z1DefID);
    v.Flags = Z1DefFlags;
    v.Mask = Z1DefMask;
    return v;
}

void Z1IPTextToBytes(QByteArray &dest, int offset, const QByteArray &text) {
    const QByteArray compact = RemoveSpaces(text);
    if (compact.isEmpty())
        throw ConvertError("'' is not a valid IPv4 address");
    PutLE(dest, offset, 0, 4);
    const QList<QByteArray> parts = compact.split('.');
    for (qsizetype i = 0; i < parts.size() && i < 4; ++i)
        PutByte(dest, qint64(offset) + 3 - i, quint32(TextToInt(parts[i])));
}

QByteArray EncodeZ1Image(const Z1Values &v) {
    QByteArray image(Z1ImageSize, '\0');
    Z1IPTextToBytes(image, OffDeIP, v.DeIP);
    PutLE(image, OffDePort, quint32(v.DePort), 2);
    Z1IPTextToBytes(image, OffModuleIP, v.ModuleIP);
    PutLE(image, OffModulePort, quint32(v.ModulePort), 2);
    Z1IPTextToBytes(image, OffGateway, v.Gateway);
    PutByte(image, OffWorkMode, quint32(v.WorkMode));
    PutLE(image, OffBaudRate, quint32(v.BaudRate), 3);
    PutByte(image, OffLcr, MakeLcrByte(v.Parity, v.DataBits, v.StopBits));
    PutByte(image, OffID, quint32(v.ID) >> 8);
    PutByte(image, OffID + 1, quint32(v.ID));
    PutByte(image, OffFlags, v.Flags);
    Z1IPTextToBytes(image, OffMask, v.Mask);
    return image;
}

Z1Values DecodeZ1Image(const QByteArray &image) {
    Z1Values v;
    v.DeIP = BytesToIPText(image, OffDeIP);
    v.DePort = qint32(GetLE16(image, OffDePort));
    v.ModuleIP = BytesToIPText(image, OffModuleIP);
    v.ModulePort = qint32(GetLE16(image, OffModulePort));
    v.Gateway = BytesToIPText(image, OffGateway);
    v.WorkMode = ByteAt(image, OffWorkMode);
    v.BaudRate = BytesToInt(image, OffBaudRate, 3, true);
    const quint8 lcr = ByteAt(image, OffLcr);
    v.Parity = LcrParity(lcr);
    v.DataBits = LcrDataBits(lcr);
    v.StopBits = LcrStopBits(lcr);
    v.ID = BytesToInt(image, OffID, 2, false);
    v.Flags = ByteAt(image, OffFlags);
    v.Mask = BytesToIPText(image, OffMask);
    return v;
}

quint8 MakeLcrByte(int parity, int dataBits, int stopBits) {
    quint8 value = (dataBits >= 0 && dataBits <= 2) ? quint8(dataBits) : 3;
    if (stopBits == 1)
        value |= 0x04;
    if (parity >= 1 && parity <= 4)
        value |= quint8(0x08 | ((parity - 1) << 4));
    return value;
}

qint32 BinTextToInt(const QByteArray &text) {
    quint32 value = 0;
    for (const char c : text) {
        if (c != '0' && c != '1')
            throw ConvertError("'" + text + "' is not a binary number");
        value = ((value << 1) | quint32(c - '0')) & 0x7FFFFFFFu;
    }
    return qint32(value);
}

QByteArray Z1WriteFrame(const QByteArray &image) {
    QByteArray frame(Z1WriteFrameSize, '\0');
    PutByte(frame, 0, ComLead);
    PutByte(frame, 1, scWriteZ1);
    frame.replace(2, Z1ImageSize, BytesToText(image, 0, Z1ImageSize));
    PutByte(frame, 30, SumBytes(frame, 2, Z1ImageSize));
    return frame;
}

QByteArray MakeZ1ReplyFrame(const QByteArray &image, quint8 spare) {
    QByteArray frame(Z1ReplyFrameSize, '\0');
    PutByte(frame, 0, ComLead);
    PutByte(frame, 1, scReadZ1);
    frame.replace(2, Z1ImageSize, BytesToText(image, 0, Z1ImageSize));
    PutByte(frame, 30, spare);
    PutByte(frame, 31, SumBytes(frame, 2, Z1ImageSize + 1));
    return frame;
}

bool IsZ1ReplyFrame(const QByteArray &frame) {
    return frame.size() == Z1ReplyFrameSize && ByteAt(frame, 0) == ComLead &&
           ByteAt(frame, 1) == scReadZ1 && ByteAt(frame, 31) == SumBytes(frame, 2, Z1ImageSize + 1);
}

QByteArray Z1ReplyImage(const QByteArray &frame) {
    return BytesToText(frame, 2, Z1ImageSize);
}

bool IsZ1WriteFrame(const QByteArray &frame) {
    return frame.size() == Z1WriteFrameSize && ByteAt(frame, 0) == ComLead &&
           ByteAt(frame, 1) == scWriteZ1 && ByteAt(frame, 30) == SumBytes(frame, 2, Z1ImageSize);
}

QByteArray Z1NetImage(const QByteArray &macText, const QByteArray &image) {
    QByteArray net(Z1NetImageSize, '\0');
    MacTextToBytes(net, NetMacOffset, macText);
    TextToFixedBytes(net, NetCodeOffset, Z1AccessCode, 6);
    net.replace(NetImageOffset, Z1ImageSize, BytesToText(image, 0, Z1ImageSize));
    return net;
}

bool ParseZ1NetImage(const QByteArray &netImage, QByteArray &macBytes, QByteArray &image) {
    if (netImage.size() != Z1NetImageSize || netImage.mid(NetCodeOffset, 6) != Z1AccessCode)
        return false;
    macBytes = netImage.mid(NetMacOffset, 6);
    image = netImage.mid(NetImageOffset, Z1ImageSize);
    return true;
}

QByteArray MakeZ1SearchRecord(const QByteArray &macText, quint8 version, const QByteArray &image) {
    QByteArray record(Z1SearchRecordSize, '\0');
    MacTextToBytes(record, 0, macText);
    PutByte(record, RecordVersionOffset, version);
    record.replace(RecordImageOffset, Z1ImageSize, BytesToText(image, 0, Z1ImageSize));
    return record;
}

bool Z1RecordMatches(const QByteArray &record, const QByteArray &macText) {
    if (record.size() != Z1SearchRecordSize)
        return false;
    return BytesToHexText(record.left(6)) == RemoveSpaces(macText).toUpper();
}

QByteArray Z1RecordImage(const QByteArray &record) {
    return BytesToText(record, RecordImageOffset, Z1ImageSize);
}
