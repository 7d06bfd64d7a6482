#include "Pauses.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <climits>
#include <cmath>

namespace {

double InitialScale() {
    bool ok = false;
    const double value = qEnvironmentVariable("N6_PAUSE_SCALE").toDouble(&ok);
    return ok && std::isfinite(value) && value >= 0 ? value : 1.0;
}

double &Scale() {
    static double scale = InitialScale();
    return scale;
}

} // namespace

void SetPauseScale(double scale) {
    Scale() = std::isfinite(scale) && scale > 0 ? scale : 0.0;
}

double PauseScale() {
    return Scale();
}

int ScaledPause(int ms) {
    if (ms <= 0)
        return 0;
    const double scaled = std::round(double(ms) * Scale());
    return scaled >= double(INT_MAX) ? INT_MAX : int(scaled);
}

void BlockingPause(int ms) {
    const int scaled = ScaledPause(ms);
    if (scaled > 0)
        QThread::msleep(ulong(scaled));
}

void WaitWithMessages(int ms) {
    const int scaled = ScaledPause(ms);
    if (!QCoreApplication::instance()) {
        if (scaled > 0)
            QThread::msleep(ulong(scaled));
        return;
    }
    QDeadlineTimer deadline(scaled);
    // Process what is pending at least once, then sleep in the event loop until the deadline.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (!deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(int(deadline.remainingTime()), &loop, &QEventLoop::quit);
        loop.exec();
    }
}
