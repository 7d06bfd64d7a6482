#pragma once
// The one conversion between the 8-bit GBK texts that devices and files speak and QString.
// A field text shows up to its first zero byte.

#include <QByteArray>
#include <QString>

// GBK bytes to a QString, stopping at the first zero byte.
QString GbkToUnicode(const QByteArray &gbk);
// A QString to GBK bytes; characters GBK cannot hold become '?'.
QByteArray UnicodeToGbk(const QString &text);
