#pragma once

#include "sources/candlesource.h"

#include "app/clock.h"

#include <QString>

class SourceHttp;
struct HttpAnswer;

// Binance's spot market data (keyless): GET {base}/api/v3/klines?symbol=BTCUSDT&interval=1m&
// startTime=&endTime=&limit=1000. A warm-up takes 1h, 15m and 1m candles; every request weighs 2
// of the 6000 an address may use a minute, and the adapter stops well below that on its own.
// 429 and 418 ask to back off for Retry-After; 451 is the region block.
class BinanceSource final : public CandleSource
{
public:
    static constexpr int kPageLimit = 1000;
    static constexpr int kRequestWeight = 2;
    // Of 6000 a minute: the rest is left to whatever else runs from this address.
    static constexpr int kWeightBudget = 4800;

    BinanceSource(QString baseAddress, SourceHttp &http, Clock clock = Clock());

    QString name() const override;
    // "binance BTCUSDT (USDT)": the quote currency, which is what the price is in.
    QString describe(const QString &symbol) const override;
    QCoro::Task<SourceAnswer> fetch(QString symbol, qint64 fromMinute, qint64 toMinute,
                                    bool warmUp) override;

private:
    struct Page;
    QCoro::Task<Page> page(const QString &symbol, int stepMinutes, qint64 fromMinute,
                           qint64 toMinute);
    void noteWeight(const HttpAnswer &answer);

    QString m_base;
    SourceHttp &m_http;
    Clock m_clock;
    int m_usedWeight = 0;
    qint64 m_weightMinute = -1; // the minute m_usedWeight was reported in
};
