#include "market/verdicts.h"
#include "recordcheck.h"

#include <QTest>

// The state rules of the indicators and the vote rules of the summaries, as tables.
class TestServerVerdicts final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oscillators_data();
    void oscillators();
    void otherRules_data();
    void otherRules();
    void votesAndTexts();
    void summaries_data();
    void summaries();
    void combinedSummaries_data();
    void combinedSummaries();
};

Q_DECLARE_METATYPE(Verdict)
Q_DECLARE_METATYPE(Summary)

void TestServerVerdicts::oscillators_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("bands"); // 0 RSI, 1 Williams %R, 2 CCI
    QTest::addColumn<Verdict>("verdict");
    QTest::newRow("RSI above 70") << 70.001 << 0 << Verdict::Overbought;
    QTest::newRow("RSI at 70") << 70.0 << 0 << Verdict::Buy;
    QTest::newRow("RSI above the band") << 55.001 << 0 << Verdict::Buy;
    QTest::newRow("RSI at the band's top") << 55.0 << 0 << Verdict::Neutral;
    QTest::newRow("RSI at the band's foot") << 45.0 << 0 << Verdict::Neutral;
    QTest::newRow("RSI below the band") << 44.999 << 0 << Verdict::Sell;
    QTest::newRow("RSI at 30") << 30.0 << 0 << Verdict::Sell;
    QTest::newRow("RSI below 30") << 29.999 << 0 << Verdict::Oversold;
    QTest::newRow("Williams near the top") << -10.0 << 1 << Verdict::Overbought;
    QTest::newRow("Williams upper half") << -30.0 << 1 << Verdict::Buy;
    QTest::newRow("Williams middle") << -50.0 << 1 << Verdict::Neutral;
    QTest::newRow("Williams lower half") << -70.0 << 1 << Verdict::Sell;
    QTest::newRow("Williams near the bottom") << -90.0 << 1 << Verdict::Oversold;
    QTest::newRow("CCI far above") << 250.0 << 2 << Verdict::Overbought;
    QTest::newRow("CCI above") << 120.0 << 2 << Verdict::Buy;
    QTest::newRow("CCI near zero") << -40.0 << 2 << Verdict::Neutral;
    QTest::newRow("CCI below") << -120.0 << 2 << Verdict::Sell;
    QTest::newRow("CCI far below") << -201.0 << 2 << Verdict::Oversold;
}

void TestServerVerdicts::oscillators()
{
    QFETCH(double, value);
    QFETCH(int, bands);
    QFETCH(Verdict, verdict);
    const OscillatorBands table[] = {kRsiBands, kWilliamsBands, kCciBands};
    QCOMPARE(oscillatorVerdict(value, table[bands]), verdict);
}

void TestServerVerdicts::otherRules_data()
{
    QTest::addColumn<int>("rule");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("c");
    QTest::addColumn<Verdict>("verdict");
    // rule 0: signVerdict(a); 1: adxVerdict(a, b, c); 2: volatilityVerdict(a, b);
    // 3: averageVerdict(close a, average b); 4: crossingVerdict(a, signal b) with stochastic bands
    QTest::newRow("positive") << 0 << 0.0001 << 0.0 << 0.0 << Verdict::Buy;
    QTest::newRow("negative") << 0 << -2.0 << 0.0 << 0.0 << Verdict::Sell;
    QTest::newRow("zero") << 0 << 0.0 << 0.0 << 0.0 << Verdict::Neutral;
    QTest::newRow("weak trend") << 1 << 24.999 << 30.0 << 10.0 << Verdict::Neutral;
    QTest::newRow("trend up") << 1 << 25.0 << 30.0 << 10.0 << Verdict::Buy;
    QTest::newRow("trend down") << 1 << 40.0 << 12.0 << 31.0 << Verdict::Sell;
    QTest::newRow("trend without side") << 1 << 40.0 << 20.0 << 20.0 << Verdict::Neutral;
    QTest::newRow("rising volatility") << 2 << 1.2 << 1.0 << 0.0 << Verdict::HighVolatility;
    QTest::newRow("ordinary volatility") << 2 << 1.0 << 1.0 << 0.0 << Verdict::LessVolatility;
    QTest::newRow("close above the average") << 3 << 1.1 << 1.0 << 0.0 << Verdict::Buy;
    QTest::newRow("close below the average") << 3 << 0.9 << 1.0 << 0.0 << Verdict::Sell;
    QTest::newRow("close on the average") << 3 << 1.0 << 1.0 << 0.0 << Verdict::Neutral;
    QTest::newRow("%K above %D") << 4 << 60.0 << 50.0 << 0.0 << Verdict::Buy;
    QTest::newRow("%K below %D") << 4 << 40.0 << 50.0 << 0.0 << Verdict::Sell;
    QTest::newRow("%K above 80") << 4 << 85.0 << 90.0 << 0.0 << Verdict::Overbought;
    QTest::newRow("%K below 20") << 4 << 15.0 << 10.0 << 0.0 << Verdict::Oversold;
}

