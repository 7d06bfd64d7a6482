// TFrm_Main: captions, list items and hints of the main window in the current language.
#include "Unit_Main.h"

#include "ui_Unit_Main.h"

#include <Unit_AppLang.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

enum Kind { Caption, Hint };
// Also applied to the Z3 page's control of the same name + "Z3".
constexpr bool AlsoZ3 = true;

struct TextRow {
    const char *name;
    const char *key;
    Kind kind = Caption;
    bool alsoZ3 = false;
    const char *suffix = "";
};

// clang-format off
const TextRow MainTextRows[] = {
    // Menus
    {"mni_File", "lang_Menu_File"}, {"mni_Pswd", "lang_Menu_Pswd"},
    {"mniExporDevs", "lang_Menu_ExpDev"}, {"mni_Exit", "lang_Menu_Quit"},
    {"mni_Lang", "lang_Menu_Lang"}, {"mni_Cn", "lang_Menu_Cn"}, {"mni_En", "lang_Menu_En"},
    {"mni_Help", "lang_Menu_Help"}, {"mni_About", "lang_Menu_About"},
    {"mni_Hint", "lang_Menu_Hint"}, {"mni_Up", "lang_Menu_Version"},
    {"mni_WorkOrder", "lang_Menu_WorkOrder"},
    // Device context menu (the hidden read item keeps its own caption)
    {"mni_OpenWeb", "lang_mni_OpenWeb"}, {"mni_Restart", "lang_mni_Restart"},
    {"mni_FirmwareUp", "lang_mni_FirmwareUp"}, {"mni_Reset", "lang_mni_Reset"},
    {"mni_CopyTheMac", "lang_mni_CopyTheMac"}, {"mni_CopeAllMac", "lang_mni_CopeAllMac"},
    // Left column
    {"lbl_SelectCom", "lang_lbl_SelectCom"}, {"lbl1", "lang_lbl_BaudRate"},
    {"lblZNum", "lang_lblZNum"},
    {"btn_Search", "lang_btn_Search"}, {"btn_ComRead", "lang_btn_ComRead"},
    {"btn_ComSet", "lang_btn_ComSet"}, {"btn_Z1Set", "lang_btn_ComSet"},
    {"btn_Z2NetSet", "lang_btn_ComSet"}, {"btn_Z2ComSet", "lang_btn_ComSet"},
    {"btn_Z3NetSet", "lang_btn_ComSet"},
    {"rztbsht_Net", "lang_rztbsht_Net"}, {"rztbsht_Com", "lang_rztbsht_Com"},
    {"rztbsht_Log", "lang_rztbsht_Log"}, {"rztbsht_Hex", "lang_rztbsht_Hex"},
    {"btn_Search", "lang_H_btn_Search", Hint}, {"btn_ComRead", "lang_H_btn_ComRead", Hint},
    {"lv_Dev", "lang_H_lv_Dev", Hint}, {"cbb_SelectCom", "lang_Hint_ComF5", Hint},
    // Groups
    {"grp_Param", "lang_grp_Param"}, {"grp_Special", "lang_grp_Special"},
    {"grp_BaseSave", "lang_grp_BaseSave", Caption, AlsoZ3},
    {"grp_ComParam", "lang_grp_ComParam", Caption, AlsoZ3},
    // Z1 page
    {"lbl_ModuleWork", "lang_Lbl_WorkMode"}, {"lbl_ModuleIP", "lang_lbl_ModuleIP"},
    {"lbl_Mask", "lang_Lbl_SubnetMask"}, {"lbl_Gateway", "lang_Lbl_Gateway"},
    {"lbl_BaudRate", "lang_lbl_BaudRate"}, {"lbl_PDS", "lang_lbl_PDS"},
    {"lbl_ModulePort", "lang_Lbl_LocalPort"}, {"lbl_DeIP", "lang_lbl_DeIP"},
    {"lbl_DePort", "lang_Lbl_RemotePort"}, {"lbl_ID", "lang_Lbl_DevID"},
    {"lbl_IdType", "lang_Lbl_DevIDType"},
    {"chk_ConnSendId", "lang_chk_ConnSendId"}, {"chk_DataWithId", "lang_chk_DataWithId"},
    {"cbb_ModuleWork", "lang_Hint_ModuleWork", Hint}, {"edt_ModuleIP", "lang_Hint_ModuleIP", Hint},
    {"edt_Mask", "lang_Hint_Mask", Hint}, {"edt_Gateway", "lang_Hint_Gateway", Hint},
    {"cbb_BaudRate", "lang_Hint_BaudRate", Hint}, {"cbb_P", "lang_Hint_PDS", Hint},
    {"cbb_D", "lang_Hint_PDS", Hint}, {"cbb_S", "lang_Hint_PDS", Hint},
    {"edt_ModulePort", "lang_Hint_ModulePort", Hint}, {"edt_DeIP", "lang_Hint_DeIP", Hint},
    {"edt_DePort", "lang_Hint_DePort", Hint}, {"edt_ID", "lang_Hint_ID", Hint},
    {"chk_RS485", "lang_Hint_RS485", Hint}, {"chk_RS422", "lang_Hint_RS422", Hint},
    {"chk_Reset", "lang_Hint_Reset", Hint}, {"chk_Index", "lang_Hint_Index", Hint},
    {"chk_Link", "lang_Hint_Link", Hint}, {"chk_RFC2217", "lang_Hint_RFC2217", Hint},
    {"rzchckbx_RS485", "lang_Hint_RS485", Hint}, {"rzchckbx_RS422", "lang_Hint_RS422", Hint},
    {"rzchckbx_Reset", "lang_Hint_Reset", Hint}, {"rzchckbx_Index", "lang_Hint_Index", Hint},
    {"rzchckbx_Link", "lang_Hint_Link", Hint}, {"rzchckbx_RFC2217", "lang_Hint_RFC2217", Hint},
    // Base groups (Z2 and Z3)
    {"lbl_LocationURLPort", "lang_Lbl_UPNPPort", Caption, AlsoZ3},
    {"lbl_HTTPServerPort", "lang_Lbl_HTTPPort", Caption, AlsoZ3},
    {"lbl_Id3", "lang_Lbl_DevID", Caption, AlsoZ3},
    {"lbl_IdType", "lang_Lbl_DevIDType", Caption, AlsoZ3},
    {"lbl_username", "lang_Lbl_UserName", Caption, AlsoZ3},
    {"lbl_password", "lang_Lbl_Password", Caption, AlsoZ3},
    {"lbl_ModName", "lang_Lbl_DevName", Caption, AlsoZ3},
    {"lbl_UserMAC", "lang_Lbl_MAC", Caption, AlsoZ3},
    {"lbl_AddrType", "lang_Lbl_IPType", Caption, AlsoZ3, " \u2605"},
    {"lbl_StaticIP", "lang_Lbl_StaticIP", Caption, AlsoZ3, " \u2605"},
    {"lbl_GatewayIP", "lang_Lbl_Gateway", Caption, AlsoZ3, " \u2605"},
    {"lbl_SubnetMask", "lang_Lbl_SubnetMask", Caption, AlsoZ3, " \u2605"},
    {"rzchckbx_ConnSendId", "lang_chk_ConnSendId"}, {"rzchckbx_DataWithId", "lang_chk_DataWithId"},
    {"edt_LocationURLPort", "lang_lbl_H_LocationURLPort", Hint, AlsoZ3},
    {"edt_HTTPServerPort", "lang_lbl_H_HTTPServerPort", Hint, AlsoZ3},
    {"edt_Id3", "lang_lbl_H_Id", Hint, AlsoZ3}, {"edt_IdType", "lang_lbl_H_IdType", Hint, AlsoZ3},
    {"edt_username", "lang_lbl_H_username", Hint, AlsoZ3},
    {"edt_password", "lang_lbl_H_password", Hint, AlsoZ3},
    {"edt_ModName", "lang_lbl_H_ModName", Hint, AlsoZ3},
    {"edt_UserMAC", "lang_lbl_H_UserMAC", Hint, AlsoZ3},
    {"cbb_AddrType", "lang_lbl_H_AddrType", Hint, AlsoZ3},
    {"edt_StaticIP", "lang_lbl_H_StaticIP", Hint, AlsoZ3},
    {"edt_SubnetMask", "lang_lbl_H_SubnetMask", Hint, AlsoZ3},
    {"edt_GatewayIP", "lang_lbl_H_GatewayIP", Hint, AlsoZ3},
    // Port groups (Z2 and Z3)
    {"lbl_BaudRate0", "lang_Lbl_Baudrate", Caption, AlsoZ3},
    {"lbl_PDS0", "lang_Lbl_PDS", Caption, AlsoZ3},
    {"lbl_FlowControl0", "lang_Lbl_FlowControl", Caption, AlsoZ3},
    {"lbl_LocalPort0", "lang_Lbl_LocalPort", Caption, AlsoZ3},
    {"lbl_RemotePort0", "lang_Lbl_RemotePort", Caption, AlsoZ3},
    {"lbl_WorkMode0", "lang_Lbl_WorkMode", Caption, AlsoZ3},
    {"lbl_TCPSvrCount0", "lang_Lbl_TCPSvrCount", Caption, AlsoZ3},
    {"lbl_TCPStyle0", "lang_Lbl_TCPStyle", Caption, AlsoZ3},
    {"lbl_ModbusTCP0", "lang_Lbl_ModbusTCP", Caption, AlsoZ3},
    {"lbl_RemoteIP0", "lang_Lbl_RemoteIP", Caption, AlsoZ3},
    {"lbl_UARTTime0", "lang_Lbl_PackTime", Caption, AlsoZ3},
    {"lbl_UARTLength0", "lang_Lbl_PackLen", Caption, AlsoZ3},
    {"chk_RFC22170", "lang_Chkbox_RFC22170", Caption, AlsoZ3}, {"lblDns", "lang_lblDns"},
    {"cbb_BaudRate0", "lang_lbl_H_BaudRate", Hint, AlsoZ3},
    {"cbb_P0", "lang_lbl_H_PDS", Hint, AlsoZ3}, {"cbb_D0", "lang_lbl_H_PDS", Hint, AlsoZ3},
    {"cbb_S0", "lang_lbl_H_PDS", Hint, AlsoZ3},
    {"cbb_FlowControl0", "lang_lbl_H_FlowControl", Hint, AlsoZ3},
    {"edt_LocalPort0", "lang_lbl_H_LocalPort", Hint, AlsoZ3},
    {"edt_RemotePort0", "lang_lbl_H_RemotePort", Hint, AlsoZ3},
    {"cbb_WorkMode0", "lang_lbl_H_WorkMode", Hint, AlsoZ3},
    {"cbb_TCPSvrCount0", "lang_lbl_H_TCPSvrCount", Hint, AlsoZ3},
    {"cbb_TCPStyle0", "lang_lbl_H_TCPStyle", Hint, AlsoZ3},
    {"cbb_ModbusTCP0", "lang_lbl_H_ModbusTCP", Hint, AlsoZ3},
    {"edt_RemoteIP0", "lang_lbl_H_RemoteIP", Hint, AlsoZ3},
    {"edt_UARTTime0", "lang_lbl_H_UARTTime", Hint, AlsoZ3},
    {"edt_UARTLength0", "lang_lbl_H_UARTLength", Hint, AlsoZ3},
    {"chk_RFC22170", "lang_chk_H_RFC2217", Hint, AlsoZ3},
    // Z2 page, other captions
    {"lbl_LabeledEditShortTime", "lang_LabeledEditShortTime"},
    {"RzCheckBoxShortEnable", "lang_RzCheckBoxShortEnable"},
    {"rzchckbxComSetEnable", "lang_rzchckbxComSetEnable"}, {"lbl_LabeledEdit1", "lang_LabeledEdit1"},
    {"RzCheckBox2", "lang_RzCheckBox2"}, {"RzCheckBox1", "lang_RzCheckBox1"},
    {"lblGetPost", "lang_lblGetPost"}, {"RzCheckBox3", "lang_RzCheckBox3"},
    {"RzLabel1", "lang_RzLabel1"}, {"lblHeartTm", "lang_lblHeartTm"},
    {"lblHeartDt", "lang_lblHeartDt"}, {"RzGroupBoxHeart", "lang_RzGroupBoxHeart"},
    {"rzgrpbxRegHeart", "lang_rzgrpbxRegHeart"}, {"RzLabel2", "lang_RzLabel2"},
    {"lblDid", "lang_lblDid"}, {"lblCompass", "lang_lblCompass"}, {"lblRegSnd", "lang_lblRegSnd"},
    {"lblRegTp", "lang_lblRegTp"}, {"rzchckbxRegDataWith", "lang_rzchckbxRegDataWith"},
    {"rzchckbxRegConnTo", "lang_rzchckbxRegConnTo"},
    {"rzchckbxmodbuspool", "lang_rzchckbxmodbuspool"}, {"lblhearttime", "lang_lblhearttime"},
    {"btnDataDebug", "lang_btn_DataDebug"},
};

