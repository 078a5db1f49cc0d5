#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// The week's economic events: the server's calendar text shifted into the trader's time zone,
// filtered by expected volatility, with the events already past marked.
namespace calendar {

// Time-zone selector: entry k is an offset of k - 12 hours, "GMT -12" .. "GMT 0" .. "GMT +12".
inline constexpr int kZoneCount = 25;
inline constexpr int kDefaultZone = 15; // "GMT +3"
QStringList zoneEntries();
constexpr int zoneOffsetHours(int zoneIndex)
{
    return zoneIndex - 12;
}

// Importance selector: "All", then the three volatility texts the server writes.
enum class Importance
{
    None, // a volatility text the program does not know: shown only under "All", no squares
    High,
    Moderate,
    Low,
};
inline constexpr int kImportanceCount = 4;
inline constexpr int kDefaultImportance = 1; // "High Volatility Expected"
QStringList importanceEntries();

struct Filter
{
    int zoneIndex = kDefaultZone;
    int importanceIndex = kDefaultImportance;
};

struct Row
{
    QString when; // local date and time, "12 Jan 17:30"
    QString country;
    Importance importance = Importance::None;
    QString importanceText; // as the server wrote it
    QString event;
    bool past = false;
};

// One row per shown event, in the order of the text. An event is past once the present minute
// is later than its own, so it stays normal during its minute. Moments are compared, not clock
// readings: the zone chosen for the list, which may differ from the computer's own, changes the
// times shown but not which events are over. Lines with fewer than four fields or without a
// valid date are left out.
QList<Row> build(const QString &text, const Filter &filter, const QDateTime &now,
                 const QLocale &locale);

// Row of the last past event: where a redraw while the window is hidden opens the list, at the
// boundary between past and coming events. Empty when no event is past.
std::optional<int> lastPastRow(const QList<Row> &rows);

// After a new time zone or importance: the row just above the first coming event, so that the
// last past event is the first row in view (the top when the first event is still to come).
// Empty when every event is past: the list then stays where it was.
std::optional<int> rowAboveFirstComing(const QList<Row> &rows);

} // namespace calendar
