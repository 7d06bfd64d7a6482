#include "CtlCommands.h"

#include "CtlSession.h"

#include <GbkText.h>
#include <LanPackets.h>
#include <Unit_ProFun.h>
#include <WriteSequence.h>
#include <Z1Block.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cstdio>

namespace {

void fail(const QString &message) {
    std::fprintf(stderr, "n6ctl: %s\n", message.toLocal8Bit().constData());
}

void print(const QString &line) {
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
}

void printJson(const QJsonDocument &doc) {
    std::fputs(doc.toJson(QJsonDocument::Indented).constData(), stdout);
}

QJsonObject deviceJson(const DeviceReadout &d) {
    return ReadoutToJson(d).value("device").toObject();
}

QByteArray macDigits(const QString &mac) {
    return mac.toLatin1().toUpper().replace(' ', "");
}

// Exit code for a list of device answers of which `expected` were due.
int answerExit(const QList<CtlAnswer> &answers, int expected) {
    for (const CtlAnswer &a : answers)
        if (a.status == stPswdErr)
            return ExitPassword;
    for (const CtlAnswer &a : answers)
        if (a.status != stAck)
            return ExitDeviceError;
    return answers.size() < expected ? ExitTimeout : ExitOk;
}

void reportExit(int code, const QString &what) {
    switch (code) {
    case ExitPassword:
        fail(what + QStringLiteral(": the device refused the user name or password"));
        break;
    case ExitDeviceError:
        fail(what + QStringLiteral(": the device reported an error"));
        break;
    case ExitTimeout:
        fail(what + QStringLiteral(": the device did not answer"));
        break;
    default:
        break;
    }
}

class Commands {
public:
    explicit Commands(const CtlOptions &o)
        : m_o(o) {
        CfgUserName = o.user;
        CfgPassword = o.password;
    }

    int run() {
        const QString &c = m_o.command;
        if (c == "search")
            return search();
        if (c != "read" && c != "write" && c != "restart" && c != "reset") {
            fail(QStringLiteral("unknown command %1 (search, read, write, restart, reset)").arg(c));
            return ExitUsage;
        }
        if (m_o.args.isEmpty()) {
            fail(QStringLiteral("%1 wants the MAC of a device").arg(c));
            return ExitUsage;
        }
        m_mac = MacDigitsOf(m_o.args.first());
        if (m_mac.isEmpty()) {
            fail(QStringLiteral("%1 is not a MAC address (twelve hex digits)")
                     .arg(m_o.args.first()));
            return ExitUsage;
        }
        if (c != "write" && m_o.args.size() > 1) {
            fail(QStringLiteral("%1 takes only a MAC, not %2").arg(c, m_o.args.at(1)));
            return ExitUsage;
        }
        if (c == "write") {
            const int rc = collectAssignments();
            if (rc != ExitOk)
                return rc;
        }
        const int found = find();
        if (found != ExitOk)
            return found;
        if (c == "restart")
            return restart();
        if (c == "reset")
            return reset();
        const int rc = read();
        if (rc != ExitOk || c == "read")
            return rc;
        return write();
    }

private:
    int search() {
        if (!m_o.args.isEmpty()) {
            fail(QStringLiteral("search takes no arguments, not %1").arg(m_o.args.first()));
            return ExitUsage;
        }
        QList<DeviceReadout> devices;
        if (!m_session.Search(m_o.timeoutMs, QByteArray(), devices)) {
            fail(QStringLiteral("the local addresses cannot be bound"));
            return ExitBindFailed;
        }
        if (m_o.json) {
            QJsonArray list;
            for (const DeviceReadout &d : std::as_const(devices))
                list.append(deviceJson(d));
            printJson(QJsonDocument(list));
        } else {
            for (const DeviceReadout &d : std::as_const(devices))
                print(QStringList{d.ip, GbkToUnicode(d.name), d.mac, d.version, ModelName(d.model)}
                          .join('\t'));
        }
        return ExitOk;
    }

    int find() {
        QList<DeviceReadout> devices;
        if (!m_session.Search(m_o.timeoutMs, m_mac, devices)) {
            fail(QStringLiteral("the local addresses cannot be bound"));
            return ExitBindFailed;
        }
        for (const DeviceReadout &d : std::as_const(devices)) {
            if (macDigits(d.mac) == m_mac) {
                m_dev = d;
                if (d.model == ModelNone) {
                    fail(QStringLiteral("device %1 (version %2) is not an N6 device this tool "
                                        "serves")
                             .arg(d.mac, d.version));
                    return ExitNoDevice;
                }
                return ExitOk;
            }
        }
        fail(QStringLiteral("no device with MAC %1 answered the search").arg(QString(m_mac)));
        return ExitNoDevice;
    }

