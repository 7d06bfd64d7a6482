#pragma once
// Field encoders of the Z2/Z3 network images, and the decoders of the images that have no record.
//
// A write always starts from the last image of its kind read from the device: an encoder takes
// that image and the values a page collected (plain records, numbers already converted) and
// overwrites only the bytes and bits of its own fields; every other byte goes back to the device
// as it came. An image shorter than its kind is first padded with zeros to its full size.
//
// BaseImage, 67 bytes                          PortImage, 63 bytes
//  0  3  carried over                           0  4  baud rate (32-bit)
//  3  1  base flags (by model)                  4  1  data bits   5 1 parity   6 1 stop bits
//  4  2  LocationURLPort                        7  1  flow control
//  6  2  HTTPServerPort                         8  4  written as zeros
//  8  1  carried over                          12  2  LocalPort   14 2 RemotePort
//  9  4  StaticIP   13 4 GatewayIP             16 30  RemoteIP (text)
// 17  4  SubnetMask                            46  4  carried over
// 21 16  ModName    37 6 UserName              50  1  port flags (by model)
// 43  6  Password                              51  1  WorkMode
// 49  3  carried over                          52  4  Z2: HttpdMethod, TCPSvrCount, ResetTime(16)
// 52  1  ExtFlags (by model)                          Z3: UARTLength (32-bit)
// 53  6  UserMAC                               56  1  Z2: CustomReg (1/0); Z3: carried over
// 59  4  DNS (Z2 only)                         57  1  carried over
// 63  1  ShortTime (Z2 only)                   58  1  Z2: carried over; Z3: count*16 + style
// 64  3  carried over                          59  4  carried over
//
// CloudImage 50: 2..21 DeviceID, 22..29 CommPassword.
// HeartRegImage 85: 0 flags, 1..2 heartbeat time, 3 heartbeat length, 4 registration length,
//   5..44 heartbeat data, 45..84 registration data.
// HttpdImage 302: 0 URL length, 1..100 URL, 101 header length, 102..301 header.
// ModbusImage 1 or 4: Modbus TCP on; polling on; polling time (16-bit big-endian).

#include "Unit_Public.h"

#include <QByteArray>

// Outcome of a base-image encoder. A dotted address or MAC text that does not convert stops the
// write: that field and every later one keep the bytes the image had. `badField` names the
// record field that stopped it (for the log line of the flow that decides what to do).
struct EncodeResult {
    bool ok = true;
    QByteArray badField;
};

// ---- Base image -----------------------------------------------------------------------------
// Z2: byte 3 starts from `lastBaseFlags` (bits 0..3 and 6 kept), bit 7 = AddrType != 0,
// bit 5 = ShortConn, bit 4 = ClearCache; byte 52 = ExtFlags & 0xF0; DNS and ShortTime written.
// HeartTarget, RegSendMode and FlagBit1 are not written.
EncodeResult EncodeBaseZ2(QByteArray &image, const TBaseParam &values, quint8 lastBaseFlags);
// Z3: byte 3 = 0x80 for a static address, 0x00 for DHCP; byte 52 = ExtFlags (the ID type
// number) as its low 8 bits; bytes 59..63 carried over.
EncodeResult EncodeBaseZ3(QByteArray &image, const TBaseParam &values);

// ---- Port image (no field can fail) -----------------------------------------------------------
// Modbus TCP rule: bit 2 of byte 50 is set exactly when ModbusTCP != 0 and WorkMode is 1 or 3.
bool ModbusTcpBit(const TPortParam &values);
// Z2: byte 50 starts from `lastPortFlags` (bits 0, 1, 7 kept); bytes 52..56 the Z2 way; byte 58
// carried over. UARTLength and TCPStyle are not written.
void EncodePortZ2(QByteArray &image, const TPortParam &values, quint8 lastPortFlags);
// Z3: byte 50 from the image (only bits 2 and 3 change); bytes 52..55 = UARTLength; byte 58 =
// (TCPSvrCount * 16 + TCPStyle) & 0xFF; byte 56 carried over.
void EncodePortZ3(QByteArray &image, const TPortParam &values);
// The inverse for the Z3 fields that DecodePortImage reads the Z2 way: UARTLength from bytes
// 52..55, TCPSvrCount and TCPStyle from the high and low nibble of byte 58.
void DecodePortTailZ3(const QByteArray &image, TPortParam &port);

// ---- Cloud image ------------------------------------------------------------------------------
void EncodeCloud(QByteArray &image, const TCloudParam &values);

// ---- Heartbeat / registration image -------------------------------------------------------------
// What the heartbeat and registration fields of a page collect, and what DecodeHeartRegImage
// gives back for showing. A data text is hex digits when its hex flag is set.
struct HeartRegValues {
    bool NetHeart = false;        // bit 0 network heartbeat
    bool UartHeart = false;       // bit 1 serial heartbeat
    bool ConnectWith = false;     // bit 2 registration packet on connecting
    bool DataWith = false;        // bit 3 registration packet with the data
    bool RemoveHttpdHead = false; // bit 4
    bool UartSetParam = false;    // bit 5
    bool HeartHex = false;        // bit 6 heartbeat data is hex
    bool RegHex = false;          // bit 7 registration data is hex
    qint32 HeartTime = 0;         // seconds, low 16 bits stored
    QByteArray HeartData;
    QByteArray RegData;
};
inline constexpr int HeartRegDataMax = 40;
// Rewrites the whole image by the data rule: a hex field is filled by HexTextToBuffer and its
// length is the text length / 2, a text field by TextToFixedBytes and its length is the text
// length; both lengths capped at 40. Returns false when a hex text held a bad pair (the fill
// stopped there, as HexTextToBuffer does; everything else is written).
bool EncodeHeartReg(QByteArray &image, const HeartRegValues &values);
// The fields as a page shows them: each data text is the first length bytes of its field
// (a length byte above 40 is taken as 40), as upper-case hex without separators when its hex
// flag is set.
HeartRegValues DecodeHeartRegImage(const QByteArray &image);

// ---- HTTPD image ------------------------------------------------------------------------------
// Length byte = text length capped at 100 (URL) or 200 (header); that many bytes copied to the
// start of the text field; the rest of the field keeps its content.
void EncodeHttpdUrl(QByteArray &image, const QByteArray &url);
void EncodeHttpdHeader(QByteArray &image, const QByteArray &header);
// The blocks sent with cmdWriteHttpdUrl (bytes 0..100) and cmdWriteHttpdHeader (101..301).
QByteArray HttpdUrlBlock(const QByteArray &image);
QByteArray HttpdHeaderBlock(const QByteArray &image);
// URL and header as their length bytes say, never past their fields (lengths above 100 / 200
// are taken as 100 / 200).
void DecodeHttpdImage(const QByteArray &image, QByteArray &url, QByteArray &header);

// ---- Modbus image -----------------------------------------------------------------------------
struct ModbusValues {
    bool ModbusTCP = false;
    bool PollEnable = false;
    qint32 PollTime = 0; // written as (PollTime / 256) & 0xFF, then PollTime & 0xFF
};
// Form 4: the four bytes; any other form: the one Modbus TCP byte.
QByteArray EncodeModbus(const ModbusValues &values, int form);
