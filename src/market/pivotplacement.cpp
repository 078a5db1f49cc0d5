#include "market/pivotplacement.h"

#include "market/instrumentrecord.h"

#include <cmath>

namespace {

using Level = PivotColumnState::Level;

// Line of a level of timeframe t: S3 at 206 + 8t up to R3 at 212 + 8t.
int levelLine(int timeframe, int level)
{
    return recordlayout::kFirstPivotLine + recordlayout::kPivotStride * timeframe +
           (PivotColumnState::S3 - level);
}

QString withoutThousandsSeparators(QStringView text)
{
    QString plain = text.toString();
    plain.remove(u',');
    return plain;
}

int placedTop(double s3, double r3, double value)
{
    const double share = 100.0 - (s3 - value) * 100.0 / (s3 - r3);
    return static_cast<int>(std::lround(PivotColumnState::kScaleBottom * share / 100.0));
}

// The record's price is the same for every column.
struct CurrentPrice
{
    QString caption;
    std::optional<double> value;
};

void placeColumn(PivotColumnState &column, const InstrumentRecord &record, int timeframe,
                 const CurrentPrice &price)
{
    std::array<std::optional<double>, PivotColumnState::kLevelCount> values;
    for (int level = 0; level < PivotColumnState::kLevelCount; ++level) {
        const QStringView text = record.line(levelLine(timeframe, level)).value_or(QStringView());
        column.levelTexts.at(level) = text.toString();
        values.at(level) = readPrice(text);
    }
    column.priceCaption = price.caption;

    column.levelTops.at(PivotColumnState::S3) = PivotColumnState::kScaleBottom;
    const std::optional<double> s3 = values.at(PivotColumnState::S3);
    const std::optional<double> r3 = values.at(PivotColumnState::R3);
    if (!s3 || !r3 || *s3 == *r3)
        return;
    for (int level : {Level::R2, Level::R1, Level::P, Level::S1, Level::S2}) {
        if (const std::optional<double> value = values.at(level))
            column.levelTops.at(level) = placedTop(*s3, *r3, *value);
    }
    if (price.value)
        column.priceTop = placedTop(*s3, *r3, *price.value);
}

} // namespace

std::optional<double> readPrice(QStringView text)
{
    // Prices have a handful of digits: they are read exactly as a whole number of decimal
    // units, and only improbably long texts go through the general conversion.
    constexpr quint64 kExactLimit = quint64(1) << 53;
    qsizetype position = 0;
    bool negative = false;
    if (position < text.size() && (text.at(position) == u'-' || text.at(position) == u'+'))
        negative = text.at(position++) == u'-';
    quint64 units = 0;
    int decimals = 0;
    bool digits = false;
    bool point = false;
    bool exact = true;
    for (; position < text.size(); ++position) {
        const QChar c = text.at(position);
        if (c >= u'0' && c <= u'9') {
            digits = true;
            if (units >= kExactLimit / 10 || decimals > 15) {
                exact = false;
                continue;
            }
            units = units * 10 + (c.unicode() - u'0');
            if (point)
                ++decimals;
        } else if (c == u'.' && !point) {
            point = true;
        } else if (c != u',') {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    if (!exact) {
        bool ok = false;
        const double value = withoutThousandsSeparators(text).toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return std::nullopt;
        return value;
    }
    const double value = static_cast<double>(units) / std::pow(10.0, decimals);
    return negative ? -value : value;
}

PivotPanelState placePivots(PivotPanelState panel, const InstrumentRecord &record)
{
    const QStringView priceText = record.line(recordlayout::kPriceLine).value_or(QStringView());
    const CurrentPrice price{withoutThousandsSeparators(priceText), readPrice(priceText)};
    for (int column = 1; column <= PivotPanelState::kColumns; ++column)
        placeColumn(panel.column(column), record, column, price);
    return panel;
}