void TestServerVerdicts::otherRules()
{
    QFETCH(int, rule);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, c);
    QFETCH(Verdict, verdict);
    switch (rule) {
    case 0:
        QCOMPARE(signVerdict(a), verdict);
        break;
    case 1:
        QCOMPARE(adxVerdict(a, b, c), verdict);
        break;
    case 2:
        QCOMPARE(volatilityVerdict(a, b), verdict);
        break;
    case 3:
        QCOMPARE(averageVerdict(a, b), verdict);
        break;
    default:
        QCOMPARE(crossingVerdict(a, b, kStochasticBands), verdict);
        break;
    }
}

void TestServerVerdicts::votesAndTexts()
{
    // The program recognises these states after lowering them, and takes averages' actions as
    // written.
    const QStringList vocabulary = programIndicatorStates();
    const Verdict all[] = {Verdict::Buy,           Verdict::Sell,       Verdict::Neutral,
                           Verdict::Oversold,      Verdict::Overbought, Verdict::LessVolatility,
                           Verdict::HighVolatility};
    const int votes[] = {1, -1, 0, 0, 0, 0, 0};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(verdictText(all[i]).toLower(), vocabulary[i]);
        QCOMPARE(vote(all[i]), votes[i]);
    }
    QCOMPARE(verdictText(Verdict::Buy), QStringLiteral("Buy"));
    QCOMPARE(verdictText(Verdict::Sell), QStringLiteral("Sell"));
    QCOMPARE(summaryText(Summary::StrongBuy), QStringLiteral("Strong Buy"));
    QCOMPARE(summaryText(Summary::Buy), QStringLiteral("Buy"));
    QCOMPARE(summaryText(Summary::Neutral), QStringLiteral("Neutral"));
    QCOMPARE(summaryText(Summary::Sell), QStringLiteral("Sell"));
    QCOMPARE(summaryText(Summary::StrongSell), QStringLiteral("Strong Sell"));
}

void TestServerVerdicts::summaries_data()
{
    QTest::addColumn<int>("sum");
    QTest::addColumn<int>("count");
    QTest::addColumn<Summary>("summary");
    QTest::newRow("all sell") << -12 << 12 << Summary::StrongSell;
    QTest::newRow("-0.583") << -7 << 12 << Summary::StrongSell;
    QTest::newRow("-0.5 exactly") << -6 << 12 << Summary::Sell;
    QTest::newRow("-0.167") << -2 << 12 << Summary::Sell;
    QTest::newRow("-0.1 exactly") << -1 << 10 << Summary::Neutral;
    QTest::newRow("-0.083") << -1 << 12 << Summary::Neutral;
    QTest::newRow("zero") << 0 << 12 << Summary::Neutral;
    QTest::newRow("0.1 exactly") << 1 << 10 << Summary::Neutral;
    QTest::newRow("0.2") << 2 << 10 << Summary::Buy;
    QTest::newRow("0.5 exactly") << 5 << 10 << Summary::Buy;
    QTest::newRow("0.6") << 6 << 10 << Summary::StrongBuy;
    QTest::newRow("all buy") << 12 << 12 << Summary::StrongBuy;
}

void TestServerVerdicts::summaries()
{
    QFETCH(int, sum);
    QFETCH(int, count);
    QFETCH(Summary, summary);
    QCOMPARE(summaryOf(sum, count), summary);
}

void TestServerVerdicts::combinedSummaries_data()
{
    QTest::addColumn<int>("indicators");
    QTest::addColumn<int>("averages");
    QTest::addColumn<Summary>("summary");
    // Twelve votes each; the overall mean is (i/12 + a/12) / 2.
    QTest::newRow("0.5 and 1") << 6 << 12 << Summary::StrongBuy;    // 0.75
    QTest::newRow("0 and 1") << 0 << 12 << Summary::Buy;            // 0.5
    QTest::newRow("1/12 and 1") << 1 << 12 << Summary::StrongBuy;   // 0.542
    QTest::newRow("-0.25 and -0.333") << -3 << -4 << Summary::Sell; // -0.292
    QTest::newRow("1/12 and -1/12") << 1 << -1 << Summary::Neutral;
    QTest::newRow("-0.5 and -0.667") << -6 << -8 << Summary::StrongSell; // -0.583
}

void TestServerVerdicts::combinedSummaries()
{
    QFETCH(int, indicators);
    QFETCH(int, averages);
    QFETCH(Summary, summary);
    QCOMPARE(combinedSummary(indicators, 12, averages, 12), summary);
    QCOMPARE(combinedSummary(averages, 12, indicators, 12), summary);
}

QTEST_GUILESS_MAIN(TestServerVerdicts)
#include "tst_serververdicts.moc"
