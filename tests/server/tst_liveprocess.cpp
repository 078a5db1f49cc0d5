#include "recordcheck.h"
#include "serverfixtures.h"

#include "binancereplay.h"
#include "live/feeds.h"
#include "market/minutes.h"
#include "market/serveraccess.h"
#include "market/serverpaths.h"

#include "app/catalogue.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

// quentara-server --live as a user starts it: its feeds, its refusals, and a market that is never
// simulated, fed by a loopback replay of binance and kept in its candle cache across a restart.
class TestLiveProcess final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void printsTheFeedsInEffect();
    void badFeedsAndOptionsStopIt_data();
    void badFeedsAndOptionsStopIt();
    void liveNeverSimulatesAndRestartsFromItsCache();

private:
    // Starts the server with --port 0 and the arguments; returns its base address.
    static QString start(QProcess &server, const QStringList &arguments);
    static QString run(const QStringList &arguments, int *exitCode, QString *error = nullptr);
};

QString TestLiveProcess::start(QProcess &server, const QStringList &arguments)
{
    server.start(QStringLiteral(QUENTARA_SERVER_BIN),
                 QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
    if (!server.waitForStarted(20000))
        return QString();
    // The test's own replay must answer meanwhile: wait with the event loop running.
    QDeadlineTimer deadline(20000);
    while (!server.canReadLine() && server.state() == QProcess::Running && !deadline.hasExpired())
        QTest::qWait(20);
    bool ok = false;
    const int port = server.readLine().trimmed().toInt(&ok);
    return ok && port > 0 ? QStringLiteral("http://127.0.0.1:%1/").arg(port) : QString();
}

QString TestLiveProcess::run(const QStringList &arguments, int *exitCode, QString *error)
{
    QProcess process;
    process.start(QStringLiteral(QUENTARA_SERVER_BIN), arguments);
    if (!process.waitForFinished(60000))
        return QString();
    *exitCode = process.exitCode();
    if (error)
        *error = QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestLiveProcess::printsTheFeedsInEffect()
{
    int exitCode = -1;
    QCOMPARE(run({QStringLiteral("--live"), QStringLiteral("--print-feeds")}, &exitCode),
             feedsText(defaultFeeds()));
    QCOMPARE(exitCode, 0);

    QTemporaryDir dir;
    const QString feeds = writeTestFile(dir.filePath(QStringLiteral("feeds.ini")),
                                        "[instruments]\nusdrub = none\ngold = binance:PAXGUSDT\n");
    const QString printed =
        run({QStringLiteral("--print-feeds"), QStringLiteral("--feeds"), feeds}, &exitCode);
    QCOMPARE(exitCode, 0);
    QVERIFY(printed.contains(QStringLiteral("\ngold = binance:PAXGUSDT\n")));
    // What it prints is a feeds file it reads.
    const QString again =
        writeTestFile(dir.filePath(QStringLiteral("again.ini")), printed.toUtf8());
    QCOMPARE(run({QStringLiteral("--print-feeds"), QStringLiteral("--feeds"), again}, &exitCode),
             printed);
}

void TestLiveProcess::badFeedsAndOptionsStopIt_data()
{
    QTest::addColumn<QStringList>("arguments"); // FEEDS and DATA stand for prepared paths
    QTest::addColumn<QByteArray>("feeds");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    const QString live = QStringLiteral("--live");
    const QString feeds = QStringLiteral("--feeds");
    QTest::newRow("a bad line") << QStringList{live, feeds, QStringLiteral("FEEDS")}
                                << QByteArray(
                                       "[sources]\nbinance = https://x.test\nbinance-x = 1\n")
                                << 1 << "feeds.ini:3: unknown source setting";
    QTest::newRow("a bad line, printing")
        << QStringList{QStringLiteral("--print-feeds"), feeds, QStringLiteral("FEEDS")}
        << QByteArray("[instruments]\ngold = kitco\n") << 1 << "feeds.ini:2: unknown source";
    QTest::newRow("no feeds file") << QStringList{live, feeds, QStringLiteral("MISSING")}
                                   << QByteArray() << 1 << "cannot read the feeds file";
    QTest::newRow("no data folder")
        << QStringList{live, QStringLiteral("--data"), QStringLiteral("FEEDS")}
        << QByteArray("a file, not a folder") << 1 << "cannot create the data folder";
    QTest::newRow("live and simulated")
        << QStringList{live, QStringLiteral("--seed"), QStringLiteral("3")} << QByteArray() << 2
        << "--live takes no --seed";
    QTest::newRow("live and a replay")
        << QStringList{live, QStringLiteral("--candles"), QStringLiteral("DATA")} << QByteArray()
        << 2 << "--live takes no --candles";
    QTest::newRow("live at a frozen time")
        << QStringList{live, QStringLiteral("--clock"), QStringLiteral("2024-05-14T10:06:00Z")}
        << QByteArray() << 2 << "--live takes no --clock";
    QTest::newRow("feeds without live")
        << QStringList{feeds, QStringLiteral("FEEDS")} << QByteArray("[sources]\n") << 2
        << "--feeds belongs to --live";
}

void TestLiveProcess::badFeedsAndOptionsStopIt()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, feeds);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString file = writeTestFile(dir.filePath(QStringLiteral("feeds.ini")), feeds);
    arguments.replaceInStrings(QStringLiteral("FEEDS"), file);
    arguments.replaceInStrings(QStringLiteral("MISSING"), dir.filePath(QStringLiteral("none.ini")));
    arguments.replaceInStrings(QStringLiteral("DATA"), dir.path());
    int code = -1;
    QString error;
    const QString output =
        run(QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments, &code, &error);
    QCOMPARE(code, exitCode);
    QCOMPARE(output, QString()); // never served
    QVERIFY2(error.contains(said), qPrintable(error));
}

