#include "GbkText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr char GbkName[] = "GBK";

#ifdef Q_OS_WIN
// Qt on Windows is often built without ICU, and then knows no GBK codec by name; the system's
// code page 936 is GBK.
constexpr UINT GbkCodePage = 936;

QString WinDecode(const QByteArray &bytes) {
    if (bytes.isEmpty())
        return {};
    const int n =
        MultiByteToWideChar(GbkCodePage, 0, bytes.constData(), int(bytes.size()), nullptr, 0);
    std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(GbkCodePage, 0, bytes.constData(), int(bytes.size()), wide.data(), n);
    return QString::fromStdWString(wide);
}

QByteArray WinEncode(const QString &text) {
    if (text.isEmpty())
        return {};
    const std::wstring wide = text.toStdWString();
    const int n = WideCharToMultiByte(GbkCodePage, 0, wide.data(), int(wide.size()), nullptr, 0,
                                      "?", nullptr);
    QByteArray out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(GbkCodePage, 0, wide.data(), int(wide.size()), out.data(), n, "?",
                            nullptr);
    return out;
}
#endif

} // namespace

QString GbkToUnicode(const QByteArray &gbk) {
    const qsizetype zero = gbk.indexOf('\0');
    const QByteArray shown = zero < 0 ? gbk : gbk.left(zero);
    // Qt built with ICU knows the codec by name only (not by enum).
    QStringDecoder decoder(GbkName);
    if (decoder.isValid())
        return decoder.decode(shown);
#ifdef Q_OS_WIN
    return WinDecode(shown);
#else
    return QString::fromLatin1(shown);
#endif
}

QByteArray UnicodeToGbk(const QString &text) {
    QStringEncoder encoder(GbkName);
    if (encoder.isValid())
        return encoder.encode(text);
#ifdef Q_OS_WIN
    return WinEncode(text);
#else
    return text.toLatin1();
#endif
}
