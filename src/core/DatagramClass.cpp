#include "DatagramClass.h"

#include "ImageEncoders.h"
#include "LanPackets.h"
#include "Unit_ProFun.h"
#include "Z1Block.h"

namespace {

quint8 at(const QByteArray &data, int i) {
    return static_cast<quint8>(data.at(i));
}

DatagramClass status(int code, const QString &text = QString()) {
    DatagramClass c;
    c.kind = DatagramKind::Status;
    c.status = code;
    c.statusText = text;
    return c;
}

DatagramClass fourBytes(const QByteArray &data) {
    if (at(data, 0) == 0xFF && at(data, 1) == 0x01) {
        switch (at(data, 3)) {
        case 'E':
            return status(stOtherErr);
        case 'K':
            return status(stAck);
        case 'P':
            return status(stPswdErr);
        default:
            return {};
        }
    }
    DatagramClass c;
    c.kind = DatagramKind::ModbusInfo;
    c.modbusLength = 4;
    c.modbus.ModbusTCP = at(data, 0);
    c.modbus.PollEnable = at(data, 1);
    c.modbus.PollTime = QByteArray::number(at(data, 2) * 256 + at(data, 3));
    return c;
}

DatagramClass searchReply(const QByteArray &data, quint16 peerPort) {
    if (!IsSearchReply(data))
        return {};
    const SearchReplyInfo info = DecodeSearchReply(data);
    DatagramClass c;
    c.kind = DatagramKind::DevFound;
    c.ip = QString::fromLatin1(info.IP);
    c.mac = QString::fromLatin1(info.MAC);
    c.version = QString::number(info.Version);
    c.name = info.Name;
    c.model = ModelFromSearchReply(info.Version, peerPort);
    return c;
}

// A Z1 module answers the search with its 35-byte record; an all-zero MAC is no device.
DatagramClass z1Record(const QByteArray &data) {
    if (data.left(6).count('\0') == 6)
        return status(stReceiveOther, QString::number(data.size()));
    DatagramClass c;
    c.kind = DatagramKind::DevFound;
    c.model = ModelZ1;
    c.mac = QString::fromLatin1(BytesToMacText(data, 0));
    c.version = QStringLiteral("%1.%2").arg(at(data, 6) >> 4).arg(at(data, 6) & 0x0F);
    c.ip = QString::fromLatin1(DecodeZ1Image(Z1RecordImage(data)).ModuleIP);
    return c;
}

} // namespace

DatagramClass ClassifyDatagram(const QByteArray &data, quint16 peerPort) {
    const int model = ModelFromPort(peerPort);
    DatagramClass c;
    switch (data.size()) {
    case 1:
        c.kind = DatagramKind::ModbusInfo;
        c.modbusLength = 1;
        c.modbus.ModbusTCP = at(data, 0);
        break;
    case 2:
        if (at(data, 0) == 'E')
            c = status(stCheckErr, QString::fromLatin1(BytesToHexText(data.mid(1, 1))));
        break;
    case 4:
        c = fourBytes(data);
        break;
    case Z1SearchRecordSize:
        c = z1Record(data);
        break;
    case SearchReplySize:
        c = searchReply(data, peerPort);
        break;
    case 40:
        break;
    case CloudImageSize:
        c.kind = DatagramKind::CloudImage;
        c.cloud = DecodeCloudImage(data);
        break;
    case HeartRegImageSize:
        c.kind = DatagramKind::HeartRegImage;
        break;
    case ParamImageSize:
        c.kind = DatagramKind::ParamImage;
        c.base = DecodeBaseImage(data.left(BaseImageSize));
        c.port = DecodePortImage(data.mid(BaseImageSize));
        break;
    case HttpdImageSize:
        c.kind = DatagramKind::HttpdImage;
        DecodeHttpdImage(data, c.url, c.header);
        break;
    case 193:
    case 256:
        c = status(stVerIncompatible);
        break;
    default:
        c = status(stReceiveOther, QString::number(data.size()));
        break;
    }
    if (c.kind != DatagramKind::DevFound)
        c.model = model;
    return c;
}
