#include "Platform.h"

#include <QNetworkInterface>
#include <QUdpSocket>

#ifdef Q_OS_WIN
#include <QProcess>

// winsock2.h first: mstcpip.h uses its types and does not include it. MinGW declares
// SIO_UDP_CONNRESET in mswsock.h, not in mstcpip.h; the fallback covers headers that lack it.
#include <winsock2.h>

#include <mstcpip.h>
#include <mswsock.h>
#ifndef SIO_UDP_CONNRESET
#define SIO_UDP_CONNRESET _WSAIOW(IOC_VENDOR, 12)
#endif
#endif

namespace {

// Comma-separated addresses of an environment variable, blanks trimmed, empty entries dropped.
QStringList EnvAddressList(const char *name) {
    QStringList out;
    const QString value = qEnvironmentVariable(name);
    for (const QString &part : value.split(u',', Qt::SkipEmptyParts)) {
        const QString address = part.trimmed();
        if (!address.isEmpty())
            out.append(address);
    }
    return out;
}

} // namespace

int GetLocalIPList(QStringList &list) {
    QStringList found;
    if (qEnvironmentVariableIsSet("N6_BIND")) {
        found = EnvAddressList("N6_BIND");
    } else {
        const auto interfaces = QNetworkInterface::allInterfaces();
        for (const QNetworkInterface &iface : interfaces) {
            const auto flags = iface.flags();
            if (!flags.testFlag(QNetworkInterface::IsUp) ||
                !flags.testFlag(QNetworkInterface::IsRunning) ||
                flags.testFlag(QNetworkInterface::IsLoopBack))
                continue;
            for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
                const QHostAddress ip = entry.ip();
                if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback())
                    found.append(ip.toString());
            }
        }
    }
    if (found.isEmpty())
        return 0;
    list = found;
    return int(list.size());
}

QHostAddress BroadcastAddress() {
    const QString value = qEnvironmentVariable("N6_BROADCAST").trimmed();
    if (!value.isEmpty()) {
        const QHostAddress address(value);
        if (!address.isNull())
            return address;
    }
    return QHostAddress(QHostAddress::Broadcast);
}

bool SetUdpConnReset(QUdpSocket *socket, bool enable) {
#ifdef Q_OS_WIN
    if (!socket || socket->socketDescriptor() == -1)
        return false;
    BOOL value = enable ? TRUE : FALSE;
    DWORD returned = 0;
    const int rc = WSAIoctl(SOCKET(socket->socketDescriptor()), SIO_UDP_CONNRESET, &value,
                            sizeof(value), nullptr, 0, &returned, nullptr, nullptr);
    return rc != SOCKET_ERROR;
#else
    Q_UNUSED(socket);
    Q_UNUSED(enable);
    return true;
#endif
}

void FlushArpCache() {
#ifdef Q_OS_WIN
    QProcess process;
    process.setProgram(QStringLiteral("cmd.exe"));
    process.setArguments({QStringLiteral("/c"), QStringLiteral("arp -d")});
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments *args) { args->flags |= CREATE_NO_WINDOW; });
    process.startDetached();
#endif
}
