#pragma once
// The format of the language file Lang.txt: one row per line, "key|Chinese|English".
//
// Written as GBK with CR LF line ends: two comment lines, a line holding one blank, then one
// line per built-in row with every CR LF inside a text written as "///". Read back line by line:
// empty lines and lines starting with ";" are skipped, the key is the text before the first
// "|", the Chinese text lies between the first and the second "|", the English text follows the
// last "|", and every "///" becomes a line break (LF). A file that starts with a UTF-8 byte
// order mark is read as UTF-8, so a file saved by a UTF-8 editor keeps its texts.

#include <QByteArray>
#include <QString>
#include <QStringList>

// One row of texts: a key with its Chinese and English text.
struct TLangRow {
    QString key;
    QString chinese;
    QString english;
};

// The two comment lines that open a newly written file.
QStringList LangFileHeaderLines();

// A row as one file line (without the line end): CR LF inside the texts become "///".
QString FormatLangLine(const TLangRow &row);

// The row a line of the file gives; `skip` is set for empty lines and comments.
TLangRow ParseLangLine(const QString &line, bool *skip);

// The whole file content for a list of rows, encoded as GBK with CR LF line ends.
QByteArray EncodeLangFile(const QList<TLangRow> &rows);

// Decodes one raw line of the file (line end already removed): GBK, or UTF-8 when the file
// started with a UTF-8 byte order mark.
QString DecodeLangLine(const QByteArray &raw, bool utf8);

// True when the file content starts with the UTF-8 byte order mark EF BB BF.
bool StartsWithUtf8Bom(const QByteArray &data);
