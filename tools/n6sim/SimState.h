#pragma once
// --state FILE: the devices' settings kept across runs, as JSON.
//
// { "devices": { "<MAC as 12 hex digits>": { "model": "Z2",
//       "stored":  { "param": "<hex>", "cloud": ..., "heartReg": ..., "httpd": ..., "modbus": ...,
//                    "z1": ... },
//       "running": { ... } } } }
//
// A device takes its entry when MAC and model match and every image has its factory size;
// entries of devices not simulated in this run are kept when the file is written again.

#include "SimDevice.h"

#include <QJsonObject>
#include <QString>

#include <vector>

class SimState {
public:
    explicit SimState(QString path);
    bool enabled() const { return !m_path.isEmpty(); }
    // Reads the file (a missing file is an empty state) and applies it to the devices.
    bool load(std::vector<SimDevice> &devices, QString &error);
    // Writes every device's settings (atomically).
    bool save(const std::vector<SimDevice> &devices, QString &error);

private:
    QString m_path;
    QJsonObject m_devices;
};
