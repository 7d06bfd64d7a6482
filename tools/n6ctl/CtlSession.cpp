#include "CtlSession.h"

#include <LanPackets.h>
#include <Unit_ProFun.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

// After the parameter image, a read is complete when the Modbus reply came (the device sends
// it last) or when nothing more arrived for this long.
constexpr int ReadQuietMs = 300;

QByteArray hexDigits(const QString &mac) {
    QByteArray out = mac.toLatin1().toUpper();
    out.replace(' ', "");
    return out;
}

} // namespace

QString CtlAnswer::Word() const {
    switch (status) {
    case stAck:
        return QStringLiteral("ACK");
    case stPswdErr:
        return QStringLiteral("password refused");
    case stOtherErr:
        return QStringLiteral("error");
    case stCheckErr:
        return QStringLiteral("checksum complaint (device expected %1)").arg(text);
    default:
        return QStringLiteral("status %1").arg(status);
    }
}

CtlSession::CtlSession() {
    connect(&m_udp, &TUdpSvr::OnDevFound, this,
            [this](const QString &ip, const QByteArray &name, const QString &mac,
                   const QString &version, int model, int bindIndex) {
                DeviceReadout d;
                d.ip = ip;
                d.name = name;
                d.mac = mac;
                d.version = version;
                d.model = model;
                d.bindIndex = bindIndex;
                d.searchReply = SearchReplies.value(SearchReplies.size() - 1);
                m_found << d;
            });
    connect(&m_udp, &TUdpSvr::OnStatus, this, [this](int code, const QString &text) {
        if (code == stPortInUse)
            m_portInUse = true;
        if (code == stAck || code == stPswdErr || code == stOtherErr || code == stCheckErr)
            m_answers << CtlAnswer{code, text};
    });
    const auto mark = [this] {
        m_lastReplyMs = QDateTime::currentMSecsSinceEpoch();
    };
    connect(&m_udp, &TUdpSvr::OnParamRead, this,
            [this, mark](const TBaseParam &base, const TarrComParam &ports, bool, int) {
                m_read.hasParam = true;
                m_read.base = base;
                m_read.port = ports.value(0);
                mark();
            });
    connect(&m_udp, &TUdpSvr::OnCloudRead, this,
            [this, mark](const TarrCloudParam &cloud, bool, int) {
                m_read.hasCloud = true;
                m_read.cloud = cloud.value(0);
                mark();
            });
    connect(&m_udp, &TUdpSvr::OnHeartRegRead, this,
            [this, mark](const QByteArray &image, bool, int) {
                m_read.hasHeartReg = true;
                m_read.heartreg = DecodeHeartRegImage(image);
                mark();
            });
    connect(&m_udp, &TUdpSvr::OnHttpdRead, this,
            [this, mark](const QByteArray &url, const QByteArray &header) {
                m_read.hasHttpd = true;
                m_read.httpd = HttpdTexts{url, header};
                mark();
            });
    connect(&m_udp, &TUdpSvr::OnModbusInfo, this, [this, mark](const TModbusParam &m, int length) {
        m_read.modbusLength = length;
        m_read.modbus.ModbusTCP = m.ModbusTCP == 1;
        m_read.modbus.PollEnable = m.PollEnable == 1;
        m_read.modbus.PollTime = m.PollTime.toInt();
        mark();
    });
}

bool CtlSession::WaitFor(const std::function<bool()> &done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(10);
    connect(&tick, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= timeoutMs)
            loop.quit();
    });
    if (done())
        return true;
    tick.start();
    loop.exec();
    return done();
}

bool CtlSession::Search(int timeoutMs, const QByteArray &stopAtMac, QList<DeviceReadout> &devices) {
    m_found.clear();
    m_portInUse = false;
    if (m_udp.SearchDevices() != srOK || m_portInUse)
        return false;
    WaitFor(
        [&] {
            if (stopAtMac.isEmpty())
                return false;
            for (const DeviceReadout &d : std::as_const(m_found))
                if (hexDigits(d.mac) == stopAtMac)
                    return true;
            return false;
        },
        timeoutMs);
    devices = m_found;
    return true;
}

CtlSession::ReadResult CtlSession::Read(DeviceReadout &dev, int timeoutMs, QString &deviceError) {
    if (dev.model == ModelZ1) {
        dev.hasZ1 = true;
        dev.z1 = DecodeZ1Image(Z1RecordImage(dev.searchReply));
        return ReadResult::Ok;
    }
    m_read = dev;
    m_answers.clear();
    m_lastReplyMs = 0;
    const QByteArray mac = dev.mac.toLatin1();
    if (dev.model == ModelZ3)
        m_udp.SendDevCmdZ3(dev.bindIndex, mac, cmdRead, CfgUserName, CfgPassword);
    else
        m_udp.SendDevCmd(dev.bindIndex, mac, cmdRead, CfgUserName, CfgPassword);
    WaitFor(
        [&] {
            if (!m_answers.isEmpty())
                return true;
            if (!m_read.hasParam)
                return false;
            return m_read.modbusLength > 0 ||
                   QDateTime::currentMSecsSinceEpoch() - m_lastReplyMs >= ReadQuietMs;
        },
        timeoutMs);
    for (const CtlAnswer &a : std::as_const(m_answers)) {
        if (a.status == stPswdErr)
            return ReadResult::PasswordRefused;
        deviceError = a.Word();
        return ReadResult::DeviceError;
    }
    if (!m_read.hasParam)
        return ReadResult::Timeout;
    if (dev.model == ModelZ3)
        DecodePortTailZ3(LastImages.PortImage(), m_read.port);
    dev = m_read;
    return ReadResult::Ok;
}

QList<CtlAnswer> CtlSession::WaitAnswers(int count, int timeoutMs) {
    WaitFor([&] { return m_answers.size() >= count; }, timeoutMs);
    return m_answers;
}
