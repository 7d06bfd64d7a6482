#pragma once
// Shared vocabulary of the tool: records, codes and program-wide values.
//
// Records hold one device's decoded parameters (filled by the decoders in Unit_ProFun.h and
// written back by the encoders in ImageEncoders.h). Texts are QByteArray holding exactly the
// 8-bit GBK bytes of their image field, zero bytes included; a control shows them up to the
// first zero byte (GbkText.h in the platform layer).

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QVector>

#include <cstdint>

// Every datagram and image handed between layers.
using TBytes = QByteArray;

// Base (network) parameters of one Z2 or Z3 device: the 67-byte base image.
struct TBaseParam {
    qint32 FlagBit1 = 0;        // bit 1 of the base flags byte; decoded, shown nowhere
    qint32 AddrType = 0;        // bit 7: 0 DHCP, 1 static address
    qint32 HeartTarget = 0;     // bit 0: 0 heartbeat to the server, 1 to the serial terminal
    qint32 RegSendMode = 0;     // bit 2: 0 registration once on connecting, 1 before every packet
    qint32 LocationURLPort = 0; // UPnP port
    qint32 HTTPServerPort = 0;  // port of the device's web server
    QByteArray StaticIP;        // dotted
    QByteArray GatewayIP;       // dotted
    QByteArray SubnetMask;      // dotted
    QByteArray ModName;         // 16 bytes when decoded
    QByteArray UserName;        // 6 bytes when decoded
    QByteArray Password;        // 6 bytes when decoded
    qint32 ExtFlags = 0;     // Z2: options Reset/Link/Index/RFC2217 in bits 4..7; Z3: ID type 0..3
    bool ClearCache = false; // bit 4: clear buffer data before connected
    bool ShortConn = false;  // bit 5: short connections
    QByteArray UserMAC;      // "AA BB CC DD EE FF"; all FF means the device's own MAC
    QByteArray DNS;          // dotted
    qint32 ShortTime = 0;    // short-connection time, seconds, 0..255
};

// One serial port and its network socket: the 63-byte port image.
struct TPortParam {
    qint32 BaudRate = 0;
    qint32 DataBits = 0;    // 5..8
    qint32 Parity = 0;      // 1 none, 2 odd, 3 even, 4 mark, 5 space
    qint32 StopBits = 0;    // 1 or 2
    qint32 FlowControl = 0; // 1 none, 3 hardware, 5 RS485
    qint32 LocalPort = 0;
    qint32 RemotePort = 0;
    QByteArray RemoteIP;    // address or domain name, 30 bytes when decoded
    qint32 ModbusTCP = 0;   // 0 or 1
    qint32 BaudSync = 0;    // 0 or 1
    qint32 CloudEnable = 0; // 0 or 1
    qint32 WorkMode = 0;   // 0 UDP client, 1 TCP client, 2 UDP server, 3 TCP server, 4 HTTPD client
    qint32 UARTLength = 0; // never filled by the decoder; written by the Z3 encoder
    qint32 TCPSvrCount = 0; // 1..16
    qint32 ResetTime = 0;   // seconds
    qint32 TCPStyle = 0;    // 1 transparent, 2 by ID drop others, 3 by ID broadcast others
    qint32 HttpdMethod = 0; // 0 GET, 1 POST
    bool MacReg = false;
    bool KickOld = false;
    bool CustomReg = false;
};

// Cloud registration: bytes 2..29 of the 50-byte cloud image.
struct TCloudParam {
    QByteArray DeviceID;     // 20 bytes when decoded
    QByteArray CommPassword; // 8 bytes when decoded
};

// A 1- or 4-byte Modbus reply.
struct TModbusParam {
    quint8 ModbusTCP = 0;  // 1 on
    quint8 PollEnable = 0; // 1 polling on
    QByteArray PollTime;   // decimal text
};

using TarrComParam = QVector<TPortParam>;    // always one element
using TarrCloudParam = QVector<TCloudParam>; // always one element

Q_DECLARE_METATYPE(TBaseParam)
Q_DECLARE_METATYPE(TPortParam)
Q_DECLARE_METATYPE(TCloudParam)
Q_DECLARE_METATYPE(TModbusParam)

// ---- Network constants -----------------------------------------------------------------------
inline constexpr char BroadcastIP[] = "255.255.255.255";
inline constexpr quint16 CfgPort = 1500;   // search, Z2 commands and Z2 answers
inline constexpr quint16 CfgPortZ3 = 1901; // Z3 commands and answers
inline constexpr int PortInUseNo = 1500;   // printed before the port-in-use message

// ---- Image sizes (byte layouts in ImageEncoders.h and Unit_ProFun.h) -------------------------
inline constexpr int BaseImageSize = 67;
inline constexpr int PortImageSize = 63;
inline constexpr int ParamImageSize = 130; // base image followed by port image
inline constexpr int CloudImageSize = 50;
inline constexpr int HeartRegImageSize = 85;
inline constexpr int HttpdImageSize = 302;       // URL block followed by header block
inline constexpr int HttpdUrlBlockSize = 101;    // length byte + 100
inline constexpr int HttpdHeaderBlockSize = 201; // length byte + 200
inline constexpr int ModbusImageShort = 1;
inline constexpr int ModbusImageLong = 4;

