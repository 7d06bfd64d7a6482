#pragma once
// Bounds-safe byte access shared by the codec's source files (not part of the public API).
// Reads outside an array give zero; writes outside it are dropped.

#include <QByteArray>

namespace codec {

inline quint8 ByteAt(const QByteArray &data, qint64 index) {
    return index >= 0 && index < data.size() ? static_cast<quint8>(data[index]) : 0;
}

inline void PutByte(QByteArray &data, qint64 index, quint32 value) {
    if (index >= 0 && index < data.size())
        data[index] = static_cast<char>(value & 0xFF);
}

// The low `count` bytes of `value`, low byte first.
inline void PutLE(QByteArray &data, qint64 offset, quint32 value, int count) {
    for (int i = 0; i < count && i < 4; ++i)
        PutByte(data, offset + i, value >> (8 * i));
}

inline quint32 GetLE16(const QByteArray &data, qint64 offset) {
    return ByteAt(data, offset) | (quint32(ByteAt(data, offset + 1)) << 8);
}

// Pads an image with zeros to at least `size` bytes.
inline void EnsureSize(QByteArray &image, qsizetype size) {
    if (image.size() < size)
        image.append(size - image.size(), '\0');
}

// Sets or clears the bits of `mask` in byte `index`.
inline void PutBits(QByteArray &data, qint64 index, quint8 mask, bool on) {
    const quint8 old = ByteAt(data, index);
    PutByte(data, index, on ? (old | mask) : (old & ~mask));
}

} // namespace codec
