// TFrm_Main: the parameter pages' side of the LAN flows. The endpoint's read replies fill the
// Z2 page (and a Z3 device's parameter image the Z3 page); the write buttons collect a page
// into the codec's values and hand them to the shared write sequence (WriteSequence.h), or,
// for a Z1 device, send the 40-byte Z1 LAN image. The binding of each page to its records is
// in PanelZ1/PanelZ2/PanelZ3.
#include "Unit_Main.h"

#include "PanelFields.h"
#include "PanelZ1.h"
#include "PanelZ2.h"
#include "PanelZ3.h"
#include "ui_PageZ1.h"
#include "ui_PageZ2.h"
#include "ui_PageZ3.h"

#include <ImageEncoders.h>
#include <Unit_AppLang.h>
#include <Unit_ProFun.h>
#include <Unit_Public.h>
#include <Unit_Udp.h>
#include <WriteSequence.h>
#include <Z1Block.h>

#include <QLoggingCategory>
#include <QScrollArea>
#include <QTreeWidgetItem>

#include <exception>

Q_LOGGING_CATEGORY(lcUiPages, "n6.ui.pages")

namespace {

QString ReadOkText() {
    return LangText(QStringLiteral("lang_ts_Read")) + LangText(QStringLiteral("lang_ts_OK"));
}

// A parameter image belongs to the selected row when its user MAC is the row's MAC. A user MAC
// of all FF stands for the device's own MAC: the image then answers the read that went to the
// selected row's MAC.
bool IsSelectedDevice(const QByteArray &rowMac, const QByteArray &userMac) {
    const QByteArray mac = RemoveSpaces(userMac).toUpper();
    return mac == RemoveSpaces(rowMac).toUpper() || mac == QByteArray("FFFFFFFFFFFF");
}

// The first field of a page that did not convert: a red line with its name and text, and the
// focus (scrolled into view on the Z2 page).
void ReportCollectError(TFrm_Main &w, const CollectError &e) {
    w.AddLog(QStringLiteral("Error: ") + e.label + QStringLiteral(" \"") + e.text +
                 QStringLiteral("\""),
             TFrm_Main::ColorRed());
    for (QWidget *p = e.field->parentWidget(); p; p = p->parentWidget()) {
        if (auto *scroll = qobject_cast<QScrollArea *>(p)) {
            scroll->ensureWidgetVisible(e.field);
            break;
        }
    }
    e.field->setFocus(Qt::OtherFocusReason);
}

// A Z1 device's search record shows on the Z1 page when its MAC is the selected one; true
// when it did.
bool ShowZ1Record(TFrm_Main &w, const QByteArray &record, const QByteArray &macText) {
    if (!Z1RecordMatches(record, macText))
        return false;
    ShowZ1Image(w.pageZ1(), Z1RecordImage(record));
    w.AddLogGreen(ReadOkText());
    return true;
}

} // namespace

void TFrm_Main::ConnectPageHandlers() {
    connect(uiZ2->RzComboBox1, &QComboBox::activated, this, [this] { RzComboBox1Change(*uiZ2); });
    connect(uiZ2->RzComboBox2, &QComboBox::activated, this, [this] { RzComboBox2Change(*uiZ2); });
    // cbb_ModuleWorkChange: the destination fields follow the Z1 work mode.
    connect(uiZ1->cbb_ModuleWork, &QComboBox::activated, this,
            [this](int index) { ApplyWorkModeZ1(*uiZ1, index); });
}

void TFrm_Main::ShowParamZ2(const TBaseParam &base, const TarrComParam &ports, bool fromSerial,
                            int model) {
    QByteArray rowMac;
    if (!fromSerial) {
        const QTreeWidgetItem *row = SelectedRow();
        if (!row || !IsSelectedDevice(ReadRow(row).mac, base.UserMAC))
            return; // another device's reply
        rowMac = ReadRow(row).mac;
    }
    try {
        if (model == ModelZ2) {
            SetUIState(UIStateZ2);
            ApplyAddrType(1, ModelZ2);
            ShowBaseZ2(*uiZ2, base);
            ApplyAddrType(uiZ2->cbb_AddrType->currentIndex(), ModelZ2);
            if (ports.size() == 1) {
                ShowPortZ2(*uiZ2, ports.first());
                ApplyWorkModeZ2();
            }
            m_pageMac = rowMac; // a LAN write may now go to this row's device
        } else if (model == ModelZ3 && !fromSerial && ports.size() == 1) {
            // The Z3 page is written from what it shows: it must hold what the device holds.
            SetUIState(UIStateZ3);
            ShowParamZ3(*uiZ3, base, LastImages.PortImage());
            ApplyAddrType(uiZ3->cbb_AddrTypeZ3->currentIndex(), ModelZ3);
            ApplyWorkModeZ3();
            m_pageMac = rowMac;
        }
        AddLogGreen(ReadOkText());
    } catch (const std::exception &e) {
        qCWarning(lcUiPages) << "showing a parameter image failed:" << e.what();
        AddLog(QStringLiteral("Error"), ColorRed());
    }
}

