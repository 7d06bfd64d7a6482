#include "SimProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

bool SimDatagram::parse(const QByteArray &line, SimDatagram &out) {
    const QList<QByteArray> f = line.trimmed().split(' ');
    if (f.size() != 6 || (f[1] != "in" && f[1] != "out"))
        return false;
    const int colon = int(f[2].lastIndexOf(':'));
    bool okMs = false, okPort = false, okLocal = false, okLen = false;
    SimDatagram d;
    d.ms = f[0].toLongLong(&okMs);
    d.in = f[1] == "in";
    d.peer = QHostAddress(QString::fromLatin1(f[2].left(colon)));
    d.peerPort = f[2].mid(colon + 1).toUShort(&okPort);
    d.localPort = f[3].toUShort(&okLocal);
    const int length = f[4].toInt(&okLen);
    d.bytes = f[5] == "-" ? QByteArray() : QByteArray::fromHex(f[5]);
    if (!okMs || colon < 0 || d.peer.isNull() || !okPort || !okLocal || !okLen ||
        length != d.bytes.size())
        return false;
    out = d;
    return true;
}

SimProcess::SimProcess(QObject *parent)
    : QObject(parent) {
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &SimProcess::readOutput);
}

SimProcess::~SimProcess() {
    stop();
}

QString SimProcess::program() {
    return QStringLiteral(N6SIM_PATH);
}

bool SimProcess::start(const QStringList &arguments, int timeoutMs) {
    stop();
    clear();
    m_ready = false;
    m_error.clear();
    m_pending.clear();
    m_stderr.clear();
    QStringList args = arguments;
    args << QStringLiteral("--log");
    const QString netns = qEnvironmentVariable("N6_SIM_NETNS");
    if (netns.isEmpty()) {
        m_process.start(program(), args);
    } else {
        args.prepend(program());
        args = QStringList{"netns", "exec", netns} + args;
        m_process.start(QStringLiteral("ip"), args);
    }
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("n6sim did not start: ") + m_process.errorString();
        return false;
    }
    if (!waitFor([this] { return m_ready || m_process.state() == QProcess::NotRunning; },
                 timeoutMs) ||
        !m_ready) {
        m_error = QStringLiteral("n6sim did not report ready");
        stop();
        return false;
    }
    return true;
}

void SimProcess::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    readOutput();
}

bool SimProcess::isRunning() const {
    return m_process.state() == QProcess::Running;
}

QList<SimDatagram> SimProcess::received() const {
    QList<SimDatagram> out;
    for (const SimDatagram &d : m_datagrams)
        if (d.in)
            out.append(d);
    return out;
}

QList<SimDatagram> SimProcess::sent() const {
    QList<SimDatagram> out;
    for (const SimDatagram &d : m_datagrams)
        if (!d.in)
            out.append(d);
    return out;
}

void SimProcess::clear() {
    readOutput();
    m_datagrams.clear();
    m_remarks.clear();
}

bool SimProcess::waitForReceived(int count, int timeoutMs) {
    return waitFor([this, count] { return received().size() >= count; }, timeoutMs);
}

bool SimProcess::waitForSent(int count, int timeoutMs) {
    return waitFor([this, count] { return sent().size() >= count; }, timeoutMs);
}

QString SimProcess::errorText() const {
    return m_error + (m_stderr.isEmpty() ? QString() : "\n" + QString::fromLocal8Bit(m_stderr));
}

void SimProcess::readOutput() {
    if (!m_process.isOpen())
        return;
    m_stderr += m_process.readAllStandardError();
    m_pending += m_process.readAllStandardOutput();
    int end;
    while ((end = int(m_pending.indexOf('\n'))) >= 0) {
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        SimDatagram d;
        if (line == "ready")
            m_ready = true;
        else if (line.startsWith("# "))
            m_remarks.append(QString::fromUtf8(line.mid(2)));
        else if (SimDatagram::parse(line, d))
            m_datagrams.append(d);
    }
}

bool SimProcess::waitFor(const std::function<bool()> &done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    readOutput();
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        // Socket events of the test and the simulator's output are both handled here.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        m_process.waitForReadyRead(5);
        readOutput();
    }
    return true;
}
