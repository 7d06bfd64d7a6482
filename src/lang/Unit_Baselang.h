#pragma once
// The text list: every text the program shows is looked up here by its key.
//
// Two layers answer a lookup: the rows read from the language file Lang.txt (searched first)
// and the built-in table that FillBuiltinTexts adds at start. Within a layer the key is tried
// first, then the Chinese texts, then the English texts, so a text shown in either language
// can be looked up too and turns into the current language. The first matching row wins.
// Comparison ignores case, folding non-ASCII letters as well (Ä/ä, Σ/σ/ς, Ж/ж).

#include "LangFileFormat.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class TLangList {
public:
    // Appends one row to the built-in table.
    void Add(const QString &key, const QString &chinese, const QString &english);

    // The text of `key` in the current language; the key itself when no row matches.
    QString GetText(const QString &key) const;

    // True when the system's locale language is Chinese (the default of the language setting).
    static bool SystemIsChinese();

    // Writes the file from the built-in table when it does not exist, then reads it into the
    // file layer. Reading stops silently at the first failure, keeping the rows read so far.
    // Returns an empty text, or a description of why the missing file could not be written;
    // the list then answers from the built-in table alone.
    QString LoadLangFile(const QString &fileName);

    // The current language: true = Chinese, false = English (the start value).
    bool Chinese() const { return m_chinese; }
    void SetChinese(bool chinese) { m_chinese = chinese; }

    // The rows of each layer, in the order they were added or read.
    QList<TLangRow> TableRows() const { return m_table.Rows(); }
    QList<TLangRow> FileRows() const { return m_file.Rows(); }

private:
    // One layer's rows with an index per column: case-folded text -> first row holding it.
    class Layer {
    public:
        void Append(const TLangRow &row);
        // The first row whose key, else Chinese text, else English text equals `text`; -1 if none.
        qsizetype Find(const QString &text) const;
        const TLangRow &At(qsizetype i) const { return m_rows.at(i); }
        QList<TLangRow> Rows() const { return m_rows; }

    private:
        QList<TLangRow> m_rows;
        QHash<QString, qsizetype> m_byKey, m_byChinese, m_byEnglish;
    };

    bool WriteLangFile(const QString &fileName, QString *error) const;
    void ReadLangFile(const QString &fileName);

    Layer m_file;
    Layer m_table;
    bool m_chinese = false;
};
