#pragma once

#include "sources/candlesource.h"

#include <QUrl>

#include <array>

class SourceHttp;

// OANDA's v20 REST candles with the user's own token (a free practice account will do):
//   GET {base}/v3/instruments/{INSTRUMENT}/candles?price=M&granularity=M1&from=…&to=…
//   Authorization: Bearer <token>
// Mid prices. At most 5000 candles come per request, so longer spans are asked for in pages.
// A warm-up takes H1 for the far past and M15 for the last weeks before the minutes, as the
// simulated history does. The token goes into the request header and nowhere else: no reason
// this source gives ever holds it. The service refuses a range that ends in its future, so the
// page that reaches a fetch's `toMinute` asks for a number of candles from its start instead:
// a clock here that runs ahead of the service's does no harm.
class OandaSource final : public CandleSource
{
public:
    static constexpr int kPageCandles = 5000;

    struct Stretch
    {
        int stepMinutes;
        // The stretch ends this many days before the start of the range's last day; 0: at the
        // end of the range.
        qint64 untilDaysBack;
    };
    // A warm-up's stretches, coarsest first; without a warm-up only the last one.
    static constexpr std::array<Stretch, 3> kWarmUp{{{60, 20}, {15, 4}, {1, 0}}};

    // `base`: e.g. https://api-fxpractice.oanda.com; `token`: the user's personal access token.
    OandaSource(const QUrl &base, SourceHttp &http, const QString &token);
    Q_DISABLE_COPY_MOVE(OandaSource)

    QString name() const override { return QStringLiteral("oanda"); }
    // "oanda XAU_USD (mid)"
    QString describe(const QString &symbol) const override;

    QCoro::Task<SourceAnswer> fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                    bool warmUp) override;

private:
    // Appends to `run` the complete candles of `symbol` opening in [from, to); a failure, if
    // one stops it. `endsAtPresent`: `to` is the fetch's end, the present.
    QCoro::Task<std::optional<SourceAnswer>> fetchStretch(QString symbol, qint64 from, qint64 to,
                                                          bool endsAtPresent, CandleRun *run);
    // [from, to) by its end, or `byCount` by the number of candles it holds.
    QUrl pageUrl(const QString &symbol, int stepMinutes, qint64 from, qint64 to,
                 bool byCount) const;
    QString withoutToken(QString text) const;

    QUrl m_base;
    SourceHttp &m_http;
    QString m_token;
};
