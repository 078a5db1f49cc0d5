#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

// The present moment and the trader's locale of a fuzzed run, taken from the end of the input
// so that the documents at its start keep their shape: any minute within a few years of
// 2024-05-14 10:06 GMT, so that the turns of the year come up, and the locales the program meets.
namespace fuzzmoment {

inline QDateTime now(FuzzedDataProvider &input)
{
    static const QDateTime base(QDate(2024, 5, 14), QTime(10, 6), QTimeZone::utc());
    constexpr qint64 kYearsOfMinutes = 3LL * 366 * 24 * 60;
    return base.addSecs(60 *
                        input.ConsumeIntegralInRange<qint64>(-kYearsOfMinutes, kYearsOfMinutes));
}

inline QLocale locale(FuzzedDataProvider &input)
{
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return QLocale(QLocale::English, QLocale::UnitedStates);
    case 1:
        return QLocale(QLocale::Russian, QLocale::Russia);
    default:
        return QLocale::c();
    }
}

} // namespace fuzzmoment
