// TFrm_Main: the UI state (which parameter page shows, how wide the window is, which device
// commands are enabled) and the handlers that grey or change fields as the user edits a page.
#include "Unit_Main.h"

#include "ui_PageZ1.h"
#include "ui_PageZ2.h"
#include "ui_PageZ3.h"
#include "ui_Unit_Main.h"

#include <GbkText.h>
#include <Unit_AppLang.h>
#include <Unit_ProFun.h>
#include <Unit_Public.h>

#include <QApplication>
#include <QInputDialog>
#include <QScrollBar>
#include <QTabBar>
#include <QWheelEvent>

void TFrm_Main::SetUIState(int state) {
    switch (state) {
    case UIStateInit:
        ui->rzpgcntrl_Srch->setCurrentIndex(0);
        ui->rzpgcntrl_Logs->setCurrentIndex(0);
        ui->rzpgcntrl_Param->tabBar()->hide();
        uiZ1->btn_ComSet->hide();
        uiZ1->btn_Z1Set->show();
        rzpgcntrl_SrchTabClick(); // LAN tab; ends in the search state
        ui->rbZ2->setChecked(true);
        return;
    case UIStateSearch:
        SetTabWidths();
        ui->rzpgcntrl_Param->hide();
        setFixedSize(WidthSearch, ClientHeight);
        EnableDeviceMenu(false);
        ui->mni_FirmwareUp->setEnabled(m_upgradeAvailable);
        break;
    case UIStateZ1:
    case UIStateZ2:
    case UIStateZ3:
        // One stable width for all three pages: each fits beside the left column.
        setFixedSize(WidthParam, ClientHeight);
        ui->rzpgcntrl_Param->show();
        ui->rzpgcntrl_Param->setCurrentIndex(state - UIStateZ1);
        EnableDeviceMenu(true);
        if (state == UIStateZ1) {
            ui->mni_OpenWeb->setEnabled(false);
            ui->mni_Restart->setEnabled(false);
            ui->mni_FirmwareUp->setEnabled(false);
        } else {
            ui->mni_Reset->setEnabled(true);
            ui->mni_FirmwareUp->setEnabled(m_upgradeAvailable);
        }
        break;
    default:
        return;
    }
    m_uiState = state;
}

// Tabs of the search and log pages share their control's width.
void TFrm_Main::SetTabWidths() {
    // The left column has its fixed width even before the window is first laid out.
    const int column = ui->pnl1->minimumWidth();
    const auto fill = [column](QTabWidget *tabs, int count, int less) {
        const int w = column / count - less;
        // The style adds its padding around the tab's width.
        tabs->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { width: %1px; }").arg(w - 16));
    };
    fill(ui->rzpgcntrl_Srch, ui->rzpgcntrl_Srch->count(), 4);
    fill(ui->rzpgcntrl_Logs, ui->rzpgcntrl_Logs->count(), 3);
}

void TFrm_Main::EnableDeviceMenu(bool enabled) {
    const QList<QAction *> items = m_pmNetDev->actions();
    for (QAction *item : items)
        item->setEnabled(enabled);
    ui->mni_CopyTheMac->setEnabled(true);
    ui->mni_CopeAllMac->setEnabled(true);
}

void TFrm_Main::SetFieldEnabled(QWidget *field, QLabel *label, bool enabled) {
    field->setEnabled(enabled);
    if (!label)
        return;
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, enabled ? QApplication::palette().color(QPalette::WindowText)
                                               : QColor(192, 192, 192));
    label->setPalette(pal);
}

void TFrm_Main::ApplyAddrType(int itemIndex, int model) {
    if (itemIndex != 0 && itemIndex != 1)
        return;
    const bool on = itemIndex == 1;
    if (model == ModelZ2) {
        SetFieldEnabled(uiZ2->edt_StaticIP, uiZ2->lbl_StaticIP, on);
        SetFieldEnabled(uiZ2->edt_GatewayIP, uiZ2->lbl_GatewayIP, on);
        SetFieldEnabled(uiZ2->edt_SubnetMask, uiZ2->lbl_SubnetMask, on);
        SetFieldEnabled(uiZ2->edtDns, uiZ2->lblDns, on);
    } else if (model == ModelZ3) {
        SetFieldEnabled(uiZ3->edt_StaticIPZ3, uiZ3->lbl_StaticIPZ3, on);
        SetFieldEnabled(uiZ3->edt_GatewayIPZ3, uiZ3->lbl_GatewayIPZ3, on);
        SetFieldEnabled(uiZ3->edt_SubnetMaskZ3, uiZ3->lbl_SubnetMaskZ3, on);
    }
}

void TFrm_Main::cbb_AddrTypeChange(QComboBox *sender) {
    const int model = sender->objectName() == QLatin1String("cbb_AddrTypeZ3") ? ModelZ3 : ModelZ2;
    ApplyAddrType(sender->currentIndex(), model);
}

void TFrm_Main::ApplyWorkModeZ2() {
    const int m = uiZ2->cbb_WorkMode0->currentIndex();
    SetFieldEnabled(uiZ2->cbb_ModbusTCP0, uiZ2->lbl_ModbusTCP0, m == 1 || m == 3);
    SetFieldEnabled(uiZ2->cbb_TCPSvrCount0, uiZ2->lbl_TCPSvrCount0, m == 3);
    SetFieldEnabled(uiZ2->cbb_TCPStyle0, uiZ2->lbl_TCPStyle0, m == 3);
    SetFieldEnabled(uiZ2->edt_RemoteIP0, uiZ2->lbl_RemoteIP0, m != 3);
    SetFieldEnabled(uiZ2->cbbGetPost, uiZ2->lblGetPost, m == 4);
    uiZ2->RzGroupBoxHttpd->setVisible(m == 4 && ui->rzpgcntrl_Srch->currentIndex() == 0);
    uiZ2->btnDataDebug->setVisible(m != 4);
}

