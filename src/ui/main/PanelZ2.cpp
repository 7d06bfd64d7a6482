#include "PanelZ2.h"

#include "PanelFields.h"
#include "PanelNetFields.h"
#include "ui_PageZ2.h"

#include <GbkText.h>
#include <Unit_ProFun.h>
#include <WriteSequence.h>

namespace {

void SetVisible(std::initializer_list<QWidget *> widgets, bool visible) {
    for (QWidget *w : widgets)
        w->setVisible(visible);
}

// A hex data text (hex box checked) must be whole digit pairs.
void CheckHexData(const QByteArray &text) {
    QByteArray field(HeartRegDataMax, '\0');
    if (!HexTextToBuffer(text, field, 0, HeartRegDataMax))
        throw ConvertError("hex data");
}

NetBaseFields BaseFields(Ui::PageZ2 &p) {
    return {
        p.cbb_AddrType,       p.edt_LocationURLPort, p.lbl_LocationURLPort, p.edt_HTTPServerPort,
        p.lbl_HTTPServerPort, p.edt_StaticIP,        p.lbl_StaticIP,        p.edt_GatewayIP,
        p.lbl_GatewayIP,      p.edt_SubnetMask,      p.lbl_SubnetMask,      p.edt_ModName,
        p.edt_username,       p.edt_password,        p.edt_UserMAC,         p.lbl_UserMAC};
}

NetPortFields PortFields(Ui::PageZ2 &p) {
    return {p.cbb_BaudRate0,    p.lbl_BaudRate0,    p.cbb_D0,          p.cbb_P0,
            p.cbb_S0,           p.cbb_FlowControl0, p.edt_LocalPort0,  p.lbl_LocalPort0,
            p.edt_RemotePort0,  p.lbl_RemotePort0,  p.edt_RemoteIP0,   p.cbb_ModbusTCP0,
            p.chk_RFC22170,     p.cbb_WorkMode0,    p.edt_UARTLength0, p.lbl_UARTLength0,
            p.cbb_TCPSvrCount0, p.cbb_TCPStyle0};
}

} // namespace

ExtFlagBoxes ExtFlagBoxesZ2(Ui::PageZ2 &p) {
    return {p.rzchckbx_Reset, p.rzchckbx_Link, p.rzchckbx_Index, p.rzchckbx_RFC2217};
}

void ShowExtFlags(quint8 flags, const ExtFlagBoxes &boxes) {
    for (int i = 0; i < 4; ++i)
        boxes[i]->setChecked(flags & (0x10 << i));
}

quint8 GatherExtFlags(const ExtFlagBoxes &boxes) {
    quint8 flags = 0;
    for (int i = 0; i < 4; ++i)
        if (boxes[i]->isChecked())
            flags |= quint8(0x10 << i);
    return flags;
}

void ShowBaseZ2(Ui::PageZ2 &p, const TBaseParam &b) {
    SelectIndex(p.cbbHeartTp, b.HeartTarget);
    SelectIndex(p.cbbRegSnd, b.RegSendMode);
    ShowNetBase(BaseFields(p), b);
    ShowExtFlags(quint8(b.ExtFlags), ExtFlagBoxesZ2(p));
    ShowFieldText(p.edtDns, b.DNS);
    ShowFieldValue(p.LabeledEditShortTime, QString::number(b.ShortTime));
    p.RzCheckBoxShortEnable->setChecked(b.ShortConn);
    p.RzCheckBox2->setChecked(b.ClearCache);
}

