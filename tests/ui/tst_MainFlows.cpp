// The main window against simulated devices (n6sim on 127.0.0.41/42, the window bound to
// 127.0.0.41): search, select-to-read, hex stream records, status lines, the password dialog,
// restart and reset.
#include "UiTestHelpers.h"

#include <SimProcess.h>
#include <Unit_AppLang.h>
#include <Unit_Main.h>
#include <Unit_Pswd.h>
#include <Unit_Public.h>

#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

namespace {
bool AnyLine(const QList<PaneLine> &lines, const std::function<bool(const PaneLine &)> &match) {
    return std::any_of(lines.begin(), lines.end(), match);
}

constexpr char Here[] = "127.0.0.41";
constexpr char OldDevices[] = "127.0.0.42";
} // namespace

class tst_MainFlows : public QObject {
    Q_OBJECT

    SimProcess sim;
    std::unique_ptr<TFrm_Main> w;

    QTreeWidget *List() { return Find<QTreeWidget>(w.get(), "lv_Dev"); }
    QList<PaneLine> Log() { return PaneLines(Find<QPlainTextEdit>(w.get(), "redt_Log")); }
    QList<PaneLine> Hex() { return PaneLines(Find<QPlainTextEdit>(w.get(), "redt_Hex")); }

    bool SearchAndWait(int rows) {
        Find<QPushButton>(w.get(), "btn_Search")->click();
        return QTest::qWaitFor([&] { return List()->topLevelItemCount() >= rows; }, 5000);
    }
    // Clicks a row with the mouse (select-to-read runs on the release).
    void ClickRow(int index) {
        QTreeWidgetItem *row = List()->topLevelItem(index);
        const QPoint at = List()->visualItemRect(row).center();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
        QApplication::processEvents();
    }
    int RowOfModel(int model) {
        for (int i = 0; i < List()->topLevelItemCount(); ++i)
            if (List()->topLevelItem(i)->text(4).toInt() == model)
                return i;
        return -1;
    }
    // Datagrams the devices received with the command byte `cmd` on `port`.
    QList<SimDatagram> Commands(quint8 cmd, quint16 port) {
        QList<SimDatagram> found;
        for (const SimDatagram &d : sim.received())
            if (d.localPort == port && d.bytes.size() > 2 && quint8(d.bytes[2]) == cmd &&
                quint8(d.bytes[0]) == 0xFF)
                found.append(d);
        return found;
    }

private slots:
    void initTestCase() {
        QVERIFY2(sim.start({"--bind", Here, "--first-ip", "127.0.0.41", "--z2", "2", "--z3", "1",
                            "--z1", "1", "--version", "4017"}),
                 qPrintable(sim.errorText()));
    }

    void init() {
        qputenv("N6_BIND", Here);
        qputenv("N6_BROADCAST", Here);
        CfgUserName = DefaultCfgUserName;
        CfgPassword = DefaultCfgPassword;
        w = std::make_unique<TFrm_Main>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        sim.clear();
    }
    void cleanup() { w.reset(); }