// ---- Model codes (hidden "Flag" column of the device list) -----------------------------------
inline constexpr int ModelNone = 0; // unsupported: version <= 2001 or unexpected port
inline constexpr int ModelZ2 = 2;
inline constexpr int ModelZ1 = 35;
inline constexpr int ModelZ3 = 36;

// ---- UI state codes (argument of SetUIState) -------------------------------------------------
inline constexpr int UIStateInit = -1;  // one-time arrangement at window creation
inline constexpr int UIStateSearch = 0; // no device shown
inline constexpr int UIStateZ1 = 1;
inline constexpr int UIStateZ2 = 2;
inline constexpr int UIStateZ3 = 3;

// ---- Status codes of the LAN endpoint's OnStatus ---------------------------------------------
inline constexpr int stSearchDone = 40;
inline constexpr int stCheckErr = 269;   // text: the sum the device expected, two hex digits
inline constexpr int stAck = 275;        // code reply "K"
inline constexpr int stOtherErr = 469;   // code reply "E"
inline constexpr int stPswdErr = 480;    // code reply "P"
inline constexpr int stPortInUse = 1500; // rebinding the local sockets failed
inline constexpr int stVerIncompatible = 193256; // a 193- or 256-byte reply
inline constexpr int stReceiveOther = 555555;    // text: the length in decimal

// ---- Result codes of the search ----------------------------------------------------------------
inline constexpr int srOK = 1;
inline constexpr int srFail = 0;

// ---- LAN command codes (byte 2 of every command packet) ---------------------------------------
inline constexpr quint8 cmdSearch = 0x01;
inline constexpr quint8 cmdRestart = 0x02;
inline constexpr quint8 cmdRead = 0x03;
inline constexpr quint8 cmdApplyZ3 = 0x04;
inline constexpr quint8 cmdWriteBase = 0x05;
inline constexpr quint8 cmdWritePort = 0x06;
inline constexpr quint8 cmdReset = 0x0B;
inline constexpr quint8 cmdWriteCloud = 0x0C;
inline constexpr quint8 cmdWriteHeartReg = 0x21;
inline constexpr quint8 cmdWriteHttpdUrl = 0x22;
inline constexpr quint8 cmdWriteHttpdHeader = 0x23;
inline constexpr quint8 cmdWriteModbus = 0x24;

// ---- Serial frame bytes ------------------------------------------------------------------------
inline constexpr quint8 ComLead = 0x55;       // first byte of every frame the tool sends
inline constexpr quint8 scReadZ1 = 0xBC;      // read request Z1/Z3; second byte of the Z1 reply
inline constexpr quint8 scReadZ2 = 0xBD;      // read request Z2
inline constexpr quint8 scWriteBase = 0xBE;   // base image write
inline constexpr quint8 scWritePort = 0xBF;   // port image write
inline constexpr quint8 scReadExt = 0xC1;     // cloud + heartbeat/registration request
inline constexpr quint8 scWriteZ1 = 0xBA;     // Z1 block write
inline constexpr quint8 scRestart = 0xB1;     // ends a Z2 write, followed by scRestartTail
inline constexpr quint8 scRestartTail = 0x5A; // fixed byte after scRestart
inline constexpr quint8 scAck = 0x4B;         // one-byte answer "K": write accepted

// ---- Factory defaults of model Z1 (the Z1 page after "restore factory settings") -------------
inline constexpr int Z1DefWorkMode = 1; // "TCP Client"
inline constexpr char Z1DefModuleIP[] = "192.168.0.7";
inline constexpr char Z1DefMask[] = "255.255.255.0";
inline constexpr char Z1DefGateway[] = "192.168.0.201";
inline constexpr char Z1DefBaudRate[] = "115200";
inline constexpr int Z1DefParity = 0;   // item "NONE"
inline constexpr int Z1DefDataBits = 3; // item "8"
inline constexpr int Z1DefStopBits = 0; // item "1"
inline constexpr char Z1DefModulePort[] = "20108";
inline constexpr char Z1DefDeIP[] = "192.168.0.201";
inline constexpr char Z1DefDePort[] = "8234";
inline constexpr char Z1DefID[] = "0";
// Flags byte: only RS485 (bit 2) and RFC2217 (bit 7) checked.
inline constexpr quint8 Z1DefFlags = 0x84;

// ---- Log decorations of the transport log lines (UTF-8 literals) ------------------------------
inline constexpr char LogRecv[] = " ] \u2190 [ "; // " ] ← [ "
inline constexpr char LogSent[] = " ] \u2192 [ "; // " ] → [ "
inline constexpr char LogOpen[] = "[ ";
inline constexpr char LogClose[] = " ]";
inline constexpr char LogColon[] = " : ";
inline constexpr char LogPC[] = "PC";
inline constexpr char LogDevice[] = "Device";

// ---- Program-wide values ------------------------------------------------------------------------
extern QByteArray CfgUserName; // put into every LAN command; "vexol" at start
extern QByteArray CfgPassword; // put into every LAN command; "vexol" at start
extern QByteArray SelMac;      // MAC of the device last clicked, blanks removed
extern qint32 SelBindIndex;    // binding index of the device last clicked as a Z2
extern QString CmdFilePath;    // path of the data debug command list file

inline constexpr char DefaultCfgUserName[] = "vexol";
inline constexpr char DefaultCfgPassword[] = "vexol";
