#include "SimDevice.h"

#include "LanPackets.h"
#include "Unit_ProFun.h"
#include "Unit_Public.h"
#include "Z1Block.h"

namespace {

// Base image offsets the device itself needs (what it answers from and checks against).
constexpr int BaseIpOffset = 9;
constexpr int BaseMaskOffset = 17;
constexpr int BaseNameOffset = 21;
constexpr int BaseNameSize = 16;
constexpr int BaseUserOffset = 37;
constexpr int BasePasswordOffset = 43;
constexpr int CredentialSize = 6;
constexpr int Z1ModuleIpOffset = 6;
constexpr int Z1MaskOffset = 24;
constexpr int Z1AccessCodeOffset = 6;
constexpr int Z1NetImageOffset = 12;

// Image IPv4 field (last number first) as a 32-bit number, first number highest.
quint32 ImageIp(const QByteArray &image, int offset) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(image.at(offset + i));
    return value;
}

// Writes `block` over image[offset..], only when it fits exactly.
bool Overwrite(QByteArray &image, int offset, const QByteArray &block, int size) {
    if (block.size() != size || image.size() < offset + size)
        return false;
    image.replace(offset, size, block);
    return true;
}

} // namespace

QString SimModelName(SimModel model) {
    switch (model) {
    case SimModel::Z1:
        return QStringLiteral("Z1");
    case SimModel::Z2:
        return QStringLiteral("Z2");
    case SimModel::Z3:
        return QStringLiteral("Z3");
    }
    return {};
}

bool SimImages::operator==(const SimImages &o) const {
    return param == o.param && cloud == o.cloud && heartReg == o.heartReg && httpd == o.httpd &&
           modbus == o.modbus && z1 == o.z1;
}

SimRequest ParseSimRequest(const QByteArray &datagram) {
    SimRequest request;
    const int size = int(datagram.size());
    // The Z1 LAN image is unframed; no framed command carries 18 data bytes, so 40 bytes is it.
    if (size == Z1NetImageSize) {
        request.kind = SimRequest::Z1Image;
        request.mac = datagram.left(6);
        request.data = datagram.mid(Z1AccessCodeOffset, 6);
        request.image = datagram.mid(Z1NetImageOffset, Z1ImageSize);
        return request;
    }
    if (size < SearchPacketSize) {
        request.reason = QStringLiteral("short datagram");
        return request;
    }
    if (quint8(datagram.at(0)) != PacketLead) {
        request.reason = QStringLiteral("lead byte is not FF");
        return request;
    }
    if (quint8(datagram.at(1)) != quint8(size - 3)) {
        request.reason = QStringLiteral("length byte does not match the size");
        return request;
    }
    if (size == SearchPacketSize) {
        if (quint8(datagram.at(2)) == cmdSearch &&
            SumBytes(datagram, 1, 2) == quint8(datagram.at(3)))
            request.kind = SimRequest::Search;
        else
            request.reason = QStringLiteral("4-byte packet is not the search");
        return request;
    }
    CmdFields fields;
    if (!ParseCmdPacket(datagram, fields)) {
        request.reason = QStringLiteral("not a command packet");
        return request;
    }
    request.kind = SimRequest::Command;
    request.code = fields.cmd;
    request.mac = fields.mac;
    request.user = fields.user;
    request.password = fields.password;
    request.data = fields.data;
    request.expectedSum = SumBytes(datagram, 1, size - 2);
    request.sumOk = request.expectedSum == quint8(datagram.at(size - 1));
    return request;
}

SimDevice::SimDevice(SimModel model, const QByteArray &mac, quint16 version,
                     const SimImages &factoryImages, const QByteArray &z1User,
                     const QByteArray &z1Password)
    : factory(factoryImages)
    , stored(factoryImages)
    , running(factoryImages)
    , m_model(model)
    , m_mac(mac)
    , m_version(version) {
    m_z1User = QByteArray(CredentialSize, '\0');
    m_z1Password = QByteArray(CredentialSize, '\0');
    PutCredentialField(m_z1User, z1User, 0);
    PutCredentialField(m_z1Password, z1Password, 0);
}

quint16 SimDevice::replyPort() const {
    return m_model == SimModel::Z3 ? CfgPortZ3 : CfgPort;
}

quint32 SimDevice::ip() const {
    return m_model == SimModel::Z1 ? ImageIp(running.z1, Z1ModuleIpOffset)
                                   : ImageIp(running.param, BaseIpOffset);
}

quint32 SimDevice::mask() const {
    return m_model == SimModel::Z1 ? ImageIp(running.z1, Z1MaskOffset)
                                   : ImageIp(running.param, BaseMaskOffset);
}

QByteArray SimDevice::name() const {
    if (m_model == SimModel::Z1)
        return {};
    return running.param.mid(BaseNameOffset, BaseNameSize);
}

QByteArray SimDevice::searchReply() const {
    const QByteArray macText = BytesToMacText(m_mac);
    if (m_model == SimModel::Z1)
        return MakeZ1SearchRecord(macText, quint8(m_version), running.z1);
    QByteArray reply =
        MakeSearchReply(UIntToIPText(ip()), macText, m_version, name().left(SearchReplyNameSize));
    // Bytes the tool does not interpret carry recognisable values; the last is the packet sum.
    reply[3] = char(0xA5);
    reply[4] = char(0x5A);
    reply[17] = char(0x3C);
    reply[18] = char(0xC3);
    reply[33] = char(0x7E);
    reply[34] = char(0xE7);
    reply[35] = char(SumBytes(reply, 1, SearchReplySize - 2));
    return reply;
}

