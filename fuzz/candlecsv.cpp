// Candle files from a terminal: any file content. What is taken are real candles, in time order;
// and whatever they are, the record made from them has its 262 lines and only numbers a reader
// can read.
#include "fuzzinput.h"

#include "documents/instrumentrecord.h"
#include "market/candlebook.h"
#include "market/csvcandles.h"

#include <algorithm>
#include <cmath>

namespace {

bool isRealCandle(const Candle &candle)
{
    const double prices[] = {candle.open, candle.high, candle.low, candle.close};
    for (double price : prices) {
        if (!std::isfinite(price) || price <= 0)
            return false;
    }
    return candle.low <= std::min(candle.open, candle.close) &&
           candle.high >= std::max({candle.open, candle.close, candle.low});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString error;
    const std::optional<CandleFile> file =
        parseCandleFile(QStringLiteral("eurusd.csv"), fuzzinput::bytes(data, size), &error);
    FUZZ_CHECK(file.has_value() == error.isEmpty());
    if (!file || file->candles.empty())
        return 0;
    FUZZ_CHECK(file->decimals >= 0 && file->decimals <= 8);

    CandleBook book;
    qint64 previous = file->candles.front().minute - 1;
    for (const Candle &candle : file->candles) {
        FUZZ_CHECK(isRealCandle(candle));
        FUZZ_CHECK(candle.minute > previous);
        previous = candle.minute;
        book.add(candle);
    }

    InstrumentSnapshot snapshot;
    snapshot.serverCode = QStringLiteral("eurusd");
    snapshot.name = QStringLiteral("EUR/USD");
    snapshot.decimals = file->decimals;
    snapshot.latest = book.latest();
    snapshot.source = file->path;
    const qint64 now = previous + 1;
    for (Timeframe timeframe : kTimeframes) {
        snapshot.readings[static_cast<int>(timeframe)] =
            readTimeframe(book.series(timeframe), now, file->decimals);
    }
    const QString record = instrumentRecord(snapshot);
    FUZZ_CHECK(record.count(u'\n') + 1 == recordlayout::kLineCount);
    FUZZ_CHECK(!record.contains(QLatin1String("nan"), Qt::CaseInsensitive));
    FUZZ_CHECK(!record.contains(QLatin1String("inf"), Qt::CaseInsensitive));
    return 0;
}
