#pragma once
// Small bindings between the parameter pages' controls and the codec's values, shared by the
// Z1, Z2 and Z3 panels: texts shown and gathered as GBK bytes, lists chosen by item text, and
// the collector that turns the number fields into integers.
//
// Collecting a page stops being useful at the first field that does not convert: a write that
// sent the rest as 0 or empty would erase the device's ports, name and credentials. The
// collector therefore remembers the first bad field (the control, its label and the text) and
// the write sends nothing when there is one.

#include <QByteArray>
#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

// A value read from a device into an edit, whole: an edit's length limit is for typing, and a
// longer value that a device holds (a 16-byte name in a 14-character edit) must not be cut, or
// the next write would send the cut value back. The edit takes the longer of its own limit and
// the value's length until the next value is shown.
void ShowFieldValue(QLineEdit *edit, const QString &text);
// GBK bytes of a field (up to the first zero) into an edit (ShowFieldValue), and an edit's text
// back as GBK.
void ShowFieldText(QLineEdit *edit, const QByteArray &gbk);
QByteArray FieldText(const QLineEdit *edit);

// Selects the first item whose text equals `text`; false (selection unchanged) when none does.
bool SelectItemText(QComboBox *list, const QString &text);
// A baud rate list (item 0 the free slot, item 1 the custom entry): selects the first item that
// shows the rate; when none does, item 0 takes the rate's text and is selected.
void ShowBaudRate(QComboBox *list, qint32 rate);
// Selects `index` when it is an item of the list, else no item (-1).
void SelectIndex(QComboBox *list, int index);

// The address and MAC conversions the image encoders run, tried on a scratch field: they throw
// ConvertError exactly when the encoder would stop at that field.
void CheckIPText(const QByteArray &text);
void CheckMacText(const QByteArray &text);

// The flow control list "None", "Hardware", "RS485" and its codes 1, 3, 5: the item of a code
// (-1 for other codes) and the code of an item (1 when nothing is selected).
int FlowControlItem(int code);
int FlowControlCode(int item);

// The caption of a label as a field name in a log line: without the star mark, the colon and
// surrounding blanks.
QString FieldName(const QLabel *label);

// The first field of a page that did not convert while collecting.
struct CollectError {
    QWidget *field = nullptr;
    QString label; // FieldName of the field's label, in the current language
    QString text;  // the text that did not convert
};

class PageCollector {
public:
    // The decimal number of an edit's text or a list's current text. A text that is not a
    // decimal number is remembered (the first one only) and gives 0.
    qint32 Number(QLineEdit *edit, const QLabel *label);
    qint32 Number(QComboBox *list, const QLabel *label);
    // A text that must pass `check` (which throws ConvertError when it does not convert, like
    // the codec's address and MAC conversions); a failure is remembered like a bad number.
    void Check(QWidget *field, const QLabel *label, const QString &text,
               const std::function<void(const QByteArray &)> &check);

    bool ok() const { return m_error.field == nullptr; }
    const CollectError &error() const { return m_error; }

private:
    qint32 Convert(QWidget *field, const QLabel *label, const QString &text);
    void Fail(QWidget *field, const QLabel *label, const QString &text);
    CollectError m_error;
};
