#include "benchfigures.h"

#include "dukascopyreplay.h"
#include "market/minutes.h"
#include "market/timeframe.h"
#include "oandareplay.h"
#include "replaymarket.h"
#include "sources/dukascopycandles.h"
#include "sources/dukascopysource.h"
#include "sources/oandacandles.h"
#include "sources/oandasource.h"
#include "sources/sourcehttp.h"
#include "sources/terminalsource.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTimeZone>

#include <QCoroTask>

using namespace std::chrono_literals;

namespace {

constexpr int kRounds = 5;
constexpr qint64 kWarmUpDays = 315; // what 200 daily candles of a forex week need, and more
// Tuesday, 14 May 2024, 10:06 GMT
const qint64 kNow = minuteOf(QDateTime(QDate(2024, 5, 14), QTime(10, 6), QTimeZone::utc()));

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Runs `fetch` on a fresh source `kRounds` times; prints the requests of one and the median time.
template<typename MakeSource>
void warmUps(const char *name, TestHttpServer &server, const QString &symbol, MakeSource make)
{
    QList<double> times;
    qsizetype requests = 0;
    for (int round = 0; round < kRounds; ++round) {
        auto source = make();
        server.clearRequests();
        QElapsedTimer timer;
        timer.start();
        const SourceAnswer answer =
            QCoro::waitFor(source->fetch(symbol, kNow - kWarmUpDays * kMinutesPerDay, kNow, true));
        times << elapsedMs(timer);
        requests = server.requestTargets().size();
        if (answer.outcome != SourceAnswer::Outcome::Candles)
            std::fprintf(stderr, "%s: the warm-up failed: %s\n", name, qPrintable(answer.reason));
    }
    printFigure((QByteArray(name) + "_warmup_requests").constData(), double(requests), "requests");
    printFigure((QByteArray(name) + "_warmup_median").constData(), percentile(times, 0.5), "ms");
}

template<typename Parse>
double medianMicroseconds(Parse parse)
{
    QList<double> times;
    for (int round = 0; round < 20; ++round) {
        QElapsedTimer timer;
        timer.start();
        parse();
        times << double(timer.nsecsElapsed()) / 1e3;
    }
    return percentile(times, 0.5);
}

} // namespace

// What the live sources cost against loopback replays of their services: requests and time of
// a warm-up per instrument, requests per live minute, decoding an answer, reading a terminal's
// file. The services' own latency is not in these figures.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const std::vector<Candle> minutes =
        replayMinutes(kNow - (kWarmUpDays + 20) * kMinutesPerDay, kNow + 1, 1.0812, 5);
    QNetworkAccessManager network;
    SourceHttp http(network);

    DukascopyReplay dukascopy;
    dukascopy.setCandles(QStringLiteral("EUR-USD"), minutes, 5);
    dukascopy.setNow(kNow);
    const QUrl dukascopyBase(dukascopy.baseAddress());
    warmUps("dukascopy", dukascopy.server(), QStringLiteral("EUR-USD"), [&] {
        return std::make_unique<DukascopySource>(dukascopyBase, http,
                                                 DukascopySource::Pacing{1000, 0ms});
    });
    {
        DukascopySource paced(dukascopyBase, http);
        QElapsedTimer timer;
        timer.start();
        QCoro::waitFor(paced.fetch(QStringLiteral("EUR-USD"), kNow - kWarmUpDays * kMinutesPerDay,
                                   kNow, true));
        printFigure("dukascopy_warmup_paced", elapsedMs(timer), "ms");
        dukascopy.setNow(kNow + 1);
        dukascopy.server().clearRequests();
        QCoro::waitFor(paced.fetch(QStringLiteral("EUR-USD"), kNow, kNow + 1, false));
        printFigure("dukascopy_live_requests_per_minute",
                    double(dukascopy.server().requestTargets().size()), "requests");
    }
    const qint64 dayStart = floorDiv(kNow, kMinutesPerDay) * kMinutesPerDay - kMinutesPerDay;
    const QByteArray day =
        DukascopyReplay::encode(within(minutes, dayStart, dayStart + kMinutesPerDay), 1, 5);
    printFigure("dukascopy_day_answer_bytes", double(day.size()), "bytes");
    printFigure("dukascopy_day_decode_median",
                medianMicroseconds([&day] { return parseDukascopyCandles(day, 1); }), "us");

    const QString token = QStringLiteral("bench-token");
    OandaReplay oanda(token);
    oanda.setCandles(QStringLiteral("EUR_USD"), minutes, 5);
    oanda.setNow(kNow);
    const QUrl oandaBase(oanda.baseAddress());
    warmUps("oanda", oanda.server(), QStringLiteral("EUR_USD"),
            [&] { return std::make_unique<OandaSource>(oandaBase, http, token); });
    {
        OandaSource live(oandaBase, http, token);
        oanda.setNow(kNow + 1);
        oanda.server().clearRequests();
        QCoro::waitFor(live.fetch(QStringLiteral("EUR_USD"), kNow, kNow + 1, false));
        printFigure("oanda_live_requests_per_minute",
                    double(oanda.server().requestTargets().size()), "requests");
    }
    QByteArray page = R"({"instrument":"EUR_USD","granularity":"M1","candles":[)";
    for (const Candle &candle : within(minutes, kNow - 5000, kNow)) {
        page += (page.endsWith('[') ? "" : ",") +
                QByteArray(R"({"complete":true,"volume":7,"time":")") +
                momentOf(candle.minute).toString(Qt::ISODate).toLatin1() + R"(","mid":{"o":")" +
                QByteArray::number(candle.open, 'f', 5) + R"(","h":")" +
                QByteArray::number(candle.high, 'f', 5) + R"(","l":")" +
                QByteArray::number(candle.low, 'f', 5) + R"(","c":")" +
                QByteArray::number(candle.close, 'f', 5) + R"("}})";
    }
    page += "]}";
    printFigure("oanda_page_decode_median",
                medianMicroseconds([&page] { return parseOandaCandles(page, 1); }), "us");

    QTemporaryDir folder;
    QFile file(QDir(folder.path()).filePath(QStringLiteral("usdrub.csv")));
    if (file.open(QIODevice::WriteOnly)) {
        for (const Candle &candle : within(minutes, kNow - 30 * kMinutesPerDay, kNow)) {
            file.write(
                momentOf(candle.minute).toString(QStringLiteral("yyyy.MM.dd HH:mm:ss")).toLatin1() +
                ',' + QByteArray::number(candle.open, 'f', 5) + ',' +
                QByteArray::number(candle.high, 'f', 5) + ',' +
                QByteArray::number(candle.low, 'f', 5) + ',' +
                QByteArray::number(candle.close, 'f', 5) + ",10\r\n");
        }
        file.close();
    }
    TerminalSource terminal(folder.path(), 0);
    QElapsedTimer timer;
    timer.start();
    const SourceAnswer read = QCoro::waitFor(
        terminal.fetch(QStringLiteral("usdrub"), kNow - 30 * kMinutesPerDay, kNow, true));
    printFigure("terminal_first_read_30_days", elapsedMs(timer), "ms");
    printFigure("terminal_first_read_candles",
                double(read.runs.empty() ? 0 : read.runs.front().candles.size()), "candles");
    return 0;
}
