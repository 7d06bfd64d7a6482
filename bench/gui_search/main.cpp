// Prints how fast the main window lists 1000 devices answering one search (n6sim on
// 127.0.0.51), and how fast its log panes take 100k lines. Run offscreen:
//   QT_QPA_PLATFORM=offscreen bench_gui_search [devices]
#include <SimProcess.h>
#include <Unit_Main.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char *argv[]) {
    qputenv("N6_BIND", "127.0.0.51");
    qputenv("N6_BROADCAST", "127.0.0.51");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int devices = argc > 1 ? QByteArray(argv[1]).toInt() : 1000;

    SimProcess sim;
    if (!sim.start({"--bind", "127.0.0.51", "--z2", QString::number(devices), "--first-ip",
                    "127.0.0.51"})) {
        std::fprintf(stderr, "n6sim did not start: %s\n", qPrintable(sim.errorText()));
        return 1;
    }
    TFrm_Main w;
    w.show();
    auto *list = w.findChild<QTreeWidget *>(QStringLiteral("lv_Dev"));
    auto *search = w.findChild<QPushButton *>(QStringLiteral("btn_Search"));

    // Search: time from the click to the last row listed (waits up to 10 s, then 1 s of quiet).
    QElapsedTimer t;
    t.start();
    qint64 lastRowMs = -1;
    int rows = 0;
    QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, list, [&] {
        rows = list->topLevelItemCount();
        lastRowMs = t.elapsed();
    });
    t.restart();
    search->click();
    while (t.elapsed() < 10000 && rows < devices)
        QTest::qWait(5);
    QTest::qWait(1000);
    std::printf("search: %d rows listed of %d, last row after %lld ms\n", rows, devices,
                static_cast<long long>(lastRowMs));

    // Log panes: 100k appends, half to each pane, as the flows write them.
    const int lines = 100000;
    qint64 longestNs = 0;
    QElapsedTimer one;
    t.restart();
    for (int i = 0; i < lines; ++i) {
        one.start();
        if (i % 2)
            w.AddHexPlain(
                QStringLiteral("FF 13 03 02 4E 36 00 00 01 76 65 78 6F 6C 00 %1 ").arg(i));
        else
            w.AddLog(QStringLiteral(" Data has been sent %1").arg(i), TFrm_Main::ColorGreen());
        longestNs = qMax(longestNs, one.nsecsElapsed());
        if (i % 1000 == 0)
            QCoreApplication::processEvents(); // the window repaints as it would in use
    }
    QCoreApplication::processEvents();
    std::printf("log: %d lines in %lld ms, longest single append %.2f ms\n", lines,
                static_cast<long long>(t.elapsed()), longestNs / 1e6);
    return 0;
}
