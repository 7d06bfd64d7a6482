#pragma once
// Conversions between user-visible texts (hex dumps, dotted addresses, MAC texts), byte images
// and numbers, plus the decoders of the base, port and cloud images.
//
// Every function has a defined result for every input: buffers are never read or written past
// their end (bytes outside a source read as zero, writes outside a destination are dropped).
// Where a text is not a number the conversion throws ConvertError; nothing else here throws, and
// the decoders never fail.
//
// Image byte order: 16/32-bit numbers little-endian; IPv4 addresses last dotted number first
// (192.168.0.7 is stored as 07 00 A8 C0).

#include "Unit_Public.h"

#include <QByteArray>

#include <array>
#include <exception>

// The one exception type of the codec: a text that is not a number, an address or a MAC.
class ConvertError : public std::exception {
public:
    explicit ConvertError(QByteArray message);
    const char *what() const noexcept override;

private:
    QByteArray m_message;
};

// ---- Text and hex ------------------------------------------------------------------------------

// Every byte as two upper-case hex digits, no separators ("" gives "").
QByteArray BytesToHexText(const QByteArray &bytes);
// length/2 pairs in order, a trailing odd digit ignored, blanks not removed. Any bad pair: the
// input is returned unchanged.
QByteArray HexTextToBytes(const QByteArray &hex);
// Blanks removed; (length+1)/2 pairs, an odd last digit read alone. A bad first pair: false and
// `out` empty; a bad later pair is skipped. `out` is replaced.
bool TryHexTextToBytes(const QByteArray &hex, QByteArray &out);
// Fills buffer[offset .. offset+size-1]: byte i from pair i while i < length/2, else 0; blanks
// not removed. The first bad pair stops the fill with false (bytes written so far stay, the rest
// is untouched). Positions outside the buffer are not written.
bool HexTextToBuffer(const QByteArray &hex, QByteArray &buffer, int offset, int size);
// Removes every space character (only 0x20 is a blank).
QByteArray RemoveSpaces(const QByteArray &text);
QByteArray ReverseText(const QByteArray &text);
// Exactly `count` bytes from data[offset], zeros included; bytes outside `data` read as zero.
QByteArray BytesToText(const QByteArray &data, int offset, int count);
// dest[offset+i] = text[i] for i < text length, 0 for the rest of `width`; cut at `width`.
void TextToFixedBytes(QByteArray &dest, int offset, const QByteArray &text, int width);
// Every byte as two hex digits followed by one blank, the last one included ("FF 01 ").
QByteArray BytesToSpacedHex(const QByteArray &bytes);
// The first `count` bytes (at most the array), each as two hex digits followed by `separator`.
QByteArray BytesToHexSep(const QByteArray &bytes, int count, const QByteArray &separator);

// ---- Numbers and addresses
// -----------------------------------------------------------------------

// A decimal integer text (optional leading blanks, optional sign, digits) as a 32-bit integer.
// Anything else, or a value outside 32 bits, throws ConvertError.
qint32 TextToInt(const QByteArray &text);
// As TextToInt, `fallback` when the text is not a number.
qint32 TextToIntDef(const QByteArray &text, qint32 fallback);

// Four decimal runs, one separator skipped after each; a*2^24+b*2^16+c*2^8+d in 32 bits (parts
// above 255 are not rejected). An empty run throws ConvertError.
quint32 IPTextToUInt(const QByteArray &text);
// (first & mask) == (second & mask); throws as IPTextToUInt.
bool IsSameSubnet(const QByteArray &first, const QByteArray &second, const QByteArray &mask);
// Highest byte first: 0xC0A80007 -> "192.168.0.7".
QByteArray UIntToIPText(quint32 value);
// Four image bytes from data[offset], byte offset+3 first: 07 00 A8 C0 -> "192.168.0.7".
QByteArray BytesToIPText(const QByteArray &data, int offset = 0);
// Writes a dotted text into the 4-byte image field at dest[offset], last number first. Blanks
// removed; each number's low 8 bits; an empty text writes nothing; "10.20" writes byte 3 = 10
// and byte 0 = 20; parts after the fourth are ignored. A part that is not a number throws
// ConvertError; bytes written before it stay.
void IPTextToBytes(QByteArray &dest, int offset, const QByteArray &text);
// Six upper-case hex pairs separated by single blanks: "00 11 22 33 44 55".
QByteArray BytesToMacText(const QByteArray &data, int offset = 0);
// Blanks removed; six pairs into dest[offset..offset+5] (an 11-digit text gives a last byte of
// its single last digit). A bad pair or fewer than 11 digits throws ConvertError; bytes written
// before it stay.
void MacTextToBytes(QByteArray &dest, int offset, const QByteArray &text);
// The six MAC bytes of a MAC text; throws as MacTextToBytes.
QByteArray MacTextToBytes(const QByteArray &text);
// Blanks removed, zero-padded to 6, the first `width` bytes copied to dest[offset].
void PutCredentialField(QByteArray &dest, const QByteArray &text, int offset, int width = 6);
// `count` (1..4) bytes from data[offset] as an integer, little- or big-endian, 32-bit wrap.
qint32 BytesToInt(const QByteArray &data, int offset, int count, bool littleEndian);
// The low 16 bits, low byte first.
QByteArray Word16ToBytes(qint64 value);
// Flag i = bit i, flag 0 first.
std::array<bool, 8> ByteToFlags(quint8 value);
quint8 FlagsToByte(const std::array<bool, 8> &flags);
// 8-bit additive sum of `count` bytes from data[offset] (clipped to the array; 0 for none).
quint8 SumBytes(const QByteArray &data, int offset, int count);
// 8-bit additive sum of the whole array.
quint8 SumBytes(const QByteArray &data);

// ---- Serial line-settings byte (UART line control register layout) -----------------------------

// Binary digits of `value` (0..255), most significant first, left-padded to at least 6 digits.
QByteArray ByteToBinText(quint8 value);
// Item index of the parity list: 0 NONE, 1 ODD, 2 EVEN, 3 MARK, 4 SPACE.
int LcrParity(quint8 value);
// Item index of the data-bits list "5".."8": 0..3.
int LcrDataBits(quint8 value);
// Item index of the stop-bits list "1", "2": 0 or 1.
int LcrStopBits(quint8 value);

// ---- Image decoders (never fail; bytes past a short image read as zero) -------------------------

// 67-byte base image (the first 64 bytes are read).
TBaseParam DecodeBaseImage(const QByteArray &image);
// 63-byte port image, bytes 52..58 read the Z2 way; UARTLength stays 0.
TPortParam DecodePortImage(const QByteArray &image);
// 50-byte cloud image: bytes 2..29.
TCloudParam DecodeCloudImage(const QByteArray &image);
