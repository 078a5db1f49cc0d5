#include "recordcheck.h"
#include "serverfixtures.h"

#include "app/catalogue.h"
#include "market/serveraccess.h"
#include "market/serverpaths.h"
#include "news/articlelist.h"
#include "news/calendar.h"

#include <QDirIterator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <QCoroTask>

// The built quentara-server, started as a user or a publisher starts it, and read through the
// program's own server access.
class TestServerProcess final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theProgramReadsEveryDocument();
    void unknownPathsAreNotFound();
    void runsOnTheRealClock();
    void publishingTwiceGivesTheSameFiles();
    void badInputsEndTheServer_data();
    void badInputsEndTheServer();

private:
    // Starts the server with --port 0 and the arguments; returns its base address.
    QString start(QProcess &server, const QStringList &arguments);
};

namespace {

const QString kClock = QStringLiteral("2024-05-14T10:06:00Z");

QMap<QString, QByteArray> filesUnder(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(QDir(folder).relativeFilePath(path), file.readAll());
    }
    return files;
}

} // namespace

QString TestServerProcess::start(QProcess &server, const QStringList &arguments)
{
    server.start(QStringLiteral(QUENTARA_SERVER_BIN),
                 QStringList{QStringLiteral("--port"), QStringLiteral("0")} + arguments);
    if (!server.waitForStarted(20000))
        return QString();
    // The first line on standard output is the port alone.
    while (!server.canReadLine() && server.state() == QProcess::Running)
        server.waitForReadyRead(20000);
    const QByteArray line = server.readLine().trimmed();
    bool ok = false;
    const int port = line.toInt(&ok);
    return ok && port > 0 ? QStringLiteral("http://127.0.0.1:%1/").arg(port) : QString();
}

void TestServerProcess::theProgramReadsEveryDocument()
{
    QProcess server;
    const QString base =
        start(server, {QStringLiteral("--clock"), kClock, QStringLiteral("--notice"),
                       QStringLiteral("Hello & welcome")});
    QVERIFY(!base.isEmpty());
    QNetworkAccessManager network;
    ServerAccess access(network, base);
    const auto read = [&access](const char *path, const char *fileName) {
        return QCoro::waitFor(
            access.openUrl(access.baseAddress() + QLatin1String(path), QLatin1String(fileName)));
    };

    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        const QString code = catalogue::serverCode(index);
        const QString record = QCoro::waitFor(access.openUrl(
            serverpaths::instrumentUrl(base, code), serverpaths::instrumentFileName(code)));
        QCOMPARE(access.errconnect(), QStringLiteral("0"));
        const QStringList faults = recordFaults(record);
        QVERIFY2(faults.isEmpty(),
                 qPrintable(code + QStringLiteral(": ") + faults.join(QStringLiteral("; "))));
    }

    QCOMPARE(read(serverpaths::kTradingFlag.path, serverpaths::kTradingFlag.fileName)
                 .section(QLatin1Char(';'), 0, 0),
             QStringLiteral("yes"));
    QCOMPARE(access.errconnect(), QStringLiteral("0"));
    QCOMPARE(read(serverpaths::kNotice.path, serverpaths::kNotice.fileName),
             QStringLiteral("Hello & welcome"));
    QVERIFY(!read(serverpaths::kLinkList.path, serverpaths::kLinkList.fileName).isEmpty());

    const QString calendar = read(serverpaths::kCalendar.path, serverpaths::kCalendar.fileName);
    QCOMPARE(access.errconnect(), QStringLiteral("0"));
    const QStringList events = calendar.split(QLatin1Char('\n'));
    QVERIFY(events.size() >= 8);
    for (const QString &event : events) {
        QCOMPARE(event.split(QLatin1Char(';')).size(), 4);
        QVERIFY2(event.startsWith(QLatin1String("May, 1")),
                 qPrintable(event)); // the week of May 13
    }
    // The program shows every event under "All", and one row for every article.
    const QDateTime now = QDateTime::fromString(kClock, Qt::ISODate);
    QCOMPARE(::calendar::build(calendar, {12, 0}, now, QLocale::c()).size(), events.size());

    const struct
    {
        serverpaths::Document list;
        int articles;
    } lists[] = {{serverpaths::kNewsList, 12}, {serverpaths::kReviewsList, 6}};
    for (const auto &list : lists) {
        const QString text = read(list.list.path, list.list.fileName);
        QCOMPARE(access.errconnect(), QStringLiteral("0"));
        QVERIFY(text.endsWith(QLatin1Char('\n')));
        QCOMPARE(text.count(QLatin1Char('\n')), list.articles);
        QCOMPARE(articlelist::parse(text, now, QLocale::c()).size(), list.articles);
        const QString folder = QString::fromLatin1(list.list.path).section(QLatin1Char('/'), 0, -2);
        for (int n = 1; n <= list.articles; ++n) {
            // Article pages are XHTML: they load as documents without a data element.
            const QString page = QStringLiteral("%1/%2.html").arg(folder).arg(n);
            QCOMPARE(QCoro::waitFor(access.openUrl(base + page, QStringLiteral("%1.html").arg(n))),
                     QString());
            QVERIFY2(access.errconnect() == QLatin1String("0"), qPrintable(page));
        }
    }
    server.kill();
    server.waitForFinished();
}

