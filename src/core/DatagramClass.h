#pragma once
// Classification of a datagram received by the LAN endpoint.
//
// The endpoint tells replies apart by their length alone (and, for a few lengths, by a short
// header test). ClassifyDatagram is that dispatch table as a pure function: it takes the bytes
// and the peer's UDP port and returns what the endpoint must report. The endpoint's read slot
// only calls it and emits the matching signal, so the whole table is testable without sockets.
//
//  Length | Test                          | Kind
//  -------+-------------------------------+---------------------------------------------------
//     1   | none                          | ModbusInfo (ModbusTCP = byte 0), length 1
//     2   | byte 0 "E"                    | Status stCheckErr, text = byte 1 as two hex digits
//     4   | FF 01 .. "E"/"K"/"P"          | Status stOtherErr / stAck / stPswdErr; other: Ignored
//     4   | not FF 01                     | ModbusInfo (TCP, poll, time = b2*256+b3), length 4
//    35   | MAC bytes 0..5 not all zero   | DevFound, ModelZ1 (Z1 search record); else Other
//    36   | FF 24 01                      | DevFound (search reply); else Ignored
//    40   | none                          | Ignored
//    50   | none                          | CloudImage
//    85   | none                          | HeartRegImage
//   130   | none                          | ParamImage (base 0..66, port 67..129)
//   302   | none                          | HttpdImage
//  193,256| none                          | Status stVerIncompatible
//  other  | none                          | Status stReceiveOther, text = length in decimal
//
// Z1 search record, 35 bytes: 0..5 MAC, 6 version (high nibble major, low nibble minor),
// 7..34 the 28-byte Z1 image (module IP at image offset 6, stored last number first).
//
// Search reply, 36 bytes: 0 FF, 1 24, 2 01, 5..8 IP (first number first), 9..14 MAC,
// 15..16 version (little-endian), 19..32 name (14 bytes).

#include "Unit_Public.h"

#include <QByteArray>
#include <QString>

enum class DatagramKind {
    Ignored,       // header test failed, 40 bytes, or unknown code reply: nothing beyond OnDataRecv
    Status,        // status code and text
    ModbusInfo,    // a 1- or 4-byte Modbus reply
    DevFound,      // a 36-byte search reply or a 35-byte Z1 search record
    ParamImage,    // 130 bytes
    CloudImage,    // 50 bytes
    HeartRegImage, // 85 bytes
    HttpdImage,    // 302 bytes
};

// What one received datagram means. Only the members of its kind are filled.
struct DatagramClass {
    DatagramKind kind = DatagramKind::Ignored;
    // Model code from the peer port (1500 Z2, 1901 Z3, else none); for DevFound the model of
    // the device (search replies below version 2002 and other ports: ModelNone; Z1: ModelZ1).
    int model = ModelNone;

    // Status
    int status = 0;
    QString statusText;

    // ModbusInfo
    TModbusParam modbus;
    int modbusLength = 0;

    // DevFound
    QString ip;      // dotted
    QByteArray name; // 14 bytes of the reply, zeros included; empty for Z1
    QString mac;     // "00 11 22 33 44 55"
    QString version; // decimal ("4017"); Z1: "major.minor"

    // ParamImage / CloudImage
    TBaseParam base;
    TPortParam port;
    TCloudParam cloud;

    // HttpdImage: the texts, cut at their fields (URL at most 100 bytes, header at most 200)
    QByteArray url;
    QByteArray header;
};

// Classifies a received datagram by its length (table above). Never fails.
DatagramClass ClassifyDatagram(const QByteArray &data, quint16 peerPort);
