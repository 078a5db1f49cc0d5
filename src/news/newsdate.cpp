#include "news/newsdate.h"

#include <QStringList>
#include <QTimeZone>

#include <array>
#include <cstdlib>

namespace newsdate {

namespace {

struct MonthToken
{
    const char *token; // UTF-8
    int month;
};

// Russian and English forms, some months with two.
constexpr std::array kMonthTokens{
    MonthToken{"Янв,", 1},  MonthToken{"Jan,", 1},  MonthToken{"Фев,", 2},  MonthToken{"Feb,", 2},
    MonthToken{"Мар,", 3},  MonthToken{"Mar,", 3},  MonthToken{"Апр,", 4},  MonthToken{"Apr,", 4},
    MonthToken{"Май,", 5},  MonthToken{"Мая,", 5},  MonthToken{"May,", 5},  MonthToken{"Июн,", 6},
    MonthToken{"Jun,", 6},  MonthToken{"June,", 6}, MonthToken{"Июл,", 7},  MonthToken{"Jul,", 7},
    MonthToken{"July,", 7}, MonthToken{"Авг,", 8},  MonthToken{"Aug,", 8},  MonthToken{"Сен,", 9},
    MonthToken{"Sep,", 9},  MonthToken{"Sept,", 9}, MonthToken{"Окт,", 10}, MonthToken{"Oct,", 10},
    MonthToken{"Ноя,", 11}, MonthToken{"Nov,", 11}, MonthToken{"Дек,", 12}, MonthToken{"Dec,", 12},
};

} // namespace

int monthFromToken(const QString &token)
{
    for (const MonthToken &entry : kMonthTokens) {
        if (token == QString::fromUtf8(entry.token))
            return entry.month;
    }
    return 0;
}

std::optional<QDateTime> parse(const QString &field, const QDateTime &now)
{
    const QStringList parts = field.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return std::nullopt;
    const int month = monthFromToken(parts.at(0));
    bool dayOk = false;
    const int day = parts.at(1).toInt(&dayOk);
    const QTime time = QTime::fromString(parts.at(2), QStringLiteral("h:mm"));
    if (month == 0 || !dayOk || !time.isValid())
        return std::nullopt;

    const QDateTime present = now.toUTC();
    std::optional<QDateTime> nearest;
    qint64 nearestDistance = 0;
    for (int year = present.date().year() - 1; year <= present.date().year() + 1; ++year) {
        const QDate date(year, month, day);
        if (!date.isValid())
            continue; // 29 February outside leap years, 31 April
        const QDateTime candidate(date, time, QTimeZone::utc());
        const qint64 distance = std::llabs(present.secsTo(candidate));
        if (!nearest || distance < nearestDistance) {
            nearest = candidate;
            nearestDistance = distance;
        }
    }
    return nearest;
}

QString format(const QDateTime &dateTime, const QLocale &locale)
{
    return locale.toString(dateTime, QStringLiteral("d MMM hh:mm"));
}

} // namespace newsdate
