#include "PanelFields.h"

#include <GbkText.h>
#include <Unit_ProFun.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

namespace {
// The length limit an edit was built with.
constexpr char TypingLimitProperty[] = "n6TypingLimit";
} // namespace

void ShowFieldValue(QLineEdit *edit, const QString &text) {
    QVariant limit = edit->property(TypingLimitProperty);
    if (!limit.isValid()) {
        limit = edit->maxLength();
        edit->setProperty(TypingLimitProperty, limit);
    }
    edit->setMaxLength(qMax(limit.toInt(), int(text.size())));
    edit->setText(text);
}

void ShowFieldText(QLineEdit *edit, const QByteArray &gbk) {
    ShowFieldValue(edit, GbkToUnicode(gbk));
}

QByteArray FieldText(const QLineEdit *edit) {
    return UnicodeToGbk(edit->text());
}

bool SelectItemText(QComboBox *list, const QString &text) {
    const int index = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return false;
    list->setCurrentIndex(index);
    return true;
}

void ShowBaudRate(QComboBox *list, qint32 rate) {
    const QString text = QString::number(rate);
    if (SelectItemText(list, text))
        return;
    list->setItemText(0, text);
    list->setCurrentIndex(0);
}

void SelectIndex(QComboBox *list, int index) {
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void CheckIPText(const QByteArray &text) {
    QByteArray field(4, '\0');
    IPTextToBytes(field, 0, text);
}

void CheckMacText(const QByteArray &text) {
    QByteArray field(6, '\0');
    MacTextToBytes(field, 0, text);
}

namespace {
constexpr int FlowCodes[] = {1, 3, 5};
}

int FlowControlItem(int code) {
    for (int i = 0; i < 3; ++i)
        if (FlowCodes[i] == code)
            return i;
    return -1;
}

int FlowControlCode(int item) {
    return item >= 0 && item < 3 ? FlowCodes[item] : 1;
}

QString FieldName(const QLabel *label) {
    if (!label)
        return QString();
    QString name = label->text();
    name.remove(QChar(0x2605)); // the star of the fields that matter most
    name = name.trimmed();
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))
        name.chop(1);
    return name.trimmed();
}

qint32 PageCollector::Number(QLineEdit *edit, const QLabel *label) {
    return Convert(edit, label, edit->text());
}

qint32 PageCollector::Number(QComboBox *list, const QLabel *label) {
    return Convert(list, label, list->currentText());
}

void PageCollector::Check(QWidget *field, const QLabel *label, const QString &text,
                          const std::function<void(const QByteArray &)> &check) {
    try {
        check(UnicodeToGbk(text));
    } catch (const ConvertError &) {
        Fail(field, label, text);
    }
}

qint32 PageCollector::Convert(QWidget *field, const QLabel *label, const QString &text) {
    try {
        return TextToInt(UnicodeToGbk(text));
    } catch (const ConvertError &) {
        Fail(field, label, text);
        return 0;
    }
}

void PageCollector::Fail(QWidget *field, const QLabel *label, const QString &text) {
    if (!ok())
        return;
    m_error.field = field;
    m_error.label = FieldName(label);
    m_error.text = text;
}