void TFrm_Main::ApplyWorkModeZ3() {
    const int m = uiZ3->cbb_WorkMode0Z3->currentIndex();
    SetFieldEnabled(uiZ3->cbb_ModbusTCP0Z3, uiZ3->lbl_ModbusTCP0Z3, m == 1 || m == 3);
    SetFieldEnabled(uiZ3->cbb_TCPSvrCount0Z3, uiZ3->lbl_TCPSvrCount0Z3, m == 3);
    SetFieldEnabled(uiZ3->cbb_TCPStyle0Z3, uiZ3->lbl_TCPStyle0Z3, m == 3);
    SetFieldEnabled(uiZ3->edt_RemoteIP0Z3, uiZ3->lbl_RemoteIP0Z3, m != 3);
}

// A baud rate list keeps a free slot at index 0 and the custom entry at index 1.
void TFrm_Main::cbb_BaudRateClick(QComboBox *sender, int index) {
    if (index != 1)
        return;
    QInputDialog dlg(this);
    dlg.setObjectName(QStringLiteral("dlg_InputBaud"));
    dlg.setWindowTitle(LangText(QStringLiteral("lang_InputBdTitle")));
    dlg.setLabelText(LangText(QStringLiteral("lang_PlsInputBd")));
    dlg.setTextValue(sender->itemText(0));
    // Cancel keeps the default text, which is the slot's current value.
    const QString text = dlg.exec() == QDialog::Accepted ? dlg.textValue() : sender->itemText(0);
    try {
        const qint32 rate = TextToInt(text.toLatin1());
        sender->setItemText(0, QString::number(rate));
        sender->setCurrentIndex(0);
    } catch (const ConvertError &) {
        sender->setCurrentIndex(sender->findText(QStringLiteral("9600")));
    }
}

// The hex box of the heartbeat (tag 1) or registration data (tag 2) turns its edit's text into
// hex digits and back; text that is not valid hex stays as it is.
void TFrm_Main::rzchckbxHeartDtHexClick(QAbstractButton *sender) {
    QLineEdit *edit = nullptr;
    switch (sender->property("tag").toInt()) {
    case 1:
        edit = uiZ2->edtHeartDt;
        break;
    case 2:
        edit = uiZ2->edtRegDt;
        break;
    default:
        return;
    }
    if (sender->isChecked()) {
        edit->setText(QString::fromLatin1(BytesToHexText(UnicodeToGbk(edit->text()))));
    } else {
        const QByteArray hex = edit->text().toLatin1();
        const QByteArray bytes = HexTextToBytes(hex);
        if (bytes != hex || hex.isEmpty())
            edit->setText(GbkToUnicode(bytes));
    }
}

void TFrm_Main::chkCloudClick() {
    const bool on = uiZ2->chkCloud->isChecked();
    for (QWidget *w :
         {static_cast<QWidget *>(uiZ2->lblDid), static_cast<QWidget *>(uiZ2->lblCompass),
          static_cast<QWidget *>(uiZ2->edtDid), static_cast<QWidget *>(uiZ2->edtCompass)})
        w->setEnabled(on);
}

bool TFrm_Main::IsCursorOver(const QWidget *w, const QPoint &globalPos) {
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size()).contains(globalPos);
}

// A wheel turn anywhere over the Z2 page's scroll box scrolls it by one line, whichever control
// has the focus (a combo box under the mouse does not change its value).
bool TFrm_Main::ScrollBox1Wheel(QEvent *event) {
    auto *wheel = static_cast<QWheelEvent *>(event);
    QWidget *box = uiZ2->ScrollBox1;
    if (!box->isVisible())
        return false;
    if (!IsCursorOver(box, wheel->globalPosition().toPoint()))
        return false;
    const int delta =
        wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
    // Accepted, so that the event is not offered to the widgets below as well.
    event->accept();
    if (delta == 0)
        return true;
    QScrollBar *bar = uiZ2->ScrollBox1->verticalScrollBar();
    bar->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub
                                 : QAbstractSlider::SliderSingleStepAdd);
    return true;
}

// Which of each same-spot pair of write buttons shows follows the search-page tab.
void TFrm_Main::SetLanButtons(bool lan) {
    uiZ1->btn_ComSet->setVisible(!lan);
    uiZ2->btn_Z2ComSet->setVisible(!lan);
    uiZ1->btn_Z1Set->setVisible(lan);
    uiZ2->btn_Z2NetSet->setVisible(lan);
}

// The serial Z2 write carries only the base and port images: the other groups show on the LAN
// tab only.
void TFrm_Main::SetLanGroupsVisible(bool lan) {
    for (QWidget *w : {static_cast<QWidget *>(uiZ2->RzGroupBoxHttpd),
                       static_cast<QWidget *>(uiZ2->RzGroupBoxHeart),
                       static_cast<QWidget *>(uiZ2->rzgrpbxRegHeart),
                       static_cast<QWidget *>(uiZ2->rzchckbxComSetEnable)})
        w->setVisible(lan);
}

// Hidden when a Z2 device is clicked; shown again by a Modbus reply.
void TFrm_Main::HideModbusGroup() {
    for (QWidget *w :
         {static_cast<QWidget *>(uiZ2->rzgrpbxModbus),
          static_cast<QWidget *>(uiZ2->rzchckbxmodbustcp),
          static_cast<QWidget *>(uiZ2->rzchckbxmodbuspool),
          static_cast<QWidget *>(uiZ2->lblhearttime), static_cast<QWidget *>(uiZ2->edtwaittime)})
        w->hide();
}
