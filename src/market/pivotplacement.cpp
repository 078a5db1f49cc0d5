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

void placeColumn(PivotColumnState &column, const InstrumentRecord &record, int timeframe)
{
    std::array<std::optional<double>, PivotColumnState::kLevelCount> values;
    for (int level = 0; level < PivotColumnState::kLevelCount; ++level) {
        const QStringView text = record.line(levelLine(timeframe, level)).value_or(QStringView());
        column.levelTexts.at(level) = text.toString();
        values.at(level) = readPrice(text);
    }
    const QStringView priceText = record.line(recordlayout::kPriceLine).value_or(QStringView());
    column.priceCaption = withoutThousandsSeparators(priceText);

    column.levelTops.at(PivotColumnState::S3) = PivotColumnState::kScaleBottom;
    const std::optional<double> s3 = values.at(PivotColumnState::S3);
    const std::optional<double> r3 = values.at(PivotColumnState::R3);
    if (!s3 || !r3 || *s3 == *r3)
        return;
    for (int level : {Level::R2, Level::R1, Level::P, Level::S1, Level::S2}) {
        if (const std::optional<double> value = values.at(level))
            column.levelTops.at(level) = placedTop(*s3, *r3, *value);
    }
    if (const std::optional<double> price = readPrice(priceText))
        column.priceTop = placedTop(*s3, *r3, *price);
}

} // namespace

std::optional<double> readPrice(QStringView text)
{
    QString plain = withoutThousandsSeparators(text);
    qsizetype position = 0;
    if (position < plain.size() && (plain.at(position) == u'-' || plain.at(position) == u'+'))
        ++position;
    bool digits = false;
    bool point = false;
    for (; position < plain.size(); ++position) {
        const QChar c = plain.at(position);
        if (c >= u'0' && c <= u'9')
            digits = true;
        else if (c == u'.' && !point)
            point = true;
        else
            return std::nullopt;
    }
    if (!digits)
        return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

PivotPanelState placePivots(PivotPanelState panel, const InstrumentRecord &record)
{
    for (int column = 1; column <= PivotPanelState::kColumns; ++column)
        placeColumn(panel.column(column), record, column);
    return panel;
}
