// n6ctl: the LAN flows of N6 Config without windows, for scripts and batch work. It uses the
// same endpoint (TUdpSvr), read replies and write sequences (WriteSequence) as the window.
// `n6ctl --help` documents the commands, options and exit codes.

#include "CtlCommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>

#include <cstdio>

namespace {

const char HelpText[] =
    "Finds, reads, writes, restarts and resets N6 device servers over the LAN.\n"
    "\n"
    "Commands:\n"
    "  search                         one line per device: IP, name, MAC, version, model\n"
    "  read MAC                       every decoded field of the device's replies\n"
    "  write MAC FIELD=VALUE...       read, apply the fields, run the model's write sequence\n"
    "  write MAC --from FILE.json     the same with the fields of a JSON file (the shape that\n"
    "                                 read --json prints, or a flat object of FIELD keys)\n"
    "  restart MAC                    restart the device\n"
    "  reset MAC                      restore the device's factory settings\n"
    "\n"
    "MAC: twelve hex digits, blanks, colons or dashes between the pairs allowed.\n"
    "FIELD: a key that read prints, as section.Key (base.StaticIP) or just Key where no other\n"
    "section has it. Values are checked before anything is sent.\n"
    "\n"
    "Exit codes:\n"
    "  0  done; every device answer was an acknowledgement\n"
    "  1  bad command line\n"
    "  2  no device with that MAC answered the search\n"
    "  3  unknown field or bad value (nothing sent)\n"
    "  4  the device refused the user name or password\n"
    "  5  the device did not answer (timeout)\n"
    "  6  the device reported an error or a checksum complaint\n"
    "  7  the local addresses cannot be bound\n"
    "\n"
    "Environment: N6_BIND and N6_BROADCAST as --bind and --broadcast; N6_PAUSE_SCALE scales\n"
    "the 500 ms pauses of a write (tests).";

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("n6ctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(N6_VERSION_TEXT));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(HelpText));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("command", "search, read, write, restart or reset.");
    parser.addPositionalArgument("args", "MAC and FIELD=VALUE as the command needs.",
                                 "[MAC] [FIELD=VALUE...]");
    parser.addOptions({
        {"json", "Print JSON instead of text lines."},
        {"user", "User name sent with every command (default vexol).", "NAME"},
        {"password", "Password sent with every command (default vexol).", "PASSWORD"},
        {"bind",
         "Local addresses to send from, comma-separated (default: every local IPv4 "
         "address).",
         "ADDR[,ADDR]"},
        {"broadcast", "Destination of every datagram (default 255.255.255.255).", "ADDR"},
        {"timeout", "How long to wait for answers, in milliseconds (default 2000).", "MS"},
        {"from", "write: take the fields from this JSON file.", "FILE.json"},
    });
    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "n6ctl: %s\n", qPrintable(parser.errorText()));
        return ExitUsage;
    }
    if (parser.isSet("help")) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return ExitOk;
    }
    if (parser.isSet("version")) {
        std::printf("n6ctl %s\n", N6_VERSION_TEXT);
        return ExitOk;
    }

    CtlOptions options;
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        std::fprintf(stderr, "n6ctl: no command given (search, read, write, restart, reset); "
                             "see --help\n");
        return ExitUsage;
    }
    options.command = positional.first();
    options.args = positional.mid(1);
    options.json = parser.isSet("json");
    options.fromFile = parser.value("from");
    if (parser.isSet("user"))
        options.user = parser.value("user").toLocal8Bit();
    if (parser.isSet("password"))
        options.password = parser.value("password").toLocal8Bit();
    if (parser.isSet("timeout")) {
        bool ok = false;
        options.timeoutMs = parser.value("timeout").toInt(&ok);
        if (!ok || options.timeoutMs < 0) {
            std::fprintf(stderr, "n6ctl: --timeout wants milliseconds, not %s\n",
                         qPrintable(parser.value("timeout")));
            return ExitUsage;
        }
    }
    for (const char *name : {"bind", "broadcast"}) {
        for (const QString &address : parser.value(name).split(',', Qt::SkipEmptyParts)) {
            if (QHostAddress(address.trimmed()).protocol() != QAbstractSocket::IPv4Protocol) {
                std::fprintf(stderr, "n6ctl: --%s wants IPv4 addresses, not %s\n", name,
                             qPrintable(address));
                return ExitUsage;
            }
        }
    }
    if (parser.isSet("bind"))
        qputenv("N6_BIND", parser.value("bind").toLatin1());
    if (parser.isSet("broadcast"))
        qputenv("N6_BROADCAST", parser.value("broadcast").toLatin1());
    return RunCommand(options);
}
