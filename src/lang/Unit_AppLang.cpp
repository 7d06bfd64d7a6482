#include "Unit_AppLang.h"

#include <QCoreApplication>
#include <QDir>

#include <memory>

namespace {
std::unique_ptr<TLangList> TheLangList;
} // namespace

QString InitLanguage() {
    return InitLanguage(QCoreApplication::applicationDirPath());
}

QString InitLanguage(const QString &dir) {
    TheLangList = std::make_unique<TLangList>();
    FillBuiltinTexts(*TheLangList);
    return TheLangList->LoadLangFile(QDir(dir).filePath(QString::fromLatin1(LangFileName)));
}

QString LangText(const QString &key) {
    if (!TheLangList)
        return key;
    try {
        return TheLangList->GetText(key);
    } catch (...) {
        return key;
    }
}

void FreeLanguage() {
    TheLangList.reset();
}

bool LangChinese() {
    return TheLangList && TheLangList->Chinese();
}

void SetLangChinese(bool chinese) {
    if (TheLangList)
        TheLangList->SetChinese(chinese);
}

TLangList *LangList() {
    return TheLangList.get();
}
