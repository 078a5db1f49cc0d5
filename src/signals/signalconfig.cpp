#include "signals/signalconfig.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"

#include <cmath>

namespace signalconfig {

namespace {

constexpr int kTimeframeListCount = kOptionCount * 2 * kTimeframeCount;

int readCode(const SettingsStore &settings, const QString &key, int defaultValue)
{
    return parseCode(
        settings.read(QLatin1String(settingskeys::kSettings), key, QString::number(defaultValue)));
}

struct ListPlace
{
    int option;
    Direction direction;
    int timeframe; // -1 for a "Calculate:" list
};

ListPlace placeOf(int list)
{
    if (list > kTimeframeListCount)
        return {list - kTimeframeListCount, Buy, -1};
    const int zeroBased = list - 1;
    const int perOption = 2 * kTimeframeCount;
    return {zeroBased / perOption + 1, Direction((zeroBased % perOption) / kTimeframeCount),
            zeroBased % kTimeframeCount};
}

} // namespace

int parseCode(const QString &text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok)
        return kUnusable;
    constexpr double kLargestCode = 1e9; // far beyond every code, well inside int
    if (number != std::trunc(number) || std::abs(number) > kLargestCode)
        return kNotACode;
    return int(number);
}

QString basisKey(int option)
{
    return QLatin1String(settingskeys::kSignalConfigPrefix) + QString::number(option);
}

QString conditionKey(int option, Direction direction, int timeframe)
{
    return basisKey(option) + QLatin1Char('-') +
           QLatin1String(settingskeys::kTimeframeKeys[timeframe]) +
           QLatin1String(direction == Buy ? settingskeys::kBuyKey : settingskeys::kSellKey);
}

int defaultCode(int option, Direction direction, int timeframe)
{
    // Option 1 leaves H4 and D1 open, option 2 leaves D1 open.
    const int strongTimeframes = option == 1 ? 5 : option == 2 ? 6 : 7;
    if (timeframe >= strongTimeframes)
        return DoesntMatter;
    return direction == Buy ? StrongBuy : StrongSell;
}

Config defaults()
{
    Config config;
    for (int option = 1; option <= kOptionCount; ++option) {
        config.basis[option - 1] = kDefaultBasis;
        for (Direction direction : {Buy, Sell}) {
            for (int timeframe = 0; timeframe < kTimeframeCount; ++timeframe)
                config.codes[option - 1][direction][timeframe] =
                    defaultCode(option, direction, timeframe);
        }
    }
    return config;
}

Config read(const SettingsStore &settings)
{
    Config config;
    for (int option = 1; option <= kOptionCount; ++option) {
        config.basis[option - 1] = readCode(settings, basisKey(option), kDefaultBasis);
        for (Direction direction : {Buy, Sell}) {
            for (int timeframe = 0; timeframe < kTimeframeCount; ++timeframe)
                config.codes[option - 1][direction][timeframe] =
                    readCode(settings, conditionKey(option, direction, timeframe),
                             defaultCode(option, direction, timeframe));
        }
    }
    return config;
}

QString listKey(int list)
{
    const ListPlace place = placeOf(list);
    if (place.timeframe < 0)
        return basisKey(place.option);
    return conditionKey(place.option, place.direction, place.timeframe);
}

int listDefault(int list)
{
    const ListPlace place = placeOf(list);
    if (place.timeframe < 0)
        return kDefaultBasis;
    return defaultCode(place.option, place.direction, place.timeframe);
}

int listItemCount(int list)
{
    return list > kTimeframeListCount ? kBasisCount : kConditionCount;
}

} // namespace signalconfig
