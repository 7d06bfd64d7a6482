#include "LanPackets.h"

#include "CodecBytes.h"
#include "Unit_ProFun.h"

using namespace codec;

namespace {

// Header of a command: lead, length byte, command, MAC, credentials; `data` follows and the
// last byte is the sum of everything after the lead.
QByteArray BuildCommand(quint8 cmd, const QByteArray &macText, const QByteArray &user,
                        const QByteArray &password, const QByteArray &data) {
    QByteArray packet(PacketHeaderSize + data.size() + 1, '\0');
    PutByte(packet, 0, PacketLead);
    PutByte(packet, 1, quint32(data.size() + 19));
    PutByte(packet, 2, cmd);
    MacTextToBytes(packet, CmdMacOffset, macText);
    PutCredentialField(packet, user, CmdUserOffset);
    PutCredentialField(packet, password, CmdPasswordOffset);
    packet.replace(PacketHeaderSize, data.size(), data);
    PutByte(packet, packet.size() - 1, SumBytes(packet, 1, int(packet.size()) - 2));
    return packet;
}

} // namespace

QByteArray SearchPacket() {
    QByteArray packet(SearchPacketSize, '\0');
    PutByte(packet, 0, PacketLead);
    PutByte(packet, 1, 0x01);
    PutByte(packet, 2, cmdSearch);
    PutByte(packet, 3, SumBytes(packet, 1, 2));
    return packet;
}

QByteArray CmdPacket(quint8 cmd, const QByteArray &macText, const QByteArray &user,
                     const QByteArray &password) {
    return BuildCommand(cmd, macText, user, password, {});
}

QByteArray DataPacket(quint8 cmd, const QByteArray &macText, const QByteArray &user,
                      const QByteArray &password, const QByteArray &data) {
    return BuildCommand(cmd, macText, user, password, data);
}

bool PacketSumOk(const QByteArray &packet) {
    if (packet.size() < 3 || ByteAt(packet, 0) != PacketLead)
        return false;
    return SumBytes(packet, 1, int(packet.size()) - 2) == ByteAt(packet, packet.size() - 1);
}

bool ParseCmdPacket(const QByteArray &packet, CmdFields &fields) {
    if (packet.size() < CmdPacketSize || ByteAt(packet, 0) != PacketLead)
        return false;
    fields.cmd = ByteAt(packet, 2);
    fields.mac = packet.mid(CmdMacOffset, 6);
    fields.user = packet.mid(CmdUserOffset, 6);
    fields.password = packet.mid(CmdPasswordOffset, 6);
    fields.data = packet.mid(PacketHeaderSize, packet.size() - CmdPacketSize);
    return true;
}

bool IsSearchReply(const QByteArray &datagram) {
    return datagram.size() == SearchReplySize && ByteAt(datagram, 0) == 0xFF &&
           ByteAt(datagram, 1) == SearchReplySize && ByteAt(datagram, 2) == 0x01;
}

SearchReplyInfo DecodeSearchReply(const QByteArray &reply) {
    SearchReplyInfo info;
    const int o = SearchReplyIpOffset;
    info.IP = QByteArray::number(ByteAt(reply, o)) + '.' +
              QByteArray::number(ByteAt(reply, o + 1)) + '.' +
              QByteArray::number(ByteAt(reply, o + 2)) + '.' +
              QByteArray::number(ByteAt(reply, o + 3));
    info.MAC = BytesToMacText(reply, SearchReplyMacOffset);
    info.Version = int(GetLE16(reply, SearchReplyVersionOffset));
    info.Name = BytesToText(reply, SearchReplyNameOffset, SearchReplyNameSize);
    return info;
}

int ModelFromPort(quint16 sourcePort) {
    if (sourcePort == CfgPort)
        return ModelZ2;
    if (sourcePort == CfgPortZ3)
        return ModelZ3;
    return ModelNone;
}

int ModelFromSearchReply(int version, quint16 sourcePort) {
    return version <= LastUnsupportedVersion ? ModelNone : ModelFromPort(sourcePort);
}

QByteArray MakeSearchReply(const QByteArray &ipText, const QByteArray &macText, int version,
                           const QByteArray &name) {
    QByteArray reply(SearchReplySize, '\0');
    PutByte(reply, 0, 0xFF);
    PutByte(reply, 1, SearchReplySize);
    PutByte(reply, 2, 0x01);
    const quint32 ip = IPTextToUInt(ipText);
    for (int i = 0; i < 4; ++i)
        PutByte(reply, SearchReplyIpOffset + i, ip >> (24 - 8 * i));
    MacTextToBytes(reply, SearchReplyMacOffset, macText);
    PutLE(reply, SearchReplyVersionOffset, quint32(version), 2);
    TextToFixedBytes(reply, SearchReplyNameOffset, name, SearchReplyNameSize);
    return reply;
}

QByteArray MakeCodeReply(char code) {
    QByteArray reply(4, '\0');
    PutByte(reply, 0, 0xFF);
    PutByte(reply, 1, 0x01);
    reply[3] = code;
    return reply;
}

QByteArray MakeCheckErrReply(quint8 expectedSum) {
    QByteArray reply(2, '\0');
    reply[0] = CodeOtherErr;
    PutByte(reply, 1, expectedSum);
    return reply;
}