    void searchListsEveryDevice() {
        w->AddLogGreen(QStringLiteral("old line"));
        QVERIFY(SearchAndWait(4));
        QTest::qWait(200);
        QCOMPARE(List()->topLevelItemCount(), 4);
        QStringList models;
        for (int i = 0; i < 4; ++i) {
            QTreeWidgetItem *row = List()->topLevelItem(i);
            models << row->text(4);
            QCOMPARE(row->text(5), QStringLiteral("0"));
            QVERIFY(!row->text(2).isEmpty());
        }
        models.sort();
        QCOMPARE(models, (QStringList{"2", "2", "35", "36"}));
        // The log was emptied; the search left its sent line and the done line.
        const QList<PaneLine> log = Log();
        QCOMPARE(log.first().text, LangText(QStringLiteral("lang_Hint_Sending")));
        QCOMPARE(log.first().color, TFrm_Main::ColorGreen());
        QVERIFY(AnyLine(log, [](const PaneLine &l) {
            return l.text == LangText(QStringLiteral("lang_H_lv_Dev")) &&
                   l.color == TFrm_Main::ColorGreen();
        }));
        // Hex stream: blank line, blue header and length, the bytes; then the replies in green.
        const QList<PaneLine> hex = Hex();
        QVERIFY(hex.size() >= 8);
        QCOMPARE(hex[0].text, QString());
        QVERIFY2(
            QRegularExpression(
                QStringLiteral(
                    "^\\[ 127\\.0\\.0\\.41 : \\d+ \\] \u2192 \\[ 127\\.0\\.0\\.41 : 1500 \\]$"))
                .match(hex[1].text)
                .hasMatch(),
            qPrintable(hex[1].text));
        QCOMPARE(hex[1].color, TFrm_Main::ColorBlue());
        QCOMPARE(hex[2].text, QStringLiteral("[ Length : 4 ]"));
        QCOMPARE(hex[2].color, TFrm_Main::ColorBlue());
        QCOMPARE(hex[3].text, QStringLiteral("FF 01 01 02 "));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\[ 127\\.0\\.0\\.41 : \\d+ \\] \u2190 \\[ "
                                                   "127\\.0\\.0\\.41 : (1500|1901) \\]$"))
                     .match(hex[5].text)
                     .hasMatch(),
                 qPrintable(hex[5].text));
        QCOMPARE(hex[5].color, TFrm_Main::ColorGreen());
        QVERIFY(hex[6].text == QStringLiteral("[ Length : 36 ]") ||
                hex[6].text == QStringLiteral("[ Length : 35 ]"));
        Grab(w.get(), QStringLiteral("flow-search"));
    }

    void clickOnZ2ReadsIt() {
        QVERIFY(SearchAndWait(4));
        const int z2 = RowOfModel(ModelZ2);
        sim.clear();
        ClickRow(z2);
        QVERIFY(sim.waitForReceived(1));
        const QList<SimDatagram> reads = Commands(cmdRead, 1500);
        QCOMPARE(reads.size(), 1);
        const QString mac = List()->topLevelItem(z2)->text(2);
        QCOMPARE(reads[0].bytes.mid(3, 6).toHex(' ').toUpper(), mac.toLatin1());
        QCOMPARE(reads[0].bytes.mid(9, 5), QByteArray("vexol"));
        QCOMPARE(SelMac, mac.toLatin1().replace(' ', ""));
        QVERIFY(AnyLine(Log(), [&](const PaneLine &l) {
            return l.text == QStringLiteral("Read [ Mac : ") + mac + QStringLiteral(" ]") &&
                   l.color == TFrm_Main::ColorGreen();
        }));
        // A Z3 row reads on port 1901 and leaves the Z2 binding choice alone.
        sim.clear();
        ClickRow(RowOfModel(ModelZ3));
        QVERIFY(sim.waitForReceived(1));
        QCOMPARE(Commands(cmdRead, 1901).size(), 1);
        // A click beside the rows: nothing selected, search state.
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          QPoint(5, List()->viewport()->height() - 5));
        QApplication::processEvents();
        QCOMPARE(w->SelectedRow(), nullptr);
        QCOMPARE(w->UIState(), int(UIStateSearch));
    }

    void oldFirmwareRowIsRefused() {
        SimProcess old;
        QVERIFY2(old.start({"--bind", OldDevices, "--first-ip", OldDevices, "--z2", "1",
                            "--version", "2001"}),
                 qPrintable(old.errorText()));
        qputenv("N6_BROADCAST", OldDevices);
        QVERIFY(SearchAndWait(1));
        QCOMPARE(List()->topLevelItem(0)->text(4), QStringLiteral("0"));
        w->SetUIState(UIStateZ2);
        ClickRow(0);
        QCOMPARE(w->UIState(), int(UIStateSearch));
        QCOMPARE(Log().last().text, LangText(QStringLiteral("lang_Hint_VerIncompatible")));
        QCOMPARE(Log().last().color, TFrm_Main::ColorRed());
    }

    void statusLines_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line"); // empty: no line
        QTest::addColumn<bool>("red");
        QTest::newRow("40 search done")
            << int(stSearchDone) << ""
            << "Click device can read the parameters, right-click Device list show more" << false;
        QTest::newRow("269 checksum") << int(stCheckErr) << "3F"
                                      << " Check Error: it should be: 3F" << true;
        QTest::newRow("275 ack") << int(stAck) << ""
                                 << " ACK." << false;
        QTest::newRow("469 other") << int(stOtherErr) << ""
                                   << " Other Error." << true;
        QTest::newRow("480 password") << int(stPswdErr) << ""
                                      << " UsrName or Password Error!" << true;
        QTest::newRow("1500 port in use") << int(stPortInUse) << "ignored"
                                          << "1500 Port In Use!" << true;
        QTest::newRow("193256 version") << int(stVerIncompatible) << ""
                                        << "This program is only used for N6 Series" << true;
        QTest::newRow("555555 unknown") << int(stReceiveOther) << "7"
                                        << " Receive unknown,length is: 7" << true;
        QTest::newRow("other code") << 12345 << "x" << QString() << false;
    }
    void statusLines() {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(QString, line);
        QFETCH(bool, red);
        w->ClearLogs();
        QString dialog;
        if (code == stPswdErr || code == stPortInUse)
            AnswerNextModal([&dialog](QWidget *modal) {
                dialog = modal->objectName();
                static_cast<QDialog *>(modal)->reject();
            });
        w->SetUIState(UIStateZ2);
        w->ShowStatus(code, text);
        const QList<PaneLine> log = Log();
        if (line.isEmpty()) {
            QVERIFY(log.isEmpty());
            return;
        }
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].text, line);
        QCOMPARE(log[0].color, red ? TFrm_Main::ColorRed() : TFrm_Main::ColorGreen());
        if (code == stPswdErr)
            QCOMPARE(dialog, QStringLiteral("TFrm_Pswd"));
        if (code == stPortInUse)
            QCOMPARE(dialog, QStringLiteral("dlg_Message"));
        QCOMPARE(w->UIState(), code == stVerIncompatible ? int(UIStateSearch) : int(UIStateZ2));
    }

    void refusedPasswordOpensTheDialogAndTheNextCommandCarriesTheNewOne() {
        CfgPassword = "wrong";
        QVERIFY(SearchAndWait(4));
        const int z2 = RowOfModel(ModelZ2);
        List()->setCurrentItem(List()->topLevelItem(z2));
        w->SetUIState(UIStateZ2); // the device commands are offered with a device's page
        sim.clear();
        bool opened = false;
        AnswerNextModal([&opened](QWidget *modal) {
            opened = modal->objectName() == QLatin1String("TFrm_Pswd");
            Find<QLineEdit>(modal, "edt_UsrName")->setText(QStringLiteral("vexol"));
            Find<QLineEdit>(modal, "edt_Paswd")->setText(QStringLiteral("vexol"));
            Find<QPushButton>(modal, "btn_OK")->click();
        });
        Find<QAction>(w.get(), "mni_Restart")->trigger();
        QVERIFY(QTest::qWaitFor([&] { return opened; }, 5000));
        QVERIFY(AnyLine(Log(), [](const PaneLine &l) {
            return l.text == LangText(QStringLiteral("lang_Hint_PswdErr")) &&
                   l.color == TFrm_Main::ColorRed();
        }));
        QCOMPARE(CfgPassword, QByteArray("vexol"));
        sim.clear();
        Find<QAction>(w.get(), "mni_Restart")->trigger();
        QVERIFY(sim.waitForReceived(1));
        const QList<SimDatagram> restarts = Commands(cmdRestart, 1500);
        QCOMPARE(restarts.size(), 1);
        QCOMPARE(restarts[0].bytes.mid(15, 5), QByteArray("vexol"));
        QVERIFY(QTest::qWaitFor(
            [&] { return Log().last().text == LangText(QStringLiteral("lang_Hint_ACK")); }, 3000));

        // Cancel keeps the credentials.
        AnswerNextModal([](QWidget *modal) {
            Find<QLineEdit>(modal, "edt_UsrName")->setText(QStringLiteral("other"));
            Find<QPushButton>(modal, "btn_Cancel")->click();
        });
        Find<QAction>(w.get(), "mni_Pswd")->trigger();
        QCOMPARE(CfgUserName, QByteArray("vexol"));
    }

    void resetReachesZ2AndZ3() {
        QVERIFY(SearchAndWait(4));
        for (int model : {ModelZ2, ModelZ3}) {
            List()->setCurrentItem(List()->topLevelItem(RowOfModel(model)));
            w->SetUIState(model == ModelZ2 ? UIStateZ2 : UIStateZ3);
            sim.clear();
            Find<QAction>(w.get(), "mni_Reset")->trigger();
            QVERIFY(sim.waitForReceived(1));
            QCOMPARE(Commands(cmdReset, model == ModelZ2 ? 1500 : 1901).size(), 1);
        }
    }

    void linesAfterALanguageChangeUseTheNewLanguage() {
        QVERIFY(SearchAndWait(4));
        w->ShowStatus(stAck, QString());
        Find<QAction>(w.get(), "mni_Cn")->trigger();
        w->ShowStatus(stAck, QString());
        const QList<PaneLine> log = Log();
        QCOMPARE(log[log.size() - 2].text, QStringLiteral(" ACK."));
        QCOMPARE(log.last().text, QStringLiteral(" 正确执行。"));
        Grab(w.get(), QStringLiteral("flow-chinese"));
        Find<QAction>(w.get(), "mni_En")->trigger();
    }
};

QTEST_MAIN(tst_MainFlows)
#include "tst_MainFlows.moc"
