#include "app/settingskeys.h"
#include "market/indicatorgrid.h"
#include "signals/signalcheck.h"

#include <QTest>

namespace {

using namespace signalconfig;

enum Methods
{
    None,
    One,
    Two,
};

struct Step
{
    Methods methods;
    QString overall;
    QString expected; // e.g. "B1 B2 S3"
    QString indicators = {};
    QString movingAverages = {};
};

// "SB B N S SS" for the five verdicts, "-" for an empty cell, anything else as written.
SummaryRows::Row cells(const QString &text)
{
    SummaryRows::Row row;
    const QStringList tokens = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < tokens.size() && i < kTimeframeCount; ++i) {
        const QString &token = tokens.at(i);
        row[i] = token == QLatin1String("SB")   ? QStringLiteral("STRONG BUY")
                 : token == QLatin1String("B")  ? QStringLiteral("BUY")
                 : token == QLatin1String("N")  ? QStringLiteral("Neutral")
                 : token == QLatin1String("S")  ? QStringLiteral("SELL")
                 : token == QLatin1String("SS") ? QStringLiteral("STRONG SELL")
                 : token == QLatin1String("-")  ? QString()
                                                : token;
    }
    return row;
}

// "v1-m1buy=7,v2=1"; "v1-*buy=5" sets all seven timeframes.
Config configOf(const QString &overrides)
{
    Config config = defaults();
    for (const QString &item : overrides.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString key = item.section(QLatin1Char('='), 0, 0);
        const int value = item.section(QLatin1Char('='), 1).toInt();
        bool found = false;
        for (int option = 1; option <= kOptionCount; ++option) {
            if (key == basisKey(option)) {
                config.basis[option - 1] = value;
                found = true;
            }
            for (Direction direction : {Buy, Sell}) {
                for (int timeframe = 0; timeframe < kTimeframeCount; ++timeframe) {
                    const QString all = basisKey(option) + QStringLiteral("-*") +
                                        QLatin1String(direction == Buy ? settingskeys::kBuyKey
                                                                       : settingskeys::kSellKey);
                    if (key == conditionKey(option, direction, timeframe) || key == all) {
                        config.codes[option - 1][direction][timeframe] = value;
                        found = true;
                    }
                }
            }
        }
        if (!found)
            qFatal("unknown key %s", qPrintable(key));
    }
    return config;
}

const QStringList kVerdicts{"STRONG BUY", "BUY",     "Neutral",    "SELL",    "STRONG SELL",
                            "",           "garbage", "Strong Buy", "NEUTRAL", "buy"};

SignalMemory memoryOf(const QString &text)
{
    const QStringList slots = text.split(QLatin1Char('/'));
    return {slots.at(0), slots.at(1), slots.at(2)};
}

QString textOf(const SignalMemory &memory)
{
    return memory.tag + QLatin1Char('/') + memory.toolTipText + QLatin1Char('/') + memory.caption;
}

QString textOf(const QList<Signal> &raised)
{
    QStringList codes;
    for (const Signal &signal : raised)
        codes << signal.direction.left(1) + signal.option;
    return codes.join(QLatin1Char(' '));
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestSignalCheck final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void evaluations_data();
    void evaluations();
    void raisedSignalCarriesItsRecord();
    void conditionCodes_data();
    void conditionCodes();
    void rowsAreTakenFromTheGrid();
};