// Combo box items replaced by position; the selected index stays.
struct ItemRow {
    const char *name;
    int index;
    const char *key;
};
const ItemRow MainItemRows[] = {
    {"cbb_AddrType", 0, "lang_Cbb_DHCP"}, {"cbb_AddrType", 1, "lang_Cbb_StaticIP"},
    {"cbb_AddrTypeZ3", 0, "lang_Cbb_DHCP"}, {"cbb_AddrTypeZ3", 1, "lang_Cbb_StaticIP"},
    {"cbb_TCPStyle0", 0, "lang_Cbb_Transparent"}, {"cbb_TCPStyle0", 1, "lang_Cbb_NoIDDiscard"},
    {"cbb_TCPStyle0", 2, "lang_Cbb_NoIDBroadcast"},
    {"cbb_TCPStyle0Z3", 0, "lang_Cbb_Transparent"}, {"cbb_TCPStyle0Z3", 1, "lang_Cbb_NoIDDiscard"},
    {"cbb_TCPStyle0Z3", 2, "lang_Cbb_NoIDBroadcast"},
    {"RzComboBox1", 0, "lang_RzComboBox1_0"}, {"RzComboBox1", 1, "lang_RzComboBox1_1"},
    {"RzComboBox1", 2, "lang_RzComboBox1_2"},
    {"RzComboBox2", 0, "lang_RzComboBox2_0"}, {"RzComboBox2", 1, "lang_RzComboBox2_1"},
    {"RzComboBox2", 2, "lang_RzComboBox2_2"}, {"RzComboBox2", 3, "lang_RzComboBox2_3"},
    // The serial link-rate list keeps its own custom entry text in both languages.
    {"cbb_BaudRate", 1, "lang_BaudRate_Custom"}, {"cbb_BaudRate0", 1, "lang_BaudRate_Custom"},
    {"cbb_BaudRate0Z3", 1, "lang_BaudRate_Custom"},
};
// clang-format on