void ShowPortZ2(Ui::PageZ2 &p, const TPortParam &port) {
    for (QWidget *w :
         {static_cast<QWidget *>(p.cbb_TCPStyle0), static_cast<QWidget *>(p.cbb_ModbusTCP0),
          static_cast<QWidget *>(p.edt_RemoteIP0), static_cast<QWidget *>(p.cbb_TCPSvrCount0)})
        w->setEnabled(true);
    p.RzComboBox2->setCurrentIndex(RegistrationType(port));
    RzComboBox2Change(p);
    p.RzCheckBox1->setChecked(port.KickOld);
    ShowNetPort(PortFields(p), port);
    ShowFieldValue(p.edt_UARTLength0, QString::number(port.UARTLength));
    SelectIndex(p.cbbGetPost, port.HttpdMethod);
    SelectIndex(p.cbb_TCPSvrCount0, port.TCPSvrCount - 1);
    ShowFieldValue(p.LabeledEdit1, QString::number(port.ResetTime));
    SelectIndex(p.cbb_TCPStyle0, port.TCPStyle - 1);
}

void ShowCloudZ2(Ui::PageZ2 &p, const TCloudParam &cloud) {
    ShowFieldText(p.edtDid, cloud.DeviceID);
    ShowFieldText(p.edtCompass, cloud.CommPassword);
}

void ShowHeartRegZ2(Ui::PageZ2 &p, const HeartRegValues &v) {
    p.rzchckbxHeartDtHex->setChecked(v.HeartHex);
    p.rzchckbxRegDtHex->setChecked(v.RegHex);
    p.rzchckbxComSetEnable->setChecked(v.UartSetParam);
    p.rzchckbxRegDataWith->setChecked(v.DataWith);
    p.rzchckbxRegConnTo->setChecked(v.ConnectWith);
    p.RzCheckBox3->setChecked(v.RemoveHttpdHead);
    p.RzComboBox1->setCurrentIndex(v.NetHeart ? 2 : v.UartHeart ? 1 : 0);
    RzComboBox1Change(p);
    ShowFieldValue(p.edtHeartTm, QString::number(v.HeartTime));
    // The decoder gives hex digits for a hex field and the field's bytes otherwise.
    ShowFieldValue(p.edtHeartDt,
                   v.HeartHex ? QString::fromLatin1(v.HeartData) : GbkToUnicode(v.HeartData));
    ShowFieldValue(p.edtRegDt, v.RegHex ? QString::fromLatin1(v.RegData) : GbkToUnicode(v.RegData));
}

void ShowHttpdZ2(Ui::PageZ2 &p, const QByteArray &url, const QByteArray &header) {
    ShowFieldText(p.LabeledEdit2, url);
    QString text = GbkToUnicode(header);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    p.RzRichEdit1->setPlainText(text);
}

void ShowModbusZ2(Ui::PageZ2 &p, const TModbusParam &modbus, int length) {
    p.rzgrpbxModbus->show();
    if (length == ModbusImageShort) {
        p.rzchckbxmodbustcp->show();
        p.rzchckbxmodbustcp->setChecked(modbus.ModbusTCP == 1);
    } else if (length == ModbusImageLong) {
        SetVisible({p.rzchckbxmodbustcp, p.rzchckbxmodbuspool, p.lblhearttime, p.edtwaittime},
                   true);
        p.rzchckbxmodbustcp->setChecked(modbus.ModbusTCP == 1);
        p.rzchckbxmodbuspool->setChecked(modbus.PollEnable == 1);
        ShowFieldText(p.edtwaittime, modbus.PollTime);
    }
}

void RzComboBox1Change(Ui::PageZ2 &p) {
    const int item = p.RzComboBox1->currentIndex();
    if (item < 0 || item > 2)
        return;
    SetVisible({p.lblHeartTm, p.edtHeartTm, p.lblHeartDt, p.edtHeartDt, p.rzchckbxHeartDtHex},
               item != 0);
}

void RzComboBox2Change(Ui::PageZ2 &p) {
    const int item = p.RzComboBox2->currentIndex();
    if (item < 0 || item > 3)
        return;
    SetVisible({p.lblDid, p.lblCompass, p.edtDid, p.edtCompass}, item == RegTypeCloud);
    SetVisible({p.lblRegSnd, p.rzchckbxRegDataWith, p.rzchckbxRegConnTo},
               item == RegTypeMac || item == RegTypeUser);
    SetVisible({p.edtRegDt, p.lblRegTp, p.rzchckbxRegDtHex}, item == RegTypeUser);
    // The groups of the scroll box stack from the top again.
    if (QLayout *layout = p.ScrollBox1Contents->layout())
        layout->invalidate();
}

