#include "HintSwitch.h"

#include <QCoreApplication>
#include <QEvent>

HintSwitch::HintSwitch(QObject *parent)
    : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool HintSwitch::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::ToolTip && !m_on)
        return true;
    return QObject::eventFilter(watched, event);
}
