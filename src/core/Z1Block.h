#pragma once
// The 28-byte parameter block of model Z1 and the frames and records that carry it.
//
// Z1Image, 28 bytes                     Z1WriteFrame, 31 bytes
//  0  4  destination IP (last first)     0  55   1  BA   2..29 Z1Image   30 sum of 2..29
//  4  2  destination port (LE)
//  6  4  module IP                       Z1ReplyFrame, 32 bytes
// 10  2  module port (LE)                 0  55   1  BC   2..29 Z1Image   30 unused
// 12  4  gateway                         31 sum of 2..30
// 16  1  work mode (FF: none selected)
// 17  3  baud rate (24-bit LE)          Z1NetImage, 40 bytes (LAN write, no lead, no sum)
// 20  1  line settings (LCR layout)       0  MAC (6)   6 "738296"   12 Z1Image
// 21  2  device ID (big-endian)
// 23  1  flags                          Z1SearchRecord, 35 bytes
// 24  4  subnet mask                      0  MAC (6)   6 version byte   7 Z1Image
//
// Flags: bit 0 ConnSendId, 1 DataWithId, 2 RS485, 3 RS422, 4 Reset, 5 Link, 6 Index, 7 RFC2217.

#include "Unit_Public.h"

#include <QByteArray>

inline constexpr int Z1ImageSize = 28;
inline constexpr int Z1WriteFrameSize = 31;
inline constexpr int Z1ReplyFrameSize = 32;
inline constexpr int Z1NetImageSize = 40;
inline constexpr int Z1SearchRecordSize = 35;
inline constexpr char Z1AccessCode[] = "738296";

// Flag bits of byte 23.
inline constexpr quint8 Z1FlagConnSendId = 0x01;
inline constexpr quint8 Z1FlagDataWithId = 0x02;
inline constexpr quint8 Z1FlagRS485 = 0x04;
inline constexpr quint8 Z1FlagRS422 = 0x08;
inline constexpr quint8 Z1FlagReset = 0x10;
inline constexpr quint8 Z1FlagLink = 0x20;
inline constexpr quint8 Z1FlagIndex = 0x40;
inline constexpr quint8 Z1FlagRFC2217 = 0x80;

// What the Z1 page holds. Numbers are already converted from their texts by the page (a text
// that is not a number stops the page's gathering before it gets here); addresses stay dotted
// texts. Parity, DataBits and StopBits are the item indexes of the page's lists.
struct Z1Values {
    QByteArray DeIP;
    qint32 DePort = 0; // low 16 bits stored
    QByteArray ModuleIP;
    qint32 ModulePort = 0;
    QByteArray Gateway;
    qint32 WorkMode = 0; // 0 UDP Mode, 1 TCP Client, 2 UDP Server, 3 TCP Server; -1 none (FF)
    qint32 BaudRate = 0; // low 24 bits stored
    qint32 Parity = 0;   // 0 NONE, 1 ODD, 2 EVEN, 3 MARK, 4 SPACE
    qint32 DataBits = 3; // 0..3 for 5..8 bits
    qint32 StopBits = 0; // 0 one, 1 two
    qint32 ID = 0;       // low 16 bits stored, high byte first
    quint8 Flags = 0;
    QByteArray Mask;
};

// The page's values after "restore factory settings".
Z1Values Z1FactoryValues();

// Writes a dotted text into a 4-byte field at dest[offset], last number first: blanks removed,
// the numbers go to bytes 3, 2, 1, 0 as their low 8 bits, fewer numbers leave the lower bytes
// zero, numbers after the fourth are ignored. An empty text or empty part throws ConvertError.
void Z1IPTextToBytes(QByteArray &dest, int offset, const QByteArray &text);

// The 28-byte block. Throws ConvertError when an address text does not convert.
QByteArray EncodeZ1Image(const Z1Values &values);
// The values of a block (bytes past a short block read as zero). A work mode byte above 3 is
// kept as it is (the page then shows no selection).
Z1Values DecodeZ1Image(const QByteArray &image);

// The line-settings byte from the indexes of the parity, data-bits and stop-bits lists; always
// below 64. Indexes out of range count as: parity other than 1..4 none, data bits other than
// 0..2 eight, stop bits other than 1 one.
quint8 MakeLcrByte(int parity, int dataBits, int stopBits);
// A text of 0 and 1 digits to an integer, the last character bit 0. Throws ConvertError on any
// other character; an empty text gives 0; only the last 31 digits count.
qint32 BinTextToInt(const QByteArray &text);

// 55 BA, the block, the sum of the block.
QByteArray Z1WriteFrame(const QByteArray &image);
// 55 BC, the block, `spare`, the sum of bytes 2..30 (simulator, tests).
QByteArray MakeZ1ReplyFrame(const QByteArray &image, quint8 spare = 0);
// A 32-byte chunk with lead 55, type BC and byte 31 = sum of bytes 2..30.
bool IsZ1ReplyFrame(const QByteArray &frame);
// Bytes 2..29 of a reply frame.
QByteArray Z1ReplyImage(const QByteArray &frame);
// True when a 31-byte write frame has lead 55, type BA and the right sum (simulator, tests).
bool IsZ1WriteFrame(const QByteArray &frame);

// MAC bytes, "738296", the block. Throws ConvertError on a bad MAC text.
QByteArray Z1NetImage(const QByteArray &macText, const QByteArray &image);
// Splits a 40-byte net image carrying the access code; false otherwise.
bool ParseZ1NetImage(const QByteArray &netImage, QByteArray &macBytes, QByteArray &image);

// MAC bytes, version byte, block. Throws ConvertError on a bad MAC text.
QByteArray MakeZ1SearchRecord(const QByteArray &macText, quint8 version, const QByteArray &image);
// True for a 35-byte record whose MAC bytes, as upper-case hex without separators, equal
// `macText` with blanks removed (compared case-insensitively).
bool Z1RecordMatches(const QByteArray &record, const QByteArray &macText);
// Bytes 7..34 of a record.
QByteArray Z1RecordImage(const QByteArray &record);
