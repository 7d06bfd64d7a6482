#pragma once
// What `n6ctl read` prints and `n6ctl write` takes: every decoded field of a device's replies,
// grouped in sections named after the replies, each key named after its record field.
//
//   device    IP, Name, MAC, Version, Model, BindIndex                     (printed only)
//   base      TBaseParam                 port      TPortParam
//   cloud     TCloudParam                heartreg  HeartRegValues
//   httpd     URL, Header                modbus    ModbusValues (+ Length, printed only)
//   z1        Z1Values (Z1 devices: the block of their search record)
//
// A FIELD of `write` is "section.Key" or, where no other section has that key, just "Key".
// Values are checked against what the device's page accepts before anything is sent.

#include <ImageEncoders.h>
#include <Unit_Public.h>
#include <Z1Block.h>

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

struct HttpdTexts {
    QByteArray URL;
    QByteArray Header;
};

// One device as found and read.
struct DeviceReadout {
    // From the search.
    QString ip;
    QByteArray name;
    QString mac;
    QString version;
    int model = ModelNone;
    int bindIndex = 0;
    QByteArray searchReply; // the stored reply (36 bytes; Z1: the 35-byte record)

    // From the read (which replies arrived).
    bool hasParam = false;
    bool hasCloud = false;
    bool hasHeartReg = false;
    bool hasHttpd = false;
    int modbusLength = 0; // 0: no Modbus reply
    bool hasZ1 = false;

    TBaseParam base;
    TPortParam port;
    TCloudParam cloud;
    HeartRegValues heartreg;
    HttpdTexts httpd;
    ModbusValues modbus;
    Z1Values z1;
};

// A MAC text (blanks, colons or dashes between the pairs allowed) as twelve upper-case hex
// digits; empty when it is no MAC.
QByteArray MacDigitsOf(const QString &text);

// Model code as a word: "Z1", "Z2", "Z3", "none".
QString ModelName(int model);

// The sections that arrived, as one JSON object (see the table above).
QJsonObject ReadoutToJson(const DeviceReadout &r);
// The same as "section.Key = value" lines.
QStringList ReadoutToLines(const DeviceReadout &r);

// Applies FIELD=VALUE assignments on top of a readout. Each failure is one message naming the
// field and why ("unknown field", "not written to Z3 devices", "must be 0..65535", ...);
// on any failure `r` is left unchanged. `changedSections` gets the sections
// whose values changed.
bool ApplyAssignments(DeviceReadout &r, const QList<QPair<QString, QString>> &assignments,
                      QStringList &errors, QStringList &changedSections);

// The assignments of a JSON file: an object shaped like ReadoutToJson (sections of keys) or a
// flat object of FIELD keys. Values may be strings, numbers or booleans. False with a message
// when the file cannot be read or is not such an object.
bool AssignmentsFromJson(const QByteArray &json, QList<QPair<QString, QString>> &assignments,
                         QString &error);
