// The main window without devices: states and widths, menu enablement, mode-dependent fields,
// the small field handlers, the log panes, the list's input rules, export and texts.
#include "UiTestHelpers.h"

#include <Unit_AppLang.h>
#include <Unit_Main.h>
#include <Unit_Public.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWheelEvent>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class tst_MainState : public QObject {
    Q_OBJECT

    std::unique_ptr<TFrm_Main> w;

    QAction *Item(const char *name) { return Find<QAction>(w.get(), name); }
    QTreeWidget *List() { return Find<QTreeWidget>(w.get(), "lv_Dev"); }
    void AddRows(int n) {
        for (int i = 0; i < n; ++i)
            w->AddDevRow(QStringLiteral("127.0.0.%1").arg(100 + i),
                         QByteArray("dev") + QByteArray::number(i),
                         QStringLiteral("00 11 22 33 44 %1").arg(i, 2, 10, QLatin1Char('0')),
                         QStringLiteral("4017"), ModelZ2, 0);
    }

private slots:
    void init() {
        w = std::make_unique<TFrm_Main>();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanup() { w.reset(); }

    void startUpShowsTheLeftColumnOnly() {
        QCOMPARE(w->width(), TFrm_Main::WidthSearch);
        QCOMPARE(w->width(), 439);
        QVERIFY(!Find<QWidget>(w.get(), "rzpgcntrl_Param")->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("N6 V" N6_VERSION_TEXT));
        QCOMPARE(Find<QTabWidget>(w.get(), "rzpgcntrl_Srch")->currentIndex(), 0);
        QVERIFY(Find<QPushButton>(w.get(), "btn_Z1Set")->isHidden() == false);
        QVERIFY(!Find<QPushButton>(w.get(), "btn_ComSet")->isHidden() == false);
        const QList<PaneLine> log = PaneLines(Find<QPlainTextEdit>(w.get(), "redt_Log"));
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].text, QStringLiteral("Operate Via LAN,please leave CFG pin free"));
        QCOMPARE(log[0].color, TFrm_Main::ColorMaroon());
        Grab(w.get(), QStringLiteral("state-search-en"));
    }

    void deviceMenuFollowsTheState_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("enabled");
        const QStringList copy{"mni_CopyTheMac", "mni_CopeAllMac"};
        // Firmware upgrade stays off until its window exists.
        QTest::newRow("search: copy items only") << int(UIStateSearch) << copy;
        QTest::newRow("Z1: read, reset, copy")
            << int(UIStateZ1) << QStringList{"mniReadTheParam", "mni_Reset"} + copy;
        QTest::newRow("Z2: all") << int(UIStateZ2)
                                 << QStringList{"mniReadTheParam", "mni_OpenWeb", "mni_Restart",
                                                "mni_Reset"} +
                                        copy;
        QTest::newRow("Z3: all") << int(UIStateZ3)
                                 << QStringList{"mniReadTheParam", "mni_OpenWeb", "mni_Restart",
                                                "mni_Reset"} +
                                        copy;
    }
    void deviceMenuFollowsTheState() {
        QFETCH(int, state);
        QFETCH(QStringList, enabled);
        w->SetUIState(state);
        // The hidden read item is not offered (a hidden action is never enabled).
        for (const char *name : {"mni_OpenWeb", "mni_Restart", "mni_FirmwareUp", "mni_Reset",
                                 "mni_CopyTheMac", "mni_CopeAllMac"})
            QVERIFY2(Item(name)->isEnabled() == enabled.contains(QLatin1String(name)), name);
    }

    // Tab walks the whole window once round, the page's fields in reading order, and leaves
    // every control it enters (the device list discards keys, but not Tab).
    void tabWalksThePageInReadingOrder_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("page");
        QTest::newRow("Z1") << int(UIStateZ1)
                            << QStringList{"cbb_ModuleWork", "cbb_BaudRate",   "edt_ModuleIP",
                                           "cbb_P",          "cbb_D",          "cbb_S",
                                           "edt_Mask",       "edt_ModulePort", "edt_Gateway",
                                           "edt_DeIP",       "edt_DePort",     "edt_ID",
                                           "chk_ConnSendId", "chk_DataWithId", "chk_RS485",
                                           "chk_RS422",      "chk_Reset",      "chk_Link",
                                           "chk_Index",      "chk_RFC2217",    "btn_Z1Set"};
        QTest::newRow("Z2") << int(UIStateZ2)
                            << QStringList{"cbb_AddrType",
                                           "edt_HTTPServerPort",
                                           "edt_StaticIP",
                                           "edt_ModName",
                                           "edt_GatewayIP",
                                           "edt_username",
                                           "edt_SubnetMask",
                                           "edt_password",
                                           "edtDns",
                                           "LabeledEditShortTime",
                                           "RzCheckBoxShortEnable",
                                           "LabeledEdit1",
                                           "RzCheckBox2",
                                           "rzchckbxComSetEnable",
                                           "rzchckbx_Reset",
                                           "rzchckbx_Link",
                                           "rzchckbx_Index",
                                           "rzchckbx_RFC2217",
                                           "cbb_BaudRate0",
                                           "cbb_WorkMode0",
                                           "cbb_P0",
                                           "cbb_D0",
                                           "cbb_S0",
                                           "edt_LocalPort0",
                                           "edt_RemoteIP0",
                                           "edt_RemotePort0",
                                           "cbb_TCPSvrCount0",
                                           "RzCheckBox1",
                                           "cbbGetPost",
                                           "RzCheckBox3",
                                           "LabeledEdit2",
                                           "RzRichEdit1",
                                           "RzComboBox1",
                                           "edtHeartTm",
                                           "edtHeartDt",
                                           "rzchckbxHeartDtHex",
                                           "RzComboBox2",
                                           "edtDid",
                                           "edtCompass",
                                           "rzchckbxRegDataWith",
                                           "rzchckbxRegConnTo",
                                           "edtRegDt",
                                           "rzchckbxRegDtHex",
                                           "rzchckbxmodbustcp",
                                           "rzchckbxmodbuspool",
                                           "edtwaittime",
                                           "btn_Z2NetSet"};
        QTest::newRow("Z3") << int(UIStateZ3)
                            << QStringList{"cbb_AddrTypeZ3",     "edt_HTTPServerPortZ3",
                                           "edt_StaticIPZ3",     "edt_LocationURLPortZ3",
                                           "edt_GatewayIPZ3",    "edt_ModNameZ3",
                                           "edt_SubnetMaskZ3",   "edt_usernameZ3",
                                           "edt_UserMACZ3",      "edt_passwordZ3",
                                           "edt_Id3Z3",          "edt_IdTypeZ3",
                                           "cbb_BaudRate0Z3",    "cbb_WorkMode0Z3",
                                           "cbb_P0Z3",           "cbb_D0Z3",
                                           "cbb_S0Z3",           "cbb_FlowControl0Z3",
                                           "edt_LocalPort0Z3",   "edt_RemotePort0Z3",
                                           "edt_RemoteIP0Z3",    "cbb_ModbusTCP0Z3",
                                           "cbb_TCPSvrCount0Z3", "cbb_TCPStyle0Z3",
                                           "edt_UARTTime0Z3",    "edt_UARTLength0Z3",
                                           "chk_RFC22170Z3",     "btn_Z3NetSet"};
    }
    void tabWalksThePageInReadingOrder() {
        QFETCH(int, state);
        QFETCH(QStringList, page);
        w->SetUIState(state);
        QApplication::setActiveWindow(w.get());
        QWidget *list = List();
        list->setFocus();
        QStringList walked;
        for (int i = 0; i < 100; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *f = QApplication::focusWidget();
            if (!f || f == list)
                break;
            walked << f->objectName();
            // A field of the Z2 page's scroll box is scrolled into view when it gets the focus.
            const auto *box = Find<QScrollArea>(w.get(), "ScrollBox1");
            if (box->widget()->isAncestorOf(f)) {
                const QRect at(f->mapTo(box->viewport(), QPoint(0, 0)), f->size());
                QVERIFY2(box->viewport()->rect().contains(at), qPrintable(f->objectName()));
            }
        }
        QCOMPARE(QApplication::focusWidget(), list); // once round, back at the list
        const QWidget *param = Find<QWidget>(w.get(), "rzpgcntrl_Param");
        QStringList onPage;
        for (const QString &name : walked) {
            QVERIFY2(walked.count(name) == 1 || name == "qt_tabwidget_tabbar", qPrintable(name));
            if (param->isAncestorOf(Find<QWidget>(w.get(), qPrintable(name))))
                onPage << name;
        }
        QCOMPARE(onPage, page);
        QVERIFY(walked.contains("btn_Search"));
        QVERIFY(walked.contains("redt_Log"));
    }

    void parameterStatesKeepOneWidth() {
        const char *pages[] = {"rztbsht_Z1", "rztbsht_Z3", "rztbsht_Z3Net"};
        for (int round = 0; round < 2; ++round) {
            for (int state : {UIStateZ1, UIStateZ2, UIStateZ3}) {
                w->SetUIState(state);
                QCOMPARE(w->width(), TFrm_Main::WidthParam);
                auto *param = Find<QTabWidget>(w.get(), "rzpgcntrl_Param");
                QVERIFY(param->isVisible());
                QCOMPARE(param->currentWidget()->objectName(), QLatin1String(pages[state - 1]));
                QVERIFY(!param->tabBar()->isVisible());
                if (round == 0)
                    Grab(w.get(), QStringLiteral("state-z%1-en").arg(state));
            }
        }
        w->SetUIState(UIStateSearch);
        QCOMPARE(w->width(), 439);
        w->SetUIState(99);
        QCOMPARE(w->UIState(), int(UIStateSearch));
    }

    void dhcpOnZ3GreysOnlyZ3Fields() {
        w->SetUIState(UIStateZ3);
        auto *z3 = Find<QComboBox>(w.get(), "cbb_AddrTypeZ3");
        z3->setCurrentIndex(0);
        emit z3->activated(0);
        for (const char *name : {"edt_StaticIPZ3", "edt_GatewayIPZ3", "edt_SubnetMaskZ3"})
            QVERIFY2(!Find<QWidget>(w.get(), name)->isEnabled(), name);
        QCOMPARE(Find<QLabel>(w.get(), "lbl_StaticIPZ3")->palette().color(QPalette::WindowText),
                 QColor(192, 192, 192));
        for (const char *name : {"edt_StaticIP", "edt_GatewayIP", "edt_SubnetMask", "edtDns"})
            QVERIFY2(Find<QWidget>(w.get(), name)->isEnabled(), name);
        z3->setCurrentIndex(1);
        emit z3->activated(1);
        QVERIFY(Find<QWidget>(w.get(), "edt_StaticIPZ3")->isEnabled());
    }

    void workModeGreysPortFields_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("modbus");
        QTest::addColumn<bool>("server");
        QTest::addColumn<bool>("remoteIP");
        QTest::newRow("UDP client") << 0 << false << false << true;
        QTest::newRow("TCP client") << 1 << true << false << true;
        QTest::newRow("UDP server") << 2 << false << false << true;
        QTest::newRow("TCP server") << 3 << true << true << false;
        QTest::newRow("HTTPD client") << 4 << false << false << true;
    }
    void workModeGreysPortFields() {
        QFETCH(int, mode);
        QFETCH(bool, modbus);
        QFETCH(bool, server);
        QFETCH(bool, remoteIP);
        w->SetUIState(UIStateZ2);
        for (const char *suffix : {"", "Z3"}) {
            auto name = [suffix](const char *base) {
                return QByteArray(base) + suffix;
            };
            auto *combo = Find<QComboBox>(w.get(), name("cbb_WorkMode0").constData());
            combo->setCurrentIndex(mode);
            emit combo->activated(mode);
            QCOMPARE(Find<QWidget>(w.get(), name("cbb_ModbusTCP0"))->isEnabled(), modbus);
            QCOMPARE(Find<QWidget>(w.get(), name("cbb_TCPSvrCount0"))->isEnabled(), server);
            QCOMPARE(Find<QWidget>(w.get(), name("cbb_TCPStyle0"))->isEnabled(), server);
            QCOMPARE(Find<QWidget>(w.get(), name("edt_RemoteIP0"))->isEnabled(), remoteIP);
        }
        QCOMPARE(Find<QWidget>(w.get(), "cbbGetPost")->isEnabled(), mode == 4);
        QCOMPARE(Find<QWidget>(w.get(), "RzGroupBoxHttpd")->isHidden() == false, mode == 4);
        QCOMPARE(Find<QWidget>(w.get(), "btnDataDebug")->isHidden() == false, mode != 4);
    }

    void httpdOnSerialTabStaysHidden() {
        Find<QTabWidget>(w.get(), "rzpgcntrl_Srch")->setCurrentIndex(1);
        QVERIFY(Find<QPushButton>(w.get(), "btn_ComSet")->isHidden() == false);
        QVERIFY(!Find<QPushButton>(w.get(), "btn_Z2NetSet")->isHidden() == false);
        const QList<PaneLine> log = PaneLines(Find<QPlainTextEdit>(w.get(), "redt_Log"));
        QCOMPARE(log.last().text, QStringLiteral("Operate Via COM,please connect CFG to GND"));
        w->SetUIState(UIStateZ2);
        auto *mode = Find<QComboBox>(w.get(), "cbb_WorkMode0");
        mode->setCurrentIndex(4);
        emit mode->activated(4);
        QVERIFY(Find<QWidget>(w.get(), "cbbGetPost")->isEnabled());
        QVERIFY(!Find<QWidget>(w.get(), "RzGroupBoxHttpd")->isHidden() == false);
        QVERIFY(!Find<QWidget>(w.get(), "btnDataDebug")->isHidden() == false);
        QVERIFY(!Find<QWidget>(w.get(), "RzGroupBoxHeart")->isHidden() == false);
        Find<QTabWidget>(w.get(), "rzpgcntrl_Srch")->setCurrentIndex(0);
        QVERIFY(Find<QWidget>(w.get(), "RzGroupBoxHeart")->isHidden() == false);
        QCOMPARE(w->width(), 439);
    }

    void customBaudRate_data() {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("typed"); // empty: Cancel
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("index");
        for (const char *list :
             {"cbb_BaudRate", "cbb_BaudRate0", "cbb_BaudRate0Z3", "cbbSoftBitRate"}) {
            QTest::addRow("%s cancel keeps the slot", list)
                << QByteArray(list) << QString() << QStringLiteral("115200") << 0;
            QTest::addRow("%s 1500 into the slot", list)
                << QByteArray(list) << QStringLiteral("1500") << QStringLiteral("1500") << 0;
            QTest::addRow("%s -5 into the slot", list)
                << QByteArray(list) << QStringLiteral("-5") << QStringLiteral("-5") << 0;
            QTest::addRow("%s abc selects 9600", list)
                << QByteArray(list) << QStringLiteral("abc") << QStringLiteral("9600") << -1;
        }
    }
    void customBaudRate() {
        QFETCH(QByteArray, list);
        QFETCH(QString, typed);
        QFETCH(QString, selected);
        QFETCH(int, index);
        auto *combo = Find<QComboBox>(w.get(), list.constData());
        AnswerNextModal([typed](QWidget *modal) {
            auto *dlg = qobject_cast<QInputDialog *>(modal);
            QVERIFY(dlg);
            QCOMPARE(dlg->textValue(), QStringLiteral("115200"));
            if (typed.isEmpty()) {
                dlg->reject();
            } else {
                dlg->setTextValue(typed);
                dlg->accept();
            }
        });
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        QCOMPARE(combo->currentText(), selected);
        if (index >= 0)
            QCOMPARE(combo->currentIndex(), index);
    }

    void hexBoxesConvertTheirEdits_data() {
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<QByteArray>("edit");
        QTest::addColumn<bool>("check");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("heartbeat AB -> 4142")
            << QByteArray("rzchckbxHeartDtHex") << QByteArray("edtHeartDt") << true << "AB"
            << "4142";
        QTest::newRow("heartbeat 4142 -> AB")
            << QByteArray("rzchckbxHeartDtHex") << QByteArray("edtHeartDt") << false << "4142"
            << "AB";
        QTest::newRow("heartbeat G1 stays")
            << QByteArray("rzchckbxHeartDtHex") << QByteArray("edtHeartDt") << false << "G1"
            << "G1";
        QTest::newRow("registration AB -> 4142")
            << QByteArray("rzchckbxRegDtHex") << QByteArray("edtRegDt") << true << "AB"
            << "4142";
        QTest::newRow("registration 4142 -> AB")
            << QByteArray("rzchckbxRegDtHex") << QByteArray("edtRegDt") << false << "4142"
            << "AB";
        QTest::newRow("registration GBK 中 -> D6D0")
            << QByteArray("rzchckbxRegDtHex") << QByteArray("edtRegDt") << true
            << QStringLiteral("中") << "D6D0";
    }
    void hexBoxesConvertTheirEdits() {
        QFETCH(QByteArray, box);
        QFETCH(QByteArray, edit);
        QFETCH(bool, check);
        QFETCH(QString, before);
        QFETCH(QString, after);
        w->SetUIState(UIStateZ2);
        auto *b = Find<QCheckBox>(w.get(), box.constData());
        auto *e = Find<QLineEdit>(w.get(), edit.constData());
        b->setChecked(!check);
        e->setText(before);
        b->click();
        QCOMPARE(b->isChecked(), check);
        QCOMPARE(e->text(), after);
    }

    void cloudBoxEnablesCloudFields() {
        auto *cloud = Find<QCheckBox>(w.get(), "chkCloud");
        cloud->setChecked(false);
        cloud->click();
        QVERIFY(Find<QWidget>(w.get(), "edtDid")->isEnabled());
        cloud->click();
        for (const char *name : {"lblDid", "lblCompass", "edtDid", "edtCompass"})
            QVERIFY2(!Find<QWidget>(w.get(), name)->isEnabled(), name);
    }

    void wheelOverZ2PageScrollsOneLine() {
        w->SetUIState(UIStateZ2);
        QApplication::processEvents();
        auto *box = Find<QScrollArea>(w.get(), "ScrollBox1");
        QScrollBar *bar = box->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        Find<QWidget>(w.get(), "redt_Log")->setFocus();
        // A list in the middle of the page: it stays under the mouse while the page moves.
        auto *combo = Find<QComboBox>(w.get(), "cbb_WorkMode0");
        const int item = combo->currentIndex();
        const QPoint local = combo->rect().center();
        auto wheel = [&](int delta) {
            QWheelEvent ev(QPointF(local), QPointF(combo->mapToGlobal(local)), QPoint(),
                           QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                           false);
            QApplication::sendEvent(combo, &ev);
        };
        // One line: what the scroll bar's own single-step action moves.
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        const int line = bar->value();
        bar->setValue(0);
        QVERIFY(line > 0);
        wheel(-120);
        QCOMPARE(bar->value(), line);
        wheel(-120);
        QCOMPARE(bar->value(), 2 * line);
        wheel(120);
        QCOMPARE(bar->value(), line);
        QCOMPARE(combo->currentIndex(), item);
    }

    void keysInTheListChangeNothing() {
        AddRows(3);
        List()->setCurrentItem(List()->topLevelItem(1));
        List()->setFocus();
        QTest::keyClick(List(), Qt::Key_Down);
        QTest::keyClick(List(), Qt::Key_Up);
        QTest::keyClick(List(), Qt::Key_Home);
        QCOMPARE(w->SelectedRow(), List()->topLevelItem(1));
        QCOMPARE(List()->columnCount(), 6);
        QVERIFY(List()->isColumnHidden(4));
        QVERIFY(List()->isColumnHidden(5));
        QCOMPARE(List()->palette().color(QPalette::Inactive, QPalette::Highlight),
                 List()->palette().color(QPalette::Active, QPalette::Highlight));
    }

    void appendersWriteColouredLines() {
        w->ClearLogs();
        w->AddLogGreen(QStringLiteral("green"));
        w->AddLog(QStringLiteral("red"), TFrm_Main::ColorRed());
        w->AddHexPlain(QString());
        w->AddHex(QStringLiteral("blue"), TFrm_Main::ColorBlue());
        w->AddHexPlain(QStringLiteral("FF 01 "));
        const QList<PaneLine> log = PaneLines(Find<QPlainTextEdit>(w.get(), "redt_Log"));
        QCOMPARE(log.size(), 2);
        QCOMPARE(log[0].color, TFrm_Main::ColorGreen());
        QCOMPARE(log[1].color, TFrm_Main::ColorRed());
        auto *hexPane = Find<QPlainTextEdit>(w.get(), "redt_Hex");
        const QList<PaneLine> hex = PaneLines(hexPane);
        QCOMPARE(hex.size(), 3);
        QCOMPARE(hex[0].text, QString());
        QCOMPARE(hex[1].color, TFrm_Main::ColorBlue());
        QCOMPARE(hex[2].text, QStringLiteral("FF 01 "));
        QCOMPARE(hex[2].color, hexPane->palette().color(QPalette::Text));
    }

    void hexStreamStaysAtItsEnd() {
        Find<QTabWidget>(w.get(), "rzpgcntrl_Logs")->setCurrentIndex(1);
        for (int i = 0; i < 500; ++i)
            w->AddHexPlain(QStringLiteral("line %1").arg(i));
        QApplication::processEvents();
        QScrollBar *bar = Find<QPlainTextEdit>(w.get(), "redt_Hex")->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
    }

    // The operation log follows new lines while the view is at its end (so an operation's
    // result is seen), and leaves a view the user scrolled up where it is.
    void operationLogFollowsItsEndUnlessScrolledUp() {
        QScrollBar *bar = Find<QPlainTextEdit>(w.get(), "redt_Log")->verticalScrollBar();
        for (int i = 0; i < 200; ++i)
            w->AddLogGreen(QStringLiteral("line %1").arg(i));
        QApplication::processEvents();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());

        bar->setValue(bar->maximum() / 2);
        const int reading = bar->value();
        for (int i = 0; i < 50; ++i)
            w->AddLog(QStringLiteral("more %1").arg(i), TFrm_Main::ColorRed());
        QApplication::processEvents();
        QVERIFY(bar->maximum() > reading);
        QCOMPARE(bar->value(), reading);
    }

    void exportWritesTheListAsCsv() {
        QTemporaryDir dir;
        w->SetExportDir(dir.path());
        QCOMPARE(w->ExportDeviceList(), QString()); // empty list: no file, no message
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 0);

        AddRows(2);
        w->AddDevRow(QStringLiteral("127.0.0.9"), QByteArray("a,b\0\0\0", 6),
                     QStringLiteral("00 11 22 33 44 99"), QStringLiteral("4016"), ModelZ3, 1);
        AnswerNextModal([](QWidget *box) { static_cast<QDialog *>(box)->accept(); });
        const QString path = w->ExportDeviceList();
        const QString name = QFileInfo(path).fileName();
        QVERIFY2(
            QRegularExpression(QStringLiteral("^Export Devices \\d{8} \\d{6} - \\(3\\)\\.csv$"))
                .match(name)
                .hasMatch(),
            qPrintable(name));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 5); // four lines, each ended by CR LF
        QCOMPARE(lines[0], QByteArray("IP,Name,MAC,Ver\r"));
        QCOMPARE(lines[1], QByteArray("127.0.0.100,dev0,00 11 22 33 44 00,4017\r"));
        QCOMPARE(lines[3], QByteArray("127.0.0.9,a,b,00 11 22 33 44 99,4016\r"));
        QCOMPARE(lines[3].split(',').size(), 5);
        const QList<PaneLine> log = PaneLines(Find<QPlainTextEdit>(w.get(), "redt_Log"));
        QCOMPARE(log.last().text, path);
        QCOMPARE(log.last().color, TFrm_Main::ColorGreen());
    }

    void exportFailureShowsTheError() {
        AddRows(1);
        w->SetExportDir(QStringLiteral("/nonexistent-n6-dir/sub"));
        const int linesBefore = PaneLines(Find<QPlainTextEdit>(w.get(), "redt_Log")).size();
        QString shown;
        AnswerNextModal([&shown](QWidget *box) {
            shown = static_cast<QMessageBox *>(box)->text();
            static_cast<QDialog *>(box)->accept();
        });
        QCOMPARE(w->ExportDeviceList(), QString());
        QVERIFY2(!shown.isEmpty(), "no message box");
        QCOMPARE(PaneLines(Find<QPlainTextEdit>(w.get(), "redt_Log")).size(), linesBefore);
    }

    void copyMacs() {
        QClipboard *clip = QGuiApplication::clipboard();
        clip->setText(QStringLiteral("before"));
        Item("mni_CopeAllMac")->trigger(); // nothing listed: clipboard unchanged
        QCOMPARE(clip->text(), QStringLiteral("before"));
        AddRows(3);
        Item("mni_CopeAllMac")->trigger();
        QCOMPARE(clip->text(),
                 QStringLiteral("00 11 22 33 44 00\r\n00 11 22 33 44 01\r\n00 11 22 33 44 02"));
        List()->setCurrentItem(List()->topLevelItem(1));
        Item("mni_CopyTheMac")->trigger();
        QCOMPARE(clip->text(), QStringLiteral("00 11 22 33 44 01"));
    }

    void openWebUsesTheHttpPort_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("url");
        QTest::newRow("empty field: 80") << QString() << QStringLiteral("http://127.0.0.101:80");
        QTest::newRow("8080") << QStringLiteral("8080")
                              << QStringLiteral("http://127.0.0.101:8080");
    }
    void openWebUsesTheHttpPort() {
        QFETCH(QString, port);
        QFETCH(QString, url);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        AddRows(2);
        Find<QLineEdit>(w.get(), "edt_HTTPServerPort")->setText(port);
        List()->setCurrentItem(List()->topLevelItem(1));
        w->SetUIState(UIStateZ2);
        Item("mni_OpenWeb")->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(url)});
    }

    void commandWithoutSelectionReturnsToSearch() {
        w->SetUIState(UIStateZ2);
        Item("mni_Restart")->trigger();
        QCOMPARE(w->UIState(), int(UIStateSearch));
        QCOMPARE(w->width(), 439);
    }

    void languageSwitchKeepsSelections() {
        auto *addr = Find<QComboBox>(w.get(), "cbb_AddrType");
        auto *reg = Find<QComboBox>(w.get(), "RzComboBox2");
        addr->setCurrentIndex(0);
        reg->setCurrentIndex(2);
        Item("mni_Cn")->trigger();
        QVERIFY(Item("mni_Cn")->isChecked());
        QCOMPARE(addr->currentIndex(), 0);
        QCOMPARE(reg->currentIndex(), 2);
        QCOMPARE(Find<QComboBox>(w.get(), "cbbSoftBitRate")->itemText(1), QStringLiteral("自定义"));
        QVERIFY(Find<QLabel>(w.get(), "lbl_StaticIP")->text().endsWith(QStringLiteral(" ★")));
        QVERIFY(Find<QLabel>(w.get(), "lbl_StaticIPZ3")->text().endsWith(QStringLiteral(" ★")));
        QCOMPARE(Find<QPushButton>(w.get(), "btn_Z3NetSet")->text(),
                 LangText(QStringLiteral("lang_btn_ComSet")));
        for (int state : {UIStateZ1, UIStateZ2, UIStateZ3}) {
            w->SetUIState(state);
            Grab(w.get(), QStringLiteral("state-z%1-cn").arg(state));
        }
        w->SetUIState(UIStateSearch);
        Grab(w.get(), QStringLiteral("state-search-cn"));
        Item("mni_En")->trigger();
        QCOMPARE(addr->currentIndex(), 0);
        QCOMPARE(reg->currentIndex(), 2);
        QCOMPARE(Find<QComboBox>(w.get(), "cbb_BaudRate0")->itemText(1), QStringLiteral("Custom"));
        QCOMPARE(Find<QComboBox>(w.get(), "cbbSoftBitRate")->itemText(1), QStringLiteral("自定义"));
        QVERIFY(Find<QLabel>(w.get(), "lbl_AddrType")->text().endsWith(QStringLiteral(" ★")));
    }
};

QTEST_MAIN(tst_MainState)
#include "tst_MainState.moc"
