#include "sources/binancesource.h"

#include "sources/binanceklines.h"
#include "sources/httpdate.h"
#include "sources/sourcehttp.h"
#include "sources/sourcenames.h"
#include "sources/warmupplan.h"

#include "market/minutes.h"

#include <QUrl>
#include <QUrlQuery>

#include <algorithm>

namespace {

constexpr qint64 kMsPerMinute = 60000;
constexpr std::chrono::seconds kDefaultRateLimitWait{60};
constexpr std::chrono::seconds kDefaultBanWait{120};

// The quote currencies binance lists most, longest first so that "FDUSD" wins over "USD".
constexpr const char *kQuotes[] = {"FDUSD", "USDT", "USDC", "TUSD", "BUSD", "EUR",
                                   "TRY",   "BRL",  "JPY",  "BTC",  "ETH",  "BNB"};

QString intervalOf(int stepMinutes)
{
    return stepMinutes >= 60 ? QStringLiteral("%1h").arg(stepMinutes / 60)
                             : QStringLiteral("%1m").arg(stepMinutes);
}

// Retry-After in seconds, or as an HTTP date.
std::chrono::seconds retryAfterOf(const HttpAnswer &answer, std::chrono::seconds fallback)
{
    const QByteArray value = answer.header("Retry-After").trimmed();
    bool ok = false;
    const qint64 seconds = value.toLongLong(&ok);
    if (ok && seconds >= 0)
        return std::chrono::seconds(seconds);
    const QDateTime until = httpDate(value);
    const QDateTime now = httpDate(answer.header("Date"));
    if (until.isValid() && now.isValid())
        return std::chrono::seconds(std::max<qint64>(0, now.secsTo(until)));
    return fallback;
}

SourceAnswer refused(SourceAnswer::Outcome outcome, const QString &reason,
                     std::chrono::seconds retryAfter = std::chrono::seconds(0))
{
    SourceAnswer answer;
    answer.outcome = outcome;
    answer.reason = reason;
    answer.retryAfter = retryAfter;
    return answer;
}

QString statusReason(const HttpAnswer &answer)
{
    const QString message = binanceErrorMessage(answer.body);
    return message.isEmpty() ? QStringLiteral("HTTP %1").arg(answer.status)
                             : QStringLiteral("HTTP %1: %2").arg(answer.status).arg(message);
}

} // namespace

struct BinanceSource::Page
{
    std::optional<SourceAnswer> refusal; // set when the request brought no candles to use
    std::vector<Candle> candles;         // closed ones in the asked range
    bool full = false;                   // the page held as many rows as asked for
    qint64 nextMinute = 0;               // where the next page starts
};

BinanceSource::BinanceSource(QString baseAddress, SourceHttp &http, Clock clock)
    : m_base(std::move(baseAddress))
    , m_http(http)
    , m_clock(std::move(clock))
{
    while (m_base.endsWith(QLatin1Char('/')))
        m_base.chop(1);
}

QString BinanceSource::name() const
{
    return QLatin1String(sourcenames::kBinance);
}

QString BinanceSource::describe(const QString &symbol) const
{
    for (const char *quote : kQuotes) {
        if (symbol.endsWith(QLatin1String(quote)) && symbol.size() > qsizetype(qstrlen(quote)))
            return QStringLiteral("binance %1 (%2)").arg(symbol, QLatin1String(quote));
    }
    return QStringLiteral("binance ") + symbol;
}

void BinanceSource::noteWeight(const HttpAnswer &answer)
{
    bool ok = false;
    const int used = answer.header("X-MBX-USED-WEIGHT-1M").trimmed().toInt(&ok);
    if (!ok)
        return;
    m_usedWeight = used;
    m_weightMinute = minuteOf(m_clock.now());
}