void TestSignalCheck::evaluations_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("memory");
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QString>("memoryAfter");

    const QString allStrongBuy = QStringLiteral("SB SB SB SB SB SB SB");

    QTest::newRow("defaults: strong M1-H1 raises option 1 only")
        << ""
        << "0/0/0" << QList<Step>{{One, "SB SB SB SB SB S S", "B1"}} << "B1/0/0";
    QTest::newRow("defaults: strong everywhere raises 1, 2, 3 in order")
        << ""
        << "0/0/0" << QList<Step>{{One, allStrongBuy, "B1 B2 B3"}} << "B1/B2/B3";
    QTest::newRow("defaults: sell side")
        << ""
        << "0/0/0" << QList<Step>{{One, "SS SS SS SS SS SS SS", "S1 S2 S3"}} << "S1/S2/S3";
    QTest::newRow("method 1: silent while holding, again after a break")
        << ""
        << "0/0/0"
        << QList<Step>{{One, allStrongBuy, "B1 B2 B3"},
                       {One, allStrongBuy, ""},
                       {One, "SB B SB SB SB SB SB", ""},
                       {One, allStrongBuy, "B1 B2 B3"}}
        << "B1/B2/B3";
    QTest::newRow("method 1: empty cells release held codes")
        << ""
        << "B1/B2/B3" << QList<Step>{{One, "- - - - - - -", ""}} << "0/0/0";
    QTest::newRow("method 2: all three holding re-raise at every evaluation")
        << ""
        << "0/0/0" << QList<Step>{{Two, allStrongBuy, "B1 B2 B3"}, {Two, allStrongBuy, "B1 B2 B3"}}
        << "0/0/B7";
    QTest::newRow("method 2: option 1 alone raises once")
        << ""
        << "0/0/0"
        << QList<Step>{{Two, "SB SB SB SB SB N SB", "B1"}, {Two, "SB SB SB SB SB N SB", ""}}
        << "0/0/B5";
    QTest::newRow("method 2: two options pass the slot between them")
        << ""
        << "0/0/0"
        << QList<Step>{{Two, "SB SB SB SB SB SB N", "B1 B2"},
                       {Two, "SB SB SB SB SB SB N", "B1 B2"},
                       {Two, "N N N N N N N", ""}}
        << "0/0/0";
    QTest::newRow("method 2: a held BUY code blocks the SELL pairs")
        << "v1-*sell=0,v1-m1sell=1"
        << "0/0/0" << QList<Step>{{Two, allStrongBuy, "B1 B2 B3"}, {Two, allStrongBuy, "B1 B2 B3"}}
        << "0/0/B7";
    QTest::newRow("method 2: a BUY code is released once BUY stops holding")
        << ""
        << "0/0/B7" << QList<Step>{{Two, "SS SS SS SS SS SS SS", "S1 S2 S3"}} << "0/0/S7";
    QTest::newRow("ignored pair never raises")
        << "v1-*buy=0"
        << "0/0/0" << QList<Step>{{One, allStrongBuy, "B2 B3"}, {One, "N N N N N N N", ""}}
        << "0/0/0";
    QTest::newRow("ignored pair under method 2 does not take the slot")
        << "v1-*buy=0"
        << "0/0/0" << QList<Step>{{Two, allStrongBuy, "B2 B3"}} << "0/0/B7";
    QTest::newRow("code 5 takes BUY and STRONG BUY")
        << "v1-*buy=5"
        << "0/0/0" << QList<Step>{{One, "B SB B SB B SB B", "B1"}} << "B1/0/0";
    QTest::newRow("code 5 refuses Neutral")
        << "v1-*buy=5"
        << "0/0/0" << QList<Step>{{One, "B SB B SB B SB N", ""}} << "0/0/0";
    QTest::newRow("code 7 takes Neutral exactly")
        << "v1-*sell=7"
        << "0/0/0" << QList<Step>{{One, "N N N N N N NEUTRAL", ""}, {One, "N N N N N N N", "S1"}}
        << "S1/0/0";
    QTest::newRow("BUY condition configured as Sell raises BUY")
        << "v1-*buy=4"
        << "0/0/0" << QList<Step>{{One, "S S S S S S S", "B1"}} << "B1/0/0";
    QTest::newRow("BUY takes Tag first, SELL follows once BUY stops")
        << "v1-*sell=0,v1-m1sell=1"
        << "0/0/0"
        << QList<Step>{{One, allStrongBuy, "B1 B2 B3"},
                       {One, allStrongBuy, ""},
                       {One, "SB B SB SB SB SB SB", "S1"}}
        << "S1/0/0";
    QTest::newRow("method switch with B3 held")
        << ""
        << "0/0/0" << QList<Step>{{One, allStrongBuy, "B1 B2 B3"},  {Two, allStrongBuy, ""},
                                  {Two, allStrongBuy, ""},          {One, allStrongBuy, ""},
                                  {One, "SB SB SB SB SB SB N", ""}, {Two, allStrongBuy, "B1 B2 B3"}}
        << "B1/B2/B7";
    QTest::newRow("method 2 code in Caption blocks option 3 under method 1")
        << ""
        << "0/0/B5" << QList<Step>{{One, allStrongBuy, "B1 B2"}, {One, "N N N N N N N", ""}}
        << "0/0/B5";
    QTest::newRow("SELL codes of options 1 and 2 are released under method 2")
        << ""
        << "S1/S2/S3" << QList<Step>{{Two, "N N N N N N N", ""}} << "0/0/S3";
    QTest::newRow("BUY codes are kept under method 2")
        << ""
        << "B1/B2/0" << QList<Step>{{Two, "N N N N N N N", ""}} << "B1/B2/0";
    QTest::newRow("neither method ticked")
        << ""
        << "0/0/0" << QList<Step>{{None, allStrongBuy, ""}} << "0/0/0";
    QTest::newRow("basis 1 reads the indicator summary")
        << "v1=1"
        << "0/0/0" << QList<Step>{{One, "N N N N N N N", "B1", "SB SB SB SB SB N N"}} << "B1/0/0";
    QTest::newRow("basis 2 reads the moving-average summary")
        << "v2=2,v3=2"
        << "0/0/0" << QList<Step>{{One, "N N N N N N N", "B2 B3", allStrongBuy, allStrongBuy}}
        << "0/B2/B3";
    QTest::newRow("unusable condition code switches its pair off")
        << QString("v1-m1buy=%1").arg(kUnusable) << "0/0/0"
        << QList<Step>{{One, allStrongBuy, "B2 B3"}} << "0/B2/B3";
    QTest::newRow("unusable condition code keeps the held code of its pair")
        << QString("v1-m1buy=%1").arg(kUnusable) << "B1/B2/B3"
        << QList<Step>{{One, "N N N N N N N", ""}, {One, allStrongBuy, "B2 B3"}} << "B1/B2/B3";
    QTest::newRow("unusable basis keeps the held code of its option")
        << QString("v3=%1").arg(kUnusable) << "S1/0/S3"
        << QList<Step>{{One, "N N N N N N N", ""}, {One, "SS SS SS SS SS SS SS", "S1 S2"}}
        << "S1/S2/S3";
    QTest::newRow("unusable code under method 2 leaves the shared slot alone")
        << QString("v1-d1buy=%1").arg(kUnusable) << "0/0/B5"
        << QList<Step>{{Two, "N N N N N N N", ""}} << "0/0/B5";
    QTest::newRow("unusable SELL code keeps its code under method 2")
        << QString("v2-h4sell=%1").arg(kUnusable) << "S1/S2/0"
        << QList<Step>{{Two, "N N N N N N N", ""}} << "0/S2/0";
    QTest::newRow("condition code outside the list is never satisfied")
        << "v2-d1buy=9"
        << "0/0/0" << QList<Step>{{One, allStrongBuy, "B1 B3"}} << "B1/0/B3";
    QTest::newRow("unusable basis reads no verdicts")
        << QString("v2=%1,v3=5").arg(kUnusable) << "0/0/0"
        << QList<Step>{{One, allStrongBuy, "B1", allStrongBuy, allStrongBuy}} << "B1/0/0";
}

