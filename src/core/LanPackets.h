#pragma once
// Packets of the LAN configuration protocol, as pure functions.
//
// Every packet of the tool starts with 0xFF and a length byte and ends with the 8-bit sum of
// everything after the 0xFF. A command names its target by MAC and carries the credentials.
//
// CmdPacket, 22 bytes            DataPacket, 22 + N bytes        SearchReply, 36 bytes
//  0  FF                          0  FF                           0  FF 24 01
//  1  13 (19)                     1  (N + 19) & 0xFF              3  2 not interpreted
//  2  command code                2  command code                 5  IPv4, first number first
//  3  MAC (6)                     3  MAC (6)                      9  MAC (6)
//  9  user name (6)               9  user name (6)               15  version, 16-bit LE
// 15  password (6)               15  password (6)                17  2 not interpreted
// 21  sum of bytes 1..20         21  data (N)                    19  name (14)
//                                21+N sum of bytes 1..20+N       33  3 not interpreted
//
// CodeReply, 4 bytes: FF 01, one byte not interpreted, the code "K", "P" or "E".
// Checksum complaint, 2 bytes: "E", the sum the device expected.

#include "Unit_Public.h"

#include <QByteArray>

inline constexpr quint8 PacketLead = 0xFF;
inline constexpr int SearchPacketSize = 4;
inline constexpr int CmdPacketSize = 22;
inline constexpr int PacketHeaderSize = 21; // lead, length, command, MAC, user, password
inline constexpr int CmdMacOffset = 3;
inline constexpr int CmdUserOffset = 9;
inline constexpr int CmdPasswordOffset = 15;

// The search packet FF 01 01 02.
QByteArray SearchPacket();
// A plain command. Throws ConvertError when `macText` is not a MAC text (blanks allowed).
QByteArray CmdPacket(quint8 cmd, const QByteArray &macText, const QByteArray &user,
                     const QByteArray &password);
// A command with a data block of N bytes. Throws ConvertError on a bad MAC text.
QByteArray DataPacket(quint8 cmd, const QByteArray &macText, const QByteArray &user,
                      const QByteArray &password, const QByteArray &data);
// True when the last byte is the 8-bit sum of the bytes from 1 to the one before it (at least
// 3 bytes and a leading 0xFF).
bool PacketSumOk(const QByteArray &packet);

// A command as a device takes it apart (used by the simulator and tests).
struct CmdFields {
    quint8 cmd = 0;
    QByteArray mac;      // 6 bytes
    QByteArray user;     // 6 bytes as sent
    QByteArray password; // 6 bytes as sent
    QByteArray data;     // the data block, empty for a plain command
};
// Splits a command or data packet: false when it is shorter than 22 bytes or does not start
// with 0xFF. Neither the length byte nor the sum is checked here.
bool ParseCmdPacket(const QByteArray &packet, CmdFields &fields);

// ---- Search reply
// --------------------------------------------------------------------------------
inline constexpr int SearchReplySize = 36;
inline constexpr int SearchReplyIpOffset = 5;
inline constexpr int SearchReplyMacOffset = 9;
inline constexpr int SearchReplyVersionOffset = 15;
inline constexpr int SearchReplyNameOffset = 19;
inline constexpr int SearchReplyNameSize = 14;
// Versions up to this one are not served by the tool (ModelNone).
inline constexpr int LastUnsupportedVersion = 2001;

// The fields of an accepted search reply.
struct SearchReplyInfo {
    QByteArray IP;   // dotted, natural order
    QByteArray Name; // 14 bytes, zeros included
    QByteArray MAC;  // "AA BB CC DD EE FF"
    int Version = 0;
};
// 36 bytes starting FF 24 01.
bool IsSearchReply(const QByteArray &datagram);
// Decodes a search reply (call IsSearchReply first; bytes past a short datagram read as zero).
SearchReplyInfo DecodeSearchReply(const QByteArray &reply);
// Model from the source port: 1500 ModelZ2, 1901 ModelZ3, anything else ModelNone.
int ModelFromPort(quint16 sourcePort);
// Model of a search reply: ModelNone for a version of 2001 or lower, else ModelFromPort.
int ModelFromSearchReply(int version, quint16 sourcePort);
// Builds a search reply (simulator, tests). `ipText` in natural order; `name` cut or zero-padded
// to 14 bytes. Throws ConvertError on a bad address or MAC text.
QByteArray MakeSearchReply(const QByteArray &ipText, const QByteArray &macText, int version,
                           const QByteArray &name);

// ---- Code replies ------------------------------------------------------------------------------
inline constexpr char CodeAck = 'K';
inline constexpr char CodePswdErr = 'P';
inline constexpr char CodeOtherErr = 'E';
// FF 01 00 code.
QByteArray MakeCodeReply(char code);
// "E" followed by the sum the device expected.
QByteArray MakeCheckErrReply(quint8 expectedSum);
