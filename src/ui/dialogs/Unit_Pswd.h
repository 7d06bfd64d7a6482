#pragma once
// TFrm_Pswd: the user name and password that every LAN command carries (CfgUserName,
// CfgPassword). OK takes the two edits; Cancel keeps the credentials as they were.

#include <QDialog>

#include <memory>

namespace Ui {
class TFrm_Pswd;
}

class TFrm_Pswd : public QDialog {
    Q_OBJECT
public:
    // FormCreate: fills the edits from the credentials once, paints the top area white and
    // applies the texts.
    explicit TFrm_Pswd(QWidget *parent = nullptr);
    ~TFrm_Pswd() override;

    void LoadPswdEdits();
    void ApplyPswdTexts();

private:
    void btn_OKClick();
    void btn_CancelClick();

    std::unique_ptr<Ui::TFrm_Pswd> ui;
};