TBaseParam CollectBaseZ2(Ui::PageZ2 &p, PageCollector &c) {
    const NetBaseFields f = BaseFields(p);
    TBaseParam b;
    CollectNetBase(f, c, b);
    b.HeartTarget = p.cbbHeartTp->currentIndex();
    b.RegSendMode = p.cbbRegSnd->currentIndex();
    b.ExtFlags = GatherExtFlags(ExtFlagBoxesZ2(p));
    CollectUserMac(f, c, b);
    c.Check(p.edtDns, p.lblDns, p.edtDns->text(), CheckIPText);
    b.DNS = FieldText(p.edtDns);
    b.ShortTime = TextToIntDef(FieldText(p.LabeledEditShortTime), 3);
    b.ShortConn = p.RzCheckBoxShortEnable->isChecked();
    b.ClearCache = p.RzCheckBox2->isChecked();
    return b;
}

TPortParam CollectPortZ2(Ui::PageZ2 &p, PageCollector &c) {
    TPortParam port;
    CollectNetPort(PortFields(p), c, port);
    ApplyRegistrationType(port, RegistrationTypeZ2(p));
    port.KickOld = p.RzCheckBox1->isChecked();
    port.HttpdMethod = p.cbbGetPost->currentIndex();
    port.ResetTime = TextToIntDef(FieldText(p.LabeledEdit1), 0);
    return port;
}

TCloudParam CollectCloudZ2(Ui::PageZ2 &p) {
    return {FieldText(p.edtDid), FieldText(p.edtCompass)};
}

HeartRegValues CollectHeartRegZ2(Ui::PageZ2 &p, PageCollector &c) {
    HeartRegValues v;
    const int heart = p.RzComboBox1->currentIndex();
    v.NetHeart = heart == 2;
    v.UartHeart = heart == 1;
    v.ConnectWith = p.rzchckbxRegConnTo->isChecked();
    v.DataWith = p.rzchckbxRegDataWith->isChecked();
    v.RemoveHttpdHead = p.RzCheckBox3->isChecked();
    v.UartSetParam = p.rzchckbxComSetEnable->isChecked();
    v.HeartHex = p.rzchckbxHeartDtHex->isChecked();
    v.RegHex = p.rzchckbxRegDtHex->isChecked();
    v.HeartTime = c.Number(p.edtHeartTm, p.lblHeartTm);
    if (v.HeartHex)
        c.Check(p.edtHeartDt, p.lblHeartDt, p.edtHeartDt->text(), CheckHexData);
    if (v.RegHex)
        c.Check(p.edtRegDt, p.lblRegTp, p.edtRegDt->text(), CheckHexData);
    v.HeartData = FieldText(p.edtHeartDt);
    v.RegData = FieldText(p.edtRegDt);
    return v;
}

ModbusValues CollectModbusZ2(Ui::PageZ2 &p, PageCollector &c, bool withPollTime) {
    ModbusValues v;
    v.ModbusTCP = p.rzchckbxmodbustcp->isChecked();
    v.PollEnable = p.rzchckbxmodbuspool->isChecked();
    if (withPollTime)
        v.PollTime = c.Number(p.edtwaittime, p.lblhearttime);
    return v;
}

int RegistrationTypeZ2(const Ui::PageZ2 &p) {
    return qMax(0, p.RzComboBox2->currentIndex());
}

QByteArray HttpdUrlZ2(const Ui::PageZ2 &p) {
    return FieldText(p.LabeledEdit2);
}

QByteArray HttpdHeaderZ2(const Ui::PageZ2 &p) {
    QString text = p.RzRichEdit1->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return UnicodeToGbk(text);
}
