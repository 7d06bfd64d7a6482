#pragma once
// The five commands of n6ctl and their exit codes.

#include <QByteArray>
#include <QString>
#include <QStringList>

enum CtlExit {
    ExitOk = 0,
    ExitUsage = 1,
    ExitNoDevice = 2,
    ExitBadField = 3,
    ExitPassword = 4,
    ExitTimeout = 5,
    ExitDeviceError = 6,
    ExitBindFailed = 7,
};

struct CtlOptions {
    QString command;  // search, read, write, restart, reset
    QStringList args; // MAC, FIELD=VALUE...
    bool json = false;
    QString fromFile;
    QByteArray user = "vexol";
    QByteArray password = "vexol";
    int timeoutMs = 2000;
};

// Runs one command; prints its result on stdout and each failure as one line on stderr.
int RunCommand(const CtlOptions &options);
