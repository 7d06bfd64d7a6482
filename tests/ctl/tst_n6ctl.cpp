// n6ctl as a script sees it: its output, JSON and exit codes, and what n6sim received.
//
// The same suite runs on loopback (the tool on 127.0.0.30, n6sim on 127.0.0.31, unicast
// replies) and in the network lab (real broadcast; the first Z2 device sits at 198.51.100.7, a
// subnet the PC has no route to, so it can only answer by broadcast).

#include <SimProcess.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString FarZ2 = "024E36000001"; // Z2-1: in the lab the device in the other subnet
const QString Z2 = "024E36000002";
const QString Z3 = "024E36000003";
const QString Z1 = "024E36000004";

bool inLab() {
    return !qEnvironmentVariableIsEmpty("N6_SIM_NETNS");
}

QStringList simArgs(const QStringList &extra) {
    QStringList args{"--z2", "2", "--z3", "1", "--z1", "1"};
    if (inLab())
        args << "--first-ip"
             << "198.51.100.7,192.0.2.11";
    else
        args << "--bind"
             << "127.0.0.31"
             << "--first-ip"
             << "127.0.0.31"
             << "--reply"
             << "unicast";
    return args + extra;
}

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run n6ctl(const QStringList &args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!inLab()) {
        env.insert("N6_BIND", "127.0.0.30");
        env.insert("N6_BROADCAST", "127.0.0.31");
    }
    env.insert("N6_PAUSE_SCALE", "0.02");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(N6CTL_PATH), args);
    Run r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// The commands the devices received (searches left out).
QList<SimDatagram> receivedCommands(const SimProcess &sim) {
    QList<SimDatagram> out;
    for (const SimDatagram &d : sim.received())
        if (d.bytes != QByteArray::fromHex("FF010102"))
            out << d;
    return out;
}

// The same once at least `atLeast` arrived in the simulator's log (or 3 s passed), plus a
// moment for anything that should not have come.
QList<SimDatagram> commands(SimProcess &sim, int atLeast = 0) {
    if (!QTest::qWaitFor([&] { return receivedCommands(sim).size() >= atLeast; }, 3000))
        return receivedCommands(sim);
    QTest::qWait(100);
    return receivedCommands(sim);
}

} // namespace

class tst_n6ctl : public QObject {
    Q_OBJECT
private slots:
    void searchLists();
    void readPrintsEveryReply();
    void readCommandBytes();
    void exitCodes_data();
    void exitCodes();
    void writeRunsTheSequence();
    void writeFromJsonFile();
    void restartAndReset_data();
    void restartAndReset();
    void z1ReadAndWrite();
};

void tst_n6ctl::searchLists() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({})), qPrintable(sim.errorText()));
    const Run plain = n6ctl({"search", "--timeout", "700"});
    QCOMPARE(plain.exitCode, 0);
    const QList<QByteArray> lines = plain.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 4);
    QVERIFY(plain.out.contains("\t02 4E 36 00 00 01\t4021\tZ2"));
    QVERIFY(plain.out.contains("N6-Z3-1\t02 4E 36 00 00 03\t4021\tZ3"));
    QVERIFY(plain.out.contains("\t02 4E 36 00 00 04\t2.1\tZ1"));
    if (inLab())
        QVERIFY(plain.out.contains("198.51.100.7\tN6-Z2-1\t"));

    const Run json = n6ctl({"search", "--json", "--timeout", "700"});
    QCOMPARE(json.exitCode, 0);
    const QJsonArray list = QJsonDocument::fromJson(json.out).array();
    QCOMPARE(list.size(), 4);
    QStringList models;
    for (const QJsonValue &v : list)
        models << v.toObject().value("Model").toString();
    models.sort();
    QCOMPARE(models, (QStringList{"Z1", "Z2", "Z2", "Z3"}));
}

void tst_n6ctl::readPrintsEveryReply() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({})), qPrintable(sim.errorText()));
    const Run r = n6ctl({"read", FarZ2, "--json"});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    for (const char *section : {"device", "base", "port", "cloud", "heartreg", "httpd", "modbus"})
        QVERIFY2(o.contains(section), section);
    QCOMPARE(o["base"]["ModName"].toString(), QStringLiteral("N6-Z2-1"));
    QCOMPARE(o["modbus"]["Length"].toInt(), 4);
    QCOMPARE(o["device"]["Model"].toString(), QStringLiteral("Z2"));

    const Run z3 = n6ctl({"read", Z3});
    QCOMPARE(z3.exitCode, 0);
    QVERIFY(z3.out.contains("port.UARTLength = "));
    QVERIFY(!z3.out.contains("port.HttpdMethod"));
}

