#pragma once
// The base and port fields that the Z2 and Z3 pages have alike (the Z3 copies carry the suffix
// Z3): one description of the controls, shown and collected by one set of routines. Each page
// adds its own fields (Z2: DNS, options, registration, ...; Z3: the ID type) around them.

#include <Unit_Public.h>

class PageCollector;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

struct NetBaseFields {
    QComboBox *addrType;
    QLineEdit *urlPort;
    QLabel *urlPortLabel;
    QLineEdit *httpPort;
    QLabel *httpPortLabel;
    QLineEdit *staticIP;
    QLabel *staticIPLabel;
    QLineEdit *gateway;
    QLabel *gatewayLabel;
    QLineEdit *mask;
    QLabel *maskLabel;
    QLineEdit *name;
    QLineEdit *user;
    QLineEdit *password;
    QLineEdit *userMac;
    QLabel *userMacLabel;
};

struct NetPortFields {
    QComboBox *baud;
    QLabel *baudLabel;
    QComboBox *dataBits;
    QComboBox *parity;
    QComboBox *stopBits;
    QComboBox *flow;
    QLineEdit *localPort;
    QLabel *localPortLabel;
    QLineEdit *remotePort;
    QLabel *remotePortLabel;
    QLineEdit *remoteIP;
    QComboBox *modbusTcp;
    QCheckBox *baudSync;
    QComboBox *workMode;
    QLineEdit *uartLength;
    QLabel *uartLengthLabel;
    QComboBox *svrCount;
    QComboBox *style;
};

// Address type, ports, addresses, name, credentials and user MAC.
void ShowNetBase(const NetBaseFields &f, const TBaseParam &b);
// Address type through password in page order (numbers and addresses checked); the user MAC
// comes last on both pages and is collected by CollectUserMac.
void CollectNetBase(const NetBaseFields &f, PageCollector &c, TBaseParam &b);
void CollectUserMac(const NetBaseFields &f, PageCollector &c, TBaseParam &b);

// Serial line, ports, remote address, Modbus TCP, baud sync and work mode. A flow control code
// other than 1, 3, 5 and a baud sync other than 0, 1 leave their controls as they were.
void ShowNetPort(const NetPortFields &f, const TPortParam &port);
// Every field of NetPortFields in page order; connection count and server style as item + 1.
void CollectNetPort(const NetPortFields &f, PageCollector &c, TPortParam &port);
