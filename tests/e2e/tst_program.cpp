#include "app/settingsstore.h"
#include "testhttpserver.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

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

private:
    static void start(QProcess &program, const TestHttpServer &server, const QString &ini);
};

namespace {

const char *const kStartUpDocuments[] = {
    "signals/urls.xml", "message.xml", "signals/calendar_1.5_eng.xml",
    "signals/reviews_eng/list.xml", "signals/news_eng/list.xml"};

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void TestProgram::start(QProcess &program, const TestHttpServer &server, const QString &ini)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(QUENTARA_BIN), {QStringLiteral("--server"), server.baseAddress(),
                                                 QStringLiteral("--settings"), ini});
    QVERIFY(program.waitForStarted());
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

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
