// Platform functions: local addresses and their override, the broadcast address, the two pauses,
// the GBK text conversion.
#include "GbkText.h"
#include "Pauses.h"
#include "Platform.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QUdpSocket>
#include <QtTest>

class TstPlatform : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void bindOverride_data();
    void bindOverride();
    void interfaceAddresses();
    void broadcastAddress_data();
    void broadcastAddress();
    void udpConnReset();
    void scaledPause_data();
    void scaledPause();
    void blockingPauseHandlesNoEvents();
    void waitWithMessagesHandlesEvents();
    void gbkRoundTrip_data();
    void gbkRoundTrip();
    void gbkUnmappable();
};

void TstPlatform::cleanup() {
    qunsetenv("N6_BIND");
    qunsetenv("N6_BROADCAST");
    SetPauseScale(1.0);
}

void TstPlatform::bindOverride_data() {
    QTest::addColumn<QByteArray>("env");
    QTest::addColumn<QStringList>("list");
    QTest::newRow("two addresses")
        << QByteArray("127.0.0.10,127.0.0.11") << QStringList{"127.0.0.10", "127.0.0.11"};
    QTest::newRow("blanks and empty entries dropped")
        << QByteArray(" 127.0.0.12 ,, 127.0.0.13 ") << QStringList{"127.0.0.12", "127.0.0.13"};
    // Set but empty: no address, so the list is left as it was.
    QTest::newRow("empty") << QByteArray("") << QStringList{"unchanged"};
}

void TstPlatform::bindOverride() {
    QFETCH(QByteArray, env);
    QFETCH(QStringList, list);
    qputenv("N6_BIND", env);
    QStringList actual{"unchanged"};
    const int count = GetLocalIPList(actual);
    QCOMPARE(actual, list);
    QCOMPARE(count, env.trimmed().isEmpty() ? 0 : int(list.size()));
}

void TstPlatform::interfaceAddresses() {
    // Without the override: IPv4 texts only, never loopback; none at all leaves the list alone.
    QStringList list{"unchanged"};
    const int count = GetLocalIPList(list);
    if (count == 0) {
        QCOMPARE(list, QStringList{"unchanged"});
        return;
    }
    QCOMPARE(count, int(list.size()));
    for (const QString &text : list) {
        const QHostAddress address(text);
        QCOMPARE(address.protocol(), QAbstractSocket::IPv4Protocol);
        QVERIFY2(!address.isLoopback(), qPrintable(text));
    }
}

void TstPlatform::broadcastAddress_data() {
    QTest::addColumn<QByteArray>("env");
    QTest::addColumn<QString>("address");
    QTest::newRow("unset") << QByteArray() << QStringLiteral("255.255.255.255");
    QTest::newRow("loopback override") << QByteArray("127.0.0.10") << QStringLiteral("127.0.0.10");
    QTest::newRow("garbage falls back")
        << QByteArray("not-an-address") << QStringLiteral("255.255.255.255");
}

void TstPlatform::broadcastAddress() {
    QFETCH(QByteArray, env);
    QFETCH(QString, address);
    if (!env.isEmpty())
        qputenv("N6_BROADCAST", env);
    QCOMPARE(BroadcastAddress(), QHostAddress(address));
}

void TstPlatform::udpConnReset() {
    QUdpSocket socket;
    QVERIFY(socket.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    QVERIFY(SetUdpConnReset(&socket, false));
    FlushArpCache(); // nothing to do here; must simply return
}

void TstPlatform::scaledPause_data() {
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("scaled");
    QTest::newRow("real time") << 1.0 << 500 << 500;
    QTest::newRow("a tenth") << 0.1 << 2000 << 200;
    QTest::newRow("rounded") << 0.1 << 5 << 1;
    QTest::newRow("zero scale") << 0.0 << 500 << 0;
    QTest::newRow("negative scale counts as 0") << -3.0 << 500 << 0;
    QTest::newRow("negative time") << 1.0 << -5 << 0;
    QTest::newRow("huge is capped") << 1e12 << 500 << INT_MAX;
}

void TstPlatform::scaledPause() {
    QFETCH(double, scale);
    QFETCH(int, ms);
    QFETCH(int, scaled);
    SetPauseScale(scale);
    QCOMPARE(ScaledPause(ms), scaled);
}

void TstPlatform::blockingPauseHandlesNoEvents() {
    SetPauseScale(0.1);
    bool fired = false;
    QTimer::singleShot(0, this, [&fired] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    BlockingPause(500);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 40, qPrintable(QString::number(elapsed)));
    QVERIFY(!fired);
    QTRY_VERIFY(fired);
}

void TstPlatform::waitWithMessagesHandlesEvents() {
    SetPauseScale(0.1);
    int fired = 0;
    QTimer::singleShot(0, this, [&fired] { ++fired; });
    QTimer::singleShot(20, this, [&fired] { ++fired; });
    QElapsedTimer clock;
    clock.start();
    WaitWithMessages(500);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(fired, 2);
    QVERIFY2(elapsed >= 45, qPrintable(QString::number(elapsed)));
    SetPauseScale(0);
    WaitWithMessages(2000); // returns at once, still handling what is pending
}

void TstPlatform::gbkRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("gbk");
    QTest::newRow("ascii") << QStringLiteral("N6 ok") << QByteArray("N6 ok");
    QTest::newRow("chinese B4AE = \u4e32")
        << QStringLiteral("\u4e32\u53e3 N6") << QByteArray::fromHex("B4AEBFDA204E36");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TstPlatform::gbkRoundTrip() {
    QFETCH(QString, text);
    QFETCH(QByteArray, gbk);
    QCOMPARE(UnicodeToGbk(text), gbk);
    QCOMPARE(GbkToUnicode(gbk), text);
    // A field text shows up to its first zero byte.
    QCOMPARE(GbkToUnicode(gbk + QByteArray("\0junk", 5)), text);
}

void TstPlatform::gbkUnmappable() {
    // A character GBK cannot hold must not vanish silently nor break the rest of the text.
    const QByteArray gbk = UnicodeToGbk(QStringLiteral("a\U0001F600b"));
    QVERIFY(gbk.startsWith('a'));
    QVERIFY(gbk.endsWith('b'));
    QVERIFY(gbk.size() >= 3);
}

QTEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
