// n6sim: plays any number of Z1/Z2/Z3 devices on the LAN side, so every flow of the tool can be
// run and seen without hardware. `n6sim --help` documents the options and the output lines.

#include "FactoryImages.h"
#include "SimDevice.h"
#include "SimOptions.h"
#include "SimServer.h"
#include "SimState.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

QByteArray NextMac(const QByteArray &mac, quint64 step) {
    quint64 value = 0;
    for (const char byte : mac)
        value = (value << 8) | quint8(byte);
    value += step;
    QByteArray out(6, '\0');
    for (int i = 5; i >= 0; --i, value >>= 8)
        out[i] = char(value & 0xFF);
    return out;
}

std::vector<SimDevice> MakeDevices(const SimOptions &options) {
    std::vector<SimDevice> devices;
    const struct {
        SimModel model;
        int count;
        quint16 version;
    } groups[] = {{SimModel::Z2, options.z2, options.version},
                  {SimModel::Z3, options.z3, options.versionZ3},
                  {SimModel::Z1, options.z1, options.versionZ1}};
    quint32 ip = options.firstIps.first();
    for (const auto &group : groups) {
        for (int n = 1; n <= group.count; ++n) {
            const int index = int(devices.size());
            if (index > 0)
                ip = index < options.firstIps.size() ? options.firstIps.at(index) : ip + 1;
            FactorySpec spec;
            spec.model = group.model;
            spec.ip = ip;
            spec.mac = NextMac(options.firstMac, quint64(index));
            spec.name = (options.name + '-' + SimModelName(group.model).toLatin1() + '-' +
                         QByteArray::number(n))
                            .left(16);
            spec.user = options.user;
            spec.password = options.password;
            spec.version = group.version;
            spec.modbus = options.modbus;
            devices.emplace_back(group.model, spec.mac, group.version, FactoryImages(spec),
                                 options.user, options.password);
        }
    }
    return devices;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    SimOptions options;
    int exitCode = 0;
    if (!ParseSimOptions(app.arguments(), options, exitCode))
        return exitCode;

    std::vector<SimDevice> devices = MakeDevices(options);
    SimState state(options.stateFile);
    QString error;
    if (state.enabled() && !state.load(devices, error)) {
        std::fprintf(stderr, "n6sim: cannot read the state file: %s\n", qPrintable(error));
        return 1;
    }
    SimServer server(options, std::move(devices), &state);
    if (!server.start(error)) {
        std::fprintf(stderr, "n6sim: %s\n", qPrintable(error));
        return 1;
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    return app.exec();
}
