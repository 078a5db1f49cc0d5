// The record and grid fill: any record text, for any navigator index, into the visible table's
// skeleton. A fill that completes leaves in the summary rows only the five verdicts or texts
// that none of the verdict words occur in.
#include "fuzzinput.h"

#include "app/catalogue.h"
#include "market/indicatorgridfill.h"
#include "market/instrumentrecord.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

bool holdsVerdictWord(const QString &text)
{
    for (const char16_t *word : {u"Strong Buy", u"Strong Sell", u"Sell", u"Buy", u"Neutral"}) {
        if (text.contains(QStringView(word)))
            return true;
    }
    return false;
}

bool isVerdict(const QString &text)
{
    for (const char16_t *verdict : {u"STRONG BUY", u"STRONG SELL", u"SELL", u"BUY", u"Neutral"}) {
        if (text == QStringView(verdict))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int key = input.ConsumeIntegralInRange(0, catalogue::kSlotCount - 1);
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));
    const InstrumentRecord record(text);

    IndicatorGrid grid;
    gridrazm(grid);
    const bool completed = loadInd(grid, key, record);
    const CaptionBarState caption =
        captionAfterFill(QStringLiteral("EUR/USD"), completed, grid.text(0, 0));
    FUZZ_CHECK(caption.dataMissing == !completed);
    if (!completed)
        return 0;
    FUZZ_CHECK(grid.text(0, 0) == record.line(recordlayout::kPriceLine).value_or(QStringView()));
    for (int column = 1; column < IndicatorGrid::kColumns; ++column) {
        const QString overall = grid.text(IndicatorGrid::kOverallSummaryRow, column);
        FUZZ_CHECK(isVerdict(overall) || !holdsVerdictWord(overall));
    }
    return 0;
}
