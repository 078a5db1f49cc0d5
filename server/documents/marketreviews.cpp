#include "documents/marketreviews.h"

#include "documents/numberformat.h"
#include "market/market.h"
#include "market/marketdata.h"

#include <array>

namespace {

constexpr std::array kReviewed{"eurusd", "gbpusd", "usdjpy", "gold", "crypto-btc", "sp500"};

QString lowered(Summary summary)
{
    return summaryText(summary).toLower();
}

QString headlineOf(const QString &name, Summary daily, const PivotLevels &p, int decimals)
{
    const auto level = [decimals](double value) { return priceText(value, decimals); };
    switch (daily) {
    case Summary::StrongBuy:
        return QStringLiteral("%1: buyers stay in control above %2").arg(name, level(p.p));
    case Summary::Buy:
        return QStringLiteral("%1 edges higher, %2 in focus").arg(name, level(p.r1));
    case Summary::Neutral:
        return QStringLiteral("%1 holds its range between %2 and %3")
            .arg(name, level(p.s1), level(p.r1));
    case Summary::Sell:
        return QStringLiteral("%1 under pressure below %2").arg(name, level(p.p));
    case Summary::StrongSell:
        return QStringLiteral("%1: sellers dominate, %2 in sight").arg(name, level(p.s1));
    }
    return name;
}

QString outlookOf(Summary daily, const PivotLevels &p, int decimals)
{
    const auto level = [decimals](double value) { return priceText(value, decimals); };
    switch (daily) {
    case Summary::StrongBuy:
    case Summary::Buy:
        return QStringLiteral("As long as the price holds above the support at %1, the bias stays "
                              "positive and %2 is the next target; a daily close below %1 would "
                              "call the advance into question.")
            .arg(level(p.s1), level(p.r2));
    case Summary::Neutral:
        return QStringLiteral(
                   "Without a clear lead from the indicators, the levels decide: a break "
                   "above %1 would favour buyers, a fall below %2 sellers.")
            .arg(level(p.r1), level(p.s1));
    case Summary::Sell:
    case Summary::StrongSell:
        return QStringLiteral(
                   "While the price stays below the resistance at %1, rallies are likely "
                   "to meet selling and %2 is the next target; a daily close above %1 "
                   "would ease the pressure.")
            .arg(level(p.r1), level(p.s2));
    }
    return QString();
}

std::optional<Article> reviewOf(const InstrumentSnapshot &snapshot, qint64 minute)
{
    const TimeframeReading &daily = snapshot.readings[static_cast<int>(Timeframe::D1)];
    const TimeframeReading &fourHours = snapshot.readings[static_cast<int>(Timeframe::H4)];
    if (!daily.complete || !fourHours.complete || !snapshot.latest)
        return std::nullopt;
    const int decimals = snapshot.decimals;
    const auto level = [decimals](double value) { return priceText(value, decimals); };
    const PivotLevels &p = daily.pivots;
    const double close = snapshot.latest->close;
    const AverageReading &longest = daily.averages.back();

    Article article;
    article.minute = minute;
    article.headline = headlineOf(snapshot.name, daily.overallSummary, p, decimals);
    article.paragraphs
        << QStringLiteral("%1 trades at %2. On the daily chart the technical summary reads %3, "
                          "with the indicators at %4 and the moving averages at %5; on the "
                          "four-hour chart it reads %6.")
               .arg(snapshot.name, level(close), lowered(daily.overallSummary),
                    lowered(daily.indicatorSummary), lowered(daily.averageSummary),
                    lowered(fourHours.overallSummary))
        << QStringLiteral("Today's pivot point is %1, with resistance at %2 and %3 and support at "
                          "%4 and %5. The daily RSI(14) stands at %6, and the price is %7 its "
                          "200-day average at %8.")
               .arg(level(p.p), level(p.r1), level(p.r2), level(p.s1), level(p.s2),
                    fixedNumber(daily.indicators[static_cast<int>(Indicator::Rsi)].value, 1),
                    close >= longest.simple ? QStringLiteral("above") : QStringLiteral("below"),
                    level(longest.simple))
        << outlookOf(daily.overallSummary, p, decimals);
    return article;
}

} // namespace

QList<Article> marketReviews(const MarketData &market, qint64 minute)
{
    QList<Article> articles;
    qint64 published = minute;
    for (const char *code : kReviewed) {
        const int index = instrumentIndex(QLatin1String(code));
        if (index < 0)
            continue;
        if (const std::optional<Article> review = reviewOf(market.snapshot(index), published)) {
            articles << *review;
            published -= 3; // written one after another
        }
    }
    return articles;
}
