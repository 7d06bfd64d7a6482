// The text list: reading rules of Lang.txt, writing a missing file, and the lookup order.

#include "GbkText.h"
#include "Unit_Baselang.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray Gbk(const char *utf8) {
    return UnicodeToGbk(QString::fromUtf8(utf8));
}
QString U(const char *utf8) {
    return QString::fromUtf8(utf8);
}
// A language file saved by a UTF-8 editor: byte order mark, then UTF-8.
QByteArray Utf8File(const char *utf8) {
    return QByteArray("\xEF\xBB\xBF") + utf8;
}
} // namespace

class TstLangList : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_file;

    // A list with a small built-in table and `fileBytes` as its language file.
    void Load(TLangList &list, const QByteArray &fileBytes) {
        list.Add("lang_Hint_ACK", U(" 正确执行。"), " ACK.");
        list.Add("lang_Lbl_Baudrate", U("波特率"), "Baudrate");
        list.Add("lang_btn_Search", U("搜索设备"), " Search online Device...");
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(fileBytes);
        f.close();
        QVERIFY(list.LoadLangFile(m_file).isEmpty());
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        m_file = m_dir.filePath("Lang.txt");
        QFile::remove(m_file);
    }

    void parseLine_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("skipped");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::newRow("key|zh|en") << U("k|甲|A") << false << "k" << U("甲") << "A";
        QTest::newRow("one separator: no Chinese") << "lang_X|abc" << false << "lang_X"
                                                   << ""
                                                   << "abc";
        QTest::newRow("three separators: English after the last")
            << U("k|甲|x|A") << false << "k" << U("甲") << "A";
        QTest::newRow("no separator: all empty") << "just text" << false << ""
                                                 << ""
                                                 << "";
        QTest::newRow("single blank line is an entry") << " " << false << ""
                                                       << ""
                                                       << "";
        QTest::newRow("empty line skipped") << "" << true << ""
                                            << ""
                                            << "";
        QTest::newRow("semicolon comment skipped") << ";k|a|b" << true << ""
                                                   << ""
                                                   << "";
        QTest::newRow("comma is not a comment") << ",k|a|b" << false << ",k"
                                                << "a"
                                                << "b";
        QTest::newRow("semicolon later in line is text") << "k|a;b|c;" << false << "k"
                                                         << "a;b"
                                                         << "c;";
        QTest::newRow("/// becomes LF") << "k|a///b|c///d///" << false << "k"
                                        << "a\nb"
                                        << "c\nd\n";
        QTest::newRow("blanks kept") << U(" k | 甲 | A ") << false << " k " << U(" 甲 ") << " A ";
        QTest::newRow("empty texts") << "k||" << false << "k"
                                     << ""
                                     << "";
    }
    void parseLine() {
        QFETCH(QString, line);
        bool skip = false;
        const TLangRow row = ParseLangLine(line, &skip);
        QTEST(skip, "skipped");
        QTEST(row.key, "key");
        QTEST(row.chinese, "chinese");
        QTEST(row.english, "english");
    }

    void formatLine_data() {
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << U("甲") << " A " << U("k|甲| A ");
        QTest::newRow("CR LF written as ///") << "a\r\nb"
                                              << " c \r\n d"
                                              << "k|a///b| c /// d";
        QTest::newRow("/// stays ///") << "a///b"
                                       << ""
                                       << "k|a///b|";
    }
    void formatLine() {
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        QTEST(FormatLangLine({"k", chinese, english}), "line");
    }

    void missingFileIsWrittenFromTable() {
        TLangList list;
        list.Add("lang_A", U("甲★"), "A");
        list.Add("lang_B", U("一\r\n二"), " two\r\nlines ");
        QVERIFY(list.LoadLangFile(m_file).isEmpty());

        QFile f(m_file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray expected =
            Gbk(";语言文件格式为: 名称|中文|英文，竖线分割，逗号与分号为注释，///为换行，空行自动"
                "忽略\r\n") +
            Gbk(";Language file format: Name|Chinese|English，vertical is delimiter， comma or "
                "semicolon is Comments，///is newline，Empty lines automatically ignored\r\n") +
            " \r\n" + Gbk("lang_A|甲★|A\r\n") + Gbk("lang_B|一///二| two///lines \r\n");
        QCOMPARE(f.readAll(), expected);

        // Read straight back: the blank line gives an empty entry, CR LF came back as LF.
        const QList<TLangRow> rows = list.FileRows();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].key, QString());
        QCOMPARE(rows[1].key, "lang_A");
        QCOMPARE(rows[1].chinese, U("甲★"));
        QCOMPARE(rows[2].chinese, U("一\n二"));
        QCOMPARE(rows[2].english, " two\nlines ");
    }

    void existingFileIsReadNotRewritten() {
        const QByteArray content = Gbk("lang_Hint_ACK|好|Fine\r\n");
        TLangList list;
        Load(list, content);
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
        QCOMPARE(list.FileRows().size(), 1);
    }

    // Each row: the language file, the text looked up, the expected Chinese and English result.
    void lookup_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("lookup");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        const QByteArray none = ";nothing\r\n";
        QTest::newRow("table key") << none << "lang_Hint_ACK" << U(" 正确执行。") << " ACK.";
        QTest::newRow("file line overrides table")
            << Gbk("lang_Hint_ACK|好|Fine\r\n") << "lang_Hint_ACK" << U("好") << "Fine";
        QTest::newRow("key in capitals") << none << "LANG_HINT_ACK" << U(" 正确执行。") << " ACK.";
        QTest::newRow("differently cased key")
            << none << "lang_lbl_BaudRate" << U("波特率") << "Baudrate";
        QTest::newRow("English text gives the row")
            << none << " Search online Device..." << U("搜索设备") << " Search online Device...";
        QTest::newRow("Chinese text gives the row")
            << none << U("搜索设备") << U("搜索设备") << " Search online Device...";
        QTest::newRow("English text in capitals")
            << none << " SEARCH ONLINE DEVICE..." << U("搜索设备") << " Search online Device...";
        QTest::newRow("unknown key stays") << none << "lang_Nope"
                                           << "lang_Nope"
                                           << "lang_Nope";
        QTest::newRow("file text /// shown as line break")
            << QByteArray("lang_X|a///b|c///d\r\n") << "lang_X"
            << "a\nb"
            << "c\nd";
        QTest::newRow("one separator: empty Chinese") << QByteArray("lang_X|abc\r\n") << "lang_X"
                                                      << ""
                                                      << "abc";
        QTest::newRow("comma line is an entry") << QByteArray(",lang_X|a|b\r\n") << ",lang_X"
                                                << "a"
                                                << "b";
        QTest::newRow("first of duplicate keys wins")
            << QByteArray("lang_X|1|one\r\nlang_X|2|two\r\n") << "lang_x"
            << "1"
            << "one";
        QTest::newRow("key before an earlier row's text")
            << QByteArray("lang_A|lang_B|a\r\nlang_B|b|B\r\n") << "lang_B"
            << "b"
            << "B";
        QTest::newRow("Chinese texts before an earlier English text")
            << QByteArray("lang_B|b|x\r\nlang_A|x|a\r\n") << "x"
            << "x"
            << "a";
        QTest::newRow("file text before table key")
            << QByteArray("lang_X|lang_Hint_ACK|x\r\n") << "lang_Hint_ACK"
            << "lang_Hint_ACK"
            << "x";
        QTest::newRow("Latin-1 letters fold")
            << Utf8File("lang_Ärger_é|ä|Ä\r\n") << "LANG_äRGER_É" << U("ä") << U("Ä");
        QTest::newRow("Greek with final sigma folds")
            << Utf8File("lang_ΣΟΦΟΣ|σ|Σ\r\n") << U("lang_σοφος") << U("σ") << U("Σ");
        QTest::newRow("Cyrillic letters fold")
            << Utf8File("lang_ЖУК|ж|Ж\r\n") << U("LANG_жук") << U("ж") << U("Ж");
        QTest::newRow("accents are not ignored") << Utf8File("lang_é|x|y\r\n") << "lang_e"
                                                 << "lang_e"
                                                 << "lang_e";
        QTest::newRow("LF-only line ends") << QByteArray("lang_X|a|b\nlang_Y|c|d\n") << "lang_Y"
                                           << "c"
                                           << "d";
        QTest::newRow("last line without line end") << QByteArray("lang_X|a|b") << "lang_X"
                                                    << "a"
                                                    << "b";
        QTest::newRow("UTF-8 file with byte order mark")
            << Utf8File("lang_X|好|Fine\r\n") << "lang_X" << U("好") << "Fine";
        QTest::newRow("UTF-8 mark on the first line only is stripped")
            << QByteArray("\xEF\xBB\xBFlang_X|a|b\r\n") << "lang_X"
            << "a"
            << "b";
        QTest::newRow("same bytes with the mark: UTF-8")
            << QByteArray("\xEF\xBB\xBFlang_X|\xC3\xA9|b\r\n") << "lang_X" << U("é") << "b";
        QTest::newRow("same bytes without the mark: GBK")
            << QByteArray("lang_X|\xC3\xA9|b\r\n") << "lang_X" << U("茅") << "b";
        // A GBK trail byte may be 0x7C: the line is decoded before it is split at "|".
        QTest::newRow("GBK character with trail byte 7C")
            << QByteArray("lang_X|\x81\x7C|b\r\n") << "lang_X" << U("亅") << "b";
    }
    void lookup() {
        QFETCH(QByteArray, file);
        QFETCH(QString, lookup);
        TLangList list;
        Load(list, file);
        QCOMPARE(list.Chinese(), false);
        QTEST(list.GetText(lookup), "english");
        list.SetChinese(true);
        QTEST(list.GetText(lookup), "chinese");
    }

    void unwritableFileLeavesTheTable() {
        TLangList list;
        list.Add("lang_Hint_ACK", U(" 正确执行。"), " ACK.");
        const QString file = m_dir.filePath("no/such/dir/Lang.txt");
        const QString error = list.LoadLangFile(file);
        QVERIFY(error.contains(QDir::toNativeSeparators(file)));
        QVERIFY(list.FileRows().isEmpty());
        QCOMPARE(list.GetText("lang_Hint_ACK"), " ACK.");
    }

    void unreadableFileIsSilent() {
        QVERIFY(QDir(m_dir.path()).mkpath("Lang.txt")); // exists, but cannot be read as a file
        TLangList list;
        list.Add("lang_Hint_ACK", U(" 正确执行。"), " ACK.");
        QVERIFY(list.LoadLangFile(m_file).isEmpty());
        QVERIFY(list.FileRows().isEmpty());
        QCOMPARE(list.GetText("lang_Hint_ACK"), " ACK.");
        QDir(m_file).removeRecursively();
    }

    // Run by ctest under a Chinese and an English locale; skipped when started by hand.
    void systemIsChinese() {
        const QByteArray expected = qgetenv("N6_EXPECT_SYSTEM_CHINESE");
        if (expected.isEmpty())
            QSKIP("N6_EXPECT_SYSTEM_CHINESE not set");
        QCOMPARE(TLangList::SystemIsChinese(), expected == "1");
    }
};

QTEST_GUILESS_MAIN(TstLangList)
#include "tst_langlist.moc"
