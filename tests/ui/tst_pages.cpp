// The parameter pages against n6sim over loopback: a click reads a device and fills its page,
// Save Config writes exactly the page's changes through the shared write sequence, and a page
// field that does not convert stops the write before anything is sent.
//
// Addresses: the window binds 127.0.0.45, the simulator 127.0.0.46. Pauses run at 1/50.
#include "UiTestHelpers.h"

#include <ImageEncoders.h>
#include <LanPackets.h>
#include <Pauses.h>
#include <SimProcess.h>
#include <Unit_AppLang.h>
#include <Unit_Main.h>
#include <Unit_ProFun.h>
#include <Unit_Public.h>
#include <Unit_Udp.h>
#include <Z1Block.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>

#include <memory>

namespace {

const char *const Pc = "127.0.0.45";
const char *const Dev = "127.0.0.46";

// A command the simulator received, taken apart.
struct Received {
    quint16 port = 0;
    CmdFields f;
};

QList<Received> Commands(const SimProcess &sim) {
    QList<Received> out;
    for (const SimDatagram &d : sim.received()) {
        Received r;
        r.port = d.localPort;
        if (d.bytes.size() >= CmdPacketSize && ParseCmdPacket(d.bytes, r.f))
            out.append(r);
    }
    return out;
}

QByteArray CmdCodes(const QList<Received> &cmds) {
    QByteArray codes;
    for (const Received &r : cmds)
        if (r.f.cmd != cmdRead)
            codes.append(char(r.f.cmd));
    return codes;
}

// The last datagram of `size` bytes the simulator sent.
QByteArray LastSent(const SimProcess &sim, int size) {
    QByteArray found;
    for (const SimDatagram &d : sim.sent())
        if (d.bytes.size() == size)
            found = d.bytes;
    return found;
}

// Byte offsets at which two images differ.
QList<int> Diff(const QByteArray &a, const QByteArray &b) {
    QList<int> at;
    for (int i = 0; i < qMax(a.size(), b.size()); ++i)
        if (i >= a.size() || i >= b.size() || a.at(i) != b.at(i))
            at.append(i);
    return at;
}

QList<int> Range(int from, int to) {
    QList<int> r;
    for (int i = from; i <= to; ++i)
        r.append(i);
    return r;
}

} // namespace

class tst_pages : public QObject {
    Q_OBJECT

    std::unique_ptr<TFrm_Main> w;
    std::unique_ptr<SimProcess> sim;

    template <typename T> T *C(const char *name) { return Find<T>(w.get(), name); }
    QLineEdit *Edit(const char *name) { return C<QLineEdit>(name); }
    QComboBox *List(const char *name) { return C<QComboBox>(name); }
    QCheckBox *Box(const char *name) { return C<QCheckBox>(name); }
    QTreeWidget *Devices() { return C<QTreeWidget>("lv_Dev"); }
    QString ReadOk() { return LangText("lang_ts_Read") + LangText("lang_ts_OK"); }
    int LogCount(const QString &line) {
        int n = 0;
        for (const PaneLine &l : PaneLines(C<QPlainTextEdit>("redt_Log")))
            n += l.text == line;
        return n;
    }

