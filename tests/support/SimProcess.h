#pragma once
// SimProcess: runs the device simulator n6sim for a test and collects what it saw.
//
//   SimProcess sim;
//   QVERIFY2(sim.start({"--bind", "127.0.0.11", "--z2", "2"}), qPrintable(sim.errorText()));
//   ... send something to 127.0.0.11:1500 ...
//   QVERIFY(sim.waitForReceived(1));          // datagrams the devices got
//   QCOMPARE(sim.received().at(0).bytes, QByteArray::fromHex("FF010102"));
//   QVERIFY(sim.waitForSent(2));              // replies the devices sent
//
// start() adds --log, waits for the "ready" line and from then on parses every log line into a
// SimDatagram. stop() (also run by the destructor) terminates the simulator and waits for it.
// When the environment variable N6_SIM_NETNS names a network namespace (the network lab), the
// simulator runs there through `ip netns exec`.

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

// One --log line of n6sim: "<ms> in|out <peer>:<port> <local-port> <length> <HEX>".
struct SimDatagram {
    qint64 ms = 0;     // milliseconds since the simulator started (monotonic)
    bool in = false;   // true: received by the devices; false: sent by them
    QHostAddress peer; // sender (in) or destination (out)
    quint16 peerPort = 0;
    quint16 localPort = 0; // the device-side port it arrived on or left from
    QByteArray bytes;

    // Parses one log line; false for anything else ("ready", "# ..." remarks, garbage).
    static bool parse(const QByteArray &line, SimDatagram &out);
};

class SimProcess : public QObject {
    Q_OBJECT
public:
    explicit SimProcess(QObject *parent = nullptr);
    ~SimProcess() override;

    // Path of the n6sim binary this support library was built against.
    static QString program();

    // Starts n6sim with `arguments` plus --log; true once it printed "ready".
    bool start(const QStringList &arguments, int timeoutMs = 10000);
    // Terminates the simulator and waits for it to end (kills it after 5 s).
    void stop();
    bool isRunning() const;

    // Everything logged so far, in order; and the same split by direction.
    QList<SimDatagram> datagrams() const { return m_datagrams; }
    QList<SimDatagram> received() const;
    QList<SimDatagram> sent() const;
    // The "# ..." remarks printed so far (without "# ").
    QStringList remarks() const { return m_remarks; }
    // Forgets the datagrams and remarks collected so far.
    void clear();

    // Waits, handling events, until at least `count` datagrams were received (sent) since the
    // last clear(); false on timeout.
    bool waitForReceived(int count, int timeoutMs = 5000);
    bool waitForSent(int count, int timeoutMs = 5000);

    // Why start() failed, and what the simulator wrote to stderr.
    QString errorText() const;

private:
    void readOutput();
    bool waitFor(const std::function<bool()> &done, int timeoutMs);

    QProcess m_process;
    QByteArray m_pending; // an unfinished stdout line
    QByteArray m_stderr;
    bool m_ready = false;
    QList<SimDatagram> m_datagrams;
    QStringList m_remarks;
    QString m_error;
};