void TestSignalCheck::evaluations()
{
    QFETCH(QString, config);
    QFETCH(QString, memory);
    QFETCH(QList<Step>, steps);
    QFETCH(QString, memoryAfter);

    const Config rules = configOf(config);
    SignalMemory held = memoryOf(memory);
    for (int i = 0; i < steps.size(); ++i) {
        const Step &step = steps.at(i);
        const SummaryRows rows{cells(step.indicators), cells(step.movingAverages),
                               cells(step.overall)};
        const MethodTicks methods{step.methods == One, step.methods == Two};
        const SignalCheck check =
            checkSignal(rows, rules, methods, held, QStringLiteral("EUR/USD"), QTime(10, 0));
        QVERIFY2(
            textOf(check.raised) == step.expected,
            qPrintable(
                QStringLiteral("step %1: raised \"%2\"").arg(i + 1).arg(textOf(check.raised))));
        held = check.memory;
    }
    QCOMPARE(textOf(held), memoryAfter);
}

void TestSignalCheck::raisedSignalCarriesItsRecord()
{
    SummaryRows rows;
    rows.overall = cells("SS SS SS SS SS SS SS");
    const SignalCheck check =
        checkSignal(rows, defaults(), {}, {}, QStringLiteral("Gold"), QTime(14, 5, 9));
    QCOMPARE(check.raised.size(), 3);
    QCOMPARE(check.raised.first(), (Signal{QTime(14, 5, 9), QStringLiteral("SELL"),
                                           QStringLiteral("Gold"), QStringLiteral("1")}));
    QCOMPARE(check.raised.first().text(), QStringLiteral("SELL Gold"));
}