    bool StartSim(const QStringList &extra) {
        sim = std::make_unique<SimProcess>();
        return sim->start(QStringList{"--bind", Dev, "--first-ip", Dev, "--reply", "unicast"} +
                          extra);
    }
    void Search(int rows) {
        C<QPushButton>("btn_Search")->click();
        QTRY_COMPARE(Devices()->topLevelItemCount(), rows);
    }
    int RowOf(int model) {
        for (int i = 0; i < Devices()->topLevelItemCount(); ++i)
            if (Devices()->topLevelItem(i)->text(4).toInt() == model)
                return i;
        return -1;
    }
    // A left click on a row, as a person does it (select on press, read on release).
    void ClickRow(int row) {
        QTreeWidgetItem *item = Devices()->topLevelItem(row);
        QVERIFY(item);
        const QRect r = Devices()->visualItemRect(item);
        QTest::mouseClick(Devices()->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Clicks a Z2 row and waits until the page holds all five replies.
    void ReadZ2(int row, bool modbus = true) {
        const int before = LogCount(ReadOk());
        ClickRow(row);
        QTRY_COMPARE(LogCount(ReadOk()), before + 1);
        if (modbus)
            QTRY_VERIFY(!C<QGroupBox>("rzgrpbxModbus")->isHidden());
        QTest::qWait(50); // the replies after the parameter image
    }
    // Presses a write button and waits for the closing command at the simulator.
    void Save(const char *button, quint8 closing) {
        sim->clear();
        C<QPushButton>(button)->click();
        QTRY_VERIFY(CmdCodes(Commands(*sim)).endsWith(char(closing)));
    }

private slots:
    void initTestCase() {
        qputenv("N6_BIND", Pc);
        qputenv("N6_BROADCAST", Dev);
        SetPauseScale(0.02);
    }
    void init() {
        LastImages = TLastImages();
        w = std::make_unique<TFrm_Main>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() {
        w.reset();
        sim.reset();
    }

    void clickFillsZ2PageWithWhatTheDeviceHolds();
    void imageOfAnotherDeviceIsIgnored();
    void writeSendsExactlyTheChanges();
    void valuesLongerThanTheTypingLimitGoBackWhole();
    void writeSequenceByVersionModeAndGroups_data();
    void writeSequenceByVersionModeAndGroups();
    void modbusBlockForms_data();
    void modbusBlockForms();
    void customBaudSlotRoundTrip();
    void portValuesShowByTheirRules_data();
    void portValuesShowByTheirRules();
    void heartRegLengthsCappedToTheirFields();
    void registrationTypeShowsItsFields_data();
    void registrationTypeShowsItsFields();
    void z3ClickWriteAndReadBack();
    void z1ClickWriteAndReadBack();
    void z1ResetWritesFactoryValues();
    void collectFailureSendsNothing_data();
    void collectFailureSendsNothing();
    void windowWriteEqualsCtlWrite();
    void writeNeedsARowOfItsModel();
    void writeNeedsThePageOfTheSelectedDevice();
};

void tst_pages::clickFillsZ2PageWithWhatTheDeviceHolds() {
    QVERIFY2(StartSim({"--z2", "1"}), qPrintable(sim->errorText()));
    Search(1);
    ReadZ2(0);
    QCOMPARE(w->UIState(), UIStateZ2);

    const QByteArray param = LastSent(*sim, ParamImageSize);
    QVERIFY(!param.isEmpty());
    const TBaseParam b = DecodeBaseImage(param.left(BaseImageSize));
    const TPortParam p = DecodePortImage(param.mid(BaseImageSize));
    // Base group, hidden controls included.
    QCOMPARE(List("cbb_AddrType")->currentIndex(), b.AddrType ? 1 : 0);
    QCOMPARE(List("cbbHeartTp")->currentIndex(), b.HeartTarget);
    QCOMPARE(List("cbbRegSnd")->currentIndex(), b.RegSendMode);
    QCOMPARE(Edit("edt_LocationURLPort")->text().toInt(), b.LocationURLPort);
    QCOMPARE(Edit("edt_HTTPServerPort")->text().toInt(), b.HTTPServerPort);
    QCOMPARE(Edit("edt_StaticIP")->text(), QString::fromLatin1(b.StaticIP));
    QCOMPARE(Edit("edt_GatewayIP")->text(), QString::fromLatin1(b.GatewayIP));
    QCOMPARE(Edit("edt_SubnetMask")->text(), QString::fromLatin1(b.SubnetMask));
    QCOMPARE(Edit("edt_ModName")->text(), QStringLiteral("N6-Z2-1"));
    QCOMPARE(Edit("edt_username")->text(), QStringLiteral("vexol"));
    QCOMPARE(Edit("edt_password")->text(), QStringLiteral("vexol"));
    const char *ext[] = {"rzchckbx_Reset", "rzchckbx_Link", "rzchckbx_Index", "rzchckbx_RFC2217"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(Box(ext[i])->isChecked(), bool(b.ExtFlags & (0x10 << i)));
    QCOMPARE(Edit("edt_UserMAC")->text(), QString::fromLatin1(b.UserMAC));
    QCOMPARE(Edit("edtDns")->text(), QString::fromLatin1(b.DNS));
    QCOMPARE(Edit("LabeledEditShortTime")->text().toInt(), b.ShortTime);
    QCOMPARE(Box("RzCheckBoxShortEnable")->isChecked(), b.ShortConn);
    QCOMPARE(Box("RzCheckBox2")->isChecked(), b.ClearCache);
    // Port group.
    QCOMPARE(List("cbb_BaudRate0")->currentText().toInt(), p.BaudRate);
    QCOMPARE(List("cbb_D0")->currentIndex(), p.DataBits - 5);
    QCOMPARE(List("cbb_P0")->currentIndex(), p.Parity - 1);
    QCOMPARE(List("cbb_S0")->currentText().toInt(), p.StopBits);
    QCOMPARE(List("cbb_FlowControl0")->currentIndex(), (p.FlowControl - 1) / 2);
    QCOMPARE(Edit("edt_LocalPort0")->text().toInt(), p.LocalPort);
    QCOMPARE(Edit("edt_RemotePort0")->text().toInt(), p.RemotePort);
    QCOMPARE(Edit("edt_RemoteIP0")->text(),
             QString::fromLatin1(p.RemoteIP.left(p.RemoteIP.indexOf('\0'))));
    QCOMPARE(List("cbb_ModbusTCP0")->currentIndex(), p.ModbusTCP);
    QCOMPARE(Box("chk_RFC22170")->isChecked(), p.BaudSync == 1);
    QCOMPARE(Box("RzCheckBox1")->isChecked(), p.KickOld);
    QCOMPARE(List("cbb_WorkMode0")->currentIndex(), p.WorkMode);
    QCOMPARE(Edit("edt_UARTLength0")->text(), QStringLiteral("0"));
    QCOMPARE(List("cbbGetPost")->currentIndex(), p.HttpdMethod);
    QCOMPARE(List("cbb_TCPSvrCount0")->currentIndex(), p.TCPSvrCount - 1);
    QCOMPARE(Edit("LabeledEdit1")->text().toInt(), p.ResetTime);
    QCOMPARE(List("cbb_TCPStyle0")->currentIndex(), p.TCPStyle - 1);
    // Cloud, heartbeat/registration, HTTPD and Modbus replies.
    const TCloudParam cloud = DecodeCloudImage(LastSent(*sim, CloudImageSize));
    QCOMPARE(Edit("edtDid")->text(),
             QString::fromLatin1(cloud.DeviceID.left(cloud.DeviceID.indexOf('\0'))));
    const HeartRegValues hr = DecodeHeartRegImage(LastSent(*sim, HeartRegImageSize));
    QCOMPARE(List("RzComboBox1")->currentIndex(), hr.NetHeart ? 2 : hr.UartHeart ? 1 : 0);
    QCOMPARE(Edit("edtHeartTm")->text().toInt(), hr.HeartTime);
    QCOMPARE(Box("rzchckbxHeartDtHex")->isChecked(), hr.HeartHex);
    QCOMPARE(Box("rzchckbxComSetEnable")->isChecked(), hr.UartSetParam);
    QCOMPARE(Edit("edtHeartDt")->text().toLatin1(),
             hr.HeartData.left(hr.HeartData.indexOf('\0') < 0 ? hr.HeartData.size()
                                                              : hr.HeartData.indexOf('\0')));
    QByteArray url, header;
    DecodeHttpdImage(LastSent(*sim, HttpdImageSize), url, header);
    QCOMPARE(Edit("LabeledEdit2")->text().toLatin1(),
             url.left(url.indexOf('\0') < 0 ? url.size() : url.indexOf('\0')));
    QVERIFY(!Box("rzchckbxmodbuspool")->isHidden());
    QVERIFY(!Edit("edtwaittime")->text().isEmpty());
    Grab(w.get(), QStringLiteral("page-z2"));
    Grab(C<QWidget>("ScrollBox1Contents"), QStringLiteral("page-z2-groups"));
}

// A reply that names another device changes nothing on the page.
void tst_pages::imageOfAnotherDeviceIsIgnored() {
    QVERIFY2(StartSim({"--z2", "2"}), qPrintable(sim->errorText()));
    Search(2);
    // Device B reports its own MAC as user MAC from now on.
    const QString macB = Devices()->topLevelItem(1)->text(2);
    ReadZ2(1);
    Edit("edt_UserMAC")->setText(macB);
    Save("btn_Z2NetSet", cmdRestart);

    ReadZ2(0);
    const QString nameA = Edit("edt_ModName")->text();
    const int okLines = LogCount(ReadOk());
    sim->clear();
    w->UdpSvr()->SendDevCmd(0, macB.toLatin1(), cmdRead, CfgUserName, CfgPassword);
    QVERIFY(sim->waitForSent(5));
    QTest::qWait(100);
    QCOMPARE(Edit("edt_ModName")->text(), nameA);
    QCOMPARE(LogCount(ReadOk()), okLines);
}

// Name and remote port changed: the written images differ from the read ones exactly there
// (and in the bytes the encoders define, the reserved port bytes 8..11), and the device shows
// the new values after the restart.
void tst_pages::writeSendsExactlyTheChanges() {
    QVERIFY2(StartSim({"--z2", "1"}), qPrintable(sim->errorText()));
    Search(1);
    ReadZ2(0);
    const QByteArray read = LastSent(*sim, ParamImageSize);
    const QByteArray heartReg = LastSent(*sim, HeartRegImageSize);
    Edit("edt_ModName")->setText(QStringLiteral("Pump-7"));
    Edit("edt_RemotePort0")->setText(QStringLiteral("9001"));
    Save("btn_Z2NetSet", cmdRestart);

    const QList<Received> cmds = Commands(*sim);
    QCOMPARE(CmdCodes(cmds), QByteArray::fromHex("0506212402"));
    const QByteArray base = cmds.at(0).f.data;
    const QByteArray port = cmds.at(1).f.data;
    QCOMPARE(Diff(base, read.left(BaseImageSize)), Range(21, 27)); // "N6-Z2-1" -> "Pump-7"
    QCOMPARE(base.mid(21, 16), QByteArray("Pump-7").leftJustified(16, '\0'));
    QList<int> portDiff = Diff(port, read.mid(BaseImageSize));
    portDiff.removeIf([&](int i) { return i >= 8 && i <= 11 && port.at(i) == 0; });
    QCOMPARE(portDiff, QList<int>({14, 15}));
    QCOMPARE(BytesToInt(port, 14, 2, true), 9001);
    // The other blocks go back as they were read.
    QCOMPARE(cmds.at(2).f.data, heartReg);

    Search(1);
    ReadZ2(0);
    QCOMPARE(Edit("edt_ModName")->text(), QStringLiteral("Pump-7"));
    QCOMPARE(Edit("edt_RemotePort0")->text(), QStringLiteral("9001"));
    QCOMPARE(Devices()->topLevelItem(0)->text(1), QStringLiteral("Pump-7"));
}

// A device may hold values longer than its edit lets a person type (a 16-character name, a
// 6-character user name and password; the edits take 14 and 5): the page shows them whole and
// a write of another field sends them back unchanged.
void tst_pages::valuesLongerThanTheTypingLimitGoBackWhole() {
    QVERIFY2(StartSim({"--z2", "1", "--name", "Warehouse-A", "--user", "admin6", "--password",
                       "secret"}),
             qPrintable(sim->errorText()));
    const QByteArray user = CfgUserName, password = CfgPassword;
    CfgUserName = "admin6";
    CfgPassword = "secret";
    const auto restore = qScopeGuard([&] {
        CfgUserName = user;
        CfgPassword = password;
    });
    Search(1);
    ReadZ2(0);
    const QByteArray read = LastSent(*sim, ParamImageSize);
    QCOMPARE(Edit("edt_ModName")->text(), QStringLiteral("Warehouse-A-Z2-1"));
    QCOMPARE(Edit("edt_username")->text(), QStringLiteral("admin6"));
    QCOMPARE(Edit("edt_password")->text(), QStringLiteral("secret"));
    Edit("edt_RemotePort0")->setText(QStringLiteral("9001"));
    Save("btn_Z2NetSet", cmdRestart);
    QCOMPARE(Diff(Commands(*sim).at(0).f.data, read.left(BaseImageSize)), QList<int>());
    // Typing is limited again once the edit shows a short value.
    TBaseParam shorter = DecodeBaseImage(read.left(BaseImageSize));
    shorter.ModName = "Pump";
    w->ShowParamZ2(shorter, {DecodePortImage(read.mid(BaseImageSize))}, true, ModelZ2);
    QCOMPARE(Edit("edt_ModName")->text(), QStringLiteral("Pump"));
    QCOMPARE(Edit("edt_ModName")->maxLength(), 14);
}

void tst_pages::writeSequenceByVersionModeAndGroups_data() {
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("modbus");
    QTest::addColumn<int>("workMode");
    QTest::addColumn<int>("regType");
    QTest::addColumn<QByteArray>("codes");
    QTest::addColumn<QList<quint16>>("ports");
    QTest::newRow("4016: no heartbeat/registration, no HTTPD")
        << "4016"
        << "4" << 4 << 0 << QByteArray::fromHex("05062402") << QList<quint16>();
    QTest::newRow("4017 HTTPD client: heartbeat/registration and both HTTPD blocks")
        << "4017"
        << "4" << 4 << 0 << QByteArray::fromHex("05062122232402") << QList<quint16>();
    QTest::newRow("4017 TCP client: no HTTPD")
        << "4017"
        << "4" << 1 << 0 << QByteArray::fromHex("0506212402") << QList<quint16>();
    QTest::newRow("no Modbus reply: no Modbus block")
        << "4017"
        << "none" << 1 << 0 << QByteArray::fromHex("05062102") << QList<quint16>();
    QTest::newRow("cloud chosen: cloud block after the port")
        << "4017"
        << "4" << 1 << 3 << QByteArray::fromHex("05060C212402") << QList<quint16>();
    QTest::newRow("USER Register: no cloud block")
        << "4017"
        << "4" << 1 << 2 << QByteArray::fromHex("0506212402") << QList<quint16>();
}

void tst_pages::writeSequenceByVersionModeAndGroups() {
    QFETCH(QString, version);
    QFETCH(QString, modbus);
    QFETCH(int, workMode);
    QFETCH(int, regType);
    QFETCH(QByteArray, codes);
    QVERIFY2(StartSim({"--z2", "1", "--version", version, "--modbus", modbus}),
             qPrintable(sim->errorText()));
    Search(1);
    ReadZ2(0, modbus != "none");
    List("cbb_WorkMode0")->setCurrentIndex(workMode);
    List("RzComboBox2")->setCurrentIndex(regType);
    Edit("edtDid")->setText(QStringLiteral("DID-42"));
    Edit("edtCompass")->setText(QStringLiteral("pw12"));
    Save("btn_Z2NetSet", cmdRestart);
    const QList<Received> cmds = Commands(*sim);
    QCOMPARE(CmdCodes(cmds), codes);
    for (const Received &r : cmds)
        QCOMPARE(r.port, quint16(1500));
    for (const Received &r : cmds) {
        if (r.f.cmd == cmdWriteCloud) {
            QCOMPARE(r.f.data.mid(2, 20), QByteArray("DID-42").leftJustified(20, '\0'));
            QCOMPARE(r.f.data.mid(22, 8), QByteArray("pw12").leftJustified(8, '\0'));
        }
        if (r.f.cmd == cmdWritePort) // bit 4 of byte 50 is the cloud switch
            QCOMPARE(bool(quint8(r.f.data.at(50)) & 0x10), regType == 3);
    }
}

void tst_pages::modbusBlockForms_data() {
    QTest::addColumn<QString>("modbus");
    QTest::addColumn<bool>("tcp");
    QTest::addColumn<bool>("poll");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QByteArray>("block");
    QTest::newRow("4-byte form, both on, 300 -> 01 01 01 2C")
        << "4" << true << true << "300" << QByteArray::fromHex("0101012C");
    QTest::newRow("4-byte form, both off, 65535 -> 00 00 FF FF")
        << "4" << false << false << "65535" << QByteArray::fromHex("0000FFFF");
    QTest::newRow("1-byte form, on -> 01")
        << "1" << true << false << "" << QByteArray::fromHex("01");
    QTest::newRow("1-byte form, off -> 00")
        << "1" << false << false << "" << QByteArray::fromHex("00");
}

void tst_pages::modbusBlockForms() {
    QFETCH(QString, modbus);
    QFETCH(bool, tcp);
    QFETCH(bool, poll);
    QFETCH(QString, time);
    QFETCH(QByteArray, block);
    QVERIFY2(StartSim({"--z2", "1", "--modbus", modbus}), qPrintable(sim->errorText()));
    Search(1);
    ReadZ2(0);
    QCOMPARE(Box("rzchckbxmodbuspool")->isHidden(), modbus == "1");
    Box("rzchckbxmodbustcp")->setChecked(tcp);
    Box("rzchckbxmodbuspool")->setChecked(poll);
    if (!time.isEmpty())
        Edit("edtwaittime")->setText(time);
    Save("btn_Z2NetSet", cmdRestart);
    QByteArray sent;
    for (const Received &r : Commands(*sim))
        if (r.f.cmd == cmdWriteModbus)
            sent = r.f.data;
    QCOMPARE(sent, block);
}

// The custom entry: 1500 typed into the dialog, written, read back into the free slot.
void tst_pages::customBaudSlotRoundTrip() {
    QVERIFY2(StartSim({"--z2", "1"}), qPrintable(sim->errorText()));
    Search(1);
    ReadZ2(0);
    QComboBox *baud = List("cbb_BaudRate0");
    AnswerNextModal([](QWidget *modal) {
        auto *dlg = qobject_cast<QInputDialog *>(modal);
        QVERIFY(dlg);
        dlg->setTextValue(QStringLiteral("1500"));
        dlg->accept();
    });
    baud->setCurrentIndex(1);
    emit baud->activated(1);
    QCOMPARE(baud->currentIndex(), 0);
    QCOMPARE(baud->currentText(), QStringLiteral("1500"));
    Save("btn_Z2NetSet", cmdRestart);
    QCOMPARE(BytesToInt(Commands(*sim).at(1).f.data, 0, 4, true), 1500);

    w.reset();
    init();
    Search(1);
    ReadZ2(0);
    baud = List("cbb_BaudRate0");
    QCOMPARE(baud->currentIndex(), 0);
    QCOMPARE(baud->itemText(0), QStringLiteral("1500"));
}

namespace {
// A port image's values in the form of the Z2 page's lists, before and after an odd value.
TPortParam UsualPort() {
    TPortParam p;
    p.BaudRate = 9600;
    p.DataBits = 8;
    p.Parity = 3;
    p.StopBits = 2;
    p.FlowControl = 3;
    p.ModbusTCP = 1;
    p.BaudSync = 1;
    p.WorkMode = 1;
    p.TCPSvrCount = 4;
    p.TCPStyle = 2;
    p.RemoteIP = "10.0.0.1";
    return p;
}
} // namespace

void tst_pages::portValuesShowByTheirRules_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("item"); // the list's item afterwards (-1: none; check box: 0/1)
    // After a usual image (items: data bits 3, parity 2, stop bits 1, flow 1, Modbus 1, sync
    // checked, count 3, style 1), one field takes an odd value.
    QTest::newRow("data bits 7 -> item 2") << "DataBits" << 7 << "cbb_D0" << 2;
    QTest::newRow("data bits 9 -> no item") << "DataBits" << 9 << "cbb_D0" << -1;
    QTest::newRow("parity 1 -> NONE") << "Parity" << 1 << "cbb_P0" << 0;
    QTest::newRow("parity 0 -> no item") << "Parity" << 0 << "cbb_P0" << -1;
    QTest::newRow("stop bits 1 -> item 0") << "StopBits" << 1 << "cbb_S0" << 0;
    QTest::newRow("stop bits 0 -> no item, not the last device's")
        << "StopBits" << 0 << "cbb_S0" << -1;
    QTest::newRow("flow 5 -> RS485") << "FlowControl" << 5 << "cbb_FlowControl0" << 2;
    QTest::newRow("flow 2 leaves the selection") << "FlowControl" << 2 << "cbb_FlowControl0" << 1;
    QTest::newRow("Modbus TCP 0 -> item 0") << "ModbusTCP" << 0 << "cbb_ModbusTCP0" << 0;
    QTest::newRow("baud sync 0 -> unchecked") << "BaudSync" << 0 << "chk_RFC22170" << 0;
    QTest::newRow("baud sync 2 leaves the box") << "BaudSync" << 2 << "chk_RFC22170" << 1;
    QTest::newRow("count 16 -> item 15") << "TCPSvrCount" << 16 << "cbb_TCPSvrCount0" << 15;
    QTest::newRow("count 0 -> no item") << "TCPSvrCount" << 0 << "cbb_TCPSvrCount0" << -1;
    QTest::newRow("style 3 -> item 2") << "TCPStyle" << 3 << "cbb_TCPStyle0" << 2;
    QTest::newRow("work mode 4 -> HTTPD Client") << "WorkMode" << 4 << "cbb_WorkMode0" << 4;
}

void tst_pages::portValuesShowByTheirRules() {
    QFETCH(QString, field);
    QFETCH(int, value);
    QFETCH(QString, control);
    QFETCH(int, item);
    const TBaseParam base;
    w->ShowParamZ2(base, {UsualPort()}, true, ModelZ2);
    TPortParam odd = UsualPort();
    qint32 *fields[] = {&odd.DataBits,    &odd.Parity,    &odd.StopBits,
                        &odd.FlowControl, &odd.ModbusTCP, &odd.BaudSync,
                        &odd.TCPSvrCount, &odd.TCPStyle,  &odd.WorkMode};
    const QStringList names{"DataBits", "Parity",      "StopBits", "FlowControl", "ModbusTCP",
                            "BaudSync", "TCPSvrCount", "TCPStyle", "WorkMode"};
    QVERIFY(names.contains(field));
    *fields[names.indexOf(field)] = value;
    w->ShowParamZ2(base, {odd}, true, ModelZ2);
    QWidget *c = C<QWidget>(qPrintable(control));
    if (auto *box = qobject_cast<QCheckBox *>(c))
        QCOMPARE(int(box->isChecked()), item);
    else
        QCOMPARE(static_cast<QComboBox *>(c)->currentIndex(), item);
}

// Length bytes above 40 never read past their 40-byte fields.
void tst_pages::heartRegLengthsCappedToTheirFields() {
    QByteArray image(HeartRegImageSize, 'h');
    image[0] = char(0x01); // network heartbeat, text data
    image[1] = char(30);
    image[2] = 0;
    image[3] = char(200);
    image[4] = char(41);
    image.replace(45, 40, QByteArray(40, 'r'));
    w->ShowHeartReg(image, false, ModelZ2);
    QCOMPARE(Edit("edtHeartDt")->text(), QString(40, QLatin1Char('h')));
    QCOMPARE(Edit("edtRegDt")->text(), QString(40, QLatin1Char('r')));
    QCOMPARE(Edit("edtHeartTm")->text(), QStringLiteral("30"));
    QCOMPARE(List("RzComboBox1")->currentIndex(), 2);
    QVERIFY(!Edit("edtHeartTm")->isHidden());
    // Other models leave the page alone.
    image[1] = char(99);
    w->ShowHeartReg(image, false, ModelZ3);
    QCOMPARE(Edit("edtHeartTm")->text(), QStringLiteral("30"));
}

void tst_pages::registrationTypeShowsItsFields_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("hidden");
    const QStringList cloud{"lblDid", "lblCompass", "edtDid", "edtCompass"};
    const QStringList reg{"lblRegSnd", "rzchckbxRegDataWith", "rzchckbxRegConnTo"};
    const QStringList user{"edtRegDt", "lblRegTp", "rzchckbxRegDtHex"};
    QTest::newRow("None") << 0 << QStringList() << cloud + reg + user;
    QTest::newRow("MAC As Register") << 1 << reg << cloud + user;
    QTest::newRow("USER Register") << 2 << reg + user << cloud;
    QTest::newRow("Enable Quorvex Cloud") << 3 << cloud << reg + user;
}

void tst_pages::registrationTypeShowsItsFields() {
    QFETCH(int, item);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, hidden);
    QComboBox *list = List("RzComboBox2");
    list->setCurrentIndex(item);
    emit list->activated(item);
    for (const QString &name : shown)
        QVERIFY2(!C<QWidget>(qPrintable(name))->isHidden(), qPrintable(name));
    for (const QString &name : hidden)
        QVERIFY2(C<QWidget>(qPrintable(name))->isHidden(), qPrintable(name));
}

// A Z3 device: the click shows its page, Save Config sends base, port and apply to 1901, and
// the next read shows the new values.
void tst_pages::z3ClickWriteAndReadBack() {
    QVERIFY2(StartSim({"--z3", "1"}), qPrintable(sim->errorText()));
    Search(1);
    ClickRow(0);
    QTRY_COMPARE(w->UIState(), UIStateZ3);
    QCOMPARE(Edit("edt_ModNameZ3")->text(), QStringLiteral("N6-Z3-1"));
    const QByteArray read = LastSent(*sim, ParamImageSize);
    QCOMPARE(Edit("edt_RemotePort0Z3")->text().toInt(),
             BytesToInt(read, BaseImageSize + 14, 2, true));
    Grab(w.get(), QStringLiteral("page-z3"));

    Edit("edt_ModNameZ3")->setText(QStringLiteral("Valve_03"));
    Edit("edt_RemotePort0Z3")->setText(QStringLiteral("7002"));
    Save("btn_Z3NetSet", cmdApplyZ3);
    const QList<Received> cmds = Commands(*sim);
    QCOMPARE(CmdCodes(cmds), QByteArray::fromHex("050604"));
    for (const Received &r : cmds)
        QCOMPARE(r.port, quint16(1901));
    // Byte 3 of a Z3 base image is the address type alone (0x80 static).
    QCOMPARE(Diff(cmds.at(0).f.data, read.left(BaseImageSize)), QList<int>{3} + Range(21, 28));
    QCOMPARE(quint8(cmds.at(0).f.data.at(3)), quint8(0x80));
    QList<int> portDiff = Diff(cmds.at(1).f.data, read.mid(BaseImageSize));
    portDiff.removeIf([&](int i) { return i >= 8 && i <= 11 && cmds.at(1).f.data.at(i) == 0; });
    QCOMPARE(portDiff, QList<int>({14, 15}));

    Search(1);
    ClickRow(0);
    QTRY_COMPARE(Edit("edt_ModNameZ3")->text(), QStringLiteral("Valve_03"));
    QCOMPARE(Edit("edt_RemotePort0Z3")->text(), QStringLiteral("7002"));
}

// A Z1 device over the LAN: its search record fills the page; Save Config sends the 40-byte
// image (the worked example's block), which the next search reports.
void tst_pages::z1ClickWriteAndReadBack() {
    QVERIFY2(StartSim({"--z1", "1"}), qPrintable(sim->errorText()));
    Search(1);
    QCOMPARE(Devices()->topLevelItem(0)->text(4).toInt(), ModelZ1);
    ClickRow(0);
    QTRY_COMPARE(w->UIState(), UIStateZ1);
    QCOMPARE(LogCount(ReadOk()), 1);
    const QByteArray record = SearchReplies.value(0);
    const Z1Values held = DecodeZ1Image(Z1RecordImage(record));
    QCOMPARE(Edit("edt_ModuleIP")->text(), QString::fromLatin1(held.ModuleIP));
    QCOMPARE(Edit("edt_ModulePort")->text().toInt(), held.ModulePort);
    QCOMPARE(List("cbb_ModuleWork")->currentIndex(), held.WorkMode);

    // The worked example: 192.168.0.201:8234, 192.168.0.7:20108, TCP Client, 115200 NONE/8/1,
    // ID 0, RS485 and RFC2217.
    Edit("edt_DeIP")->setText(QStringLiteral("192.168.0.201"));
    Edit("edt_DePort")->setText(QStringLiteral("8234"));
    Edit("edt_ModuleIP")->setText(QStringLiteral("192.168.0.7"));
    Edit("edt_ModulePort")->setText(QStringLiteral("20108"));
    Edit("edt_Gateway")->setText(QStringLiteral("192.168.0.201"));
    Edit("edt_Mask")->setText(QStringLiteral("255.255.255.0"));
    List("cbb_ModuleWork")->setCurrentIndex(1);
    List("cbb_BaudRate")->setCurrentIndex(12);
    List("cbb_P")->setCurrentIndex(0);
    List("cbb_D")->setCurrentIndex(3);
    List("cbb_S")->setCurrentIndex(0);
    Edit("edt_ID")->clear();
    for (const char *name : {"chk_ConnSendId", "chk_DataWithId", "chk_RS485", "chk_RS422",
                             "chk_Reset", "chk_Link", "chk_Index", "chk_RFC2217"})
        Box(name)->setChecked(QByteArray(name) == "chk_RS485" || QByteArray(name) == "chk_RFC2217");
    sim->clear();
    C<QPushButton>("btn_Z1Set")->click();
    QVERIFY(sim->waitForReceived(1));
    const QByteArray frame =
        QByteArray::fromHex("55BAC900A8C02A200700A8C08C4EC900A8C00100C20103000084"
                            "00FFFFFF3D");
    const QByteArray expected = MacTextToBytes(Devices()->topLevelItem(0)->text(2).toLatin1()) +
                                QByteArray("738296") + frame.mid(2, Z1ImageSize);
    QCOMPARE(sim->received().at(0).bytes.toHex(' '), expected.toHex(' '));
    QCOMPARE(sim->received().at(0).localPort, quint16(1500));
    QCOMPARE(Edit("edt_ID")->text(), QStringLiteral("0"));

    // Another value, then read back through a new search.
    Edit("edt_ModulePort")->setText(QStringLiteral("20200"));
    C<QPushButton>("btn_Z1Set")->click();
    QVERIFY(sim->waitForReceived(2));
    Edit("edt_ModulePort")->clear();
    Search(1);
    ClickRow(0);
    QTRY_COMPARE(Edit("edt_ModulePort")->text(), QStringLiteral("20200"));
    QVERIFY(Edit("edt_DeIP")->isEnabled()); // TCP Client
    Grab(w.get(), QStringLiteral("page-z1"));
}

// Restore factory settings of a Z1 device: the page shows the factory values and they are sent.
void tst_pages::z1ResetWritesFactoryValues() {
    QVERIFY2(StartSim({"--z1", "1"}), qPrintable(sim->errorText()));
    Search(1);
    ClickRow(0);
    QTRY_COMPARE(w->UIState(), UIStateZ1);
    Edit("edt_ModulePort")->setText(QStringLiteral("1"));
    sim->clear();
    Devices()->setCurrentItem(Devices()->topLevelItem(0));
    C<QAction>("mni_Reset")->setEnabled(true);
    C<QAction>("mni_Reset")->trigger();
    QVERIFY(sim->waitForReceived(1));
    QCOMPARE(Edit("edt_ModulePort")->text(), QStringLiteral("20108"));
    const QByteArray sent = sim->received().at(0).bytes;
    QCOMPARE(sent.size(), Z1NetImageSize);
    QCOMPARE(sent.mid(12), EncodeZ1Image(Z1FactoryValues()));
}

void tst_pages::collectFailureSendsNothing_data() {
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("button");
    QTest::newRow("Z2 empty local port") << "--z2"
                                         << "edt_LocalPort0"
                                         << ""
                                         << "lbl_LocalPort0"
                                         << "btn_Z2NetSet";
    QTest::newRow("Z2 text in the HTTP port") << "--z2"
                                              << "edt_HTTPServerPort"
                                              << "8o"
                                              << "lbl_HTTPServerPort"
                                              << "btn_Z2NetSet";
    QTest::newRow("Z2 custom baud entry") << "--z2"
                                          << "cbb_BaudRate0"
                                          << ""
                                          << "lbl_BaudRate0"
                                          << "btn_Z2NetSet";
    QTest::newRow("Z2 heartbeat time") << "--z2"
                                       << "edtHeartTm"
                                       << "5s"
                                       << "lblHeartTm"
                                       << "btn_Z2NetSet";
    QTest::newRow("Z2 Modbus polling time") << "--z2"
                                            << "edtwaittime"
                                            << ""
                                            << "lblhearttime"
                                            << "btn_Z2NetSet";
    QTest::newRow("Z2 static IP") << "--z2"
                                  << "edt_StaticIP"
                                  << "192.168.x.7"
                                  << "lbl_StaticIP"
                                  << "btn_Z2NetSet";
    QTest::newRow("Z3 remote port") << "--z3"
                                    << "edt_RemotePort0Z3"
                                    << "7x"
                                    << "lbl_RemotePort0Z3"
                                    << "btn_Z3NetSet";
    QTest::newRow("Z1 destination port") << "--z1"
                                         << "edt_DePort"
                                         << "abc"
                                         << "lbl_DePort"
                                         << "btn_Z1Set";
    QTest::newRow("Z1 empty gateway") << "--z1"
                                      << "edt_Gateway"
                                      << ""
                                      << "lbl_Gateway"
                                      << "btn_Z1Set";
}

// Nothing of the write is sent; a red line names the field by its label and shows the text;
// the field has the focus.
void tst_pages::collectFailureSendsNothing() {
    QFETCH(QString, device);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, label);
    QFETCH(QString, button);
    QVERIFY2(StartSim({device, "1"}), qPrintable(sim->errorText()));
    Search(1);
    if (device == "--z2") {
        ReadZ2(0);
    } else {
        ClickRow(0);
        QTRY_VERIFY(w->UIState() == (device == "--z3" ? UIStateZ3 : UIStateZ1));
        QTRY_VERIFY(LogCount(ReadOk()) == 1);
    }
    QWidget *target = C<QWidget>(qPrintable(field));
    QString shownText = text;
    if (auto *list = qobject_cast<QComboBox *>(target)) {
        list->setCurrentIndex(1); // the custom entry, whose text is not a rate
        shownText = list->currentText();
    } else {
        static_cast<QLineEdit *>(target)->setText(text);
    }
    QApplication::setActiveWindow(w.get());
    sim->clear();
    C<QPushButton>(qPrintable(button))->click();
    QTest::qWait(200);
    QCOMPARE(sim->received().size(), 0);
    const QList<PaneLine> lines = PaneLines(C<QPlainTextEdit>("redt_Log"));
    const QString name = C<QLabel>(qPrintable(label))->text().remove(QChar(0x2605)).trimmed();
    QVERIFY(!name.isEmpty());
    QCOMPARE(lines.last().color, TFrm_Main::ColorRed());
    QVERIFY2(lines.last().text.contains(name), qPrintable(lines.last().text));
    QVERIFY2(lines.last().text.contains(QLatin1Char('"') + shownText + QLatin1Char('"')),
             qPrintable(lines.last().text));
    QCOMPARE(QApplication::focusWidget(), target);
}

