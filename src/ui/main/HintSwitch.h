#pragma once
// HintSwitch: the application-wide switch of the field hints ("Real-time Help"). Installed on
// the application, it swallows tool tip events while the hints are off.

#include <QObject>

class HintSwitch : public QObject {
    Q_OBJECT
public:
    explicit HintSwitch(QObject *parent = nullptr);
    void setOn(bool on) { m_on = on; }
    bool isOn() const { return m_on; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_on = true;
};
