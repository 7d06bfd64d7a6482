#include "SimOptions.h"

#include "Unit_ProFun.h"

#include <QCommandLineParser>

#include <cmath>
#include <cstdio>
#include <type_traits>

namespace {

const char HelpText[] =
    R"(Plays Z1, Z2 and Z3 device servers on the LAN side of the configuration protocol.

Sockets: receives on UDP 1500 and 1901 at --bind. Z2 devices answer from port 1500, Z3 devices
from 1901, Z1 devices from 1500. With --bind 0.0.0.0 a device whose address is a local address
answers from a socket bound to (its address, its port), otherwise from the receive socket.
Replies go to the sender's address and port (unicast) or to --broadcast at the sender's port;
--reply auto broadcasts when the sender is not in the device's subnet, except for a sender on
loopback (127.0.0.0/8), which is always answered by unicast.

Device order: all Z2 devices, then Z3, then Z1. MACs count up from --first-mac and addresses
from --first-ip across that order; names are "<name>-Z2-1", "<name>-Z3-1", ...

What a device accepts:
  port 1500  search FF 01 01 02 (all models); Z2: every command; Z3: cmdRestart only;
             Z1: cmdRestart and the 40-byte Z1 image (MAC, "738296", 28-byte image)
  port 1901  Z3: every command except the search
Checks in order: lead FF, length byte = size-3, MAC (not ours: silence), checksum (wrong:
45 + expected sum), credentials (wrong: FF 01 <cmd> 50). Writes are stored and answered
FF 01 <cmd> 4B and show in the next read; cmdRestart (and cmdApplyZ3 on Z3) makes them current
(address, name, credentials in the next search); cmdReset restores factory values. A valid
Z1 image is applied at once and not answered. A search reply is 36 bytes, its bytes the tool
does not interpret being 3-4 A5 5A, 17-18 3C C3, 33-34 7E E7, 35 the sum of bytes 1..34; a Z1
answers with its 35-byte search record (MAC, version byte, 28-byte Z1 image).
Firmware 4016 or lower has no heartbeat/registration or HTTPD images.

Output on stdout, one line each, flushed:
  ready                          once, when the sockets are bound
  <ms> in <peer>:<port> <local-port> <length> <HEX>
  <ms> out <peer>:<port> <local-port> <length> <HEX>
                                 with --log, one per datagram received or sent; <ms> counts
                                 milliseconds since start (monotonic); <peer> is the sender
                                 (in) or the destination (out); <HEX> is upper-case without
                                 separators, "-" for an empty datagram
  # <text>                       with --log, remarks (device list, ignored input, drops)
Diagnostics go to stderr.)";

// Takes option `name` as a number from `min` to `max` (whole for integer targets); an absent
// option leaves `out` as it is.
template <typename T>
bool ParseNumber(const QCommandLineParser &parser, const QString &name, double min, double max,
                 T &out, QString &error) {
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    if (!ok || value < min || value > max ||
        (std::is_integral_v<T> && value != std::floor(value))) {
        error = QStringLiteral("--%1 wants a number from %2 to %3")
                    .arg(name)
                    .arg(min, 0, 'g', 12)
                    .arg(max, 0, 'g', 12);
        return false;
    }
    out = T(value);
    return true;
}

bool ParseAddress(const QString &text, QHostAddress &out) {
    QHostAddress address;
    if (!address.setAddress(text) || address.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    out = address;
    return true;
}

QByteArray CredentialText(const QString &text) {
    return text.toLatin1().left(6);
}

} // namespace

