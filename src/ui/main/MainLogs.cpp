// TFrm_Main: the device list, the operation log and hex stream panes, and the CSV export.
#include "Unit_Main.h"

#include "ui_Unit_Main.h"

#include <GbkText.h>
#include <Unit_AppLang.h>
#include <Unit_ProFun.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTreeWidget>

namespace {
// Marks a pane that already holds a line, so an empty first line is kept as a line of its own.
constexpr char HasLineProperty[] = "n6HasLine";
} // namespace

void TFrm_Main::AppendLine(QPlainTextEdit *pane, const QString &text, const QColor &color) {
    QTextCharFormat format;
    format.setForeground(color);
    QTextCursor cursor(pane->document());
    cursor.movePosition(QTextCursor::End);
    if (pane->property(HasLineProperty).toBool())
        cursor.insertBlock(QTextBlockFormat(), format);
    else
        pane->setProperty(HasLineProperty, true);
    cursor.setCharFormat(format);
    cursor.insertText(text, format);
}

// The operation log follows its newest line while the user has it scrolled to the end, so the
// result of an operation (ACK, password refused...) is not written below the visible area; a
// user who scrolled up to read keeps the view where it is.
void TFrm_Main::AddLog(const QString &text, const QColor &color) {
    const QScrollBar *bar = ui->redt_Log->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    AppendLine(ui->redt_Log, text, color);
    if (atEnd)
        ScrollToEndLater(ui->redt_Log, m_logScrollPending);
}

void TFrm_Main::AddLogGreen(const QString &text) {
    AddLog(text, ColorGreen());
}

// The hex stream stays scrolled to its newest line.
void TFrm_Main::AddHex(const QString &text, const QColor &color) {
    AppendLine(ui->redt_Hex, text, color);
    ScrollToEndLater(ui->redt_Hex, m_hexScrollPending);
}

// The scroll runs once per pass of the event loop, after all lines of that pass: a burst of
// lines then costs one layout, not one each.
void TFrm_Main::ScrollToEndLater(QPlainTextEdit *pane, bool &pending) {
    if (pending)
        return;
    pending = true;
    QMetaObject::invokeMethod(
        this,
        [pane, &pending] {
            pending = false;
            QScrollBar *bar = pane->verticalScrollBar();
            bar->setValue(bar->maximum());
        },
        Qt::QueuedConnection);
}

void TFrm_Main::AddHexPlain(const QString &text) {
    AddHex(text, ui->redt_Hex->palette().color(QPalette::Text));
}

void TFrm_Main::ClearLogs() {
    for (QPlainTextEdit *pane : {ui->redt_Hex, ui->redt_Log}) {
        pane->clear();
        pane->setProperty(HasLineProperty, false);
    }
}

void TFrm_Main::AddDevRow(const QString &ip, const QByteArray &name, const QString &mac,
                          const QString &version, int model, int bindIndex) {
    auto *row = new QTreeWidgetItem(
        {ip, GbkToUnicode(name), mac, version, QString::number(model), QString::number(bindIndex)});
    ui->lv_Dev->addTopLevelItem(row);
}

QTreeWidgetItem *TFrm_Main::SelectedRow() const {
    const QList<QTreeWidgetItem *> rows = ui->lv_Dev->selectedItems();
    return rows.isEmpty() ? nullptr : rows.first();
}

TFrm_Main::RowTarget TFrm_Main::ReadRow(const QTreeWidgetItem *row) {
    RowTarget t;
    if (!row)
        return t;
    t.ip = row->text(0);
    t.macShown = row->text(2);
    t.mac = RemoveSpaces(t.macShown.toLatin1());
    t.version = row->text(3);
    t.model = row->text(4).toInt();
    t.bindIndex = row->text(5).toInt();
    return t;
}

// One line per row (IP, name, MAC, version; the hidden columns stay out), CR LF line ends, in
// the tools' 8-bit code page (GBK, the code page device names arrive in).
QString TFrm_Main::ExportDeviceList() {
    QTreeWidget *lv = ui->lv_Dev;
    const int count = lv->topLevelItemCount();
    if (count == 0)
        return {};
    QByteArray content = "IP,Name,MAC,Ver\r\n";
    for (int i = 0; i < count; ++i) {
        const QTreeWidgetItem *row = lv->topLevelItem(i);
        const QString line =
            row->text(0) + ',' + row->text(1) + ',' + row->text(2) + ',' + row->text(3);
        content += UnicodeToGbk(line) + "\r\n";
    }
    const QString dir =
        m_exportDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_exportDir;
    const QString name =
        QStringLiteral("%1 %2 - (%3).csv")
            .arg(LangText(QStringLiteral("lang_Menu_ExpDev")),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd hhmmss")),
                 QString::number(count));
    const QString path = QDir::toNativeSeparators(QDir(dir).filePath(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush()) {
        ShowMessage(file.errorString(), QMessageBox::Critical);
        return {};
    }
    file.close();
    AddLogGreen(path);
    ShowMessage(path, QMessageBox::Information);
    return path;
}

void TFrm_Main::ShowMessage(const QString &text, int icon) {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), windowTitle(), text, QMessageBox::Ok,
                    this);
    box.setObjectName(QStringLiteral("dlg_Message"));
    box.exec();
}