// The same change written from the window and with `n6ctl write`: the devices receive the
// same write datagrams, byte for byte (searches and reads left out).
void tst_pages::windowWriteEqualsCtlWrite() {
    const auto writes = [](const SimProcess &s) {
        QList<QByteArray> out;
        for (const SimDatagram &d : s.received())
            if (d.bytes != SearchPacket() && d.bytes.size() > 2 && d.bytes.at(2) != char(cmdRead))
                out.append(d.bytes);
        return out;
    };
    QVERIFY2(StartSim({"--z2", "1"}), qPrintable(sim->errorText()));
    Search(1);
    const QString mac = Devices()->topLevelItem(0)->text(2);
    ReadZ2(0);
    Edit("edt_ModName")->setText(QStringLiteral("Pump-7"));
    Edit("edt_RemotePort0")->setText(QStringLiteral("9001"));
    Save("btn_Z2NetSet", cmdRestart);
    const QList<QByteArray> fromWindow = writes(*sim);
    w.reset(); // the window's endpoint leaves the address to n6ctl

    QVERIFY2(StartSim({"--z2", "1"}), qPrintable(sim->errorText()));
    QProcess ctl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("N6_PAUSE_SCALE", "0.02");
    ctl.setProcessEnvironment(env);
    ctl.start(QStringLiteral(N6CTL_PATH), {"write", mac, "ModName=Pump-7", "RemotePort=9001"});
    QVERIFY(ctl.waitForFinished(30000));
    QVERIFY2(ctl.exitCode() == 0, ctl.readAllStandardError().constData());
    QTRY_VERIFY(!writes(*sim).isEmpty() && writes(*sim).last().at(2) == char(cmdRestart));
    const QList<QByteArray> fromCtl = writes(*sim);

    QCOMPARE(fromWindow.size(), 5); // base, port, heartbeat/registration, Modbus, restart
    QCOMPARE(fromCtl.size(), fromWindow.size());
    for (int i = 0; i < fromWindow.size(); ++i)
        QCOMPARE(fromCtl.at(i).toHex(' '), fromWindow.at(i).toHex(' '));
}

