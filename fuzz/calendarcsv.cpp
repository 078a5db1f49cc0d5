// Calendar files: any file content. Every event taken for the week reaches the program's
// calendar as one row, with its country and its name as the file gives them (but for what XML
// cannot carry).
#include "fuzzinput.h"

#include "documents/calendar.h"
#include "documents/xmldocument.h"
#include "market/minutes.h"
#include "market/serverdocument.h"
#include "market/timeframe.h"
#include "news/calendar.h"

#include <QTimeZone>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString error;
    const std::optional<QList<CalendarEvent>> events =
        parseCalendarFile(QStringLiteral("calendar.csv"), fuzzinput::bytes(data, size), &error);
    FUZZ_CHECK(events.has_value() == error.isEmpty());
    if (!events || events->isEmpty())
        return 0;

    const qint64 week = weekStart(events->front().minute);
    QList<CalendarEvent> ofWeek;
    for (const CalendarEvent &event : *events) {
        if (event.minute >= week && event.minute < week + 7 * kMinutesPerDay)
            ofWeek << event;
    }
    const std::optional<QString> payload =
        serverDocumentPayload(dataDocument(calendarText(*events, week)));
    FUZZ_CHECK(payload.has_value());

    // Midweek, so that every event of the week is given its own year.
    const QDateTime midweek = momentOf(week + 3 * kMinutesPerDay + 12 * 60);
    const calendar::Filter everything{12, 0}; // "GMT 0", "All"
    const QList<calendar::Row> rows = calendar::build(*payload, everything, midweek, QLocale::c());
    FUZZ_CHECK(rows.size() == ofWeek.size());
    for (const calendar::Row &row : rows) {
        const bool fromFile =
            std::any_of(ofWeek.cbegin(), ofWeek.cend(), [&](const CalendarEvent &e) {
                return fuzzinput::carriedByXml(e.country) == row.country &&
                       fuzzinput::carriedByXml(e.name) == row.event &&
                       volatilityText(e.volatility) == row.importanceText;
            });
        FUZZ_CHECK(fromFile);
    }
    return 0;
}
