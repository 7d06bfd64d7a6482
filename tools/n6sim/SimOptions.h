#pragma once
// Command-line options of n6sim, parsed into one plain value. The help text (ParseSimOptions
// with --help) is the reference for every option, the log line format and the "ready" line.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

enum class ReplyMode { Unicast, Broadcast, Auto };

struct SimOptions {
    int z1 = 0;
    int z2 = 1;
    int z3 = 0;
    QByteArray firstMac;       // 6 bytes; each further device adds 1
    QList<quint32> firstIps;   // addresses of the first devices; the rest continue by +1
    QByteArray name = "N6";    // device names are "<name>-<model>-<n>", cut to 16 bytes
    quint16 version = 4021;    // firmware of Z2 devices (and Z3 unless versionZ3 is set)
    quint16 versionZ3 = 4021;  // firmware of Z3 devices
    quint8 versionZ1 = 0x21;   // Z1 version byte: high nibble major, low nibble minor
    QByteArray user = "vexol"; // factory credentials
    QByteArray password = "vexol";
    int modbus = 4; // length of the Modbus reply: 1, 4 or 0 (none)
    ReplyMode reply = ReplyMode::Auto;
    QHostAddress bind = QHostAddress(QHostAddress::AnyIPv4);
    QHostAddress broadcast = QHostAddress(QHostAddress::Broadcast);
    bool log = false;
    QString stateFile;
    double drop = 0.0;         // fraction of reply datagrams not sent
    int delayMs = 0;           // every answer leaves this much later
    bool badChecksum = false;  // every command is answered with the checksum complaint
    bool twice = false;        // every reply datagram is sent twice
    bool muteCommands = false; // the search is answered, no command is (a silent device)
    quint32 seed = 1;          // random source of --drop
    int sendBuffer = 4 * 1024 * 1024;
};

// Parses `arguments` (argv as a list, program name first). On --help prints the help and sets
// `exitCode` 0; on an error prints it to stderr and sets `exitCode` 2; returns false in both
// cases. Returns true with `options` filled otherwise.
bool ParseSimOptions(const QStringList &arguments, SimOptions &options, int &exitCode);