// No row selected: the search state and the red hint, nothing sent. The write button of
// another model than the selected row's: nothing sent, nothing logged.
void tst_pages::writeNeedsARowOfItsModel() {
    QVERIFY2(StartSim({"--z2", "1", "--z3", "1"}), qPrintable(sim->errorText()));
    Search(2);
    sim->clear();
    C<QPushButton>("btn_Z2NetSet")->click();
    QCOMPARE(w->UIState(), UIStateSearch);
    const PaneLine hint = PaneLines(C<QPlainTextEdit>("redt_Log")).last();
    QCOMPARE(hint.text, LangText("lang_Hint_NoTarget"));
    QCOMPARE(hint.color, TFrm_Main::ColorRed());

    ReadZ2(RowOf(ModelZ2));
    const int lines = PaneLines(C<QPlainTextEdit>("redt_Log")).size();
    sim->clear();
    for (const char *button : {"btn_Z3NetSet", "btn_Z1Set"})
        C<QPushButton>(button)->click();
    QTest::qWait(200);
    QCOMPARE(sim->received().size(), 0);
    QCOMPARE(PaneLines(C<QPlainTextEdit>("redt_Log")).size(), lines);
}

// The page shows device A; device B is clicked and does not answer: the page still holds A's
// settings (A's address among them), which must not be written to B.
void tst_pages::writeNeedsThePageOfTheSelectedDevice() {
    QVERIFY2(StartSim({"--z2", "2", "--mute-commands"}), qPrintable(sim->errorText()));
    Search(2);
    Devices()->setCurrentItem(Devices()->topLevelItem(0));
    TBaseParam a;
    a.AddrType = 1;
    a.StaticIP = "192.168.0.7";
    a.GatewayIP = "192.168.0.1";
    a.SubnetMask = "255.255.255.0";
    a.DNS = "192.168.0.1";
    a.UserMAC = Devices()->topLevelItem(0)->text(2).toLatin1();
    w->ShowParamZ2(a, {UsualPort()}, false, ModelZ2);
    QCOMPARE(w->UIState(), UIStateZ2);
    Edit("edtHeartTm")->setText(QStringLiteral("30")); // as A's heartbeat reply shows it
    ClickRow(1);
    QTRY_VERIFY(!sim->received().isEmpty()); // the read, unanswered
    QTest::qWait(50);
    sim->clear();
    C<QPushButton>("btn_Z2NetSet")->click();
    QTest::qWait(200);
    QCOMPARE(sim->received().size(), 0);
    const PaneLine hint = PaneLines(C<QPlainTextEdit>("redt_Log")).last();
    QCOMPARE(hint.text, LangText("lang_Hint_NoTarget"));
    QCOMPARE(hint.color, TFrm_Main::ColorRed());
    QCOMPARE(w->UIState(), UIStateSearch);
}

QTEST_MAIN(tst_pages)
#include "tst_pages.moc"
