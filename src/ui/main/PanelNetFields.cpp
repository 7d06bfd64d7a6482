#include "PanelNetFields.h"

#include "PanelFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

void ShowNetBase(const NetBaseFields &f, const TBaseParam &b) {
    f.addrType->setCurrentIndex(b.AddrType == 0 ? 0 : 1);
    ShowFieldValue(f.urlPort, QString::number(b.LocationURLPort));
    ShowFieldValue(f.httpPort, QString::number(b.HTTPServerPort));
    ShowFieldText(f.staticIP, b.StaticIP);
    ShowFieldText(f.gateway, b.GatewayIP);
    ShowFieldText(f.mask, b.SubnetMask);
    ShowFieldText(f.name, b.ModName);
    ShowFieldText(f.user, b.UserName);
    ShowFieldText(f.password, b.Password);
    ShowFieldText(f.userMac, b.UserMAC);
}

void CollectNetBase(const NetBaseFields &f, PageCollector &c, TBaseParam &b) {
    b.AddrType = f.addrType->currentIndex() != 0 ? 1 : 0;
    b.LocationURLPort = c.Number(f.urlPort, f.urlPortLabel);
    b.HTTPServerPort = c.Number(f.httpPort, f.httpPortLabel);
    c.Check(f.staticIP, f.staticIPLabel, f.staticIP->text(), CheckIPText);
    b.StaticIP = FieldText(f.staticIP);
    c.Check(f.gateway, f.gatewayLabel, f.gateway->text(), CheckIPText);
    b.GatewayIP = FieldText(f.gateway);
    c.Check(f.mask, f.maskLabel, f.mask->text(), CheckIPText);
    b.SubnetMask = FieldText(f.mask);
    b.ModName = FieldText(f.name);
    b.UserName = FieldText(f.user);
    b.Password = FieldText(f.password);
}

void CollectUserMac(const NetBaseFields &f, PageCollector &c, TBaseParam &b) {
    c.Check(f.userMac, f.userMacLabel, f.userMac->text(), CheckMacText);
    b.UserMAC = FieldText(f.userMac);
}

void ShowNetPort(const NetPortFields &f, const TPortParam &port) {
    ShowBaudRate(f.baud, port.BaudRate);
    SelectIndex(f.dataBits, port.DataBits - 5);
    SelectIndex(f.parity, port.Parity - 1);
    // Stop bits: the item that shows the value, or none (a list left on the last device's
    // value would show, and write back, a setting this device does not have).
    if (!SelectItemText(f.stopBits, QString::number(port.StopBits)))
        f.stopBits->setCurrentIndex(-1);
    const int flowItem = FlowControlItem(port.FlowControl);
    if (flowItem >= 0)
        f.flow->setCurrentIndex(flowItem);
    ShowFieldValue(f.localPort, QString::number(port.LocalPort));
    ShowFieldValue(f.remotePort, QString::number(port.RemotePort));
    ShowFieldText(f.remoteIP, port.RemoteIP);
    SelectIndex(f.modbusTcp, port.ModbusTCP);
    if (port.BaudSync == 0 || port.BaudSync == 1)
        f.baudSync->setChecked(port.BaudSync == 1);
    SelectIndex(f.workMode, port.WorkMode);
}

void CollectNetPort(const NetPortFields &f, PageCollector &c, TPortParam &port) {
    port.BaudRate = c.Number(f.baud, f.baudLabel);
    port.DataBits = f.dataBits->currentIndex() + 5;
    port.Parity = f.parity->currentIndex() + 1;
    port.StopBits = f.stopBits->currentIndex() + 1;
    port.FlowControl = FlowControlCode(f.flow->currentIndex());
    port.LocalPort = c.Number(f.localPort, f.localPortLabel);
    port.RemotePort = c.Number(f.remotePort, f.remotePortLabel);
    port.RemoteIP = FieldText(f.remoteIP);
    port.ModbusTCP = f.modbusTcp->currentIndex();
    port.BaudSync = f.baudSync->isChecked() ? 1 : 0;
    port.WorkMode = f.workMode->currentIndex();
    port.UARTLength = c.Number(f.uartLength, f.uartLengthLabel);
    port.TCPSvrCount = f.svrCount->currentIndex() + 1;
    port.TCPStyle = f.style->currentIndex() + 1;
}
