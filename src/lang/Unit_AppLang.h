#pragma once
// The program's one text list and the operations every window uses to fetch its texts.
//
// Start-up: InitLanguage fills the list from the built-in table and reads (or first writes)
// Lang.txt beside the program; the settings then choose the language with SetLangChinese.
// Windows fetch each text with LangText(key) at the moment they show it, and re-apply their
// texts after a language change. FreeLanguage ends it when the main window closes.

#include "Unit_Baselang.h"

#include <QString>

// The name of the language file in the program's directory.
inline constexpr char LangFileName[] = "Lang.txt";

// Creates the text list (English current), fills the built-in table and loads <dir>/Lang.txt,
// writing it first when it is missing. Without a directory the program's own is used.
// Returns an empty text, or once the reason why the missing file could not be written; start-up
// goes on with the built-in texts either way.
QString InitLanguage();
QString InitLanguage(const QString &dir);

// The text of `key` in the current language. Never fails: before InitLanguage, after
// FreeLanguage and for a key no row knows, the result is the key itself. A text shown in
// either language may be passed as the key and comes back in the current language.
QString LangText(const QString &key);

// Frees the text list.
void FreeLanguage();

// The current language of the text list (false before InitLanguage).
bool LangChinese();
// Switches the language; texts fetched afterwards come in the new language.
void SetLangChinese(bool chinese);

// The one text list, or nullptr outside InitLanguage .. FreeLanguage.
TLangList *LangList();

// Adds the built-in rows to `list`, one TLangList::Add per row, in the fixed table order.
void FillBuiltinTexts(TLangList &list);
