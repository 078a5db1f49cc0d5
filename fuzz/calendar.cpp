// The economic calendar's parser: any calendar text, any time zone and filter, any present moment.
#include "fuzzinput.h"
#include "fuzzmoment.h"

#include "news/calendar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    calendar::Filter filter;
    filter.zoneIndex = input.ConsumeIntegralInRange(0, calendar::kZoneCount - 1);
    filter.importanceIndex = input.ConsumeIntegralInRange(0, calendar::kImportanceCount - 1);
    const QDateTime now = fuzzmoment::now(input);
    const QLocale locale = fuzzmoment::locale(input);
    const std::vector<char> rest = input.ConsumeRemainingBytes<char>();
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    const QList<calendar::Row> rows = calendar::build(text, filter, now, locale);
    FUZZ_CHECK(rows.size() <= text.count(u'\n') + 1);
    const calendar::Filter all{filter.zoneIndex, 0};
    FUZZ_CHECK(rows.size() <= calendar::build(text, all, now, locale).size());

    if (const std::optional<int> last = calendar::lastPastRow(rows)) {
        FUZZ_CHECK(*last >= 0 && *last < rows.size() && rows.at(*last).past);
        for (qsizetype row = *last + 1; row < rows.size(); ++row)
            FUZZ_CHECK(!rows.at(row).past);
    }
    if (const std::optional<int> above = calendar::rowAboveFirstComing(rows))
        FUZZ_CHECK(*above >= 0 && *above < rows.size());
    return 0;
}
