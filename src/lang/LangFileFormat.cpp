#include "LangFileFormat.h"

#include "GbkText.h"

namespace {
const QString LineBreakMark = QStringLiteral("///");
const QByteArray Utf8Bom("\xEF\xBB\xBF");
} // namespace

QStringList LangFileHeaderLines() {
    return {
        QString::fromUtf8(";语言文件格式为: 名称|中文|英文，竖线分割，逗号与分号为注释，///"
                          "为换行，空行自动忽略"),
        QString::fromUtf8(";Language file format: Name|Chinese|English，vertical is delimiter， "
                          "comma or semicolon is Comments，///is newline，Empty lines "
                          "automatically ignored")};
}

QString FormatLangLine(const TLangRow &row) {
    const QString crlf = QStringLiteral("\r\n");
    return row.key + QLatin1Char('|') + QString(row.chinese).replace(crlf, LineBreakMark) +
           QLatin1Char('|') + QString(row.english).replace(crlf, LineBreakMark);
}

TLangRow ParseLangLine(const QString &line, bool *skip) {
    TLangRow row;
    *skip = line.isEmpty() || line.startsWith(QLatin1Char(';'));
    if (*skip)
        return row;
    const qsizetype first = line.indexOf(QLatin1Char('|'));
    if (first < 0)
        return row; // no separator: key and texts stay empty
    row.key = line.left(first);
    const qsizetype second = line.indexOf(QLatin1Char('|'), first + 1);
    if (second >= 0)
        row.chinese = line.mid(first + 1, second - first - 1);
    row.english = line.mid(line.lastIndexOf(QLatin1Char('|')) + 1);
    const QString lf(QLatin1Char('\n'));
    row.chinese.replace(LineBreakMark, lf);
    row.english.replace(LineBreakMark, lf);
    return row;
}

QByteArray EncodeLangFile(const QList<TLangRow> &rows) {
    QStringList lines = LangFileHeaderLines();
    lines << QStringLiteral(" ");
    for (const TLangRow &row : rows)
        lines << FormatLangLine(row);
    const QString crlf = QStringLiteral("\r\n");
    return UnicodeToGbk(lines.join(crlf) + crlf);
}

QString DecodeLangLine(const QByteArray &raw, bool utf8) {
    return utf8 ? QString::fromUtf8(raw) : GbkToUnicode(raw);
}

bool StartsWithUtf8Bom(const QByteArray &data) {
    return data.startsWith(Utf8Bom);
}