// Puts a caption on whatever kind of control carries the name.
void SetCaption(QObject *target, const QString &text) {
    if (auto *label = qobject_cast<QLabel *>(target)) {
        label->setText(text);
    } else if (auto *button = qobject_cast<QAbstractButton *>(target)) {
        button->setText(text);
    } else if (auto *group = qobject_cast<QGroupBox *>(target)) {
        group->setTitle(text);
    } else if (auto *action = qobject_cast<QAction *>(target)) {
        action->setText(text);
    } else if (auto *menu = qobject_cast<QMenu *>(target)) {
        menu->setTitle(text);
    } else if (auto *page = qobject_cast<QWidget *>(target)) {
        // A page of a tab widget: its tab text.
        for (QWidget *p = page->parentWidget(); p; p = p->parentWidget()) {
            if (auto *tabs = qobject_cast<QTabWidget *>(p)) {
                const int index = tabs->indexOf(page);
                if (index >= 0)
                    tabs->setTabText(index, text);
                break;
            }
        }
    }
}

void ApplyRow(QObject *root, const QString &name, const TextRow &row) {
    QObject *target = root->findChild<QObject *>(name);
    if (!target)
        return;
    const QString text = LangText(QLatin1String(row.key)) + QString::fromUtf8(row.suffix);
    if (row.kind == Hint) {
        if (auto *w = qobject_cast<QWidget *>(target))
            w->setToolTip(text);
    } else {
        SetCaption(target, text);
    }
}

} // namespace

void TFrm_Main::ApplyMainTexts() {
    setWindowTitle(LangText(QStringLiteral("lang_Main_Title")) +
                   QStringLiteral(" V" N6_VERSION_TEXT));
    for (const TextRow &row : MainTextRows) {
        ApplyRow(this, QLatin1String(row.name), row);
        if (row.alsoZ3)
            ApplyRow(this, QLatin1String(row.name) + QLatin1String("Z3"), row);
    }
    for (const ItemRow &row : MainItemRows) {
        if (auto *combo = findChild<QComboBox *>(QLatin1String(row.name)))
            combo->setItemText(row.index, LangText(QLatin1String(row.key)));
    }
    static const char *const headerKeys[] = {"lang_Lv_DevIP", "lang_Lv_DevName", "lang_Lv_MAC",
                                             "lang_Lv_Version"};
    QTreeWidgetItem *header = ui->lv_Dev->headerItem();
    for (int c = 0; c < 4; ++c)
        header->setText(c, LangText(QLatin1String(headerKeys[c])));
}
