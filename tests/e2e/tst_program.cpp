#include "everyverdictsignals.h"

#include "app/catalogue.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "market/pivotplacement.h"
#include "market/serveraccess.h"
#include "market/serverpaths.h"
#include "signals/deliverytarget.h"
#include "signals/exportfiles.h"
#include "signals/journaldatabase.h"
#include "signals/signalconfig.h"
#include "testhttpproxy.h"
#include "testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

#include <csignal>

namespace {

// A frozen Tuesday morning: the forex market is open, so every instrument is evaluated.
const QString kClock = QStringLiteral("2024-05-14T10:06:00Z");
const QString kSeed = QStringLiteral("7");

// Starts the built quentara-server on a free port and returns its base address.
QString startServer(QProcess &server)
{
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral(QUENTARA_SERVER_BIN),
                 {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--clock"), kClock,
                  QStringLiteral("--seed"), kSeed});
    if (!server.waitForStarted(20000))
        return QString();
    // The first line on standard output is the port alone.
    while (!server.canReadLine() && server.state() == QProcess::Running)
        server.waitForReadyRead(20000);
    bool ok = false;
    const int port = server.readLine().trimmed().toInt(&ok);
    return ok && port > 0 ? QStringLiteral("http://127.0.0.1:%1/").arg(port) : QString();
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The journal's rows as "id direction instrument option price", oldest first, read through a
// connection of the test's own while the program may be writing.
QStringList journalRows(const QString &path)
{
    QStringList rows;
    {
        QSqlDatabase journal = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "e2e");
        journal.setDatabaseName(path);
        journal.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (QFile::exists(path) && journal.open()) {
            QSqlQuery query(journal);
            query.exec(QStringLiteral(
                "SELECT id, direction, instrument, option, price FROM signals ORDER BY id"));
            while (query.next()) {
                QStringList fields;
                for (int i = 0; i < 5; ++i)
                    fields << query.value(i).toString();
                rows << fields.join(QLatin1Char(' '));
            }
        }
        journal.close();
    }
    QSqlDatabase::removeDatabase("e2e");
    return rows;
}

} // namespace

// The built program, started as a user would start it, against the loopback server.
class TestProgram final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void versionAndHelp();
    void startsFetchesAndSavesOnTermination_data();
    void startsFetchesAndSavesOnTermination();
    void terminationDuringStartUpKeepsTheStore();
    void rejectsABadServerAddress();
    void firstCycleExportsASignal();
    void journalKeepsDeliveredSignalsThroughACrash();
    void documentsAreFetchedThroughTheSystemProxy();
    void sendUnansweredAtExitGoesAtTheNextStart();

private:
    static void start(QProcess &program, const TestHttpServer &server, const QString &ini);
    static void start(QProcess &program, const QString &serverAddress, const QString &ini);
    // SIGTERM, and the orderly end it brings.
    static void stop(QProcess &program);
};

namespace {

const char *const kStartUpDocuments[] = {
    "signals/urls.xml", "message.xml", "signals/calendar_1.5_eng.xml",
    "signals/reviews_eng/list.xml", "signals/news_eng/list.xml"};

} // namespace

void TestProgram::start(QProcess &program, const TestHttpServer &server, const QString &ini)
{
    start(program, server.baseAddress(), ini);
}

void TestProgram::start(QProcess &program, const QString &serverAddress, const QString &ini)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(QUENTARA_BIN),
                  {QStringLiteral("--server"), serverAddress, QStringLiteral("--settings"), ini});
    QVERIFY(program.waitForStarted());
}