void TestLiveProcess::liveNeverSimulatesAndRestartsFromItsCache()
{
    BinanceReplay replay([] { return QDateTime::currentDateTimeUtc(); });
    QVERIFY(replay.start() != 0);
    QTemporaryDir dir;
    const QString feeds = writeTestFile(dir.filePath(QStringLiteral("feeds.ini")),
                                        "[sources]\nbinance = " + replay.baseAddress().toUtf8() +
                                            "\ndukascopy = http://127.0.0.1:9/\n");
    const QString data = dir.filePath(QStringLiteral("data"));
    const QStringList arguments{QStringLiteral("--live"), QStringLiteral("--feeds"), feeds,
                                QStringLiteral("--data"), data};
    QNetworkAccessManager network;
    const auto read = [&network](const QString &base, int index) {
        ServerAccess access(network, base);
        const QString code = catalogue::serverCode(index);
        return QCoro::waitFor(access.openUrl(serverpaths::instrumentUrl(base, code),
                                             serverpaths::instrumentFileName(code)));
    };
    const int btc = catalogue::indexOfSignalText(QStringLiteral("BTC/USD (Bitcoin)"));
    const int shib = catalogue::indexOfSignalText(QStringLiteral("SHIB/USD (Shiba Inu)"));

    QProcess server;
    server.setProcessChannelMode(QProcess::SeparateChannels);
    QString base = start(server, arguments);
    QVERIFY(!base.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(recordFaults(read(base, shib)).isEmpty(), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(recordFaults(read(base, btc)).isEmpty(), 30000);
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        const QString record = read(base, index);
        const QString code = catalogue::serverCode(index);
        QVERIFY2(!record.contains(QStringLiteral("simulated")), qPrintable(code));
        if (catalogue::groupOf(index) == catalogue::Cryptocurrencies) {
            QTRY_VERIFY2_WITH_TIMEOUT(recordFaults(read(base, index)).isEmpty(), qPrintable(code),
                                      30000);
            QVERIFY2(recordField(read(base, index), 205, 2).startsWith(QStringLiteral("binance ")),
                     qPrintable(code));
        } else {
            QVERIFY2(recordFaults(record, 0).isEmpty(), qPrintable(code));
            QVERIFY2(!recordField(record, 205, 2).isEmpty(), qPrintable(code));
        }
    }
    QVERIFY(QFile::exists(data + QStringLiteral("/crypto-btc.csv")));
    QVERIFY(!QFile::exists(data + QStringLiteral("/eurusd.csv")));
    server.terminate();
    QVERIFY(server.waitForFinished(20000));
    const QString log = QString::fromUtf8(server.readAllStandardError());
    QVERIFY2(
        log.contains(QStringLiteral("quentara-server: binance: warming up 15 instrument(s)\n")),
        qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("quentara-server: binance: live\n")), qPrintable(log));

    // The cache lost its last minutes (say, the machine slept): started again, the server asks
    // only for what it misses, one request per instrument from its last cached candle.
    QHash<QString, qint64> lastCached;
    for (const QFileInfo &entry : QDir(data).entryInfoList({QStringLiteral("*.csv")})) {
        QFile file(entry.filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        file.close();
        lines.erase(lines.end() - 4, lines.end()); // three candles and the final line end
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(lines.join('\n') + '\n');
        file.close();
        const QString symbol = entry.completeBaseName().mid(7).toUpper().replace(
                                   QStringLiteral("MATIC"), QStringLiteral("POL")) +
                               QStringLiteral("USDT");
        const QByteArray last = lines.last();
        lastCached.insert(symbol, *parseGmtMinute(QString::fromLatin1(last.left(16))) +
                                      last.mid(last.lastIndexOf(',') + 1).toInt());
    }
    QCOMPARE(lastCached.size(), 15);
    replay.clearRequests();
    base = start(server, arguments);
    QVERIFY(!base.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(replay.requests().size(), 15, 30000);
    for (const BinanceReplay::Request &request : replay.requests()) {
        QCOMPARE(request.interval, QStringLiteral("1m"));
        QCOMPARE(request.startTime, lastCached.value(request.symbol) * 60000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(recordFaults(read(base, btc)).isEmpty(), 30000);
    server.kill();
    server.waitForFinished();
}

QTEST_GUILESS_MAIN(TestLiveProcess)
#include "tst_liveprocess.moc"
