#pragma once
// The Z2 and Z3 write sequences as data, and the one sequencer that sends them.
//
// A write takes the last images read from the device (LastImages), encodes the values that the
// page collected on top of them (the encoders of ImageEncoders.h) and sends the images block by
// block, with a blocking 500 ms pause between blocks, ending with a restart (Z2) or an apply
// (Z3) command. The window and n6ctl build the list with BuildZ2Write / BuildZ3Write and send it
// with RunWriteSequence; tests check the list without sockets.
//
// Z2 (all to port 1500)                                     target     pause after
//   1 cmdWriteBase        base image, 67 bytes              row        500
//   2 cmdWritePort        port image, 63 bytes              row        500
//   3 cmdWriteCloud       cloud image, 50 bytes             selected   500  registration type 3
//   4 cmdWriteHeartReg    heartbeat/registration, 85        selected   500  version > 4016
//   5 cmdWriteHttpdUrl    URL block, 101                    selected   500  work mode 4 and
//   6 cmdWriteHttpdHeader header block, 201                 selected   500    version > 4016
//   7 cmdWriteModbus      Modbus, 4 or 1 bytes              selected   0    Modbus group shown
//   8 cmdRestart          none                              row        -
// Z3 (all to port 1901): cmdWriteBase (row, 500), cmdWritePort (row, 500), cmdApplyZ3 (row).
//
// "row" is the device-list row the write button acts on, "selected" is SelBindIndex/SelMac (the
// row last clicked as a Z2); both name the same device whenever the window runs a Z2 write.
//
// Usage (a window):
//     Z2WriteInputs in;
//     in.images = LastImages;  in.base = <collected>; ...; in.versionText = <column 3>;
//     const WriteSequence seq = BuildZ2Write(in);
//     RunWriteSequence(*UdpSvr, seq);   // stores seq.images into LastImages, then sends

#include "LastImages.h"

#include <ImageEncoders.h>
#include <Unit_Public.h>

#include <QByteArray>
#include <QList>
#include <QString>

class TUdpSvr;

// The pause between two blocks of a write (scaled by SetPauseScale / N6_PAUSE_SCALE).
inline constexpr int WriteBlockPauseMs = 500;
// Heartbeat/registration and HTTPD blocks are written only above this firmware version.
inline constexpr int LastVersionWithoutHeartReg = 4016;
// The Z2 work mode ("HTTPD Client") that writes the HTTPD blocks.
inline constexpr int WorkModeHttpdClient = 4;
// Registration type (item of the registration list) that writes the cloud image.
inline constexpr int RegTypeNone = 0;
inline constexpr int RegTypeMac = 1;
inline constexpr int RegTypeUser = 2;
inline constexpr int RegTypeCloud = 3; // "Enable Quorvex Cloud"

// Where a command goes: a binding index of TUdpSvr and a MAC text (blanks allowed).
struct LanTarget {
    int bindIndex = 0;
    QByteArray mac;
};

// One datagram of a sequence and the pause that follows it.
struct WriteStep {
    QByteArray name; // "base", "port", "cloud", "heartreg", "httpd-url", "httpd-header",
                     // "modbus", "restart", "apply"
    LanTarget target;
    quint16 port = CfgPort; // 1500 (Z2) or 1901 (Z3)
    quint8 cmd = 0;
    QByteArray data; // the data block; empty for a plain command
    QByteArray user; // credentials as they stood when the sequence was built
    QByteArray password;
    int pauseAfterMs = 0; // WriteBlockPauseMs between blocks, 0 after the last ones

    // The framed bytes as they go on the wire (CmdPacket or DataPacket). Throws ConvertError
    // when the target's MAC text does not convert (the sequencer then sends nothing for it).
    QByteArray Packet() const;
};

struct WriteSequence {
    QList<WriteStep> steps;
    // The last-image buffers with the page's values applied: what the steps carry.
    TLastImages images;
    // Fields the encoders could not write (an address or MAC text that does not convert; a hex
    // data text with a bad digit pair). From such a field on, the image keeps the bytes read
    // from the device. Empty when everything was written. The caller decides whether to send.
    QList<QByteArray> badFields;
};

// A version column text as a number: a text that is not a decimal number counts as 0.
int VersionNumber(const QString &versionText);

// Registration type shown for a port record (item 0; 3 when CloudEnable, 1 when MacReg, 2 when
// CustomReg, the last that applies wins) and the flags a chosen type gathers back into it
// (exactly one of MacReg, CustomReg, CloudEnable; none for type 0).
int RegistrationType(const TPortParam &port);
void ApplyRegistrationType(TPortParam &port, int regType);

struct Z2WriteInputs {
    TLastImages images; // start from these (normally LastImages)
    TBaseParam base;    // collected page values
    TPortParam port;    // port.WorkMode is the work mode of the page
    TCloudParam cloud;
    HeartRegValues heartReg;
    QByteArray httpdUrl;    // GBK bytes; cut at 100
    QByteArray httpdHeader; // lines joined by CR LF; cut at 200
    ModbusValues modbus;
    int registrationType = RegTypeNone; // item of the registration list; 3 writes the cloud image
    bool modbusShown = false; // the Modbus group is visible (the device sent a Modbus reply)
    int modbusForm = ModbusImageShort; // 4 when the polling box is visible (a 4-byte reply)
    QString versionText;               // the device's version column
    LanTarget row;                     // base, port and restart
    LanTarget selected;                // SelBindIndex / SelMac: cloud, heartreg, HTTPD, Modbus
    QByteArray user;                   // CfgUserName
    QByteArray password;               // CfgPassword
};

struct Z3WriteInputs {
    TLastImages images;
    TBaseParam base; // ExtFlags holds the ID type number 0..3
    TPortParam port; // UARTLength, TCPSvrCount and TCPStyle written the Z3 way
    LanTarget row;
    QByteArray user;
    QByteArray password;
};

WriteSequence BuildZ2Write(const Z2WriteInputs &in);
WriteSequence BuildZ3Write(const Z3WriteInputs &in);

// Stores seq.images into LastImages (the buffers then hold what is written, as after the
// window's gather routines), then sends every step through `udp` (SendDevData / SendDevDataZ3
// / SendDevCmd / SendDevCmdZ3 by port and data) with BlockingPause(pauseAfterMs) after each
// step that has a pause. Blocks the calling thread for the sum of the pauses; replies are
// handled afterwards, in arrival order. Does not wait for or check the device's answers.
void RunWriteSequence(TUdpSvr &udp, const WriteSequence &seq);