bool ParseSimOptions(const QStringList &arguments, SimOptions &options, int &exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(HelpText));
    parser.addHelpOption();
    parser.addOptions({
        {"z1", "Number of Z1 devices (default 0).", "N"},
        {"z2", "Number of Z2 devices (default 1 when no count is given, else 0).", "N"},
        {"z3", "Number of Z3 devices (default 0).", "N"},
        {"first-mac", "MAC of the first device (default 02 4E 36 00 00 01).", "MAC"},
        {"first-ip",
         "Address of the first device (default 192.168.0.7); a comma-separated list sets the "
         "first devices one by one, later ones continue from the last.",
         "ADDR[,ADDR...]"},
        {"name", "Name prefix of the devices (default N6).", "TEXT"},
        {"version", "Firmware version of Z2 and Z3 devices (default 4021).", "N"},
        {"version-z3", "Firmware version of Z3 devices (default: --version).", "N"},
        {"user", "Factory user name, at most 6 characters (default vexol).", "TEXT"},
        {"password", "Factory password, at most 6 characters (default vexol).", "TEXT"},
        {"modbus", "Modbus reply to a read: 1, 4 (default) or none.", "1|4|none"},
        {"reply",
         "unicast, broadcast, or auto (default): broadcast when the sender is not in the "
         "device's subnet (and not on loopback).",
         "MODE"},
        {"bind", "Address of the receive sockets on 1500 and 1901 (default 0.0.0.0).", "ADDR"},
        {"broadcast", "Destination of broadcast replies (default 255.255.255.255).", "ADDR"},
        {"log", "Print one line per datagram in and out (format above)."},
        {"state", "JSON file keeping the devices' settings across runs.", "FILE"},
        {"drop", "Fraction (0..1) of reply datagrams not sent.", "FRACTION"},
        {"delay", "Send every answer this many milliseconds late.", "MS"},
        {"bad-checksum", "Answer every command with the checksum complaint 45 + expected sum."},
        {"twice", "Send every reply datagram twice."},
        {"mute-commands", "Answer the search but no command (a device that stopped "
                          "answering)."},
        {"seed", "Seed of the random source of --drop (default 1).", "N"},
    });

    const auto fail = [&exitCode](const QString &message) {
        std::fprintf(stderr, "n6sim: %s\n", qPrintable(message));
        exitCode = 2;
        return false;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet("help")) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        exitCode = 0;
        return false;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail("unexpected argument " + parser.positionalArguments().first());

    QString error;
    if (parser.isSet("z1") || parser.isSet("z2") || parser.isSet("z3"))
        options.z2 = 0;
    if (!ParseNumber(parser, "z1", 0, 65535, options.z1, error) ||
        !ParseNumber(parser, "z2", 0, 65535, options.z2, error) ||
        !ParseNumber(parser, "z3", 0, 65535, options.z3, error) ||
        !ParseNumber(parser, "version", 0, 65535, options.version, error))
        return fail(error);
    options.versionZ3 = options.version;
    if (!ParseNumber(parser, "version-z3", 0, 65535, options.versionZ3, error) ||
        !ParseNumber(parser, "drop", 0, 1, options.drop, error) ||
        !ParseNumber(parser, "delay", 0, 3600000, options.delayMs, error) ||
        !ParseNumber(parser, "seed", 0, 4294967295.0, options.seed, error))
        return fail(error);

    QByteArray macText = parser.isSet("first-mac") ? parser.value("first-mac").toLatin1()
                                                   : QByteArray("02 4E 36 00 00 01");
    macText.replace(':', "").replace('-', "");
    try {
        options.firstMac = MacTextToBytes(macText);
    } catch (const ConvertError &) {
        return fail("--first-mac wants six hex pairs");
    }

    const QString ipList =
        parser.isSet("first-ip") ? parser.value("first-ip") : QStringLiteral("192.168.0.7");
    for (const QString &part : ipList.split(',')) {
        QHostAddress address;
        if (!ParseAddress(part.trimmed(), address))
            return fail("--first-ip wants IPv4 addresses, not " + part);
        options.firstIps.append(address.toIPv4Address());
    }

    if (parser.isSet("name"))
        options.name = parser.value("name").toLocal8Bit();
    if (parser.isSet("user"))
        options.user = CredentialText(parser.value("user"));
    if (parser.isSet("password"))
        options.password = CredentialText(parser.value("password"));

    if (parser.isSet("modbus")) {
        const QString m = parser.value("modbus");
        if (m == "1" || m == "4")
            options.modbus = m.toInt();
        else if (m == "none")
            options.modbus = 0;
        else
            return fail("--modbus wants 1, 4 or none");
    }
    if (parser.isSet("reply")) {
        const QString r = parser.value("reply");
        if (r == "unicast")
            options.reply = ReplyMode::Unicast;
        else if (r == "broadcast")
            options.reply = ReplyMode::Broadcast;
        else if (r == "auto")
            options.reply = ReplyMode::Auto;
        else
            return fail("--reply wants unicast, broadcast or auto");
    }
    if (parser.isSet("bind") && !ParseAddress(parser.value("bind"), options.bind))
        return fail("--bind wants an IPv4 address");
    if (parser.isSet("broadcast") && !ParseAddress(parser.value("broadcast"), options.broadcast))
        return fail("--broadcast wants an IPv4 address");

    options.log = parser.isSet("log");
    options.stateFile = parser.value("state");
    options.badChecksum = parser.isSet("bad-checksum");
    options.twice = parser.isSet("twice");
    options.muteCommands = parser.isSet("mute-commands");
    return true;
}
