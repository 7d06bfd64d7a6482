// TFrm_Main: the window's side of the LAN path. Creates the endpoint and binds its events,
// dispatches the configuration buttons, reads a device when its row is clicked, and turns what
// the endpoint reports into device rows, hex stream records and operation log lines.
#include "Unit_Main.h"

#include "ui_Unit_Main.h"

#include <Unit_AppLang.h>
#include <Unit_ProFun.h>
#include <Unit_Public.h>
#include <Unit_Udp.h>

#include <QMessageBox>
#include <QTreeWidget>

namespace {
QString Lang(const char *key) {
    return LangText(QLatin1String(key));
}
} // namespace

void TFrm_Main::CreateUdpSvr() {
    m_udpSvr = new TUdpSvr(this);
    connect(m_udpSvr, &TUdpSvr::OnDataRecv, this, &TFrm_Main::LogDataRecv);
    connect(m_udpSvr, &TUdpSvr::OnDataSent, this, &TFrm_Main::LogDataSent);
    connect(m_udpSvr, &TUdpSvr::OnDevFound, this, &TFrm_Main::AddDevRow);
    connect(m_udpSvr, &TUdpSvr::OnParamRead, this, &TFrm_Main::ShowParamZ2);
    connect(m_udpSvr, &TUdpSvr::OnCloudRead, this, &TFrm_Main::ShowCloud);
    connect(m_udpSvr, &TUdpSvr::OnHeartRegRead, this, &TFrm_Main::ShowHeartReg);
    connect(m_udpSvr, &TUdpSvr::OnHttpdRead, this, &TFrm_Main::ShowHttpd);
    connect(m_udpSvr, &TUdpSvr::OnStatus, this, &TFrm_Main::ShowStatus);
    connect(m_udpSvr, &TUdpSvr::OnModbusInfo, this, &TFrm_Main::ShowModbus);
}

void TFrm_Main::btn_Click() {
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("btn_Search")) {
        Search();
    } else if (name == QLatin1String("btn_ComRead") || name == QLatin1String("btn_ComSet") ||
               name == QLatin1String("btn_Z2ComSet")) {
        // The serial path comes with its own issue; its buttons are disabled until then.
    } else {
        LanWrite(name);
    }
}

// Both panes and the list are emptied before the search, even when it then fails to bind.
void TFrm_Main::Search() {
    ClearLogs();
    ui->lv_Dev->clear();
    if (m_udpSvr)
        m_udpSvr->SearchDevices();
}

void TFrm_Main::LanWrite(const QString &buttonName) {
    const QTreeWidgetItem *row = SelectedRow();
    if (!row) {
        SetUIState(UIStateSearch);
        AddLog(Lang("lang_Hint_NoTarget"), ColorRed());
        return;
    }
    const RowTarget target = ReadRow(row);
    const bool z2 = target.model == ModelZ2 && buttonName == QLatin1String("btn_Z2NetSet");
    const bool z3 = target.model == ModelZ3 && buttonName == QLatin1String("btn_Z3NetSet");
    const bool z1 = target.model == ModelZ1 && buttonName == QLatin1String("btn_Z1Set");
    if (!z2 && !z3 && !z1)
        return; // a button of another model than the row's
    // The page must show what this device answered: after a click on a device that did not
    // answer, it still holds the previous device's settings (its address among them).
    if (target.mac != m_pageMac) {
        SetUIState(UIStateSearch);
        AddLog(Lang("lang_Hint_NoTarget"), ColorRed());
        return;
    }
    if (z2)
        WriteZ2(target);
    else if (z3)
        WriteZ3(target);
    else
        WriteZ1(target);
}

// Select-to-read: every click on the list reads the selected row's device.
void TFrm_Main::lv_DevClick() {
    const QTreeWidgetItem *row = SelectedRow();
    if (!row) {
        SetUIState(UIStateSearch);
        return;
    }
    const RowTarget target = ReadRow(row);
    SelMac = target.mac;
    m_pageMac.clear(); // until this device's answer fills the page
    AddLogGreen(Lang("lang_ts_Read") + QStringLiteral(" [ Mac : ") + target.macShown +
                QStringLiteral(" ]"));
    switch (target.model) {
    case ModelNone:
        SetUIState(UIStateSearch);
        AddLog(Lang("lang_Hint_VerIncompatible"), ColorRed());
        break;
    case ModelZ2:
        SelBindIndex = target.bindIndex;
        HideModbusGroup();
        if (m_udpSvr)
            m_udpSvr->SendDevCmd(SelBindIndex, SelMac, cmdRead, CfgUserName, CfgPassword);
        break;
    case ModelZ3:
        if (m_udpSvr)
            m_udpSvr->SendDevCmdZ3(target.bindIndex, SelMac, cmdRead, CfgUserName, CfgPassword);
        break;
    case ModelZ1:
        ReadZ1(target, ui->lv_Dev->indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(row)));
        break;
    default:
        break;
    }
}

