// TFrm_Pswd: the credentials dialog.
#include "Unit_Pswd.h"

#include "ui_Unit_Pswd.h"

#include <GbkText.h>
#include <Unit_AppLang.h>
#include <Unit_Public.h>

#include <QStyle>

TFrm_Pswd::TFrm_Pswd(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , ui(new Ui::TFrm_Pswd) {
    ui->setupUi(this);
    setFixedSize(322, 145);
    LoadPswdEdits();
    QPalette pal = ui->pnl_Top->palette();
    pal.setColor(QPalette::Window, Qt::white);
    ui->pnl_Top->setPalette(pal);
    ui->img_User->setPixmap(style()->standardIcon(QStyle::SP_DirHomeIcon).pixmap(24, 24));
    ui->img_Pswd->setPixmap(style()->standardIcon(QStyle::SP_DialogApplyButton).pixmap(24, 24));
    ApplyPswdTexts();
    connect(ui->btn_OK, &QPushButton::clicked, this, &TFrm_Pswd::btn_OKClick);
    connect(ui->btn_Cancel, &QPushButton::clicked, this, &TFrm_Pswd::btn_CancelClick);
}

TFrm_Pswd::~TFrm_Pswd() = default;

void TFrm_Pswd::LoadPswdEdits() {
    ui->edt_UsrName->setText(GbkToUnicode(CfgUserName));
    ui->edt_Paswd->setText(GbkToUnicode(CfgPassword));
}

void TFrm_Pswd::ApplyPswdTexts() {
    setWindowTitle(LangText(QStringLiteral("lang_Log_Title")));
    ui->btn_OK->setText(LangText(QStringLiteral("lang_Log_OK")));
    ui->btn_Cancel->setText(LangText(QStringLiteral("lang_Log_Cancel")));
}

void TFrm_Pswd::btn_OKClick() {
    CfgUserName = UnicodeToGbk(ui->edt_UsrName->text());
    CfgPassword = UnicodeToGbk(ui->edt_Paswd->text());
    accept();
}

// The edits keep what was typed until the dialog shows again.
void TFrm_Pswd::btn_CancelClick() {
    reject();
}
