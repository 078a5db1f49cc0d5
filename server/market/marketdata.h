#pragma once

#include "documents/instrumentrecord.h"
#include "market/candlebook.h"

#include <QObject>

// What the documents are computed from: the candles of the 62 instruments of the catalogue,
// wherever they come from (the simulated market and candle files, or live sources). The two kinds
// are never mixed in one market.
class MarketData : public QObject
{
    Q_OBJECT
public:
    explicit MarketData(QObject *parent = nullptr)
        : QObject(parent)
    {}
    Q_DISABLE_COPY_MOVE(MarketData)

    // Brings the market to `minute`: every candle that opens before it is in, as far as the
    // market has it.
    virtual void advanceTo(qint64 minute) = 0;
    virtual qint64 minute() const = 0;

    virtual int instrumentCount() const = 0;
    virtual InstrumentSnapshot snapshot(int index) const = 0;
    virtual const CandleBook &book(int index) const = 0;
    // Whether the instrument's record may have changed since the last call.
    virtual bool takeChanged(int index) = 0;

Q_SIGNALS:
    // Candles arrived between two minutes (a live source answered): the records of the
    // instruments that changed can be published at once.
    void candlesArrived();
};
