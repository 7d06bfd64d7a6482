// bench_search_scale: one search through TUdpSvr answered by 1000 simulated Z2 devices on
// loopback. Prints how many were found and the milliseconds from the search to the last
// OnDevFound. A measurement, not a test: it never fails on a figure.
//
// The tool binds 127.0.0.50, n6sim 127.0.0.51 (replies by unicast).

#include <Unit_Udp.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int Devices = 1000;
constexpr int WaitMs = 5000;

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    qputenv("N6_BIND", "127.0.0.50");
    qputenv("N6_BROADCAST", "127.0.0.51");

    QProcess sim;
    sim.start(QStringLiteral(N6SIM_PATH), {"--bind", "127.0.0.51", "--first-ip", "127.0.0.51",
                                           "--reply", "unicast", "--z2", QString::number(Devices)});
    if (!sim.waitForStarted(5000)) {
        std::fprintf(stderr, "bench_search_scale: cannot start n6sim: %s\n",
                     qPrintable(sim.errorString()));
        return 1;
    }
    QElapsedTimer ready;
    ready.start();
    while (!sim.canReadLine() && ready.elapsed() < 10000)
        sim.waitForReadyRead(100);
    if (sim.readLine().trimmed() != "ready") {
        std::fprintf(stderr, "bench_search_scale: n6sim did not get ready\n");
        return 1;
    }

    TUdpSvr udp;
    int found = 0;
    qint64 lastMs = 0;
    QElapsedTimer clock;
    QObject::connect(
        &udp, &TUdpSvr::OnDevFound, &app,
        [&](const QString &, const QByteArray &, const QString &, const QString &, int, int) {
            ++found;
            lastMs = clock.elapsed();
            if (found == Devices)
                app.quit();
        });
    QTimer::singleShot(WaitMs, &app, &QCoreApplication::quit);
    clock.start();
    udp.SearchDevices();
    app.exec();

    std::printf("devices found: %d of %d\n", found, Devices);
    std::printf("search to last OnDevFound: %lld ms\n", static_cast<long long>(lastMs));
    sim.terminate();
    sim.waitForFinished(5000);
    return 0;
}
