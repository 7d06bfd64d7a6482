#include "PanelZ3.h"

#include "PanelFields.h"
#include "ui_PageZ3.h"

#include <Unit_ProFun.h>

void ShowParamZ3(Ui::PageZ3 &p, const TBaseParam &b, const TPortParam &port,
                 const QByteArray &portImage) {
    p.cbb_AddrTypeZ3->setCurrentIndex(b.AddrType == 0 ? 0 : 1);
    p.edt_LocationURLPortZ3->setText(QString::number(b.LocationURLPort));
    p.edt_HTTPServerPortZ3->setText(QString::number(b.HTTPServerPort));
    ShowFieldText(p.edt_StaticIPZ3, b.StaticIP);
    ShowFieldText(p.edt_GatewayIPZ3, b.GatewayIP);
    ShowFieldText(p.edt_SubnetMaskZ3, b.SubnetMask);
    ShowFieldText(p.edt_ModNameZ3, b.ModName);
    ShowFieldText(p.edt_usernameZ3, b.UserName);
    ShowFieldText(p.edt_passwordZ3, b.Password);
    p.edt_IdTypeZ3->setText(QString::number(b.ExtFlags & 0xFF));
    ShowFieldText(p.edt_UserMACZ3, b.UserMAC);

    ShowBaudRate(p.cbb_BaudRate0Z3, port.BaudRate);
    SelectIndex(p.cbb_D0Z3, port.DataBits - 5);
    SelectIndex(p.cbb_P0Z3, port.Parity - 1);
    SelectItemText(p.cbb_S0Z3, QString::number(port.StopBits));
    const int flowItem = FlowControlItem(port.FlowControl);
    if (flowItem >= 0)
        p.cbb_FlowControl0Z3->setCurrentIndex(flowItem);
    p.edt_LocalPort0Z3->setText(QString::number(port.LocalPort));
    p.edt_RemotePort0Z3->setText(QString::number(port.RemotePort));
    ShowFieldText(p.edt_RemoteIP0Z3, port.RemoteIP);
    SelectIndex(p.cbb_ModbusTCP0Z3, port.ModbusTCP);
    if (port.BaudSync == 0 || port.BaudSync == 1)
        p.chk_RFC22170Z3->setChecked(port.BaudSync == 1);
    SelectIndex(p.cbb_WorkMode0Z3, port.WorkMode);
    p.edt_UARTLength0Z3->setText(QString::number(BytesToInt(portImage, 52, 4, true)));
    const int countStyle = quint8(portImage.size() > 58 ? portImage.at(58) : 0);
    SelectIndex(p.cbb_TCPSvrCount0Z3, countStyle / 16 - 1);
    SelectIndex(p.cbb_TCPStyle0Z3, countStyle % 16 - 1);
}

TBaseParam CollectBaseZ3(Ui::PageZ3 &p, PageCollector &c) {
    TBaseParam b;
    b.AddrType = p.cbb_AddrTypeZ3->currentIndex() != 0 ? 1 : 0;
    b.LocationURLPort = c.Number(p.edt_LocationURLPortZ3, p.lbl_LocationURLPortZ3);
    b.HTTPServerPort = c.Number(p.edt_HTTPServerPortZ3, p.lbl_HTTPServerPortZ3);
    c.Check(p.edt_StaticIPZ3, p.lbl_StaticIPZ3, p.edt_StaticIPZ3->text(), CheckIPText);
    b.StaticIP = FieldText(p.edt_StaticIPZ3);
    c.Check(p.edt_GatewayIPZ3, p.lbl_GatewayIPZ3, p.edt_GatewayIPZ3->text(), CheckIPText);
    b.GatewayIP = FieldText(p.edt_GatewayIPZ3);
    c.Check(p.edt_SubnetMaskZ3, p.lbl_SubnetMaskZ3, p.edt_SubnetMaskZ3->text(), CheckIPText);
    b.SubnetMask = FieldText(p.edt_SubnetMaskZ3);
    b.ModName = FieldText(p.edt_ModNameZ3);
    b.UserName = FieldText(p.edt_usernameZ3);
    b.Password = FieldText(p.edt_passwordZ3);
    b.ExtFlags = c.Number(p.edt_IdTypeZ3, p.lbl_IdTypeZ3);
    c.Check(p.edt_UserMACZ3, p.lbl_UserMACZ3, p.edt_UserMACZ3->text(), CheckMacText);
    b.UserMAC = FieldText(p.edt_UserMACZ3);
    return b;
}

TPortParam CollectPortZ3(Ui::PageZ3 &p, PageCollector &c) {
    TPortParam port;
    port.BaudRate = c.Number(p.cbb_BaudRate0Z3, p.lbl_BaudRate0Z3);
    port.DataBits = p.cbb_D0Z3->currentIndex() + 5;
    port.Parity = p.cbb_P0Z3->currentIndex() + 1;
    port.StopBits = p.cbb_S0Z3->currentIndex() + 1;
    port.FlowControl = FlowControlCode(p.cbb_FlowControl0Z3->currentIndex());
    port.LocalPort = c.Number(p.edt_LocalPort0Z3, p.lbl_LocalPort0Z3);
    port.RemotePort = c.Number(p.edt_RemotePort0Z3, p.lbl_RemotePort0Z3);
    port.RemoteIP = FieldText(p.edt_RemoteIP0Z3);
    port.ModbusTCP = p.cbb_ModbusTCP0Z3->currentIndex();
    port.BaudSync = p.chk_RFC22170Z3->isChecked() ? 1 : 0;
    port.WorkMode = p.cbb_WorkMode0Z3->currentIndex();
    port.UARTLength = c.Number(p.edt_UARTLength0Z3, p.lbl_UARTLength0Z3);
    port.TCPSvrCount = p.cbb_TCPSvrCount0Z3->currentIndex() + 1;
    port.TCPStyle = p.cbb_TCPStyle0Z3->currentIndex() + 1;
    return port;
}
