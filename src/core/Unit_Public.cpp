#include "Unit_Public.h"

QByteArray CfgUserName = DefaultCfgUserName;
QByteArray CfgPassword = DefaultCfgPassword;
QByteArray SelMac;
qint32 SelBindIndex = 0;
QString CmdFilePath;