// Opening the context menu reads the row first, so the state and the enabled items match it.
void TFrm_Main::pm_NetDevPopup(const QPoint &pos) {
    lv_DevClick();
    m_pmNetDev->popup(ui->lv_Dev->viewport()->mapToGlobal(pos));
}

namespace {
// "[ local : port ] → [ peer : port ]" of a hex stream record.
QString RecordHeader(const QString &localAddress, int localPort, const char *arrow,
                     const QString &peerAddress, int peerPort) {
    return QLatin1String(LogOpen) + localAddress + QLatin1String(LogColon) +
           QString::number(localPort) + QString::fromUtf8(arrow) + peerAddress +
           QLatin1String(LogColon) + QString::number(peerPort) + QLatin1String(LogClose);
}
} // namespace

// One hex stream record: a blank line, the header and "[ Length : n ]" in the direction's
// colour, then the bytes as spaced hex.
void TFrm_Main::AddHexRecord(const QString &header, const QColor &color, const QByteArray &data) {
    AddHexPlain(QString());
    AddHex(header, color);
    AddHex(QLatin1String(LogOpen) + QStringLiteral("Length : ") + QString::number(data.size()) +
               QLatin1String(LogClose),
           color);
    AddHexPlain(QString::fromLatin1(BytesToSpacedHex(data)));
}

void TFrm_Main::LogDataRecv(const QByteArray &data, const QString &peerAddress,
                            const QString &localAddress, int peerPort, int localPort) {
    AddHexRecord(RecordHeader(localAddress, localPort, LogRecv, peerAddress, peerPort),
                 ColorGreen(), data);
}

void TFrm_Main::LogDataSent(const QByteArray &data, const QString &peerAddress,
                            const QString &localAddress, int peerPort, int localPort) {
    AddHexRecord(RecordHeader(localAddress, localPort, LogSent, peerAddress, peerPort), ColorBlue(),
                 data);
    AddLogGreen(Lang("lang_Hint_Sending"));
}

// Every status of the endpoint becomes one line in the current language.
void TFrm_Main::ShowStatus(int code, const QString &text) {
    switch (code) {
    case stSearchDone:
        AddLogGreen(Lang("lang_H_lv_Dev"));
        break;
    case stCheckErr:
        AddLog(Lang("lang_Hint_CheckErr") + text, ColorRed());
        break;
    case stAck:
        AddLogGreen(Lang("lang_Hint_ACK"));
        break;
    case stOtherErr:
        AddLog(Lang("lang_Hint_OtherErr"), ColorRed());
        break;
    case stPswdErr:
        AddLog(Lang("lang_Hint_PswdErr"), ColorRed());
        ShowPswdDialog();
        break;
    case stPortInUse: {
        const QString line = QString::number(PortInUseNo) + Lang("lang_Hint_UDPPortInUse");
        AddLog(line, ColorRed());
        ShowMessage(line, QMessageBox::Warning);
        break;
    }
    case stVerIncompatible:
        SetUIState(UIStateSearch);
        AddLog(Lang("lang_Hint_VerIncompatible"), ColorRed());
        break;
    case stReceiveOther:
        AddLog(Lang("lang_Hint_ReceiveOther") + text, ColorRed());
        break;
    default:
        break;
    }
}

// The search-page tab: which write buttons show, the maroon hint about the CFG pin, and the
// search state. The serial tab's port list comes with the serial issue.
void TFrm_Main::rzpgcntrl_SrchTabClick() {
    const bool lan = ui->rzpgcntrl_Srch->currentIndex() == 0;
    SetLanButtons(lan);
    AddLog(lan ? Lang("lang_rztbsht_Net") + ',' + Lang("lang_ts_CfgFree")
               : Lang("lang_rztbsht_Com") + ',' + Lang("lang_ts_CfgGnd"),
           ColorMaroon());
    SetUIState(UIStateSearch);
    SetLanGroupsVisible(lan);
}
