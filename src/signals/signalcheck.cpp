#include "signals/signalcheck.h"

#include "market/indicatorgrid.h"

namespace {

using namespace signalconfig;

const QString kStrongBuy = QStringLiteral("STRONG BUY");
const QString kBuy = QStringLiteral("BUY");
const QString kNeutral = QStringLiteral("Neutral");
const QString kSell = QStringLiteral("SELL");
const QString kStrongSell = QStringLiteral("STRONG SELL");
const QString kIdle = QStringLiteral("0");

SummaryRows::Row rowOf(const IndicatorGrid &grid, int row)
{
    SummaryRows::Row cells;
    for (int timeframe = 0; timeframe < kTimeframeCount; ++timeframe)
        cells[timeframe] = grid.text(row, timeframe + 1);
    return cells;
}

// A basis that is neither of the three reads no verdicts at all, so its option cannot hold.
const SummaryRows::Row &rowFor(const SummaryRows &rows, int basis)
{
    static const SummaryRows::Row none;
    switch (basis) {
    case Overall:
        return rows.overall;
    case Indicators:
        return rows.indicators;
    case MovingAverages:
        return rows.movingAverages;
    default:
        return none;
    }
}

bool isIdle(const QString &slot)
{
    bool ok = false;
    const double value = slot.trimmed().toDouble(&ok);
    return ok && value == 0.0;
}

QString code(const char *letter, int number)
{
    return QLatin1String(letter) + QString::number(number);
}

class Evaluation final
{
public:
    Evaluation(const Config &config, MethodTicks methods, SignalMemory memory,
               const QString &signalName, const QTime &now)
        : m_config(config)
        , m_methods(methods)
        , m_memory(std::move(memory))
        , m_signalName(signalName)
        , m_now(now)
    {}

    void evaluate(const SummaryRows &rows)
    {
        for (Direction direction : {Buy, Sell}) {
            for (int option = 1; option <= kOptionCount; ++option) {
                // Neither raised nor released: a held code stays until the store is mended, so
                // a condition that held all along is not raised a second time.
                if (isUnusable(option, direction))
                    continue;
                const bool holds = matchCount(rows, option, direction) == kTimeframeCount;
                if (m_methods.method1)
                    applyMethod1(option, direction, holds);
                else if (direction == Sell && option < 3)
                    release(ownSlot(option), ownCode(option, direction), holds);
                if (m_methods.method2)
                    applyMethod2(option, direction, holds);
            }
        }
    }

    SignalCheck result() const { return {m_raised, m_memory}; }

private:
    int matchCount(const SummaryRows &rows, int option, Direction direction) const
    {
        const SummaryRows::Row &row = rowFor(rows, m_config.basis.at(option - 1));
        int count = 0;
        for (int timeframe = 0; timeframe < kTimeframeCount; ++timeframe) {
            if (satisfies(m_config.code(option, direction, timeframe), row[timeframe]))
                ++count;
        }
        return count;
    }

    bool isUnusable(int option, Direction direction) const
    {
        if (m_config.basis.at(option - 1) == kUnusable)
            return true;
        for (int timeframe = 0; timeframe < kTimeframeCount; ++timeframe) {
            if (m_config.code(option, direction, timeframe) == kUnusable)
                return true;
        }
        return false;
    }

    // A pair whose seven codes are all "Doesn't matter" is switched off.
    bool isIgnored(int option, Direction direction) const
    {
        for (int timeframe = 0; timeframe < kTimeframeCount; ++timeframe) {
            if (m_config.code(option, direction, timeframe) != DoesntMatter)
                return false;
        }
        return true;
    }

    QString &ownSlot(int option)
    {
        return option == 1 ? m_memory.tag : option == 2 ? m_memory.toolTipText : m_memory.caption;
    }

    static QString ownCode(int option, Direction direction)
    {
        return code(direction == Buy ? "B" : "S", option);
    }

    // Method 2 codes are 5, 6 and 7 for options 1, 2 and 3.
    static QString sharedCode(int option, Direction direction)
    {
        return code(direction == Buy ? "B" : "S", option + 4);
    }

    void raise(QString &slot, const QString &newCode, int option, Direction direction)
    {
        if (isIgnored(option, direction))
            return;
        m_raised.append({m_now,
                         QLatin1String(direction == Buy ? direction::kBuy : direction::kSell),
                         m_signalName, QString::number(option)});
        slot = newCode;
    }

    static void release(QString &slot, const QString &heldCode, bool holds)
    {
        if (!holds && slot == heldCode)
            slot = kIdle;
    }

    void applyMethod1(int option, Direction direction, bool holds)
    {
        QString &slot = ownSlot(option);
        const QString own = ownCode(option, direction);
        if (holds && isIdle(slot))
            raise(slot, own, option, direction);
        release(slot, own, holds);
    }

    // The shared slot is taken from idle or from the other two options of the same direction,
    // in the order each option checks them.
    void applyMethod2(int option, Direction direction, bool holds)
    {
        static constexpr int kHandOver[kOptionCount][2] = {{2, 3}, {1, 3}, {2, 1}};
        QString &slot = m_memory.caption;
        const QString own = sharedCode(option, direction);
        if (holds && isIdle(slot))
            raise(slot, own, option, direction);
        for (int from : kHandOver[option - 1]) {
            if (holds && slot == sharedCode(from, direction))
                raise(slot, own, option, direction);
        }
        release(slot, own, holds);
    }

    const Config &m_config;
    const MethodTicks m_methods;
    SignalMemory m_memory;
    const QString &m_signalName;
    const QTime m_now;
    QList<Signal> m_raised;
};

} // namespace

SummaryRows SummaryRows::of(const IndicatorGrid &grid)
{
    return {rowOf(grid, IndicatorGrid::kIndicatorSummaryRow),
            rowOf(grid, IndicatorGrid::kMovingAverageSummaryRow),
            rowOf(grid, IndicatorGrid::kOverallSummaryRow)};
}

bool satisfies(int code, const QString &verdict)
{
    switch (code) {
    case DoesntMatter:
        return true;
    case StrongBuy:
        return verdict == kStrongBuy;
    case BuyOnly:
        return verdict == kBuy;
    case StrongSell:
        return verdict == kStrongSell;
    case SellOnly:
        return verdict == kSell;
    case BuyOrStrongBuy:
        return verdict == kStrongBuy || verdict == kBuy;
    case SellOrStrongSell:
        return verdict == kStrongSell || verdict == kSell;
    case Neutral:
        return verdict == kNeutral;
    default:
        return false;
    }
}

SignalCheck checkSignal(const SummaryRows &rows, const Config &config, MethodTicks methods,
                        SignalMemory memory, const QString &signalName, const QTime &now)
{
    Evaluation evaluation(config, methods, std::move(memory), signalName, now);
    evaluation.evaluate(rows);
    return evaluation.result();
}