void TFrm_Main::ShowCloud(const TarrCloudParam &cloud, bool, int) {
    if (cloud.size() == 1)
        ShowCloudZ2(*uiZ2, cloud.first());
}

void TFrm_Main::ShowHeartReg(const QByteArray &image, bool, int model) {
    if (model == ModelZ2)
        ShowHeartRegZ2(*uiZ2, DecodeHeartRegImage(image));
}

void TFrm_Main::ShowHttpd(const QByteArray &url, const QByteArray &header) {
    ShowHttpdZ2(*uiZ2, url, header);
}

void TFrm_Main::ShowModbus(const TModbusParam &modbus, int length) {
    ShowModbusZ2(*uiZ2, modbus, length);
}

void TFrm_Main::ReadZ1(const RowTarget &, int rowIndex) {
    SetUIState(UIStateZ1);
    if (rowIndex >= 0 && rowIndex < SearchReplies.size() &&
        ShowZ1Record(*this, SearchReplies.at(rowIndex), SelMac))
        m_pageMac = SelMac;
}

// The Z1 page as the 40-byte LAN image (MAC, access code, block), sent unframed to port 1500.
void TFrm_Main::WriteZ1(const RowTarget &row) {
    PageCollector c;
    const Z1Values values = CollectZ1(*uiZ1, c);
    if (!c.ok()) {
        ReportCollectError(*this, c.error());
        return;
    }
    QByteArray image;
    try {
        image = Z1NetImage(row.mac, EncodeZ1Image(values));
    } catch (const ConvertError &) {
        AddLog(QStringLiteral("Error"), ColorRed());
        return;
    }
    if (m_udpSvr)
        m_udpSvr->SendDevRaw(row.bindIndex, image);
}

void TFrm_Main::WriteZ2(const RowTarget &row) {
    Z2WriteInputs in;
    PageCollector c;
    in.base = CollectBaseZ2(*uiZ2, c);
    in.port = CollectPortZ2(*uiZ2, c);
    in.registrationType = RegistrationTypeZ2(*uiZ2);
    in.cloud = CollectCloudZ2(*uiZ2);
    in.versionText = row.version;
    // Fields of blocks this device does not get are not collected, so they cannot stop it.
    if (VersionNumber(row.version) > LastVersionWithoutHeartReg)
        in.heartReg = CollectHeartRegZ2(*uiZ2, c);
    in.httpdUrl = HttpdUrlZ2(*uiZ2);
    in.httpdHeader = HttpdHeaderZ2(*uiZ2);
    in.modbusShown = !uiZ2->rzgrpbxModbus->isHidden();
    in.modbusForm = uiZ2->rzchckbxmodbuspool->isHidden() ? ModbusImageShort : ModbusImageLong;
    if (in.modbusShown)
        in.modbus = CollectModbusZ2(*uiZ2, c, in.modbusForm == ModbusImageLong);
    if (!c.ok()) {
        ReportCollectError(*this, c.error());
        return;
    }
    in.images = LastImages;
    in.row = {row.bindIndex, row.mac};
    in.selected = {SelBindIndex, SelMac};
    in.user = CfgUserName;
    in.password = CfgPassword;
    const WriteSequence seq = BuildZ2Write(in);
    if (!seq.badFields.isEmpty()) { // the collection checks these; kept as a last guard
        AddLog(QStringLiteral("Error: ") + QString::fromLatin1(seq.badFields.first()), ColorRed());
        return;
    }
    if (m_udpSvr)
        RunWriteSequence(*m_udpSvr, seq);
}

void TFrm_Main::WriteZ3(const RowTarget &row) {
    Z3WriteInputs in;
    PageCollector c;
    in.base = CollectBaseZ3(*uiZ3, c);
    in.port = CollectPortZ3(*uiZ3, c);
    if (!c.ok()) {
        ReportCollectError(*this, c.error());
        return;
    }
    in.images = LastImages;
    in.row = {row.bindIndex, row.mac};
    in.user = CfgUserName;
    in.password = CfgPassword;
    const WriteSequence seq = BuildZ3Write(in);
    if (!seq.badFields.isEmpty()) {
        AddLog(QStringLiteral("Error: ") + QString::fromLatin1(seq.badFields.first()), ColorRed());
        return;
    }
    if (m_udpSvr)
        RunWriteSequence(*m_udpSvr, seq);
}

// Restore factory settings of a Z1 device: the page takes the factory values, then the write.
void TFrm_Main::ResetZ1(const RowTarget &row) {
    ShowZ1Values(*uiZ1, Z1FactoryValues());
    WriteZ1(row);
}