bool SimDevice::listens(quint8 code, quint16 localPort) const {
    switch (m_model) {
    case SimModel::Z2:
        return localPort == CfgPort;
    case SimModel::Z3:
        return localPort == CfgPortZ3 || (localPort == CfgPort && code == cmdRestart);
    case SimModel::Z1:
        return localPort == CfgPort && code == cmdRestart;
    }
    return false;
}

bool SimDevice::credentialsOk(const SimRequest &request) const {
    if (m_model == SimModel::Z1)
        return request.user == m_z1User && request.password == m_z1Password;
    return request.user == running.param.mid(BaseUserOffset, CredentialSize) &&
           request.password == running.param.mid(BasePasswordOffset, CredentialSize);
}

QByteArray SimDevice::codeReply(quint8 code, char status) const {
    QByteArray reply = MakeCodeReply(status);
    reply[2] = char(code); // not interpreted by the tool: the command answered
    return reply;
}

SimAnswer SimDevice::handle(const SimRequest &request, quint16 localPort, bool badChecksum) {
    SimAnswer answer;
    switch (request.kind) {
    case SimRequest::Garbage:
        break;
    case SimRequest::Search:
        if (localPort == CfgPort) {
            answer.addressed = true;
            answer.replies.append(searchReply());
        }
        break;
    case SimRequest::Z1Image:
        if (m_model != SimModel::Z1 || localPort != CfgPort || request.mac != m_mac)
            break;
        answer.addressed = true;
        if (request.data != QByteArray(Z1AccessCode)) {
            answer.note = QStringLiteral("wrong access code, Z1 image not applied");
            break;
        }
        answer.changed = request.image != running.z1;
        running.z1 = stored.z1 = request.image;
        answer.note = QStringLiteral("Z1 image applied");
        break;
    case SimRequest::Command:
        if (request.mac != m_mac || !listens(request.code, localPort))
            break;
        answer = command(request, badChecksum);
        answer.addressed = true;
        break;
    }
    return answer;
}

SimAnswer SimDevice::command(const SimRequest &request, bool badChecksum) {
    SimAnswer answer;
    if (!request.sumOk || badChecksum) {
        answer.replies.append(MakeCheckErrReply(request.expectedSum));
        return answer;
    }
    if (!credentialsOk(request)) {
        answer.replies.append(codeReply(request.code, CodePswdErr));
        return answer;
    }
    const SimImages before = stored;
    const SimImages beforeRunning = running;
    bool ok = false;
    const QByteArray &d = request.data;
    const bool plain = d.isEmpty();
    const bool z2z3 = m_model != SimModel::Z1;
    switch (request.code) {
    case cmdRead:
        if (!plain || !z2z3)
            break;
        for (const QByteArray *image :
             {&stored.param, &stored.cloud, &stored.heartReg, &stored.httpd, &stored.modbus})
            if (!image->isEmpty())
                answer.replies.append(*image);
        return answer;
    case cmdRestart:
        ok = plain;
        if (ok)
            running = stored;
        break;
    case cmdApplyZ3:
        ok = plain && m_model == SimModel::Z3;
        if (ok)
            running = stored;
        break;
    case cmdReset:
        ok = plain && z2z3;
        if (ok)
            running = stored = factory;
        break;
    case cmdWriteBase:
        ok = z2z3 && Overwrite(stored.param, 0, d, BaseImageSize);
        break;
    case cmdWritePort:
        ok = z2z3 && Overwrite(stored.param, BaseImageSize, d, PortImageSize);
        break;
    case cmdWriteCloud:
        ok = z2z3 && Overwrite(stored.cloud, 0, d, CloudImageSize);
        break;
    case cmdWriteHeartReg:
        ok = z2z3 && Overwrite(stored.heartReg, 0, d, HeartRegImageSize);
        break;
    case cmdWriteHttpdUrl:
        ok = z2z3 && Overwrite(stored.httpd, 0, d, HttpdUrlBlockSize);
        break;
    case cmdWriteHttpdHeader:
        ok = z2z3 && Overwrite(stored.httpd, HttpdUrlBlockSize, d, HttpdHeaderBlockSize);
        break;
    case cmdWriteModbus:
        // Either form is taken; the device keeps its own reply length.
        ok = z2z3 && (d.size() == ModbusImageShort || d.size() == ModbusImageLong);
        if (ok && !stored.modbus.isEmpty())
            stored.modbus.replace(0, qMin(d.size(), stored.modbus.size()),
                                  d.left(stored.modbus.size()));
        break;
    default:
        break;
    }
    if (!ok)
        answer.note =
            QStringLiteral("command %1 not accepted").arg(request.code, 2, 16, QChar('0'));
    answer.replies.append(codeReply(request.code, ok ? CodeAck : CodeOtherErr));
    answer.changed = !(stored == before) || !(running == beforeRunning);
    return answer;
}
