#pragma once
// Records every signal of a TUdpSvr, in order, for the endpoint and flow tests.

#include <Unit_Udp.h>

#include <QByteArray>
#include <QList>
#include <QString>

struct FoundDevice {
    QString ip;
    QByteArray name;
    QString mac;
    QString version;
    int model = 0;
    int bindIndex = 0;
};

struct LanRecorder {
    QList<QByteArray> sent;     // OnDataSent data
    QList<int> sentPorts;       // OnDataSent destination port
    QList<QByteArray> received; // OnDataRecv data
    QList<FoundDevice> found;
    QList<int> status;
    QList<QString> statusText;
    QList<TBaseParam> params;
    QList<int> paramModels;
    QList<TCloudParam> clouds;
    QList<QByteArray> heartRegs;
    QList<QByteArray> urls;
    QList<QByteArray> headers;
    QList<TModbusParam> modbus;
    QList<int> modbusLengths;
    // LastBaseFlags as the OnParamRead handler saw it.
    QList<quint8> baseFlagsAtParamRead;

    explicit LanRecorder(TUdpSvr &udp) {
        QObject::connect(
            &udp, &TUdpSvr::OnDataSent, &udp,
            [this](const QByteArray &d, const QString &, const QString &, int port, int) {
                sent << d;
                sentPorts << port;
            });
        QObject::connect(&udp, &TUdpSvr::OnDataRecv, &udp,
                         [this](const QByteArray &d, const QString &, const QString &, int, int) {
                             received << d;
                         });
        QObject::connect(&udp, &TUdpSvr::OnDevFound, &udp,
                         [this](const QString &ip, const QByteArray &name, const QString &mac,
                                const QString &version, int model, int bindIndex) {
                             found << FoundDevice{ip, name, mac, version, model, bindIndex};
                         });
        QObject::connect(&udp, &TUdpSvr::OnStatus, &udp, [this](int code, const QString &text) {
            status << code;
            statusText << text;
        });
        QObject::connect(&udp, &TUdpSvr::OnParamRead, &udp,
                         [this](const TBaseParam &b, const TarrComParam &, bool, int model) {
                             params << b;
                             paramModels << model;
                             baseFlagsAtParamRead << LastImages.LastBaseFlags;
                         });
        QObject::connect(&udp, &TUdpSvr::OnCloudRead, &udp,
                         [this](const TarrCloudParam &c, bool, int) { clouds << c.value(0); });
        QObject::connect(&udp, &TUdpSvr::OnHeartRegRead, &udp,
                         [this](const QByteArray &image, bool, int) { heartRegs << image; });
        QObject::connect(&udp, &TUdpSvr::OnHttpdRead, &udp,
                         [this](const QByteArray &url, const QByteArray &header) {
                             urls << url;
                             headers << header;
                         });
        QObject::connect(&udp, &TUdpSvr::OnModbusInfo, &udp,
                         [this](const TModbusParam &m, int length) {
                             modbus << m;
                             modbusLengths << length;
                         });
    }

    int count(int code) const { return int(status.count(code)); }
};
