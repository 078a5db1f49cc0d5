#include "app/storedforms.h"

namespace storedforms {

std::optional<bool> parseBool(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return number != 0.0;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<int> parseNumber(const QString &text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

QString numberText(int value)
{
    return QString::number(value);
}

QString flagText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

bool isEnabled(const QString &text)
{
    return text == QLatin1String(kEnabledFirstRun) || text == QLatin1String(kEnabledOn);
}

QString enabledText(bool enabled)
{
    return QLatin1String(enabled ? kEnabledOn : kEnabledOff);
}

} // namespace storedforms
