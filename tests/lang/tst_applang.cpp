// The program's text list: first start writes Lang.txt from the built-in table, later starts
// read it, and every text that the windows quote comes out in both languages.

#include "ExpectedKeys.h"
#include "GbkText.h"
#include "Unit_AppLang.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// A built-in text as it reads back from the language file: both "\r\n" and "///" turn into LF.
QString AsReadBack(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QStringLiteral("///"), QStringLiteral("\n"));
}

QByteArray ReadAll(const QString &fileName) {
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TstAppLang : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir; // holds the Lang.txt of a first start
    QString LangFile() const { return m_dir.filePath(LangFileName); }

    static QList<TLangRow> Builtin() {
        TLangList list;
        FillBuiltinTexts(list);
        return list.TableRows();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QCOMPARE(InitLanguage(m_dir.path()), QString());
    }
    // Every test starts from the program's state after start-up: texts loaded, English.
    void cleanup() {
        QCOMPARE(InitLanguage(m_dir.path()), QString());
        SetLangChinese(false);
    }
    void cleanupTestCase() { FreeLanguage(); }

    void tableOrderMatchesKeyList() {
        QStringList expected;
        for (const char *key : ExpectedKeyOrder)
            expected << QString::fromLatin1(key);
        QStringList keys;
        for (const TLangRow &row : Builtin())
            keys << row.key;
        QCOMPARE(keys.size(), 249);
        QCOMPARE(keys, expected);
    }

    // The file format cannot carry "|" or lone line breaks, and GBK must hold every character.
    void builtinTextsFitTheFile() {
        for (const TLangRow &row : Builtin()) {
            for (const QString &text : {row.key, row.chinese, row.english}) {
                QVERIFY2(!text.contains(QLatin1Char('|')), qPrintable(row.key));
                QVERIFY2(!QString(text).remove(QStringLiteral("\r\n")).contains(QLatin1Char('\n')),
                         qPrintable(row.key));
                QVERIFY2(!QString(text).remove(QStringLiteral("\r\n")).contains(QLatin1Char('\r')),
                         qPrintable(row.key));
                QVERIFY2(GbkToUnicode(UnicodeToGbk(text)) == text, qPrintable(row.key));
            }
        }
    }

    void firstStartWritesTheFile() {
        const QByteArray bytes = ReadAll(LangFile());
        QVERIFY(bytes.endsWith("\r\n"));
        QList<QByteArray> lines = bytes.split('\n');
        lines.removeLast(); // after the final line end
        QCOMPARE(lines.size(), 252);
        for (const QByteArray &line : lines)
            QVERIFY(line.endsWith('\r'));

        // GBK throughout: decoding and encoding again gives the same bytes.
        QCOMPARE(UnicodeToGbk(GbkToUnicode(bytes)), bytes);
        QVERIFY(GbkToUnicode(lines[0]).startsWith(U(";语言文件格式为: 名称|中文|英文")));
        QVERIFY(lines[1].startsWith(";Language file format: Name|Chinese|English"));
        QCOMPARE(lines[2], QByteArray(" \r"));

        const QList<TLangRow> table = Builtin();
        for (qsizetype i = 0; i < table.size(); ++i)
            QCOMPARE(GbkToUnicode(lines[3 + i].chopped(1)), FormatLangLine(table[i]));
    }

    void fileReadsBackToTheBuiltinTexts() {
        const QList<TLangRow> table = Builtin();
        const QList<TLangRow> file = LangList()->FileRows();
        QCOMPARE(file.size(), 1 + table.size()); // the blank line is an (empty) entry
        QCOMPARE(file[0].key, QString());
        for (qsizetype i = 0; i < table.size(); ++i) {
            QCOMPARE(file[1 + i].key, table[i].key);
            QCOMPARE(file[1 + i].chinese, AsReadBack(table[i].chinese));
            QCOMPARE(file[1 + i].english, AsReadBack(table[i].english));
        }
    }

    void editedFileWinsAtNextStart() {
        QByteArray bytes = ReadAll(LangFile());
        bytes.replace("lang_btn_ComSet|", "lang_btn_ComSet_old|");
        bytes.append("lang_btn_ComSet|" + UnicodeToGbk(U("存")) + "|Store\r\n");
        {
            QFile f(LangFile());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        QCOMPARE(InitLanguage(m_dir.path()), QString());
        QCOMPARE(LangText("lang_btn_ComSet"), "Store");
        SetLangChinese(true);
        QCOMPARE(LangText("lang_btn_ComSet"), U("存"));
        QCOMPARE(ReadAll(LangFile()), bytes); // read, never rewritten
        QFile::remove(LangFile());            // the next start writes it afresh
    }

    void unwritableDirectoryStartsWithTheTable() {
        QTemporaryDir dir;
        const QString missing = dir.filePath("gone");
        const QString error = InitLanguage(missing);
        QVERIFY(!error.isEmpty());
        QVERIFY(error.contains(U("Lang.txt")));
        QCOMPARE(LangText("lang_Hint_ACK"), " ACK.");
        SetLangChinese(true);
        QCOMPARE(LangText("lang_Hint_ACK"), U(" 正确执行。"));
    }

    void languageSwitchAndLifetime() {
        QCOMPARE(LangChinese(), false);
        const QString before = LangText("lang_Hint_NoTarget");
        SetLangChinese(true);
        QCOMPARE(LangChinese(), true);
        const QString after = LangText("lang_Hint_NoTarget");
        QCOMPARE(before, " Please select the module in the search list.");
        QCOMPARE(after, U(" 请在搜索列表中选择模块。"));
        // A status text shown in English turns into the current language.
        QCOMPARE(LangText(before), after);

        FreeLanguage();
        QCOMPARE(LangList(), nullptr);
        QCOMPARE(LangText("lang_Hint_ACK"), "lang_Hint_ACK");
        QCOMPARE(LangChinese(), false);
        SetLangChinese(true); // harmless without a list
    }

    // Texts that the windows and flows quote. An empty Chinese column means only the English
    // text is quoted there. Each goes through the freshly written and read Lang.txt.
    void quotedTexts_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        auto row = [](const char *key, const char *english, const char *chinese = "") {
            QTest::newRow(key) << U(key) << U(english) << U(chinese);
        };
        // LAN flows and status lines
        row("lang_Hint_NoTarget", " Please select the module in the search list.",
            " 请在搜索列表中选择模块。");
        row("lang_Hint_VerIncompatible", "This program is only used for N6 Series",
            "本程序仅支持N6系列");
        row("lang_Hint_Sending", " Data has been sent", "数据已发送");
        row("lang_H_lv_Dev",
            "Click device can read the parameters, right-click Device list show more");
        row("lang_Hint_CheckErr", " Check Error: it should be: ");
        row("lang_Hint_ACK", " ACK.", " 正确执行。");
        row("lang_Hint_OtherErr", " Other Error.");
        row("lang_Hint_PswdErr", " UsrName or Password Error!");
        row("lang_Hint_UDPPortInUse", " Port In Use!");
        row("lang_Hint_ReceiveOther", " Receive unknown,length is: ");
        row("lang_ts_Read", "Read");
        row("lang_ts_OK", " OK ", "完成");
        row("lang_ts_Send", "send", "发送");
        // serial tab and serial frames
        row("lang_lbl_SelectCom", "Select serial port");
        row("lang_Hint_ComF5", "Click to refresh and show all serial port in the machine");
        row("lang_Lbl_Baudrate", "Baudrate");
        row("lang_lbl_BaudRate", "Baudrate");
        row("lang_btn_ComRead", "Read Config");
        row("lang_H_btn_ComRead", "Read device param via COM, please connect CFG to GND");
        row("lang_ComIsOpen", "Serial is Open", "串口已打开");
        row("lang_ComIsNo", "Serial is Occupied", "串口不存在或被占用");
        row("lang_ComIsClose", "Serial is Close", "串口已关闭");
        row("lang_rztbsht_Net", "Operate Via LAN");
        row("lang_ts_CfgFree", "please leave CFG pin free", "CFG引脚需悬空");
        row("lang_rztbsht_Com", "Operate Via COM");
        row("lang_ts_CfgGnd", "please connect CFG to GND", "CFG引脚需接地");
        row("lang_Ts_ComSendFailure", "Serial Send Failure，please try again",
            "串口发送失败，请重试");
        row("lang_Ts_ComSetOk", "setup success", "设置成功");
        row("lang_DataHeadOrChkErr", "Packet Header error or check sum is not correct",
            "包头或校验错误");
        // main window, device list and export
        row("lang_Main_Title", "N6", "N6");
        row("lang_btn_ComSet", "Save Config");
        row("lang_InputBdTitle", "Diy Baud Rate", "自定义波特率");
        row("lang_PlsInputBd", "Please Input your Baud Rate :", "请输入波特率：");
        row("lang_BaudRate_Custom", "Custom", "自定义");
        row("lang_Lv_DevIP", "Device IP");
        row("lang_Lv_DevName", "Device Name");
        row("lang_Lv_MAC", "MAC");
        row("lang_Lv_Version", "Version");
        row("lang_Menu_ExpDev", "Export Devices", "导出设备列表");
        // firmware upgrade
        row("lang_Upgrade_Title", "Firmware Upgrade", "固件升级");
        row("lang_Upgrade_grpClnt", "Select Client", " 目标选择 ");
        row("lang_Upgrade_lblClientIP", "Client IP Address:");
        row("lang_Upgrade_lblClientMAC", "Client MAC Address:");
        row("lang_Upgrade_lblLocalIP", "Local IP Address:");
        row("lang_Upgrade_grpFileName", "Select .bin file");
        row("lang_Upgrade_btnProgram", "Program");
        row("lang_Upgrade_btnExit", "Exit");
        row("lang_Hint_UpNoClient", " Please Select Client first.");
        row("lang_Hint_UpNoFileName", " Please Select .bin file first.");
        row("lang_Hint_UpNoSamNetwork",
            "Please set the module and the computer on the same network "
            "segment, otherwise unable to upgrade.");
        row("lang_Hint_UpSearching", " Searching device...");
        row("lang_Hint_UpReady", " Find Device,Ready to upgrade...");
        row("lang_Hint_BinNotMatch", " Firmware does not match with hardware!");
        row("lang_Hint_UpSuccess", " Upgrade successful.please restore factory default.");
        row("lang_Hint_UpProgress", " Upgrade progress...");
        row("lang_Hint_UpTimeOut", " Upgrade time out!");
        row("lang_Hint_Upfailed", " Upgrade failed!", " 固件升级失败，请联系厂家！");
        row("lang_Upgrade_Hint",
            "Notes: Please disable firewall and antivirus software before \n           upgrade "
            "firmware!");
        // data debug window and command rows
        row("lang_FrameCmd_btnSend", "Send");
        row("lang_DataDebug_btnExplanation", "Right custom name", "右键自定义名称");
        row("lang_DataDebug_chkChooseAll", "Choose All");
        row("lang_DataDebug_btnClearAll", "Clear All");
        row("lang_DataDebug_btnImport", "Import Files");
        row("lang_DataDebug_btnExport", "Export Files");
        row("lang_DataDebug_lblDelay", "Delay(ms)");
        row("lang_Hint_FrameCmd_PopupTitle", "Please enter the instruction name", "请输入指令名称");
        row("lang_Hint_FrameCmd_PopupText", "The instruction name is:");
        row("lang_Hint_DataDebug_FileNotExist", "The file does not exist, please choose again!",
            "该文件不存在,请重新选择！");
        row("lang_DataDebug_Title", "Network data debugging");
        row("lang_DataDebug_lblProtocol", "Protocol:");
        row("lang_DataDebug_lblRemote", "Remote IP, port:");
        row("lang_DataDebug_lblCycleInternal", "Cycle internal:");
        row("lang_DataDebug_btnStart", "Start");
        row("lang_DataDebug_btnStop", "Stop");
        row("lang_DataDebug_btnConnet", "Connect");
        row("lang_DataDebug_disconnect", "Disconnect");
        row("lang_DataDebug_btnCycleSend", "Cycle send");
        row("lang_DataDebug_btnStopSend", "Stop send");
        row("lang_Hint_DataDebug_IPPort", "Please enter IP and port!");
        row("lang_Hint_DataDebug_UDPStart", "UDP has started!");
        row("lang_Hint_DataDebug_UDPStop", "UDP has stopped!");
        row("lang_Hint_DataDebug_ServiceStart", "Service has started, waiting for connection ...");
        row("lang_Hint_DataDebug_ServiceStop", "The server is stopped.");
        row("lang_Hint_DataDebug_ClientConnect", "Client has been monitored ");
        row("lang_Hint_DataDebug_ClientDisconnect", "The server is disconnected from the client.");
        row("lang_Hint_DataDebug_ClientError",
            "An error occurred in the connection of the client!");
        row("lang_Hint_DataDebug_ServerConnect", "Already connected to ");
        row("lang_Hint_DataDebug_ServerDisconnect", "Has disconnected from ");
        row("lang_Hint_DataDebug_ServerError",
            "An error occurred in the connection with the server!");
        row("lang_Hint_DataDebug_NotConn", "Please create a connection first.");
        // password and about windows
        row("lang_Log_Title", "User config", "用户名密码设置");
        row("lang_About_SoftName", "Name:  N6", "名称：N6");
        row("lang_About_Version", "Version:", "版本：");
        row("lang_About_OK", "OK", "确 认");
        // captions that the window descriptions name
        row("lang_grp_BaseSave", "Base Param (which is without ★,usually keep default)",
            "基础设置 (不带★的一般保持默认)");
        row("lang_grp_ComParam", "Port Param");
        row("lang_grp_Param", "General functions");
        row("lang_grp_Special", "Expand functions");
        row("lang_rztbsht_Log", "Operation Log");
        row("lang_rztbsht_Hex", "Hex Streams");
        row("lang_Menu_Pswd", "User config");
        row("lang_Menu_Quit", "Quit");
        row("lang_Menu_Lang", "Language", "Language");
        row("lang_Menu_Cn", "简体中文", "简体中文");
        row("lang_Menu_En", "English", "English");
        row("lang_Menu_Hint", "Real-time Help");
        row("lang_Menu_Version", "Latest version");
        row("lang_Menu_WorkOrder", "Work Order");
        row("lang_mni_OpenWeb", "OpenWeb");
        row("lang_mni_Restart", "Restart");
        row("lang_mni_FirmwareUp", "Firmware upgrade");
        row("lang_mni_Reset", "Reset");
        row("lang_mni_CopyTheMac", "Copy The Mac");
        row("lang_Cbb_DHCP", "DHCP/Auto IP");
        row("lang_Cbb_StaticIP", "Static IP");
        row("lang_Cbb_Transparent", "Transparent transmission");
        row("lang_Cbb_NoIDDiscard", "As ID(No ID discard)");
        row("lang_Cbb_NoIDBroadcast", "As ID(No ID Broadcast)");
        row("lang_Lbl_ModbusTCP", "ModbusTCP", "ModbusTCP");
        row("lang_LabeledEditShortTime", "Short Connection time");
        row("lang_RzCheckBoxShortEnable", "Short Connection");
        row("lang_rzchckbxComSetEnable", "UART Set Parameter");
        row("lang_LabeledEdit1", "Reset Timeout(s)");
        row("lang_RzCheckBox2", "Clear Buffer Data Before Connected");
        row("lang_RzCheckBox1", "TCP Server-kick off old connection");
        row("lang_RzCheckBox3", "Remove Httpd Head");
        row("lang_lblGetPost", "Httpd Chose");
        row("lang_RzGroupBoxHeart", "Heartbeat");
        row("lang_rzgrpbxRegHeart", "Register");
        row("lang_lblHeartTm", "Heartbeat Time(s)");
        row("lang_lblHeartDt", "Heartbeat Packet");
        row("lang_lblDid", "DeviceId");
        row("lang_lblCompass", "Communication Code");
        row("lang_rzchckbxRegDataWith", "Data With");
        row("lang_rzchckbxRegConnTo", "Connect With");
        row("lang_RzComboBox1_0", "None");
        row("lang_RzComboBox1_1", "Uart Heartbeat ");
        row("lang_RzComboBox1_2", "Net Heartbeat");
        row("lang_RzComboBox2_0", "None");
        row("lang_RzComboBox2_1", "MAC As Register");
        row("lang_RzComboBox2_2", "USER Register");
        row("lang_RzComboBox2_3", "Enable Quorvex Cloud", "启用Quorvex云");
        row("lang_rzchckbxmodbuspool", "ModbusTCP poll");
        row("lang_lblhearttime", "Poll Timeout(ms)", "轮询时间(秒)");
        // lookups by another spelling or by a shown text
        row("LANG_HINT_ACK", " ACK.", " 正确执行。");
        row("lang_lbl_PDS", "Parity/Data/Stop");
        row(" Search online Device...", " Search online Device...", " 正在搜索在线设备...");
        row("lang_lbl_H_password",
            " The user name and password for webpage login and the software configuration ",
            " 网页登录与本软件配置的用户名与密码 ");
        row("lang_lbl_H_LocationURLPort", " LocationURLPort \n In general ，it's useless ",
            " UPNP端口，一般用不着 ");
    }
    void quotedTexts() {
        QFETCH(QString, key);
        QFETCH(QString, chinese);
        QTEST(LangText(key), "english");
        if (!chinese.isEmpty()) {
            SetLangChinese(true);
            QCOMPARE(LangText(key), chinese);
        }
    }

    void aboutRowsNameNoRealSite() {
        for (const char *key : {"lang_About_Website", "lang_Menu_DownUrl"}) {
            for (bool chinese : {false, true}) {
                SetLangChinese(chinese);
                QVERIFY2(LangText(key).contains(U("example.com")), key);
            }
        }
        SetLangChinese(false);
        QVERIFY(!LangText("lang_About_Description").isEmpty());
        QVERIFY(LangText("lang_About_Description") != "lang_About_Description");
    }
};

QTEST_GUILESS_MAIN(TstAppLang)
#include "tst_applang.moc"