    int read() {
        QString deviceError;
        switch (m_session.Read(m_dev, m_o.timeoutMs, deviceError)) {
        case CtlSession::ReadResult::Ok:
            break;
        case CtlSession::ReadResult::Timeout:
            fail(QStringLiteral("read: device %1 did not answer").arg(m_dev.mac));
            return ExitTimeout;
        case CtlSession::ReadResult::PasswordRefused:
            fail(
                QStringLiteral("read: device %1 refused the user name or password").arg(m_dev.mac));
            return ExitPassword;
        case CtlSession::ReadResult::DeviceError:
            fail(QStringLiteral("read: device %1 answered %2").arg(m_dev.mac, deviceError));
            return ExitDeviceError;
        }
        if (m_o.command == "read") {
            if (m_o.json)
                printJson(QJsonDocument(ReadoutToJson(m_dev)));
            else
                for (const QString &line : ReadoutToLines(m_dev))
                    print(line);
        }
        return ExitOk;
    }

    int collectAssignments() {
        if (!m_o.fromFile.isEmpty()) {
            QFile file(m_o.fromFile);
            if (!file.open(QIODevice::ReadOnly)) {
                fail(QStringLiteral("cannot read %1: %2").arg(m_o.fromFile, file.errorString()));
                return ExitUsage;
            }
            QString error;
            if (!AssignmentsFromJson(file.readAll(), m_assignments, error)) {
                fail(QStringLiteral("%1: %2").arg(m_o.fromFile, error));
                return ExitBadField;
            }
        }
        for (const QString &arg : m_o.args.mid(1)) {
            const int eq = arg.indexOf('=');
            if (eq <= 0) {
                fail(QStringLiteral("%1: a field is given as FIELD=VALUE").arg(arg));
                return ExitBadField;
            }
            m_assignments.append({arg.left(eq), arg.mid(eq + 1)});
        }
        if (m_assignments.isEmpty()) {
            fail(QStringLiteral("write wants FIELD=VALUE arguments or --from FILE.json"));
            return ExitUsage;
        }
        return ExitOk;
    }

    // The write sequence the window would run for this device and these values.
    int write() {
        QStringList errors, sections;
        if (!ApplyAssignments(m_dev, m_assignments, errors, sections)) {
            for (const QString &e : std::as_const(errors))
                fail(e + QStringLiteral(" (nothing sent)"));
            return ExitBadField;
        }
        if (m_dev.model == ModelZ1)
            return writeZ1(m_dev.z1);

        WriteSequence seq;
        const LanTarget target{m_dev.bindIndex, m_dev.mac.toLatin1()};
        if (m_dev.model == ModelZ3) {
            Z3WriteInputs in;
            in.images = LastImages;
            in.base = m_dev.base;
            in.port = m_dev.port;
            in.row = target;
            in.user = CfgUserName;
            in.password = CfgPassword;
            seq = BuildZ3Write(in);
        } else {
            Z2WriteInputs in;
            in.images = LastImages;
            in.base = m_dev.base;
            in.port = m_dev.port;
            in.cloud = m_dev.cloud;
            in.heartReg = m_dev.heartreg;
            in.httpdUrl = m_dev.httpd.URL;
            in.httpdHeader = m_dev.httpd.Header;
            in.modbus = m_dev.modbus;
            in.registrationType = RegistrationType(m_dev.port);
            in.modbusShown = m_dev.modbusLength > 0;
            in.modbusForm = m_dev.modbusLength;
            in.versionText = m_dev.version;
            in.row = target;
            in.selected = target;
            in.user = CfgUserName;
            in.password = CfgPassword;
            seq = BuildZ2Write(in);
        }
        if (!checkSectionsSent(seq, sections))
            return ExitBadField;
        if (!seq.badFields.isEmpty()) {
            fail(QStringLiteral("%1: cannot be encoded (nothing sent)")
                     .arg(QString::fromLatin1(seq.badFields.first())));
            return ExitBadField;
        }

        m_session.ClearAnswers();
        RunWriteSequence(m_session.udp(), seq);
        const QList<CtlAnswer> answers =
            m_session.WaitAnswers(int(seq.steps.size()), m_o.timeoutMs);
        QStringList names;
        for (const WriteStep &s : seq.steps)
            names << QString::fromLatin1(s.name);
        return report(names, answers, "write");
    }

