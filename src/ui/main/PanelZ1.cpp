#include "PanelZ1.h"

#include "PanelFields.h"
#include "ui_PageZ1.h"

#include <Unit_ProFun.h>

Z1FlagBoxes Z1FlagBoxesOf(Ui::PageZ1 &p) {
    return {p.chk_ConnSendId, p.chk_DataWithId, p.chk_RS485, p.chk_RS422,
            p.chk_Reset,      p.chk_Link,       p.chk_Index, p.chk_RFC2217};
}

void ShowZ1Flags(quint8 flags, const Z1FlagBoxes &boxes) {
    for (int i = 0; i < 8; ++i)
        boxes[i]->setChecked(flags & (1 << i));
}

quint8 GatherZ1Flags(const Z1FlagBoxes &boxes) {
    quint8 flags = 0;
    for (int i = 0; i < 8; ++i)
        if (boxes[i]->isChecked())
            flags |= quint8(1 << i);
    return flags;
}

void ApplyWorkModeZ1(Ui::PageZ1 &p, int index) {
    const bool client = index < 2; // UDP Mode, TCP Client, or nothing selected
    for (QWidget *w : {static_cast<QWidget *>(p.edt_DeIP), static_cast<QWidget *>(p.edt_DePort),
                       static_cast<QWidget *>(p.lbl_DeIP), static_cast<QWidget *>(p.lbl_DePort)})
        w->setEnabled(client);
}

void ShowZ1Values(Ui::PageZ1 &p, const Z1Values &v) {
    ShowZ1Flags(v.Flags, Z1FlagBoxesOf(p));
    ApplyWorkModeZ1(p, 0);
    SelectIndex(p.cbb_ModuleWork, v.WorkMode);
    ShowFieldText(p.edt_ModuleIP, v.ModuleIP);
    ShowFieldText(p.edt_Mask, v.Mask);
    ShowFieldText(p.edt_Gateway, v.Gateway);
    ShowBaudRate(p.cbb_BaudRate, v.BaudRate);
    SelectIndex(p.cbb_P, v.Parity);
    SelectIndex(p.cbb_D, v.DataBits);
    SelectIndex(p.cbb_S, v.StopBits);
    ShowFieldValue(p.edt_ModulePort, QString::number(v.ModulePort));
    ShowFieldText(p.edt_DeIP, v.DeIP);
    ShowFieldValue(p.edt_DePort, QString::number(v.DePort));
    ShowFieldValue(p.edt_ID, QString::number(v.ID));
    ApplyWorkModeZ1(p, p.cbb_ModuleWork->currentIndex());
}

void ShowZ1Image(Ui::PageZ1 &p, const QByteArray &block) {
    ShowZ1Values(p, DecodeZ1Image(block));
}

Z1Values CollectZ1(Ui::PageZ1 &p, PageCollector &c) {
    if (p.edt_ID->text().isEmpty())
        p.edt_ID->setText(QStringLiteral("0"));
    // Z1 addresses: an empty text or part is not a number.
    const auto checkIP = [](const QByteArray &text) {
        QByteArray field(4, '\0');
        Z1IPTextToBytes(field, 0, text);
    };
    Z1Values v;
    c.Check(p.edt_DeIP, p.lbl_DeIP, p.edt_DeIP->text(), checkIP);
    v.DeIP = FieldText(p.edt_DeIP);
    v.DePort = c.Number(p.edt_DePort, p.lbl_DePort);
    c.Check(p.edt_ModuleIP, p.lbl_ModuleIP, p.edt_ModuleIP->text(), checkIP);
    v.ModuleIP = FieldText(p.edt_ModuleIP);
    v.ModulePort = c.Number(p.edt_ModulePort, p.lbl_ModulePort);
    c.Check(p.edt_Gateway, p.lbl_Gateway, p.edt_Gateway->text(), checkIP);
    v.Gateway = FieldText(p.edt_Gateway);
    v.WorkMode = p.cbb_ModuleWork->currentIndex();
    v.BaudRate = c.Number(p.cbb_BaudRate, p.lbl_BaudRate);
    v.Parity = p.cbb_P->currentIndex();
    v.DataBits = p.cbb_D->currentIndex();
    v.StopBits = p.cbb_S->currentIndex();
    v.ID = c.Number(p.edt_ID, p.lbl_ID);
    v.Flags = GatherZ1Flags(Z1FlagBoxesOf(p));
    c.Check(p.edt_Mask, p.lbl_Mask, p.edt_Mask->text(), checkIP);
    v.Mask = FieldText(p.edt_Mask);
    return v;
}