void TestServerProcess::unknownPathsAreNotFound()
{
    QProcess server;
    const QString base = start(server, {QStringLiteral("--clock"), kClock});
    QVERIFY(!base.isEmpty());
    QNetworkAccessManager network;
    for (const char *path : {"signals/nosuch.xml", "", "signals/", "signals/news_eng/13.html"}) {
        std::unique_ptr<QNetworkReply> reply(
            network.get(QNetworkRequest(QUrl(base + QLatin1String(path)))));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(20000));
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
    }
    ServerAccess access(network, base);
    QCoro::waitFor(
        access.openUrl(base + QStringLiteral("signals/nosuch.xml"), QStringLiteral("nosuch.xml")));
    QCOMPARE(access.errconnect(), QStringLiteral("1"));
    server.kill();
    server.waitForFinished();
}

void TestServerProcess::runsOnTheRealClock()
{
    QProcess server;
    const QString base = start(server, {});
    QVERIFY(!base.isEmpty());
    QNetworkAccessManager network;
    ServerAccess access(network, base);
    const QString record = QCoro::waitFor(access.openUrl(
        base + QStringLiteral("signals/crypto-btc.xml"), QStringLiteral("crypto-btc.xml")));
    QVERIFY(recordFaults(record).isEmpty());
    // "Updated;<the minute now> GMT;simulated": the market has reached the present.
    const QDateTime updated = QDateTime::fromString(recordField(record, 205, 1).chopped(4),
                                                    QStringLiteral("yyyy-MM-dd HH:mm"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QVERIFY(std::abs(QDateTime(updated.date(), updated.time(), QTimeZone::utc()).secsTo(now)) <
            120);
    server.kill();
    server.waitForFinished();
}

void TestServerProcess::publishingTwiceGivesTheSameFiles()
{
    QTemporaryDir dir;
    QMap<QString, QByteArray> runs[2];
    for (int run = 0; run < 2; ++run) {
        const QString folder = dir.filePath(QString::number(run));
        QProcess publisher;
        publisher.start(QStringLiteral(QUENTARA_SERVER_BIN),
                        {QStringLiteral("--clock"), kClock, QStringLiteral("--seed"),
                         QStringLiteral("5"), QStringLiteral("--publish"), folder});
        QVERIFY(publisher.waitForFinished(60000));
        QCOMPARE(publisher.exitCode(), 0);
        QCOMPARE(publisher.readAllStandardOutput(), QByteArray()); // nothing served, no port
        runs[run] = filesUnder(folder);
    }
    QCOMPARE(runs[0].size(), 62 + 6 + 12 + 6);
    QVERIFY(runs[0].contains(QStringLiteral("signals/-cantrade_xml.php")));
    QVERIFY(runs[0] == runs[1]);
}

void TestServerProcess::badInputsEndTheServer_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("file"); // written under a temporary folder; "" for none
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("malformed candles")
        << "--candles"
        << "candles/gold.csv" << QByteArray("2024-05-14 10:00,1,2,0.5,1.5\n2024-05-14 10:01,1,2\n")
        << 1 << "gold.csv:2:";
    QTest::newRow("unknown server code")
        << "--candles"
        << "candles/xauusd.csv" << QByteArray("2024-05-14 10:00,1,2,0.5,1.5\n") << 1
        << "xauusd.csv: no instrument has the server code";
    QTest::newRow("malformed calendar")
        << "--calendar"
        << "calendar.csv" << QByteArray("2024-05-14,12:30,USA,huge,CPI\n") << 1
        << "calendar.csv:1:";
    QTest::newRow("missing article folder") << "--articles"
                                            << "" << QByteArray() << 1 << "no such folder";
    QTest::newRow("bad option value") << "--seed"
                                      << "" << QByteArray() << 2 << "--seed";
}

void TestServerProcess::badInputsEndTheServer()
{
    QFETCH(QString, option);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir dir;
    QString value = dir.filePath(QStringLiteral("missing"));
    if (!file.isEmpty()) {
        const QString path = writeTestFile(dir.filePath(file), content);
        value = file.contains(QLatin1Char('/')) ? QFileInfo(path).absolutePath() : path;
    }
    if (option == QLatin1String("--seed"))
        value = QStringLiteral("minus one");
    QProcess server;
    server.start(QStringLiteral(QUENTARA_SERVER_BIN),
                 {QStringLiteral("--port"), QStringLiteral("0"), option, value});
    QVERIFY(server.waitForFinished(60000));
    QCOMPARE(server.exitCode(), exitCode);
    QCOMPARE(server.readAllStandardOutput(), QByteArray()); // never served
    const QString error = QString::fromUtf8(server.readAllStandardError());
    QVERIFY2(error.contains(said), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestServerProcess)
#include "tst_serverprocess.moc"
