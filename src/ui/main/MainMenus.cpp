// TFrm_Main: the main menu and the device list's context menu.
#include "Unit_Main.h"

#include "ui_PageZ2.h"
#include "ui_Unit_Main.h"

#include "HintSwitch.h"
#include "Unit_Pswd.h"

#include <Platform.h>
#include <Unit_AppLang.h>
#include <Unit_Public.h>
#include <Unit_Udp.h>

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTreeWidget>
#include <QUrl>

void TFrm_Main::mni_MenuClick() {
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("mni_Hint")) {
        // The check mark is toggled by the action itself; hints follow it.
        m_hints->setOn(ui->mni_Hint->isChecked());
    } else if (name == QLatin1String("mniExporDevs")) {
        ExportDeviceList();
    } else if (name == QLatin1String("mni_Exit")) {
        close();
    } else if (name == QLatin1String("mni_Pswd")) {
        ShowPswdDialog();
    } else if (name == QLatin1String("mni_Cn")) {
        SetLanguage(true);
    } else if (name == QLatin1String("mni_En")) {
        SetLanguage(false);
    } else if (name == QLatin1String("mni_Up")) {
        QDesktopServices::openUrl(QUrl(LangText(QStringLiteral("lang_Menu_DownUrl"))));
    }
    // mni_About: the about window comes with a later issue (the item is hidden until then).
    // mni_WorkOrder: hidden, points nowhere.
}

void TFrm_Main::SetLanguage(bool chinese) {
    (chinese ? ui->mni_Cn : ui->mni_En)->setChecked(true);
    SetLangChinese(chinese);
    ApplyMainTexts();
    m_frmPswd->ApplyPswdTexts();
}

// The dialog is modal; when it already shows it is only brought to the front.
void TFrm_Main::ShowPswdDialog() {
    if (m_frmPswd->isVisible()) {
        m_frmPswd->raise();
        m_frmPswd->activateWindow();
        return;
    }
    m_frmPswd->exec();
}

void TFrm_Main::mni_LvRightMmClick() {
    const QString name = sender() ? sender()->objectName() : QString();
    if (name == QLatin1String("mni_CopeAllMac")) {
        CopyAllMacs();
        return;
    }
    if (name == QLatin1String("mni_FirmwareUp"))
        return; // the upgrade window comes with a later issue (the item is disabled)
    const QTreeWidgetItem *row = SelectedRow();
    if (!row) {
        SetUIState(UIStateSearch);
        return;
    }
    const RowTarget target = ReadRow(row);
    if (name == QLatin1String("mniReadTheParam")) {
        ui->btn_Search->click();
    } else if (name == QLatin1String("mni_OpenWeb")) {
        OpenWeb(target);
    } else if (name == QLatin1String("mni_Restart")) {
        if (m_udpSvr)
            m_udpSvr->SendDevCmd(target.bindIndex, target.mac, cmdRestart, CfgUserName,
                                 CfgPassword);
    } else if (name == QLatin1String("mni_Reset")) {
        if (target.model == ModelZ2 && m_udpSvr)
            m_udpSvr->SendDevCmd(target.bindIndex, target.mac, cmdReset, CfgUserName, CfgPassword);
        else if (target.model == ModelZ3 && m_udpSvr)
            m_udpSvr->SendDevCmdZ3(target.bindIndex, target.mac, cmdReset, CfgUserName,
                                   CfgPassword);
        else if (target.model == ModelZ1)
            ResetZ1(target);
    } else if (name == QLatin1String("mni_CopyTheMac")) {
        QGuiApplication::clipboard()->setText(target.macShown);
    }
}

// All MACs as shown, CR LF between them, none after the last.
void TFrm_Main::CopyAllMacs() {
    QTreeWidget *lv = ui->lv_Dev;
    if (lv->topLevelItemCount() == 0)
        return;
    QStringList macs;
    for (int i = 0; i < lv->topLevelItemCount(); ++i)
        macs << lv->topLevelItem(i)->text(2);
    QGuiApplication::clipboard()->setText(macs.join(QStringLiteral("\r\n")));
}

// The device's web page at the HTTP port of the Z2 page (80 when that field is empty).
void TFrm_Main::OpenWeb(const RowTarget &row) {
    FlushArpCache();
    const QString port = uiZ2->edt_HTTPServerPort->text();
    const QString portPart = QLatin1Char(':') + (port.isEmpty() ? QStringLiteral("80") : port);
    QDesktopServices::openUrl(QUrl(QStringLiteral("http://") + row.ip + portPart));
}
