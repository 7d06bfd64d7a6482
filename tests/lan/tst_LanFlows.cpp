// The Z2 and Z3 write sequences on the wire: built from a real read of n6sim, sent by the
// sequencer, checked at the simulator's log (order, commands, bytes, spacing) and by the
// device's answers. Pauses are shortened except in the one real-speed case.
//
// Addresses: the tool binds 127.0.0.24, the simulator 127.0.0.25. The same suite runs in the
// network lab, where the device sits at 198.51.100.7, a subnet the PC has no route to: every
// reply reaches the tool by broadcast.

#include "LanRecorder.h"

#include <ImageEncoders.h>
#include <LanPackets.h>
#include <Pauses.h>
#include <SimProcess.h>
#include <Unit_ProFun.h>
#include <WriteSequence.h>

#include <QtTest>

namespace {

const char *const Pc = "127.0.0.24";
const char *const Dev = "127.0.0.25";

bool inLab() {
    return !qEnvironmentVariableIsEmpty("N6_SIM_NETNS");
}

QStringList simArgs(const QStringList &extra) {
    if (inLab())
        return QStringList{"--first-ip", "198.51.100.7"} + extra;
    return QStringList{"--bind", Dev, "--first-ip", Dev} + extra;
}

// A device found and read, with everything the page would hold afterwards.
struct ReadDevice {
    FoundDevice dev;
    TBaseParam base;
    TPortParam port;
    TCloudParam cloud;
    QByteArray heartReg;
    QByteArray url, header;
    TModbusParam modbus;
    int modbusLength = 0;
};

bool searchAndRead(TUdpSvr &udp, LanRecorder &rec, ReadDevice &out) {
    udp.SearchDevices();
    if (!QTest::qWaitFor([&] { return !rec.found.isEmpty(); }, 5000))
        return false;
    out.dev = rec.found.first();
    const bool z3 = out.dev.model == ModelZ3;
    if (z3)
        udp.SendDevCmdZ3(out.dev.bindIndex, out.dev.mac.toLatin1(), cmdRead, "vexol", "vexol");
    else
        udp.SendDevCmd(out.dev.bindIndex, out.dev.mac.toLatin1(), cmdRead, "vexol", "vexol");
    if (!QTest::qWaitFor([&] { return !rec.params.isEmpty(); }, 5000))
        return false;
    QTest::qWait(100); // the later images of the read
    out.base = rec.params.first();
    out.cloud = rec.clouds.value(0);
    out.heartReg = rec.heartRegs.value(0);
    out.url = rec.urls.value(0);
    out.header = rec.headers.value(0);
    out.modbus = rec.modbus.value(0);
    out.modbusLength = rec.modbusLengths.value(0);
    out.port = DecodePortImage(LastImages.PortImage());
    return true;
}

Z2WriteInputs z2Inputs(const ReadDevice &d) {
    Z2WriteInputs in;
    in.images = LastImages;
    in.base = d.base;
    in.base.ModName = "written";
    in.port = d.port;
    in.port.WorkMode = WorkModeHttpdClient;
    in.cloud = d.cloud;
    in.heartReg = DecodeHeartRegImage(d.heartReg);
    in.httpdUrl = "http://example.invalid/x";
    in.httpdHeader = "Accept: */*";
    in.modbus.ModbusTCP = d.modbus.ModbusTCP == 1;
    in.modbus.PollEnable = d.modbus.PollEnable == 1;
    in.modbus.PollTime = d.modbus.PollTime.toInt();
    in.modbusShown = d.modbusLength > 0;
    in.modbusForm = d.modbusLength;
    in.registrationType = RegistrationType(d.port);
    in.versionText = d.dev.version;
    in.row = {d.dev.bindIndex, d.dev.mac.toLatin1()};
    in.selected = in.row;
    in.user = "vexol";
    in.password = "vexol";
    return in;
}

// The commands the simulator received after the read, in order.
QList<SimDatagram> commandsAfter(const SimProcess &sim, int skip) {
    QList<SimDatagram> in = sim.received();
    return in.mid(skip);
}

} // namespace

class tst_LanFlows : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void z2Write_data();
    void z2Write();
    void z2WriteRealSpacing();
    void z3Write();
};

void tst_LanFlows::init() {
    if (!inLab()) {
        qputenv("N6_BIND", Pc);
        qputenv("N6_BROADCAST", Dev);
    }
    LastImages = TLastImages();
    SetPauseScale(0.02);
}

void tst_LanFlows::cleanup() {
    SetPauseScale(1.0);
}

void tst_LanFlows::z2Write_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("modbus");
    QTest::addColumn<QList<int>>("cmds");
    QTest::newRow("4016, HTTPD client: no heartreg, no HTTPD")
        << "4016"
        << "4" << QList<int>{cmdWriteBase, cmdWritePort, cmdWriteModbus, cmdRestart};
    QTest::newRow("4017, HTTPD client: heartreg and both HTTPD blocks")
        << "4017"
        << "4"
        << QList<int>{cmdWriteBase,        cmdWritePort,   cmdWriteHeartReg, cmdWriteHttpdUrl,
                      cmdWriteHttpdHeader, cmdWriteModbus, cmdRestart};
    QTest::newRow("4017, no Modbus reply: no Modbus block")
        << "4017"
        << "none" << QList<int>{cmdWriteBase,     cmdWritePort,        cmdWriteHeartReg,
                                cmdWriteHttpdUrl, cmdWriteHttpdHeader, cmdRestart};
}

