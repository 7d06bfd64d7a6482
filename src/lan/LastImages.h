#pragma once
// The last-image buffers: every LAN write starts from them.
//
// The endpoint (TUdpSvr) copies each parameter, cloud, heartbeat/registration and HTTPD image a
// device sends into the buffer of its kind, whatever device it came from; the write sequences
// (WriteSequence.h) encode the page's fields on top of them, so every byte the tool does not
// interpret goes back to the device as the device sent it. All zeros at start. The serial path
// sets LastBaseFlags and LastPortFlags from its own parameter frame as well.
//
//  LastParamImage     256 bytes; base image 0..66, port image 67..129; LastParamLength 130
//  LastCloudImage      50 bytes
//  LastHeartRegImage   85 bytes
//  LastHttpdImage     302 bytes; URL block 0..100, header block 101..301
//  LastBaseFlags      byte 3 of the last parameter image
//  LastPortFlags      byte 117 of the last parameter image (byte 50 of its port image)

#include <QByteArray>
#include <QList>

struct TLastImages {
    QByteArray LastParamImage = QByteArray(256, '\0');
    qint32 LastParamLength = 0;
    QByteArray LastCloudImage = QByteArray(50, '\0');
    QByteArray LastHeartRegImage = QByteArray(85, '\0');
    QByteArray LastHttpdImage = QByteArray(302, '\0');
    quint8 LastBaseFlags = 0;
    quint8 LastPortFlags = 0;

    QByteArray BaseImage() const { return LastParamImage.left(67); }
    QByteArray PortImage() const { return LastParamImage.mid(67, 63); }
};

// The program-wide buffers, filled by TUdpSvr and read by the write flows (one thread).
extern TLastImages LastImages;

// Stored search replies: entry k belongs to the k-th OnDevFound since the last search (36-byte
// search replies; 35-byte records for Z1). Emptied by every search.
extern QList<QByteArray> SearchReplies;
