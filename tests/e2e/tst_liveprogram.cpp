#include "everyverdictsignals.h"

#include "app/catalogue.h"
#include "market/serveraccess.h"
#include "market/serverpaths.h"
#include "signals/exportfiles.h"

#include "binancereplay.h"
#include "replaypath.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <QCoroTask>

#include <csignal>

// The real program against the real quentara-server --live, fed by a loopback replay of binance:
// the program goes Online, the records carry the replayed prices, and a signal is exported. The
// program runs on an X server of its own, so that what it shows can be taken from the screen.
class TestLiveProgram final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void showsOnlineThePricesAndASignal();
};

namespace {

// Waits with the event loop running, so that the test's own replay answers meanwhile.
bool waitFor(const std::function<bool()> &done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString line(const QString &record, int number)
{
    return record.section(QLatin1Char('\n'), number, number);
}

// Where the status of the full layout shows its word, in the window's pixels: the caption bar
// (Picture1) lies at 2880, 1050 twips, its white plate at its right end, the word in the plate.
const QRect kStatusWord(192 + 777 + 27, 70 + 4 + 1, 70, 16);

int pixelsNear(const QImage &image, const QRect &area, QColor colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                    std::abs(pixel.blue() - colour.blue()) <
                90)
                ++count;
        }
    }
    return count;
}

} // namespace

void TestLiveProgram::showsOnlineThePricesAndASignal()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString import = QStandardPaths::findExecutable(QStringLiteral("import"));
    const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
    QVERIFY2(!xvfb.isEmpty() && !import.isEmpty() && !xwininfo.isEmpty(),
             "./run setup installs xvfb, imagemagick and x11-utils");

    BinanceReplay replay([] { return QDateTime::currentDateTimeUtc(); });
    QVERIFY(replay.start() != 0);
    QTemporaryDir dir;
    const QString feeds = dir.filePath(QStringLiteral("feeds.ini"));
    {
        QFile file(feeds);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // Nothing answers for dukascopy on this machine: its instruments stay empty.
        file.write("[sources]\nbinance = " + replay.baseAddress().toUtf8() +
                   "\ndukascopy = http://127.0.0.1:9/\n");
    }
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral(QUENTARA_SERVER_BIN),
                 {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--live"),
                  QStringLiteral("--feeds"), feeds, QStringLiteral("--data"),
                  dir.filePath(QStringLiteral("data"))});
    QVERIFY(server.waitForStarted(20000));
    QVERIFY(waitFor([&server] { return server.canReadLine(); }, 20000));
    const QString base =
        QStringLiteral("http://127.0.0.1:%1/").arg(server.readLine().trimmed().toInt());

    // Bitcoin, warmed up from the replay: its record says where it came from and what it costs.
    const int btc = catalogue::indexOfSignalText(QStringLiteral("BTC/USD (Bitcoin)"));
    const QString code = catalogue::serverCode(btc);
    QNetworkAccessManager network;
    ServerAccess access(network, base);
    QString record;
    QVERIFY(waitFor(
        [&] {
            record = QCoro::waitFor(access.openUrl(serverpaths::instrumentUrl(base, code),
                                                   serverpaths::instrumentFileName(code)));
            return !line(record, 1).section(QLatin1Char(';'), 1, 1).isEmpty() &&
                   !line(record, 29 * 6 + 1).section(QLatin1Char(';'), 1, 1).isEmpty();
        },
        30000));
    const QStringList updated = line(record, 205).split(QLatin1Char(';'));
    QCOMPARE(updated.value(2), QStringLiteral("binance BTCUSDT (USDT)"));
    const QDateTime closed =
        QDateTime::fromString(updated.value(1).chopped(4), QStringLiteral("yyyy-MM-dd HH:mm"));
    const qint64 lastMinute =
        QDateTime(closed.date(), closed.time(), QTimeZone::utc()).toSecsSinceEpoch() / 60 - 1;
    QCOMPARE(line(record, 203).remove(QLatin1Char(',')).toDouble(),
             replaypath::Path(QStringLiteral("BTCUSDT")).minuteBar(lastMinute).close);

    // Every M1 verdict raises a signal: the one exported follows the record.
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    const QString terminal = dir.filePath(QStringLiteral("MQL4 Files"));
    QVERIFY(QDir().mkpath(terminal));
    {
        SettingsStore store(ini);
        for (int i = 0; i < catalogue::kSlotCount; ++i)
            store.writeEnabled(i, i == btc);
        store.write(QLatin1String(settingskeys::kSettings),
                    QLatin1String(settingskeys::kInstrumentsSelected), QString::number(btc));
        writeEveryVerdictSignals(store, terminal);
    }
    const QString m1Summary = line(record, 1).section(QLatin1Char(';'), 1, 1);
    const QByteArray direction = m1Summary.contains(QLatin1String("Sell")) ? "SELL" : "BUY";
    const QString exportFile = exportfiles::exportFolder(terminal) + QLatin1Char('/') +
                               catalogue::exportSymbol(btc) + QStringLiteral(".csv");

    QProcess display;
    display.start(xvfb,
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp")});
    QVERIFY(display.waitForStarted(20000));
    QVERIFY(waitFor([&display] { return display.canReadLine(); }, 20000));
    const QString screen = QLatin1Char(':') + QString::fromLatin1(display.readLine().trimmed());

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), screen);
    environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(QUENTARA_BIN),
                  {QStringLiteral("--server"), base, QStringLiteral("--settings"), ini});
    QVERIFY(program.waitForStarted(20000));
    QVERIFY2(waitFor([&] { return contentOf(exportFile) == direction; }, 40000),
             qPrintable(exportFile));

    // What the window shows: Online, in the status word's blue, nowhere the Offline red.
    QTest::qWait(1500);
    QProcess info;
    info.start(xwininfo, {QStringLiteral("-display"), screen, QStringLiteral("-name"),
                          QStringLiteral("Quentara   ")});
    QVERIFY(info.waitForFinished(20000));
    const QString geometry = QString::fromUtf8(info.readAllStandardOutput());
    const QRegularExpressionMatch x =
        QRegularExpression(QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")).match(geometry);
    const QRegularExpressionMatch y =
        QRegularExpression(QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")).match(geometry);
    QVERIFY2(x.hasMatch() && y.hasMatch(), qPrintable(geometry));
    const QString shot = dir.filePath(QStringLiteral("live.png"));
    QProcess grab;
    grab.start(import, {QStringLiteral("-display"), screen, QStringLiteral("-window"),
                        QStringLiteral("root"), shot});
    QVERIFY(grab.waitForFinished(20000));
    const QImage image(shot);
    QVERIFY(!image.isNull());
    const QRect word = kStatusWord.translated(x.captured(1).toInt(), y.captured(1).toInt());
    const int blue = pixelsNear(image, word, QColor(0x00, 0x67, 0xC4));
    const int red = pixelsNear(image, word, QColor(0xE8, 0x00, 0x00));
    if (qEnvironmentVariableIsSet("QUENTARA_KEEP_SHOT"))
        QFile::copy(shot, qEnvironmentVariable("QUENTARA_KEEP_SHOT"));
    QVERIFY2(blue > 20 && red == 0,
             qPrintable(QStringLiteral("blue %1, red %2").arg(blue).arg(red)));

    ::kill(program.processId(), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), 0);
    server.terminate();
    QVERIFY(server.waitForFinished(20000));
    display.terminate();
    QVERIFY(display.waitForFinished(20000));
}

QTEST_GUILESS_MAIN(TestLiveProgram)
#include "tst_liveprogram.moc"