QCoro::Task<BinanceSource::Page> BinanceSource::page(const QString &symbol, int stepMinutes,
                                                     qint64 fromMinute, qint64 toMinute)
{
    Page page;
    const qint64 nowMinute = minuteOf(m_clock.now());
    if (m_weightMinute == nowMinute && m_usedWeight + kRequestWeight > kWeightBudget) {
        const int secondsLeft = 60 - m_clock.now().time().second();
        page.refusal =
            refused(SourceAnswer::Outcome::RateLimited,
                    QStringLiteral("request weight %1 of 6000 used this minute").arg(m_usedWeight),
                    std::chrono::seconds(std::max(1, secondsLeft)));
        co_return page;
    }
    QUrl url(m_base + QStringLiteral("/api/v3/klines"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("symbol"), symbol);
    query.addQueryItem(QStringLiteral("interval"), intervalOf(stepMinutes));
    query.addQueryItem(QStringLiteral("startTime"), QString::number(fromMinute * kMsPerMinute));
    query.addQueryItem(QStringLiteral("endTime"), QString::number(toMinute * kMsPerMinute - 1));
    query.addQueryItem(QStringLiteral("limit"), QString::number(kPageLimit));
    url.setQuery(query);

    const HttpAnswer answer = co_await m_http.get(QNetworkRequest(url));
    if (!answer.received) {
        page.refusal = refused(SourceAnswer::Outcome::Failed, answer.error);
        co_return page;
    }
    noteWeight(answer);
    if (answer.status == 429) {
        page.refusal = refused(SourceAnswer::Outcome::RateLimited, statusReason(answer),
                               retryAfterOf(answer, kDefaultRateLimitWait));
        co_return page;
    }
    if (answer.status == 418) {
        page.refusal = refused(SourceAnswer::Outcome::RateLimited,
                               statusReason(answer) + QStringLiteral(" (address banned)"),
                               retryAfterOf(answer, kDefaultBanWait));
        co_return page;
    }
    if (answer.status == 451) {
        page.refusal = refused(SourceAnswer::Outcome::Blocked, statusReason(answer));
        co_return page;
    }
    if (answer.status != 200) {
        page.refusal = refused(SourceAnswer::Outcome::Failed, statusReason(answer));
        co_return page;
    }
    const KlinesParse parsed = parseKlines(answer.body);
    if (!parsed.error.isEmpty()) {
        page.refusal = refused(SourceAnswer::Outcome::Failed,
                               QStringLiteral("unreadable answer: ") + parsed.error);
        co_return page;
    }
    // The row still forming closes after the server's present (the Date header) or after the
    // asked range; either way it is not a candle yet.
    const QDateTime serverNow = httpDate(answer.header("Date"));
    qint64 closedBefore = toMinute * kMsPerMinute;
    if (serverNow.isValid())
        closedBefore = std::min(closedBefore, serverNow.toMSecsSinceEpoch());
    const qint64 stepMs = stepMinutes * kMsPerMinute;
    qint64 lastOpen = -1;
    for (const KlineRow &row : parsed.rows) {
        if (row.openMs <= lastOpen || row.closeMs - row.openMs + 1 != stepMs) {
            page.refusal = refused(SourceAnswer::Outcome::Failed,
                                   QStringLiteral("unreadable answer: klines out of order or "
                                                  "not %1 long")
                                       .arg(intervalOf(stepMinutes)));
            co_return page;
        }
        lastOpen = row.openMs;
        if (row.candle.minute >= fromMinute && row.closeMs < closedBefore)
            page.candles.push_back(row.candle);
    }
    page.full = parsed.rows.size() >= size_t(kPageLimit);
    page.nextMinute = lastOpen < 0 ? toMinute : lastOpen / kMsPerMinute + stepMinutes;
    co_return page;
}

QCoro::Task<SourceAnswer> BinanceSource::fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                               bool warmUp)
{
    const std::vector<WarmUpStretch> stretches =
        warmUp ? warmUpStretches(fromMinute, toMinute, {60, 15, 1})
               : std::vector<WarmUpStretch>{{fromMinute, toMinute, 1}};
    SourceAnswer answer;
    for (const WarmUpStretch &stretch : stretches) {
        CandleRun run;
        run.stepMinutes = stretch.stepMinutes;
        qint64 cursor = stretch.fromMinute;
        while (cursor < stretch.toMinute) {
            Page page = co_await this->page(symbol, stretch.stepMinutes, cursor, stretch.toMinute);
            if (page.refusal)
                co_return *page.refusal;
            run.candles.insert(run.candles.end(), page.candles.begin(), page.candles.end());
            if (!page.full || page.nextMinute <= cursor)
                break;
            cursor = page.nextMinute;
        }
        if (!run.candles.empty())
            answer.runs.push_back(std::move(run));
    }
    co_return answer;
}
