#include "sources/oandasource.h"

#include "market/minutes.h"
#include "market/timeframe.h"
#include "sources/httpoutcome.h"
#include "sources/oandacandles.h"
#include "sources/sourcehttp.h"

#include "app/version.h"

#include <QNetworkRequest>
#include <QRegularExpression>
#include <QUrlQuery>

#include <algorithm>

namespace {

// Longest part of an error message worth a log line.
constexpr qsizetype kLongestMessage = 200;

bool isInstrument(const QString &symbol)
{
    static const QRegularExpression instrument(QStringLiteral("^[A-Za-z0-9]+_[A-Za-z0-9]+$"));
    return instrument.match(symbol).hasMatch();
}

QString granularity(int stepMinutes)
{
    return stepMinutes >= 60 ? QStringLiteral("H%1").arg(stepMinutes / 60)
                             : QStringLiteral("M%1").arg(stepMinutes);
}

QString rfc3339(qint64 minute)
{
    return momentOf(minute).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

} // namespace

OandaSource::OandaSource(const QUrl &base, SourceHttp &http, const QString &token)
    : m_base(base)
    , m_http(http)
    , m_token(token.trimmed())
{}

QString OandaSource::describe(const QString &symbol) const
{
    return QStringLiteral("oanda %1 (mid)").arg(symbol);
}

QCoro::Task<SourceAnswer> OandaSource::fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                             bool warmUp)
{
    if (m_token.isEmpty())
        co_return blockedAnswer(QStringLiteral("no oanda-token is set"));
    if (!isInstrument(symbol))
        co_return failedAnswer(
            QStringLiteral("\"%1\" is not an oanda instrument name").arg(symbol));
    SourceAnswer answer;
    const qint64 lastDay = floorDiv(toMinute - 1, kMinutesPerDay) * kMinutesPerDay;
    qint64 from = fromMinute;
    for (size_t i = warmUp ? 0 : kWarmUp.size() - 1; i < kWarmUp.size() && from < toMinute; ++i) {
        const qint64 to =
            kWarmUp[i].untilDaysBack == 0
                ? toMinute
                : std::clamp(lastDay - kWarmUp[i].untilDaysBack * kMinutesPerDay, from, toMinute);
        if (to <= from)
            continue;
        CandleRun run{kWarmUp[i].stepMinutes, {}};
        const bool last = i + 1 == kWarmUp.size();
        if (std::optional<SourceAnswer> failure =
                co_await fetchStretch(symbol, from, to, last, &run))
            co_return *failure;
        if (!run.candles.empty())
            answer.runs.push_back(std::move(run));
        from = to;
    }
    co_return answer;
}

QCoro::Task<std::optional<SourceAnswer>> OandaSource::fetchStretch(QString symbol, qint64 from,
                                                                   qint64 to, bool endsAtPresent,
                                                                   CandleRun *run)
{
    const int step = run->stepMinutes;
    // Candles of the stretch's step that lie wholly inside it.
    qint64 page = floorDiv(from + step - 1, step) * step;
    while (page + step <= to) {
        const qint64 pageEnd = std::min(to, page + qint64(kPageCandles) * step);
        // The page that reaches the present names how many candles, not its end: the service
        // refuses an end in its future, as the present here is when this clock runs ahead.
        const bool reachesPresent = pageEnd == to && endsAtPresent;
        QNetworkRequest request(pageUrl(symbol, step, page, pageEnd, reachesPresent));
        request.setRawHeader("Authorization", "Bearer " + m_token.toUtf8());
        request.setRawHeader("Accept-Datetime-Format", "RFC3339");
        request.setRawHeader("User-Agent", QByteArray("quentara-server/") + product::kVersion);
        const HttpAnswer http = co_await m_http.get(request);
        if (http.received && (http.status == 401 || http.status == 403)) {
            co_return blockedAnswer(
                QStringLiteral("the token is refused (HTTP %1)").arg(http.status));
        }
        if (std::optional<SourceAnswer> failure = unsuccessfulAnswer(http)) {
            const QString message = oandaErrorMessage(http.body).left(kLongestMessage);
            if (!message.isEmpty())
                failure->reason += QStringLiteral(": ") + message;
            failure->reason = withoutToken(failure->reason);
            co_return failure;
        }
        const ParsedCandles parsed = parseOandaCandles(http.body, step);
        if (!parsed.error.isEmpty())
            co_return failedAnswer(QStringLiteral("unreadable answer (%1)").arg(parsed.error));
        for (const Candle &candle : parsed.candles) {
            if (candle.minute >= page && candle.minute + step <= pageEnd &&
                (run->candles.empty() || candle.minute > run->candles.back().minute))
                run->candles.push_back(candle);
        }
        page = pageEnd;
    }
    co_return std::nullopt;
}

QUrl OandaSource::pageUrl(const QString &symbol, int stepMinutes, qint64 from, qint64 to,
                          bool byCount) const
{
    QString path = m_base.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    QUrl url = m_base;
    url.setPath(path + QStringLiteral("/v3/instruments/%1/candles").arg(symbol));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("price"), QStringLiteral("M"));
    query.addQueryItem(QStringLiteral("granularity"), granularity(stepMinutes));
    query.addQueryItem(QStringLiteral("from"), rfc3339(from));
    if (byCount)
        query.addQueryItem(QStringLiteral("count"), QString::number((to - from) / stepMinutes));
    else
        query.addQueryItem(QStringLiteral("to"), rfc3339(to));
    url.setQuery(query);
    return url;
}

QString OandaSource::withoutToken(QString text) const
{
    if (!m_token.isEmpty())
        text.replace(m_token, QStringLiteral("<token>"));
    return text;
}