void TestProgram::stop(QProcess &program)
{
    ::kill(program.processId(), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

void TestProgram::versionAndHelp()
{
    // Neither needs a display.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    QProcess version;
    version.setProcessEnvironment(environment);
    version.start(QStringLiteral(QUENTARA_BIN), {QStringLiteral("--version")});
    QVERIFY(version.waitForFinished(20000));
    QCOMPARE(version.exitCode(), 0);
    QVERIFY(version.readAllStandardOutput().contains("1.76"));

    QProcess help;
    help.setProcessEnvironment(environment);
    help.start(QStringLiteral(QUENTARA_BIN), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(20000));
    const QByteArray text = help.readAllStandardOutput();
    QVERIFY(text.startsWith("Usage: quentara [options]"));
    QVERIFY(text.contains("--server"));
    QVERIFY(text.contains("--settings"));
}

void TestProgram::startsFetchesAndSavesOnTermination_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestProgram::startsFetchesAndSavesOnTermination()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    TestHttpServer server;
    QVERIFY(server.start() != 0);
    server.serveData("signals/calendar_1.5_eng.xml",
                     "Jan, 12 14:30;USD;High Volatility Expected;CPI\n");
    server.serveData("signals/news_eng/list.xml", "Jan, 12 11:00;News one\n");

    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    const QString terminal = dir.filePath(QStringLiteral("terminal"));
    QVERIFY(QDir().mkpath(terminal + QStringLiteral("/quentara")));
    {
        SettingsStore store(ini);
        store.write("Settings", "InstrumentsSelected", "47");
        store.write("Settings", "LogPath3", terminal);
    }

    QProcess program;
    start(program, server, ini);
    for (const char *path : kStartUpDocuments)
        QTRY_COMPARE_WITH_TIMEOUT(server.requestCount(QLatin1String(path)), 1, 20000);

    // Export files appear while it runs; the orderly shutdown removes them.
    QFile exportFile(terminal + QStringLiteral("/quentara/EURUSD.csv"));
    QVERIFY(exportFile.open(QIODevice::WriteOnly));
    exportFile.write("BUY");
    exportFile.close();

    QTest::qWait(300);
    ::kill(program.processId(), signal);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    SettingsStore stored(ini);
    QCOMPARE(stored.read("Settings", "InstrumentsSelected"), QStringLiteral("47"));
    QCOMPARE(stored.read("InstrumentsChecked", "0"),
             QStringLiteral("&HC000&")); // first-run set, saved
    QCOMPARE(stored.read("InstrumentsChecked", "14"), QStringLiteral("&HFFFFFF"));
    QCOMPARE(stored.read("InstrumentsChecked", "62"), QStringLiteral("&HFFFFFF"));
    QVERIFY(!exportFile.exists());
}

void TestProgram::terminationDuringStartUpKeepsTheStore()
{
    // The server never answers: the program is stopped while it still waits for the documents
    // its window shows first, before it has restored the switched-on instruments.
    TestHttpServer server;
    QVERIFY(server.start() != 0);
    TestHttpServer::Route hang;
    hang.behaviour = TestHttpServer::Behaviour::Hang;
    for (const char *path : kStartUpDocuments)
        server.setRoute(QLatin1String(path), hang);

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    {
        SettingsStore store(ini);
        for (int i = 0; i < 63; ++i)
            store.writeEnabled(i, i == 14);
        store.write("Settings", "InstrumentsSelected", "14");
        store.write("Settings", "CompactMode", "1");
        store.write("Settings", "Split", "1");
    }
    const QByteArray before = contentOf(ini);

    QProcess program;
    start(program, server, ini);
    QTRY_COMPARE_WITH_TIMEOUT(server.requestCount(QStringLiteral("signals/news_eng/list.xml")), 1,
                              20000);
    ::kill(program.processId(), SIGTERM);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(contentOf(ini), before);
}

void TestProgram::rejectsABadServerAddress()
{
    QProcess program;
    program.start(QStringLiteral(QUENTARA_BIN),
                  {QStringLiteral("--server"), QStringLiteral("ftp://example")});
    QVERIFY(program.waitForFinished(20000));
    QVERIFY(program.exitCode() != 0);
    QVERIFY(program.readAllStandardError().contains("--server"));
}

void TestProgram::firstCycleExportsASignal()
{
    QTemporaryDir dir;
    QProcess server;
    const QString base = startServer(server);
    QVERIFY(!base.isEmpty());

    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    const QString terminal = dir.filePath(QStringLiteral("MQL4 Files"));
    QVERIFY(QDir().mkpath(terminal));
    {
        SettingsStore store(ini);
        writeEveryVerdictSignals(store, terminal);
    }

    // Which file the first instrument of the first run must receive follows from the M1 summary
    // the server publishes for it.
    const int first = catalogue::firstRunSet().constFirst();
    QNetworkAccessManager network;
    ServerAccess access(network, base);
    const QString record = QCoro::waitFor(
        access.openUrl(serverpaths::instrumentUrl(base, catalogue::serverCode(first)),
                       serverpaths::instrumentFileName(catalogue::serverCode(first))));
    const QString m1Summary =
        record.section(QLatin1Char('\n'), 1, 1).section(QLatin1Char(';'), 1, 1);
    QVERIFY2(!m1Summary.isEmpty(), qPrintable(record.left(200)));
    const bool neutral = m1Summary == QLatin1String("Neutral");
    const QByteArray direction = m1Summary.contains(QLatin1String("Sell")) ? "SELL" : "BUY";
    const QString symbol = catalogue::exportSymbol(first);
    const QString exportFolder = exportfiles::exportFolder(terminal);
    const QString optionFile =
        exportFolder + QLatin1Char('/') + symbol + (neutral ? "2" : "1") + QStringLiteral(".csv");

    QProcess program;
    start(program, base, ini);

    QTRY_COMPARE_WITH_TIMEOUT(contentOf(optionFile), direction, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(
        contentOf(exportFolder + QLatin1Char('/') + symbol + QStringLiteral(".csv")), direction,
        30000);
    // Every export file holds one word and nothing else.
    const QFileInfoList files = QDir(exportFolder).entryInfoList({QStringLiteral("*.csv")});
    QVERIFY(files.size() >= 2);
    for (const QFileInfo &file : files) {
        const QByteArray content = contentOf(file.filePath());
        QVERIFY2(content == "BUY" || content == "SELL", qPrintable(file.fileName()));
    }

    ::kill(program.processId(), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    // The orderly shutdown empties the export folder and leaves the folder itself.
    QVERIFY(QFileInfo(exportFolder).isDir());
    QCOMPARE(QDir(exportFolder).entryList({QStringLiteral("*.csv")}, QDir::Files), QStringList());

    server.terminate();
    QVERIFY(server.waitForFinished(20000));
}

void TestProgram::journalKeepsDeliveredSignalsThroughACrash()
{
    QTemporaryDir dir;
    QProcess server;
    const QString base = startServer(server);
    QVERIFY(!base.isEmpty());
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    {
        SettingsStore store(ini);
        writeEveryVerdictSignals(store);
        store.writeText(settingskeys::kFilter2, QStringLiteral("False")); // option 2 filtered
    }

    // What the first cycle must keep: option 1 for each instrument of the first run whose M1
    // summary is not neutral, at the record's price; the neutral ones raise option 2, which the
    // filter stops before the list and the journal.
    QNetworkAccessManager network;
    ServerAccess access(network, base);
    QStringList expected;
    for (int index : catalogue::firstRunSet()) {
        const QString code = catalogue::serverCode(index);
        const QString record = QCoro::waitFor(access.openUrl(
            serverpaths::instrumentUrl(base, code), serverpaths::instrumentFileName(code)));
        const QString m1Summary =
            record.section(QLatin1Char('\n'), 1, 1).section(QLatin1Char(';'), 1, 1);
        if (m1Summary == QLatin1String("Neutral"))
            continue;
        const std::optional<double> price = readPrice(record.section(QLatin1Char('\n'), 203, 203));
        QVERIFY(price);
        expected << QStringLiteral("%1 %2 1 %3")
                        .arg(m1Summary.contains(QLatin1String("Sell")) ? "SELL" : "BUY",
                             catalogue::signalName(index), QVariant(*price).toString());
    }
    QVERIFY(!expected.isEmpty());
    const auto withoutIds = [](QStringList rows) {
        for (QString &row : rows)
            row = row.section(QLatin1Char(' '), 1);
        return rows;
    };

    const QString journal = ini + QStringLiteral(".signals.sqlite");
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QStringList arguments{QStringLiteral("--server"), base, QStringLiteral("--settings"),
                                ini};
    program.start(QStringLiteral(QUENTARA_BIN), arguments);
    QVERIFY(program.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(withoutIds(journalRows(journal)), expected, 30000);
    const QStringList firstRun = journalRows(journal);

    // Killed without a chance to shut down: every signal written so far is still there.
    program.kill();
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(journalRows(journal), firstRun);

    // The next run raises the same signals again and keeps them after the first run's.
    program.start(QStringLiteral(QUENTARA_BIN), arguments);
    QVERIFY(program.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(journalRows(journal).size(), 2 * firstRun.size(), 30000);
    ::kill(program.processId(), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 0);
    const QStringList bothRuns = journalRows(journal);
    QCOMPARE(bothRuns.mid(0, firstRun.size()), firstRun);
    QCOMPARE(withoutIds(bothRuns.mid(firstRun.size())), expected);

    server.terminate();
    QVERIFY(server.waitForFinished(20000));
}

void TestProgram::documentsAreFetchedThroughTheSystemProxy()
{
    // The server's name resolves nowhere: only through the proxy the environment names can its
    // documents be asked for. Over https the proxy is asked for a tunnel, which this one refuses.
    TestHttpServer origin;
    QVERIFY(origin.start() != 0);
    TestHttpProxy proxy;
    QVERIFY(proxy.start(origin.serverPorts().first()) != 0);
    QTemporaryDir dir;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("https_proxy"), proxy.address());
    environment.insert(QStringLiteral("no_proxy"), QStringLiteral("localhost,127.0.0.1"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(QUENTARA_BIN),
                  {QStringLiteral("--server"), QStringLiteral("https://signals.quentara.test/"),
                   QStringLiteral("--settings"), dir.filePath(QStringLiteral("settings.ini"))});
    QVERIFY(program.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(
        proxy.requestLines().contains(QStringLiteral("CONNECT signals.quentara.test:443 HTTP/1.1")),
        20000);
    ::kill(program.processId(), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 0);
}

void TestProgram::sendUnansweredAtExitGoesAtTheNextStart()
{
    QTemporaryDir dir;
    QProcess server;
    const QString base = startServer(server);
    QVERIFY(!base.isEmpty());
    TestHttpServer receiver;
    QVERIFY(receiver.start());
    TestHttpServer::Route hang;
    hang.behaviour = TestHttpServer::Behaviour::Hang;
    receiver.setRoute(QStringLiteral("hook"), hang);
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    {
        SettingsStore store(ini);
        writeEveryVerdictSignals(store);
        DeliveryTarget webhook;
        webhook.on = true;
        webhook.options = QStringLiteral("12");
        webhook.url = receiver.baseAddress() + QStringLiteral("hook");
        deliverytargets::write(store, 1, webhook);
    }

    // The first signal reaches the webhook, which never answers; the program ends meanwhile.
    QProcess first;
    start(first, base, ini);
    QTRY_COMPARE_WITH_TIMEOUT(receiver.received().size(), 1, 30000);
    const TestHttpServer::Received unanswered = receiver.received().first();
    const QByteArray key = unanswered.header("Idempotency-Key");
    const QJsonObject body = QJsonDocument::fromJson(unanswered.body).object();
    QCOMPARE(body.value("id").toString().toUtf8(), key);
    const QString instrument = body.value("instrument").toString();
    QCOMPARE(body.value("symbol").toString(), catalogue::exportSymbol(instrument));
    QVERIFY(body.value("price").toDouble() > 0);
    QVERIFY(body.value("time").toString().endsWith(QLatin1Char('Z')));
    stop(first);
    QVERIFY(QFileInfo::exists(JournalDatabase::pathFor(ini)));

    // The next start sends it first, as it was, with its key; the receiver takes it this time.
    receiver.setRoute(QStringLiteral("hook"), TestHttpServer::Route{"{}", 200});
    receiver.clearRequests();
    QProcess second;
    start(second, base, ini);
    QTRY_VERIFY_WITH_TIMEOUT(!receiver.received().isEmpty(), 30000);
    QCOMPARE(receiver.received().first().header("Idempotency-Key"), key);
    QCOMPARE(receiver.received().first().body, unanswered.body);
    // The same instrument's new signal follows as a send of its own.
    QTRY_VERIFY_WITH_TIMEOUT(receiver.received().size() > 1, 30000);
    stop(second);
    int sent = 0;
    for (const TestHttpServer::Received &request : receiver.received())
        sent += request.header("Idempotency-Key") == key;
    QCOMPARE(sent, 1);

    server.terminate();
    QVERIFY(server.waitForFinished(20000));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