// The read command of a device with empty credentials, byte for byte.
void tst_n6ctl::readCommandBytes() {
    SimProcess sim;
    QVERIFY2(
        sim.start(simArgs({"--first-mac", "00 11 22 33 44 55", "--user", "", "--password", ""})),
        qPrintable(sim.errorText()));
    const Run r = n6ctl({"read", "00:11:22:33:44:55", "--user", "", "--password", ""});
    QCOMPARE(r.exitCode, 0);
    const QList<SimDatagram> got = commands(sim, 1);
    QVERIFY(!got.isEmpty());
    QCOMPARE(got.first().bytes,
             QByteArray::fromHex("FF1303001122334455") + QByteArray(12, '\0') + '\x15');
    QCOMPARE(got.first().localPort, quint16(1500));
}

void tst_n6ctl::exitCodes_data() {
    QTest::addColumn<QStringList>("simExtra");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrHas");

    QTest::newRow("no command -> 1") << QStringList() << QStringList() << 1 << "no command";
    QTest::newRow("MAC of four digits -> 1")
        << QStringList() << QStringList{"read", "0011"} << 1 << "is not a MAC address";
    QTest::newRow("no device with that MAC -> 2")
        << QStringList() << QStringList{"read", "024E360000FF", "--timeout", "500"} << 2
        << "no device with MAC 024E360000FF";
    QTest::newRow("unknown field -> 3")
        << QStringList() << QStringList{"write", Z2, "Bogus=1"} << 3 << "Bogus=1: unknown field";
    QTest::newRow("bad address -> 3")
        << QStringList() << QStringList{"write", Z2, "base.StaticIP=300.1.1.1"} << 3
        << "must be a dotted IPv4 address";
    QTest::newRow("ambiguous key -> 3") << QStringList() << QStringList{"write", Z2, "ModbusTCP=1"}
                                        << 3 << "ambiguous, say port.ModbusTCP or modbus.ModbusTCP";
    QTest::newRow("field not written to Z3 -> 3")
        << QStringList() << QStringList{"write", Z3, "DNS=1.1.1.1"} << 3
        << "not written to Z3 devices";
    QTest::newRow("cloud field without cloud registration -> 3")
        << QStringList() << QStringList{"write", Z2, "DeviceID=abc"} << 3 << "registration type";
    QTest::newRow("password refused -> 4")
        << QStringList() << QStringList{"read", Z2, "--password", "nope"} << 4
        << "refused the user name or password";
    QTest::newRow("password refused on restart -> 4")
        << QStringList() << QStringList{"restart", FarZ2, "--user", "x"} << 4
        << "restart: the device refused";
    QTest::newRow("read not answered -> 5")
        << QStringList{"--mute-commands"} << QStringList{"read", Z2, "--timeout", "700"} << 5
        << "read: device 02 4E 36 00 00 02 did not answer";
    QTest::newRow("restart not answered -> 5")
        << QStringList{"--mute-commands"} << QStringList{"restart", Z3, "--timeout", "700"} << 5
        << "restart: the device did not answer";
    QTest::newRow("checksum complaint -> 6")
        << QStringList{"--bad-checksum"} << QStringList{"read", Z2} << 6 << "checksum complaint";
}

void tst_n6ctl::exitCodes() {
    QFETCH(QStringList, simExtra);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrHas);
    SimProcess sim;
    QVERIFY2(sim.start(simArgs(simExtra)), qPrintable(sim.errorText()));
    const Run r = n6ctl(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(stderrHas.toUtf8()), r.err.constData());
    QCOMPARE(r.err.count('\n'), 1); // one clear line
    if (exitCode == 3) {
        // Nothing but the search and the read reached the devices.
        for (const SimDatagram &d : commands(sim))
            QCOMPARE(int(quint8(d.bytes.at(2))), 0x03);
    }
}

