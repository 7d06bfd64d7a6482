#include "Unit_Baselang.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QSaveFile>

Q_LOGGING_CATEGORY(lcLang, "n6.lang")

namespace {
// Case-insensitive equality of two texts is equality of their case-folded forms.
QString Folded(const QString &text) {
    return text.toCaseFolded();
}
} // namespace

void TLangList::Layer::Append(const TLangRow &row) {
    const qsizetype index = m_rows.size();
    m_rows.append(row);
    // Only the first row holding a text is indexed: the first match wins.
    const auto indexFirst = [index](QHash<QString, qsizetype> &byText, const QString &text) {
        const QString folded = Folded(text);
        if (!byText.contains(folded))
            byText.insert(folded, index);
    };
    indexFirst(m_byKey, row.key);
    indexFirst(m_byChinese, row.chinese);
    indexFirst(m_byEnglish, row.english);
}

qsizetype TLangList::Layer::Find(const QString &text) const {
    const QString folded = Folded(text);
    for (const auto *index : {&m_byKey, &m_byChinese, &m_byEnglish}) {
        const auto it = index->constFind(folded);
        if (it != index->constEnd())
            return it.value();
    }
    return -1;
}

void TLangList::Add(const QString &key, const QString &chinese, const QString &english) {
    m_table.Append({key, chinese, english});
}

QString TLangList::GetText(const QString &key) const {
    for (const Layer *layer : {&m_file, &m_table}) {
        const qsizetype i = layer->Find(key);
        if (i >= 0)
            return m_chinese ? layer->At(i).chinese : layer->At(i).english;
    }
    return key;
}

bool TLangList::SystemIsChinese() {
    return QLocale::system().language() == QLocale::Chinese;
}

QString TLangList::LoadLangFile(const QString &fileName) {
    QString error;
    if (!QFileInfo::exists(fileName) && !WriteLangFile(fileName, &error))
        qCWarning(lcLang) << error;
    ReadLangFile(fileName);
    return error;
}

bool TLangList::WriteLangFile(const QString &fileName, QString *error) const {
    // A save file appears only complete: a half-written file would override good texts.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(EncodeLangFile(m_table.Rows())) < 0 ||
        !file.commit()) {
        *error = QStringLiteral("Cannot write the language file %1: %2")
                     .arg(QDir::toNativeSeparators(fileName), file.errorString());
        return false;
    }
    return true;
}

void TLangList::ReadLangFile(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    bool utf8 = false;
    bool firstLine = true;
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        if (raw.isEmpty() && file.error() != QFileDevice::NoError) {
            qCWarning(lcLang) << "reading" << fileName << "stopped:" << file.errorString();
            return;
        }
        if (firstLine) {
            firstLine = false;
            utf8 = StartsWithUtf8Bom(raw);
            if (utf8)
                raw.remove(0, 3);
        }
        if (raw.endsWith('\n'))
            raw.chop(1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        bool skip = false;
        const TLangRow row = ParseLangLine(DecodeLangLine(raw, utf8), &skip);
        if (!skip)
            m_file.Append(row);
    }
}
