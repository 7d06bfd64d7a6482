#include "CtlFields.h"

#include <GbkText.h>
#include <Unit_ProFun.h>

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <functional>

namespace {

enum Models : unsigned { OnZ2 = 1, OnZ3 = 2, OnZ1 = 4 };

enum class Kind { Int, Bool, Text, IPv4, Mac, Data };

// One key of a section: how to print it, how to check and store a new value, and for which
// models it is shown (`shown`) and written back (`written`).
struct Field {
    QString section;
    QString key;
    Kind kind = Kind::Int;
    qint64 lo = 0; // Int: range; Text/Data: lo unused, hi = most bytes
    qint64 hi = 0;
    unsigned shown = 0;
    unsigned written = 0;
    std::function<QJsonValue(const DeviceReadout &)> get;
    std::function<void(DeviceReadout &, const QVariant &)> set;
};

QJsonValue toJson(qint32 v) {
    return QJsonValue(v);
}
QJsonValue toJson(quint8 v) {
    return QJsonValue(int(v));
}
QJsonValue toJson(bool v) {
    return QJsonValue(v);
}
QJsonValue toJson(const QByteArray &v) {
    return QJsonValue(GbkToUnicode(v));
}

void assign(qint32 &dst, const QVariant &v) {
    dst = qint32(v.toLongLong());
}
void assign(quint8 &dst, const QVariant &v) {
    dst = quint8(v.toInt());
}
void assign(bool &dst, const QVariant &v) {
    dst = v.toBool();
}
void assign(QByteArray &dst, const QVariant &v) {
    dst = v.toByteArray();
}

template <typename Rec, typename T>
Field field(const char *section, const char *key, Rec DeviceReadout::*rec, T Rec::*member,
            Kind kind, qint64 lo, qint64 hi, unsigned shown, unsigned written) {
    Field f;
    f.section = QString::fromLatin1(section);
    f.key = QString::fromLatin1(key);
    f.kind = kind;
    f.lo = lo;
    f.hi = hi;
    f.shown = shown;
    f.written = written;
    f.get = [rec, member](const DeviceReadout &r) {
        return toJson((r.*rec).*member);
    };
    f.set = [rec, member](DeviceReadout &r, const QVariant &v) {
        assign((r.*rec).*member, v);
    };
    return f;
}

constexpr unsigned Z23 = OnZ2 | OnZ3;

QList<Field> buildFields() {
    using R = DeviceReadout;
    using B = TBaseParam;
    using P = TPortParam;
    const Kind I = Kind::Int, Bo = Kind::Bool, T = Kind::Text, IP = Kind::IPv4;
    QList<Field> f;
    // base: Z2 and Z3 pages; HeartTarget, RegSendMode and FlagBit1 travel back as read.
    f << field("base", "FlagBit1", &R::base, &B::FlagBit1, I, 0, 1, OnZ2, 0)
      << field("base", "AddrType", &R::base, &B::AddrType, I, 0, 1, Z23, Z23)
      << field("base", "HeartTarget", &R::base, &B::HeartTarget, I, 0, 1, OnZ2, 0)
      << field("base", "RegSendMode", &R::base, &B::RegSendMode, I, 0, 1, OnZ2, 0)
      << field("base", "LocationURLPort", &R::base, &B::LocationURLPort, I, 0, 65535, Z23, Z23)
      << field("base", "HTTPServerPort", &R::base, &B::HTTPServerPort, I, 0, 65535, Z23, Z23)
      << field("base", "StaticIP", &R::base, &B::StaticIP, IP, 0, 15, Z23, Z23)
      << field("base", "GatewayIP", &R::base, &B::GatewayIP, IP, 0, 15, Z23, Z23)
      << field("base", "SubnetMask", &R::base, &B::SubnetMask, IP, 0, 15, Z23, Z23)
      << field("base", "ModName", &R::base, &B::ModName, T, 0, 16, Z23, Z23)
      << field("base", "UserName", &R::base, &B::UserName, T, 0, 5, Z23, Z23)
      << field("base", "Password", &R::base, &B::Password, T, 0, 5, Z23, Z23)
      << field("base", "ExtFlags", &R::base, &B::ExtFlags, I, 0, 255, Z23, Z23)
      << field("base", "ClearCache", &R::base, &B::ClearCache, Bo, 0, 1, OnZ2, OnZ2)
      << field("base", "ShortConn", &R::base, &B::ShortConn, Bo, 0, 1, OnZ2, OnZ2)
      << field("base", "UserMAC", &R::base, &B::UserMAC, Kind::Mac, 0, 17, Z23, Z23)
      << field("base", "DNS", &R::base, &B::DNS, IP, 0, 15, OnZ2, OnZ2)
      << field("base", "ShortTime", &R::base, &B::ShortTime, I, 0, 255, OnZ2, OnZ2);
    // port: bytes 52..58 mean different things on Z2 and Z3.
    f << field("port", "BaudRate", &R::port, &P::BaudRate, I, 1, 16777215, Z23, Z23)
      << field("port", "DataBits", &R::port, &P::DataBits, I, 5, 8, Z23, Z23)
      << field("port", "Parity", &R::port, &P::Parity, I, 1, 5, Z23, Z23)
      << field("port", "StopBits", &R::port, &P::StopBits, I, 1, 2, Z23, Z23)
      << field("port", "FlowControl", &R::port, &P::FlowControl, I, 1, 5, Z23, Z23)
      << field("port", "LocalPort", &R::port, &P::LocalPort, I, 0, 65535, Z23, Z23)
      << field("port", "RemotePort", &R::port, &P::RemotePort, I, 0, 65535, Z23, Z23)
      << field("port", "RemoteIP", &R::port, &P::RemoteIP, T, 0, 30, Z23, Z23)
      << field("port", "ModbusTCP", &R::port, &P::ModbusTCP, I, 0, 1, Z23, Z23)
      << field("port", "BaudSync", &R::port, &P::BaudSync, I, 0, 1, Z23, Z23)
      << field("port", "CloudEnable", &R::port, &P::CloudEnable, I, 0, 1, OnZ2, OnZ2)
      << field("port", "WorkMode", &R::port, &P::WorkMode, I, 0, 4, Z23, Z23)
      << field("port", "UARTLength", &R::port, &P::UARTLength, I, 0, 0x7FFFFFFF, OnZ3, OnZ3)
      << field("port", "TCPSvrCount", &R::port, &P::TCPSvrCount, I, 1, 16, Z23, Z23)
      << field("port", "ResetTime", &R::port, &P::ResetTime, I, 0, 65535, OnZ2, OnZ2)
      << field("port", "TCPStyle", &R::port, &P::TCPStyle, I, 1, 3, Z23, OnZ3)
      << field("port", "HttpdMethod", &R::port, &P::HttpdMethod, I, 0, 1, OnZ2, OnZ2)
      << field("port", "MacReg", &R::port, &P::MacReg, Bo, 0, 1, OnZ2, OnZ2)
      << field("port", "KickOld", &R::port, &P::KickOld, Bo, 0, 1, OnZ2, OnZ2)
      << field("port", "CustomReg", &R::port, &P::CustomReg, Bo, 0, 1, OnZ2, OnZ2);
    f << field("cloud", "DeviceID", &R::cloud, &TCloudParam::DeviceID, T, 0, 20, OnZ2, OnZ2)
      << field("cloud", "CommPassword", &R::cloud, &TCloudParam::CommPassword, T, 0, 8, OnZ2, OnZ2);
    using H = HeartRegValues;
    f << field("heartreg", "NetHeart", &R::heartreg, &H::NetHeart, Bo, 0, 1, OnZ2, OnZ2)
      << field("heartreg", "UartHeart", &R::heartreg, &H::UartHeart, Bo, 0, 1, OnZ2, OnZ2)
      << field("heartreg", "ConnectWith", &R::heartreg, &H::ConnectWith, Bo, 0, 1, OnZ2, OnZ2)
      << field("heartreg", "DataWith", &R::heartreg, &H::DataWith, Bo, 0, 1, OnZ2, OnZ2)
      << field("heartreg", "RemoveHttpdHead", &R::heartreg, &H::RemoveHttpdHead, Bo, 0, 1, OnZ2,
               OnZ2)
      << field("heartreg", "UartSetParam", &R::heartreg, &H::UartSetParam, Bo, 0, 1, OnZ2, OnZ2)
      << field("heartreg", "HeartHex", &R::heartreg, &H::HeartHex, Bo, 0, 1, OnZ2, OnZ2)
      << field("heartreg", "RegHex", &R::heartreg, &H::RegHex, Bo, 0, 1, OnZ2, OnZ2)
      << field("heartreg", "HeartTime", &R::heartreg, &H::HeartTime, I, 0, 65535, OnZ2, OnZ2)
      << field("heartreg", "HeartData", &R::heartreg, &H::HeartData, Kind::Data, 0, 40, OnZ2, OnZ2)
      << field("heartreg", "RegData", &R::heartreg, &H::RegData, Kind::Data, 0, 40, OnZ2, OnZ2);
    f << field("httpd", "URL", &R::httpd, &HttpdTexts::URL, T, 0, 100, OnZ2, OnZ2)
      << field("httpd", "Header", &R::httpd, &HttpdTexts::Header, T, 0, 200, OnZ2, OnZ2);
    f << field("modbus", "ModbusTCP", &R::modbus, &ModbusValues::ModbusTCP, Bo, 0, 1, OnZ2, OnZ2)
      << field("modbus", "PollEnable", &R::modbus, &ModbusValues::PollEnable, Bo, 0, 1, OnZ2, OnZ2)
      << field("modbus", "PollTime", &R::modbus, &ModbusValues::PollTime, I, 0, 65535, OnZ2, OnZ2);
    using Z = Z1Values;
    f << field("z1", "DeIP", &R::z1, &Z::DeIP, IP, 0, 15, OnZ1, OnZ1)
      << field("z1", "DePort", &R::z1, &Z::DePort, I, 0, 65535, OnZ1, OnZ1)
      << field("z1", "ModuleIP", &R::z1, &Z::ModuleIP, IP, 0, 15, OnZ1, OnZ1)
      << field("z1", "ModulePort", &R::z1, &Z::ModulePort, I, 0, 65535, OnZ1, OnZ1)
      << field("z1", "Gateway", &R::z1, &Z::Gateway, IP, 0, 15, OnZ1, OnZ1)
      << field("z1", "WorkMode", &R::z1, &Z::WorkMode, I, 0, 3, OnZ1, OnZ1)
      << field("z1", "BaudRate", &R::z1, &Z::BaudRate, I, 1, 16777215, OnZ1, OnZ1)
      << field("z1", "Parity", &R::z1, &Z::Parity, I, 0, 4, OnZ1, OnZ1)
      << field("z1", "DataBits", &R::z1, &Z::DataBits, I, 0, 3, OnZ1, OnZ1)
      << field("z1", "StopBits", &R::z1, &Z::StopBits, I, 0, 1, OnZ1, OnZ1)
      << field("z1", "ID", &R::z1, &Z::ID, I, 0, 65535, OnZ1, OnZ1)
      << field("z1", "Flags", &R::z1, &Z::Flags, I, 0, 255, OnZ1, OnZ1)
      << field("z1", "Mask", &R::z1, &Z::Mask, IP, 0, 15, OnZ1, OnZ1);
    return f;
}

const QList<Field> &fields() {
    static const QList<Field> table = buildFields();
    return table;
}

unsigned modelBit(int model) {
    switch (model) {
    case ModelZ2:
        return OnZ2;
    case ModelZ3:
        return OnZ3;
    case ModelZ1:
        return OnZ1;
    default:
        return 0;
    }
}

bool sectionPresent(const DeviceReadout &r, const QString &section) {
    if (section == "base" || section == "port")
        return r.hasParam;
    if (section == "cloud")
        return r.hasCloud;
    if (section == "heartreg")
        return r.hasHeartReg;
    if (section == "httpd")
        return r.hasHttpd;
    if (section == "modbus")
        return r.modbusLength > 0;
    if (section == "z1")
        return r.hasZ1;
    return false;
}

const QStringList &sectionOrder() {
    static const QStringList order{"base", "port", "cloud", "heartreg", "httpd", "modbus", "z1"};
    return order;
}

bool isDottedIPv4(const QString &text) {
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    for (int i = 1; i <= 4; ++i)
        if (m.captured(i).toInt() > 255)
            return false;
    return true;
}

// Checks `text` against a field and returns the value to store; an empty QVariant with
// `why` filled when it does not fit.
QVariant parseValue(const Field &f, const QString &text, int model, QString &why) {
    const QString t = text.trimmed();
    switch (f.kind) {
    case Kind::Int: {
        bool ok = false;
        const qint64 v = t.toLongLong(&ok, 10);
        qint64 hi = f.hi;
        if (model == ModelZ3 && f.key == "TCPSvrCount")
            hi = 8;
        if (model == ModelZ3 && f.section == "base" && f.key == "ExtFlags")
            hi = 3; // the ID type number
        if (!ok || v < f.lo || v > hi) {
            why = QStringLiteral("must be a whole number from %1 to %2").arg(f.lo).arg(hi);
            return {};
        }
        if (f.key == "FlowControl" && v != 1 && v != 3 && v != 5) {
            why = QStringLiteral("must be 1 (none), 3 (hardware) or 5 (RS485)");
            return {};
        }
        return v;
    }
    case Kind::Bool: {
        const QString l = t.toLower();
        if (l == "1" || l == "true" || l == "yes" || l == "on")
            return true;
        if (l == "0" || l == "false" || l == "no" || l == "off")
            return false;
        why = QStringLiteral("must be true or false (1 or 0)");
        return {};
    }
    case Kind::IPv4:
        if (!isDottedIPv4(t)) {
            why = QStringLiteral("must be a dotted IPv4 address such as 192.168.0.7");
            return {};
        }
        return t.toLatin1();
    case Kind::Mac: {
        const QByteArray hex = MacDigitsOf(t);
        if (hex.isEmpty()) {
            why = QStringLiteral("must be a MAC address of twelve hex digits");
            return {};
        }
        return BytesToMacText(QByteArray::fromHex(hex));
    }
    case Kind::Text:
    case Kind::Data: {
        const QByteArray gbk = UnicodeToGbk(text);
        qint64 hi = f.hi;
        if (model == ModelZ2 && f.key == "ModName")
            hi = 14;
        if (gbk.size() > hi) {
            why = QStringLiteral("is %1 bytes long, at most %2 allowed").arg(gbk.size()).arg(hi);
            return {};
        }
        if (gbk.contains('\0')) {
            why = QStringLiteral("must not contain zero bytes");
            return {};
        }
        return gbk;
    }
    }
    return {};
}

// A key given without its section is looked up among the sections of the device's model.
const Field *findField(const QString &name, unsigned modelMask, QString &why) {
    const int dot = name.indexOf('.');
    const QString section = dot >= 0 ? name.left(dot) : QString();
    const QString key = dot >= 0 ? name.mid(dot + 1) : name;
    QList<const Field *> hits;
    for (const Field &f : fields())
        if (f.key == key && (section.isEmpty() || f.section == section))
            hits << &f;
    if (section.isEmpty() && hits.size() > 1) {
        QList<const Field *> ofModel;
        for (const Field *f : std::as_const(hits))
            if (f->shown & modelMask)
                ofModel << f;
        if (!ofModel.isEmpty())
            hits = ofModel;
    }
    if (hits.isEmpty()) {
        why = QStringLiteral("unknown field");
        return nullptr;
    }
    if (hits.size() > 1) {
        QStringList names;
        for (const Field *f : hits)
            names << f->section + '.' + f->key;
        why = QStringLiteral("ambiguous, say ") + names.join(QStringLiteral(" or "));
        return nullptr;
    }
    return hits.first();
}

// A data text of the heartbeat image: hex digits (two per byte) when its hex flag is set.
bool checkDataText(const QByteArray &text, bool hex, QString &why) {
    if (!hex)
        return true;
    static const QRegularExpression re(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    if (!re.match(QString::fromLatin1(text)).hasMatch() || text.size() > 80) {
        why = QStringLiteral("must be pairs of hex digits, at most 40 bytes, while its hex flag "
                             "is set");
        return false;
    }
    return true;
}

QString jsonText(const QJsonValue &v) {
    if (v.isBool())
        return QString::fromLatin1(v.toBool() ? "true" : "false");
    if (v.isDouble())
        return QString::number(v.toInteger());
    return v.toString();
}

} // namespace

QByteArray MacDigitsOf(const QString &text) {
    QString hex = text;
    hex.remove(QRegularExpression(QStringLiteral("[\\s:-]")));
    static const QRegularExpression re(QStringLiteral("^[0-9A-Fa-f]{12}$"));
    return re.match(hex).hasMatch() ? hex.toUpper().toLatin1() : QByteArray();
}

QString ModelName(int model) {
    switch (model) {
    case ModelZ1:
        return QStringLiteral("Z1");
    case ModelZ2:
        return QStringLiteral("Z2");
    case ModelZ3:
        return QStringLiteral("Z3");
    default:
        return QStringLiteral("none");
    }
}

QJsonObject ReadoutToJson(const DeviceReadout &r) {
    QJsonObject root;
    QJsonObject device;
    device["IP"] = r.ip;
    device["Name"] = GbkToUnicode(r.name);
    device["MAC"] = r.mac;
    device["Version"] = r.version;
    device["Model"] = ModelName(r.model);
    device["BindIndex"] = r.bindIndex;
    root["device"] = device;
    const unsigned bit = modelBit(r.model);
    for (const QString &section : sectionOrder()) {
        if (!sectionPresent(r, section))
            continue;
        QJsonObject obj;
        for (const Field &f : fields())
            if (f.section == section && (f.shown & bit))
                obj[f.key] = f.get(r);
        if (section == "modbus")
            obj["Length"] = r.modbusLength;
        root[section] = obj;
    }
    return root;
}

QStringList ReadoutToLines(const DeviceReadout &r) {
    QStringList lines;
    const QJsonObject root = ReadoutToJson(r);
    QStringList sections{"device"};
    sections << sectionOrder();
    for (const QString &section : sections) {
        const QJsonObject obj = root.value(section).toObject();
        for (auto it = obj.begin(); it != obj.end(); ++it) {
            lines << section + '.' + it.key() + " = " + jsonText(it.value());
        }
    }
    return lines;
}

bool ApplyAssignments(DeviceReadout &r, const QList<QPair<QString, QString>> &assignments,
                      QStringList &errors, QStringList &changedSections) {
    DeviceReadout out = r;
    const unsigned bit = modelBit(r.model);
    const QString model = ModelName(r.model);
    bool heartChanged = false;
    for (const auto &a : assignments) {
        QString why;
        const Field *f = findField(a.first, bit, why);
        // A field that is not written may still be given with the value it has (a file saved
        // by `read --json` and fed back).
        if (f && !(f->written & bit) && sectionPresent(r, f->section) && (f->shown & bit) &&
            jsonText(f->get(r)) == a.second.trimmed())
            continue;
        if (f && !(f->written & bit))
            why = QStringLiteral("is not written to %1 devices").arg(model);
        else if (f && !sectionPresent(r, f->section))
            why = QStringLiteral("the device sent no %1 reply").arg(f->section);
        QVariant value;
        if (why.isEmpty())
            value = parseValue(*f, a.second, r.model, why);
        if (!why.isEmpty()) {
            errors << QStringLiteral("%1=%2: %3").arg(a.first, a.second, why);
            continue;
        }
        const QJsonValue before = f->get(out);
        f->set(out, value);
        if (f->get(out) != before && !changedSections.contains(f->section))
            changedSections << f->section;
        heartChanged = heartChanged || f->section == "heartreg";
        // The registration list shows one type; choosing one clears the others.
        if (f->section == "port" && value.toBool() &&
            (f->key == "MacReg" || f->key == "CustomReg" || f->key == "CloudEnable")) {
            out.port.MacReg = f->key == "MacReg";
            out.port.CustomReg = f->key == "CustomReg";
            out.port.CloudEnable = f->key == "CloudEnable" ? 1 : 0;
        }
    }
    if (heartChanged) {
        QString why;
        if (!checkDataText(out.heartreg.HeartData, out.heartreg.HeartHex, why))
            errors << QStringLiteral("heartreg.HeartData: ") + why;
        if (!checkDataText(out.heartreg.RegData, out.heartreg.RegHex, why))
            errors << QStringLiteral("heartreg.RegData: ") + why;
    }
    if (!errors.isEmpty())
        return false;
    r = out;
    return true;
}

bool AssignmentsFromJson(const QByteArray &json, QList<QPair<QString, QString>> &assignments,
                         QString &error) {
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &pe);
    if (pe.error != QJsonParseError::NoError || !doc.isObject()) {
        error = pe.error != QJsonParseError::NoError ? pe.errorString()
                                                     : QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it.key() == "device")
            continue; // what the search found; not a setting
        if (it.value().isObject()) {
            const QJsonObject obj = it.value().toObject();
            for (auto f = obj.begin(); f != obj.end(); ++f) {
                if (it.key() == "modbus" && f.key() == "Length")
                    continue;
                assignments.append({it.key() + '.' + f.key(), jsonText(f.value())});
            }
        } else if (it.value().isArray() || it.value().isNull()) {
            error = QStringLiteral("%1: must be a section object or a value").arg(it.key());
            return false;
        } else {
            assignments.append({it.key(), jsonText(it.value())});
        }
    }
    return true;
}
