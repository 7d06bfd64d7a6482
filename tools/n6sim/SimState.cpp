#include "SimState.h"

#include <QFile>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

QJsonObject ImagesToJson(const SimImages &images) {
    QJsonObject o;
    o["param"] = QString::fromLatin1(images.param.toHex());
    o["cloud"] = QString::fromLatin1(images.cloud.toHex());
    o["heartReg"] = QString::fromLatin1(images.heartReg.toHex());
    o["httpd"] = QString::fromLatin1(images.httpd.toHex());
    o["modbus"] = QString::fromLatin1(images.modbus.toHex());
    o["z1"] = QString::fromLatin1(images.z1.toHex());
    return o;
}

// Takes the images from `o` only when each has the size of the factory image of its kind.
bool ImagesFromJson(const QJsonObject &o, const SimImages &factory, SimImages &out) {
    SimImages images;
    const struct {
        const char *key;
        QByteArray SimImages::*member;
    } fields[] = {{"param", &SimImages::param},       {"cloud", &SimImages::cloud},
                  {"heartReg", &SimImages::heartReg}, {"httpd", &SimImages::httpd},
                  {"modbus", &SimImages::modbus},     {"z1", &SimImages::z1}};
    for (const auto &field : fields) {
        const QByteArray bytes = QByteArray::fromHex(o.value(field.key).toString().toLatin1());
        if (bytes.size() != (factory.*field.member).size())
            return false;
        images.*field.member = bytes;
    }
    out = images;
    return true;
}

} // namespace

SimState::SimState(QString path)
    : m_path(std::move(path)) {}

bool SimState::load(std::vector<SimDevice> &devices, QString &error) {
    QFile file(m_path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        error = QStringLiteral("%1: %2").arg(m_path, parseError.errorString());
        return false;
    }
    m_devices = doc.object().value("devices").toObject();
    for (SimDevice &device : devices) {
        const QJsonObject entry =
            m_devices.value(QString::fromLatin1(device.mac().toHex().toUpper())).toObject();
        if (entry.value("model").toString() != SimModelName(device.model()))
            continue;
        SimImages stored, running;
        if (ImagesFromJson(entry.value("stored").toObject(), device.factory, stored) &&
            ImagesFromJson(entry.value("running").toObject(), device.factory, running)) {
            device.stored = stored;
            device.running = running;
        }
    }
    return true;
}

bool SimState::save(const std::vector<SimDevice> &devices, QString &error) {
    for (const SimDevice &device : devices) {
        QJsonObject entry;
        entry["model"] = SimModelName(device.model());
        entry["stored"] = ImagesToJson(device.stored);
        entry["running"] = ImagesToJson(device.running);
        m_devices[QString::fromLatin1(device.mac().toHex().toUpper())] = entry;
    }
    QJsonObject root;
    root["devices"] = m_devices;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0 || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
