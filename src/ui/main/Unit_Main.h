#pragma once
// TFrm_Main: the one screen of the tool.
//
// Left column: how devices are reached (LAN search tab with the device list, serial tab) and the
// two log panes (operation log, hex stream). Right: the parameter page of one model (Z1, Z2,
// Z3) or nothing; SetUIState decides which, and how wide the window is.
//
// Data comes in through the LAN endpoint TUdpSvr (created by CreateUdpSvr): its signals fill
// the device list, write the hex stream records and the log lines, and fill the pages. User
// actions (buttons, list clicks, menus) go out as the endpoint's send operations.
//
// The class is split by concern over several files:
//   Unit_Main.cpp      construction, start (FormCreate) and close, event filter
//   MainState.cpp      SetUIState, menu enablement, mode-dependent fields, small field handlers
//   MainLogs.cpp       device list, the four log appenders, CSV export
//   MainTexts.cpp      ApplyMainTexts (captions, items and hints in the current language)
//   MainLanFlows.cpp   endpoint events, search, select-to-read, status lines
//   MainMenus.cpp      main menu and device context menu commands

#include <QByteArray>
#include <QColor>
#include <QMainWindow>
#include <QString>

#include <Unit_Public.h>

#include <memory>

namespace Ui {
class TFrm_Main;
class PageZ1;
class PageZ2;
class PageZ3;
} // namespace Ui

class QAbstractButton;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTreeWidgetItem;
class HintSwitch;
class TFrm_Pswd;
class TUdpSvr;

class TFrm_Main : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs FormCreate (texts, initial state, LAN endpoint).
    explicit TFrm_Main(QWidget *parent = nullptr);
    ~TFrm_Main() override;

    // ---- Window state (MainState.cpp) ----
    // Client width in the search state (left column only) and with a parameter page.
    static constexpr int WidthSearch = 439;
    static constexpr int WidthParam = 1004;
    static constexpr int ClientHeight = 540;

    // UIStateInit, UIStateSearch, UIStateZ1..Z3 (Unit_Public.h); any other value does nothing.
    void SetUIState(int state);
    int UIState() const { return m_uiState; }
    // Every device menu item := enabled, then the two copy-MAC items enabled in any case.
    void EnableDeviceMenu(bool enabled);
    // Greys (0, DHCP) or enables (1, static) the static address fields of the Z2 or Z3 page.
    void ApplyAddrType(int itemIndex, int model);
    // Enables or greys the port fields of the Z2 / Z3 page by its work mode.
    void ApplyWorkModeZ2();
    void ApplyWorkModeZ3();
    // Enables or greys a control and paints its label (silver when greyed).
    static void SetFieldEnabled(QWidget *field, QLabel *label, bool enabled);

    // ---- Device list and logs (MainLogs.cpp) ----
    static QColor ColorGreen() { return QColor(0, 128, 0); }
    static QColor ColorRed() { return QColor(255, 0, 0); }
    static QColor ColorMaroon() { return QColor(128, 0, 0); }
    static QColor ColorBlue() { return QColor(0, 0, 255); }
    void AddLog(const QString &text, const QColor &color);
    void AddLogGreen(const QString &text);
    void AddHex(const QString &text, const QColor &color);
    void AddHexPlain(const QString &text);
    // A whole hex stream record (blank line, header, length line, spaced hex).
    void AddHexRecord(const QString &header, const QColor &color, const QByteArray &data);
    // Empties both log panes (hex stream first).
    void ClearLogs();
    // Appends a device row: IP, name, MAC, version, model code, binding index.
    void AddDevRow(const QString &ip, const QByteArray &name, const QString &mac,
                   const QString &version, int model, int bindIndex);
    // Writes the list to "<dir>/<Export Devices> yyyyMMdd hhmmss - (n).csv"; returns the path
    // (empty when the list is empty or the file could not be written).
    QString ExportDeviceList();
    // Where ExportDeviceList writes (the program's directory unless set, e.g. by tests).
    void SetExportDir(const QString &dir) { m_exportDir = dir; }

    // The selected row, or nullptr; and the values the commands take from it.
    QTreeWidgetItem *SelectedRow() const;
    struct RowTarget {
        QString ip;
        QString macShown;  // column 2 as shown
        QByteArray mac;    // blanks removed
        QString version;   // column 3
        int model = 0;     // column 4
        int bindIndex = 0; // column 5
    };
    static RowTarget ReadRow(const QTreeWidgetItem *row);

    // ---- Texts (MainTexts.cpp) ----
    void ApplyMainTexts();

    // ---- LAN flows (MainLanFlows.cpp) ----
    void CreateUdpSvr();
    TUdpSvr *UdpSvr() const { return m_udpSvr; }
    // The search-page tab routine (LAN tab 0, serial tab 1): buttons, the maroon hint line,
    // the search state.
    void rzpgcntrl_SrchTabClick();

    // ---- Generated forms (the next issues bind the pages through these) ----
    Ui::TFrm_Main &form() { return *ui; }
    Ui::PageZ1 &pageZ1() { return *uiZ1; }
    Ui::PageZ2 &pageZ2() { return *uiZ2; }
    Ui::PageZ3 &pageZ3() { return *uiZ3; }
    QMenu *DeviceMenu() const { return m_pmNetDev; }
    TFrm_Pswd *PswdDialog() const { return m_frmPswd; }