void tst_LanFlows::z2Write() {
    QFETCH(QString, version);
    QFETCH(QString, modbus);
    QFETCH(QList<int>, cmds);

    SimProcess sim;
    QVERIFY2(sim.start(simArgs({"--version", version, "--modbus", modbus})),
             qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);
    ReadDevice d;
    QVERIFY(searchAndRead(udp, rec, d));
    const int before = int(sim.received().size());
    rec.status.clear();

    const WriteSequence seq = BuildZ2Write(z2Inputs(d));
    QVERIFY(seq.badFields.isEmpty());
    RunWriteSequence(udp, seq);
    QVERIFY(sim.waitForReceived(before + int(cmds.size())));
    const QList<SimDatagram> got = commandsAfter(sim, before);
    QCOMPARE(got.size(), cmds.size());
    for (int i = 0; i < got.size(); ++i) {
        QCOMPARE(int(quint8(got.at(i).bytes.at(2))), cmds.at(i));
        QCOMPARE(got.at(i).bytes, seq.steps.at(i).Packet());
        QCOMPARE(got.at(i).localPort, quint16(1500));
    }
    // Every block and the restart are acknowledged.
    QTRY_COMPARE(rec.count(stAck), int(cmds.size()));
    QCOMPARE(rec.status.size(), int(cmds.size()));
    // The buffers now hold what was written.
    QCOMPARE(LastImages.LastParamImage.left(67), seq.steps.at(0).data);
    // After the restart the device carries the new name.
    rec.found.clear();
    udp.SearchDevices();
    QTRY_COMPARE(rec.found.size(), 1);
    QVERIFY(rec.found.at(0).name.startsWith("written"));
}

// One write at the real 500 ms pause: the blocks reach the device 500 ms apart, the Modbus
// block and the restart back to back.
void tst_LanFlows::z2WriteRealSpacing() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({"--version", "4017"})), qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);
    ReadDevice d;
    QVERIFY(searchAndRead(udp, rec, d));
    const int before = int(sim.received().size());

    SetPauseScale(1.0);
    const WriteSequence seq = BuildZ2Write(z2Inputs(d));
    RunWriteSequence(udp, seq);
    QVERIFY(sim.waitForReceived(before + int(seq.steps.size())));
    const QList<SimDatagram> got = commandsAfter(sim, before);
    QCOMPARE(got.size(), seq.steps.size());
    for (int i = 1; i < got.size(); ++i) {
        const qint64 gap = got.at(i).ms - got.at(i - 1).ms;
        const int pause = seq.steps.at(i - 1).pauseAfterMs;
        const QByteArray what = seq.steps.at(i - 1).name + " -> " + seq.steps.at(i).name + ": " +
                                QByteArray::number(gap) + " ms";
        if (pause > 0)
            QVERIFY2(gap >= 490 && gap < 1000, what.constData());
        else
            QVERIFY2(gap < 100, what.constData());
    }
}

void tst_LanFlows::z3Write() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({"--z3", "1"})), qPrintable(sim.errorText()));
    TUdpSvr udp;
    LanRecorder rec(udp);
    ReadDevice d;
    QVERIFY(searchAndRead(udp, rec, d));
    QCOMPARE(d.dev.model, ModelZ3);
    const int before = int(sim.received().size());
    rec.status.clear();

    Z3WriteInputs in;
    in.images = LastImages;
    in.base = d.base;
    in.base.ModName = "z3-written";
    in.port = d.port;
    in.port.UARTLength = 200;
    in.port.TCPSvrCount = 4;
    in.port.TCPStyle = 1;
    in.row = {d.dev.bindIndex, d.dev.mac.toLatin1()};
    in.user = "vexol";
    in.password = "vexol";
    const WriteSequence seq = BuildZ3Write(in);
    RunWriteSequence(udp, seq);

    QVERIFY(sim.waitForReceived(before + 3));
    const QList<SimDatagram> got = commandsAfter(sim, before);
    QCOMPARE(got.size(), 3);
    const QList<int> cmds{cmdWriteBase, cmdWritePort, cmdApplyZ3};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(got.at(i).localPort, quint16(1901));
        QCOMPARE(int(quint8(got.at(i).bytes.at(2))), cmds.at(i));
        QCOMPARE(got.at(i).bytes, seq.steps.at(i).Packet());
    }
    QCOMPARE(got.at(1).bytes.mid(21 + 52, 4), QByteArray::fromHex("C8000000"));
    QCOMPARE(quint8(got.at(1).bytes.at(21 + 58)), quint8(0x41));
    QTRY_COMPARE(rec.count(stAck), 3);
    rec.found.clear();
    udp.SearchDevices();
    QTRY_COMPARE(rec.found.size(), 1);
    QVERIFY(rec.found.at(0).name.startsWith("z3-written"));
}

QTEST_GUILESS_MAIN(tst_LanFlows)
#include "tst_LanFlows.moc"
