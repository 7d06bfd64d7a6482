#include "PanelZ3.h"

#include "PanelFields.h"
#include "PanelNetFields.h"
#include "ui_PageZ3.h"

#include <ImageEncoders.h>
#include <Unit_ProFun.h>

namespace {

NetBaseFields BaseFields(Ui::PageZ3 &p) {
    return {p.cbb_AddrTypeZ3,       p.edt_LocationURLPortZ3, p.lbl_LocationURLPortZ3,
            p.edt_HTTPServerPortZ3, p.lbl_HTTPServerPortZ3,  p.edt_StaticIPZ3,
            p.lbl_StaticIPZ3,       p.edt_GatewayIPZ3,       p.lbl_GatewayIPZ3,
            p.edt_SubnetMaskZ3,     p.lbl_SubnetMaskZ3,      p.edt_ModNameZ3,
            p.edt_usernameZ3,       p.edt_passwordZ3,        p.edt_UserMACZ3,
            p.lbl_UserMACZ3};
}

NetPortFields PortFields(Ui::PageZ3 &p) {
    return {p.cbb_BaudRate0Z3,    p.lbl_BaudRate0Z3,    p.cbb_D0Z3,          p.cbb_P0Z3,
            p.cbb_S0Z3,           p.cbb_FlowControl0Z3, p.edt_LocalPort0Z3,  p.lbl_LocalPort0Z3,
            p.edt_RemotePort0Z3,  p.lbl_RemotePort0Z3,  p.edt_RemoteIP0Z3,   p.cbb_ModbusTCP0Z3,
            p.chk_RFC22170Z3,     p.cbb_WorkMode0Z3,    p.edt_UARTLength0Z3, p.lbl_UARTLength0Z3,
            p.cbb_TCPSvrCount0Z3, p.cbb_TCPStyle0Z3};
}

} // namespace

void ShowParamZ3(Ui::PageZ3 &p, const TBaseParam &b, const QByteArray &portImage) {
    ShowNetBase(BaseFields(p), b);
    ShowFieldValue(p.edt_IdTypeZ3, QString::number(b.ExtFlags & 0xFF));
    TPortParam port = DecodePortImage(portImage);
    DecodePortTailZ3(portImage, port);
    ShowNetPort(PortFields(p), port);
    ShowFieldValue(p.edt_UARTLength0Z3, QString::number(port.UARTLength));
    SelectIndex(p.cbb_TCPSvrCount0Z3, port.TCPSvrCount - 1);
    SelectIndex(p.cbb_TCPStyle0Z3, port.TCPStyle - 1);
}

TBaseParam CollectBaseZ3(Ui::PageZ3 &p, PageCollector &c) {
    const NetBaseFields f = BaseFields(p);
    TBaseParam b;
    CollectNetBase(f, c, b);
    b.ExtFlags = c.Number(p.edt_IdTypeZ3, p.lbl_IdTypeZ3);
    CollectUserMac(f, c, b);
    return b;
}

TPortParam CollectPortZ3(Ui::PageZ3 &p, PageCollector &c) {
    TPortParam port;
    CollectNetPort(PortFields(p), c, port);
    return port;
}