public slots:
    // Dispatch by the sender's objectName.
    void btn_Click();
    void lv_DevClick();
    void mni_MenuClick();
    void mni_LvRightMmClick();

    // Endpoint events (MainLanFlows.cpp).
    void LogDataRecv(const QByteArray &data, const QString &peerAddress,
                     const QString &localAddress, int peerPort, int localPort);
    void LogDataSent(const QByteArray &data, const QString &peerAddress,
                     const QString &localAddress, int peerPort, int localPort);
    void ShowStatus(int code, const QString &text);

    // Page handlers of the read replies (MainPages.cpp; filled by the page binding).
    void ShowParamZ2(const TBaseParam &base, const TarrComParam &ports, bool fromSerial, int model);
    void ShowCloud(const TarrCloudParam &cloud, bool fromSerial, int model);
    void ShowHeartReg(const QByteArray &image, bool fromSerial, int model);
    void ShowHttpd(const QByteArray &url, const QByteArray &header);
    void ShowModbus(const TModbusParam &modbus, int length);

public:
    // A modal message box (objectName "dlg_Message") with the window's caption; `icon` is a
    // QMessageBox::Icon.
    void ShowMessage(const QString &text, int icon);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormClose();
    void ConnectHandlers();
    void SetupDeviceList();
    void SetupDeviceMenu();
    void SetTabWidths();
    void SetLanButtons(bool lan);
    void SetLanGroupsVisible(bool lan);
    void HideModbusGroup();

    // Field handlers (MainState.cpp).
    void cbb_AddrTypeChange(QComboBox *sender);
    void cbb_BaudRateClick(QComboBox *sender, int index);
    void rzchckbxHeartDtHexClick(QAbstractButton *sender);
    void chkCloudClick();
    bool ScrollBox1Wheel(QEvent *event);
    static bool IsCursorOver(const QWidget *w, const QPoint &globalPos);

    // Flows (MainLanFlows.cpp, MainMenus.cpp).
    void Search();
    void LanWrite(const QString &buttonName);
    // Model-specific reads and writes of the pages (MainPages.cpp).
    void ReadZ1(const RowTarget &row, int rowIndex);
    void WriteZ1(const RowTarget &row);
    void WriteZ2(const RowTarget &row);
    void WriteZ3(const RowTarget &row);
    void ResetZ1(const RowTarget &row);
    // The page handlers of the Z1 and Z2 lists (MainPages.cpp).
    void ConnectPageHandlers();
    void pm_NetDevPopup(const QPoint &pos);
    void CopyAllMacs();
    void OpenWeb(const RowTarget &row);
    void ShowPswdDialog();
    void SetLanguage(bool chinese);

    // A text pane writer that adds lines without a trailing empty line.
    void AppendLine(QPlainTextEdit *pane, const QString &text, const QColor &color);
    // Scrolls a pane to its last line once control is back in the event loop.
    void ScrollToEndLater(QPlainTextEdit *pane, bool &pending);

    std::unique_ptr<Ui::TFrm_Main> ui;
    std::unique_ptr<Ui::PageZ1> uiZ1;
    std::unique_ptr<Ui::PageZ2> uiZ2;
    std::unique_ptr<Ui::PageZ3> uiZ3;
    QMenu *m_pmNetDev = nullptr;
    TUdpSvr *m_udpSvr = nullptr;
    TFrm_Pswd *m_frmPswd = nullptr;
    QLabel *m_statPanel0 = nullptr;
    QLabel *m_statPanel1 = nullptr;
    QString m_exportDir;
    // MAC (blanks removed) of the device whose answer fills the parameter page; empty from a
    // row click until that device answers. LAN writes go only to this device.
    QByteArray m_pageMac;
    int m_uiState = UIStateSearchUnset;
    HintSwitch *m_hints = nullptr;
    bool m_hexScrollPending = false;
    bool m_logScrollPending = false;
    // The firmware upgrade window comes with a later issue; until then its menu item stays off.
    bool m_upgradeAvailable = false;
    static constexpr int UIStateSearchUnset = -2;
};
