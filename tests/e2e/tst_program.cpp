#include "app/catalogue.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "market/serveraccess.h"
#include "market/serverpaths.h"
#include "signals/deliverytarget.h"
#include "signals/exportfiles.h"
#include "signals/journaldatabase.h"
#include "signals/signalconfig.h"
#include "testhttpserver.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
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

// Option 1 BUY asks for "Buy & Strong Buy" on M1, option 1 SELL for "Sell & Strong Sell" and
// option 2 BUY for "Neutral"; every other timeframe and option does not matter. Together the
// three cover every verdict M1 can show, so each instrument raises exactly one signal at its
// first evaluation whatever the simulated market does.
void raiseOneSignalPerInstrument(SettingsStore &store)
{
    using namespace signalconfig;
    for (int list = 1; list <= kListCount; ++list)
        store.write(QLatin1String(settingskeys::kSettings), listKey(list), QStringLiteral("0"));
    store.write(QLatin1String(settingskeys::kSettings), conditionKey(1, Buy, 0),
                QString::number(BuyOrStrongBuy));
    store.write(QLatin1String(settingskeys::kSettings), conditionKey(1, Sell, 0),
                QString::number(SellOrStrongSell));
    store.write(QLatin1String(settingskeys::kSettings), conditionKey(2, Buy, 0),
                QString::number(Neutral));
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        raiseOneSignalPerInstrument(store);
        store.writeFlag(settingskeys::kSaveLog, true);
        store.writeText(settingskeys::kLogPath, terminal);
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
        raiseOneSignalPerInstrument(store);
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
