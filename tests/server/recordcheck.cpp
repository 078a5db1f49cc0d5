#include "recordcheck.h"

#include "documents/instrumentrecord.h"
#include "market/verdicts.h"

#include <QRegularExpression>

namespace {

using namespace recordlayout;

class Record
{
public:
    explicit Record(const QString &text)
        : m_lines(text.split(QLatin1Char('\n')))
    {}
    int lineCount() const { return int(m_lines.size()); }
    QString line(int index) const { return index < m_lines.size() ? m_lines[index] : QString(); }
    QString field(int line, int field) const
    {
        const QStringList fields = this->line(line).split(QLatin1Char(';'));
        return field < fields.size() ? fields[field] : QString();
    }

private:
    QStringList m_lines;
};

const QStringList kSummaries{QStringLiteral("Strong Buy"), QStringLiteral("Buy"),
                             QStringLiteral("Neutral"), QStringLiteral("Sell"),
                             QStringLiteral("Strong Sell")};

int voteOf(const QString &state)
{
    const QString lower = state.toLower();
    return lower == QLatin1String("buy") ? 1 : lower == QLatin1String("sell") ? -1 : 0;
}

int decimalsOf(const QString &number)
{
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(number.size() - point - 1);
}

void checkBlock(const Record &record, int t, bool complete, QStringList &faults)
{
    const int base = kBlockLines * t;
    const auto fault = [&faults](int line, int field, const QString &what) {
        faults << QStringLiteral("line %1 field %2: %3").arg(line).arg(field).arg(what);
    };
    const QStringList states = programIndicatorStates();
    const int summaryLines[] = {base + kOverallOffset, base + kIndicatorSummaryOffset,
                                base + kAverageSummaryOffset};
    if (!complete) {
        for (int k = 0; k < 12; ++k) {
            if (!record.field(base + kFirstIndicatorOffset + k, 2).isEmpty())
                fault(base + kFirstIndicatorOffset + k, 2, QStringLiteral("should be empty"));
        }
        for (int line : summaryLines) {
            if (!record.field(line, 1).isEmpty())
                fault(line, 1, QStringLiteral("should be empty"));
        }
        return;
    }
    int indicatorSum = 0;
    for (int k = 0; k < 12; ++k) {
        const int line = base + kFirstIndicatorOffset + k;
        const QString state = record.field(line, 2);
        if (!states.contains(state.toLower()))
            fault(line, 2, QStringLiteral("\"%1\" is no indicator state").arg(state));
        indicatorSum += voteOf(state);
    }
    int averageSum = 0;
    for (int k = 0; k < 6; ++k) {
        const int line = base + kFirstAverageOffset + k;
        for (int field : {2, 4}) {
            const QString action = record.field(line, field);
            if (action != QLatin1String("Buy") && action != QLatin1String("Sell") &&
                action != QLatin1String("Neutral"))
                fault(line, field, QStringLiteral("\"%1\" is no action").arg(action));
            averageSum += voteOf(action);
        }
    }
    for (int line : summaryLines) {
        if (!kSummaries.contains(record.field(line, 1)))
            fault(line, 1, QStringLiteral("\"%1\" is no summary").arg(record.field(line, 1)));
    }
    const QString indicators = summaryText(summaryOf(indicatorSum, 12));
    const QString averages = summaryText(summaryOf(averageSum, 12));
    const QString overall = summaryText(combinedSummary(indicatorSum, 12, averageSum, 12));
    if (record.field(base + kIndicatorSummaryOffset, 1) != indicators)
        fault(base + kIndicatorSummaryOffset, 1, QStringLiteral("the votes say ") + indicators);
    if (record.field(base + kAverageSummaryOffset, 1) != averages)
        fault(base + kAverageSummaryOffset, 1, QStringLiteral("the votes say ") + averages);
    if (record.field(base + kOverallOffset, 1) != overall)
        fault(base + kOverallOffset, 1, QStringLiteral("the votes say ") + overall);
}

void checkPivots(const Record &record, int t, bool complete, int priceDecimals, QStringList &faults)
{
    static const QRegularExpression plain(QStringLiteral("^\\d+(\\.\\d+)?$"));
    const int first = kFirstPivotLine + kPivotStride * t;
    double previous = 0;
    for (int level = 0; level < 7; ++level) {
        const QString text = record.line(first + level);
        if (!complete) {
            if (!text.isEmpty())
                faults << QStringLiteral("line %1: should be empty").arg(first + level);
            continue;
        }
        if (!plain.match(text).hasMatch()) {
            faults
                << QStringLiteral("line %1: \"%2\" is no plain level").arg(first + level).arg(text);
            continue;
        }
        // The pivot panel drops the point, so every level must carry the price's decimals.
        if (decimalsOf(text) != priceDecimals)
            faults << QStringLiteral("line %1: %2 decimals, the price has %3")
                          .arg(first + level)
                          .arg(decimalsOf(text))
                          .arg(priceDecimals);
        if (level > 0 && text.toDouble() < previous)
            faults << QStringLiteral("line %1: levels out of order").arg(first + level);
        previous = text.toDouble();
    }
}

} // namespace

QStringList programIndicatorStates()
{
    return {QStringLiteral("buy"),
            QStringLiteral("sell"),
            QStringLiteral("neutral"),
            QStringLiteral("oversold"),
            QStringLiteral("overbought"),
            QStringLiteral("less volatility"),
            QStringLiteral("high volatility")};
}

QString recordField(const QString &record, int line, int field)
{
    return Record(record).field(line, field);
}

QStringList recordFaults(const QString &text, int complete)
{
    QStringList faults;
    const Record record(text);
    if (record.lineCount() < 261) {
        faults << QStringLiteral("%1 lines, fewer than 261").arg(record.lineCount());
        return faults;
    }
    for (int t = 0; t < 7; ++t)
        checkBlock(record, t, complete & (1 << t), faults);

    static const QRegularExpression price(QStringLiteral("^\\d{1,3}(,\\d{3})*(\\.\\d+)?$"));
    const QString priceLine = record.line(kPriceLine);
    if (complete != 0) {
        if (!price.match(priceLine).hasMatch())
            faults << QStringLiteral("line 203: \"%1\" is no price").arg(priceLine);
        if (QString(priceLine).remove(QLatin1Char(',')).section(QLatin1Char('.'), 0, 0).size() >=
                4 &&
            !priceLine.contains(QLatin1Char(',')))
            faults
                << QStringLiteral("line 203: \"%1\" lacks the thousands separator").arg(priceLine);
    }
    for (int t = 0; t < 7; ++t)
        checkPivots(record, t, complete & (1 << t), decimalsOf(priceLine), faults);
    return faults;
}