void tst_n6ctl::writeRunsTheSequence() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({})), qPrintable(sim.errorText()));
    const Run w =
        n6ctl({"write", FarZ2, "ModName=ctl-written", "WorkMode=4", "httpd.URL=/ctl", "--json"});
    QCOMPARE(w.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(w.out).object();
    QCOMPARE(o["result"].toString(), QStringLiteral("ok"));
    QStringList steps;
    for (const QJsonValue &s : o["steps"].toArray()) {
        steps << s["name"].toString();
        QCOMPARE(s["answer"].toString(), QStringLiteral("K"));
    }
    QCOMPARE(steps.join(','),
             QStringLiteral("base,port,heartreg,httpd-url,httpd-header,modbus,restart"));

    // On the wire: the read, then the blocks in order with a 4-byte Modbus block.
    const QList<SimDatagram> got = commands(sim, 8);
    QCOMPARE(got.size(), 8);
    const QList<int> cmds{0x03, 0x05, 0x06, 0x21, 0x22, 0x23, 0x24, 0x02};
    for (int i = 0; i < got.size(); ++i)
        QCOMPARE(int(quint8(got.at(i).bytes.at(2))), cmds.at(i));
    QCOMPARE(got.at(6).bytes.size(), 22 + 4);

    const Run r = n6ctl({"read", FarZ2, "--json"});
    QCOMPARE(r.exitCode, 0);
    const QJsonObject after = QJsonDocument::fromJson(r.out).object();
    QCOMPARE(after["base"]["ModName"].toString(), QStringLiteral("ctl-written"));
    QCOMPARE(after["port"]["WorkMode"].toInt(), 4);
    QCOMPARE(after["httpd"]["URL"].toString(), QStringLiteral("/ctl"));
}

void tst_n6ctl::writeFromJsonFile() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({})), qPrintable(sim.errorText()));
    const Run r = n6ctl({"read", Z2, "--json"});
    QCOMPARE(r.exitCode, 0);
    QJsonObject o = QJsonDocument::fromJson(r.out).object();
    QJsonObject port = o["port"].toObject();
    port["LocalPort"] = 30000;
    o["port"] = port;
    QTemporaryDir dir;
    const QString path = dir.filePath("dev.json");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(o).toJson());
    file.close();

    const Run w = n6ctl({"write", Z2, "--from", path});
    QCOMPARE(w.exitCode, 0);
    QVERIFY(w.out.contains("restart: ACK"));
    const Run again = n6ctl({"read", Z2, "--json"});
    const QJsonObject after = QJsonDocument::fromJson(again.out).object();
    QCOMPARE(after["port"]["LocalPort"].toInt(), 30000);
}

void tst_n6ctl::restartAndReset_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<int>("cmd");
    QTest::addColumn<int>("port");
    QTest::newRow("restart Z2 -> 02 to 1500") << "restart" << FarZ2 << 0x02 << 1500;
    QTest::newRow("restart Z3 -> 02 to 1500") << "restart" << Z3 << 0x02 << 1500;
    QTest::newRow("reset Z2 -> 0B to 1500") << "reset" << Z2 << 0x0B << 1500;
    QTest::newRow("reset Z3 -> 0B to 1901") << "reset" << Z3 << 0x0B << 1901;
}

void tst_n6ctl::restartAndReset() {
    QFETCH(QString, command);
    QFETCH(QString, mac);
    QFETCH(int, cmd);
    QFETCH(int, port);
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({})), qPrintable(sim.errorText()));
    const Run r = n6ctl({command, mac});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.trimmed(), (command + ": ACK").toUtf8());
    const QList<SimDatagram> got = commands(sim, 1);
    QCOMPARE(got.size(), 1);
    QCOMPARE(int(quint8(got.at(0).bytes.at(2))), cmd);
    QCOMPARE(int(got.at(0).localPort), port);
}

void tst_n6ctl::z1ReadAndWrite() {
    SimProcess sim;
    QVERIFY2(sim.start(simArgs({})), qPrintable(sim.errorText()));
    const Run r = n6ctl({"read", Z1});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("device.Model = Z1"));
    QVERIFY(r.out.contains("z1.DePort = 8234"));

    const Run w = n6ctl({"write", Z1, "DePort=9000"});
    QCOMPARE(w.exitCode, 0);
    const QList<SimDatagram> got = commands(sim, 1);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.at(0).bytes.size(), 40);
    QCOMPARE(got.at(0).bytes.mid(6, 6), QByteArray("738296"));
    QTRY_VERIFY(n6ctl({"read", Z1}).out.contains("z1.DePort = 9000"));
}

QTEST_GUILESS_MAIN(tst_n6ctl)
#include "tst_n6ctl.moc"