void TestSignalCheck::conditionCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("satisfiedBy");
    QTest::newRow("doesn't matter") << 0 << kVerdicts;
    QTest::newRow("strong buy") << 1 << QStringList{"STRONG BUY"};
    QTest::newRow("buy") << 2 << QStringList{"BUY"};
    QTest::newRow("strong sell") << 3 << QStringList{"STRONG SELL"};
    QTest::newRow("sell") << 4 << QStringList{"SELL"};
    QTest::newRow("buy & strong buy") << 5 << QStringList{"STRONG BUY", "BUY"};
    QTest::newRow("sell & strong sell") << 6 << QStringList{"STRONG SELL", "SELL"};
    QTest::newRow("neutral") << 7 << QStringList{"Neutral"};
    QTest::newRow("outside the list") << 8 << QStringList{};
    QTest::newRow("unusable") << kUnusable << QStringList{};
}

void TestSignalCheck::conditionCodes()
{
    QFETCH(int, code);
    QFETCH(QStringList, satisfiedBy);
    for (const QString &verdict : kVerdicts)
        QVERIFY2(satisfies(code, verdict) == satisfiedBy.contains(verdict), qPrintable(verdict));
}

void TestSignalCheck::rowsAreTakenFromTheGrid()
{
    IndicatorGrid grid;
    for (int column = 1; column <= kTimeframeCount; ++column) {
        grid.cell(IndicatorGrid::kIndicatorSummaryRow, column).text = QString("i%1").arg(column);
        grid.cell(IndicatorGrid::kMovingAverageSummaryRow, column).text =
            QString("m%1").arg(column);
        grid.cell(IndicatorGrid::kOverallSummaryRow, column).text = QString("o%1").arg(column);
    }
    grid.cell(IndicatorGrid::kOverallSummaryRow, 0).text = QStringLiteral("not a timeframe");
    const SummaryRows rows = SummaryRows::of(grid);
    QCOMPARE(rows.indicators.front(), QStringLiteral("i1"));
    QCOMPARE(rows.movingAverages.back(), QStringLiteral("m7"));
    QCOMPARE(rows.overall.front(), QStringLiteral("o1"));
    QCOMPARE(rows.overall.back(), QStringLiteral("o7"));
}

QTEST_GUILESS_MAIN(TestSignalCheck)
#include "tst_signalcheck.moc"
