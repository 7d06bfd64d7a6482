#include "GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString GbkToUnicode(const QByteArray &gbk) {
    const qsizetype zero = gbk.indexOf('\0');
    const QByteArray shown = zero < 0 ? gbk : gbk.left(zero);
    // Qt here is built with ICU: the codec must be named, not looked up by enum.
    QStringDecoder decoder("GBK");
    if (!decoder.isValid())
        return QString::fromLatin1(shown);
    return decoder.decode(shown);
}

QByteArray UnicodeToGbk(const QString &text) {
    QStringEncoder encoder("GBK");
    if (!encoder.isValid())
        return text.toLatin1();
    return encoder.encode(text);
}