    // A field the user changed must travel in some block of the sequence.
    bool checkSectionsSent(const WriteSequence &seq, const QStringList &sections) {
        const auto sent = [&](const char *name) {
            for (const WriteStep &s : seq.steps)
                if (s.name == name)
                    return true;
            return false;
        };
        QString why;
        if (sections.contains("cloud") && !sent("cloud"))
            why = QStringLiteral("cloud fields are written only with the registration type "
                                 "\"Enable Quorvex Cloud\" (port.CloudEnable=1)");
        else if (sections.contains("heartreg") && !sent("heartreg"))
            why = QStringLiteral("heartreg fields are written only to firmware above 4016 "
                                 "(this device: %1)")
                      .arg(m_dev.version);
        else if (sections.contains("httpd") && !sent("httpd-url"))
            why = QStringLiteral("httpd fields are written only in work mode 4 (HTTPD Client) "
                                 "and to firmware above 4016");
        if (why.isEmpty())
            return true;
        fail(why + QStringLiteral(" (nothing sent)"));
        return false;
    }

    // The Z1 image goes unframed to port 1500; a Z1 device applies it without an answer.
    int writeZ1(const Z1Values &values) {
        QByteArray image;
        try {
            image = Z1NetImage(m_dev.mac.toLatin1(), EncodeZ1Image(values));
        } catch (const ConvertError &e) {
            fail(QStringLiteral("z1: %1 (nothing sent)").arg(QString::fromLocal8Bit(e.what())));
            return ExitBadField;
        }
        m_session.udp().SendDevRaw(m_dev.bindIndex, image);
        if (m_o.json) {
            QJsonObject root;
            root["device"] = deviceJson(m_dev);
            root["steps"] = QJsonArray{QJsonObject{{"name", "z1"}, {"answer", "sent"}}};
            root["result"] = "ok";
            printJson(QJsonDocument(root));
        } else {
            print(QStringLiteral("z1: sent (Z1 devices do not answer)"));
        }
        return ExitOk;
    }

    int restart() {
        m_session.ClearAnswers();
        m_session.udp().SendDevCmd(m_dev.bindIndex, m_dev.mac.toLatin1(), cmdRestart, CfgUserName,
                                   CfgPassword);
        return report({"restart"}, m_session.WaitAnswers(1, m_o.timeoutMs), "restart");
    }

    int reset() {
        if (m_dev.model == ModelZ1)
            return writeZ1(Z1FactoryValues());
        m_session.ClearAnswers();
        if (m_dev.model == ModelZ3)
            m_session.udp().SendDevCmdZ3(m_dev.bindIndex, m_dev.mac.toLatin1(), cmdReset,
                                         CfgUserName, CfgPassword);
        else
            m_session.udp().SendDevCmd(m_dev.bindIndex, m_dev.mac.toLatin1(), cmdReset, CfgUserName,
                                       CfgPassword);
        return report({"reset"}, m_session.WaitAnswers(1, m_o.timeoutMs), "reset");
    }

    // One line (or JSON entry) per step with the device's answer to it, in order.
    int report(const QStringList &steps, const QList<CtlAnswer> &answers, const QString &what) {
        const int code = answerExit(answers, int(steps.size()));
        if (m_o.json) {
            QJsonArray list;
            for (int i = 0; i < steps.size(); ++i) {
                QJsonObject o{{"name", steps.at(i)}};
                if (i < answers.size()) {
                    const CtlAnswer &a = answers.at(i);
                    o["answer"] = a.status == stAck        ? "K"
                                  : a.status == stPswdErr  ? "P"
                                  : a.status == stOtherErr ? "E"
                                                           : "checksum";
                    if (a.status == stCheckErr)
                        o["expectedSum"] = a.text;
                } else {
                    o["answer"] = QJsonValue();
                }
                list.append(o);
            }
            QJsonObject root{{"device", deviceJson(m_dev)}, {"steps", list}};
            root["result"] = code == ExitOk ? "ok" : "failed";
            printJson(QJsonDocument(root));
        } else {
            for (int i = 0; i < steps.size(); ++i)
                print(steps.at(i) + QStringLiteral(": ") +
                      (i < answers.size() ? answers.at(i).Word() : QStringLiteral("no answer")));
        }
        reportExit(code, what);
        return code;
    }

    CtlOptions m_o;
    CtlSession m_session;
    QByteArray m_mac;
    DeviceReadout m_dev;
    QList<QPair<QString, QString>> m_assignments;
};

} // namespace

int RunCommand(const CtlOptions &options) {
    return Commands(options).run();
}
