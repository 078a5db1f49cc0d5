#include "news/calendar.h"
#include "news/newsdate.h"

#include <QTest>
#include <QTimeZone>

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

QDateTime utc(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
}

QString line(const QString &when, const QString &importance, const QString &event)
{
    return when + QStringLiteral(";USD;") + importance + QStringLiteral(";") + event;
}

QStringList events(const QList<calendar::Row> &rows)
{
    QStringList names;
    for (const calendar::Row &row : rows)
        names << row.event;
    return names;
}

// "P" for a past event, "C" for one to come.
QList<calendar::Row> rowsOf(const QString &pattern)
{
    QList<calendar::Row> rows;
    for (QChar mark : pattern) {
        calendar::Row row;
        row.past = mark == QLatin1Char('P');
        rows << row;
    }
    return rows;
}

} // namespace

class TestCalendar final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void selectorEntries();
    void eventsAreShownInTheChosenZone_data();
    void eventsAreShownInTheChosenZone();
    void monthNamesFollowTheLocale();
    void importanceFilter_data();
    void importanceFilter();
    void pastIsDecidedByTheMinute_data();
    void pastIsDecidedByTheMinute();
    void yearNearestToThePresent_data();
    void yearNearestToThePresent();
    void linesWithoutAnEventAreLeftOut();
    void scrollTargets_data();
    void scrollTargets();
};

void TestCalendar::selectorEntries()
{
    const QStringList zones = calendar::zoneEntries();
    QCOMPARE(zones.size(), 25);
    QCOMPARE(zones.at(0), QStringLiteral("GMT -12"));
    QCOMPARE(zones.at(11), QStringLiteral("GMT -1"));
    QCOMPARE(zones.at(12), QStringLiteral("GMT 0"));
    QCOMPARE(zones.at(13), QStringLiteral("GMT +1"));
    QCOMPARE(zones.at(calendar::kDefaultZone), QStringLiteral("GMT +3"));
    QCOMPARE(zones.at(24), QStringLiteral("GMT +12"));
    QCOMPARE(calendar::importanceEntries(),
             QStringList({"All", "High Volatility Expected", "Moderate Volatility Expected",
                          "Low Volatility Expected"}));
    QCOMPARE(calendar::kDefaultImportance, 1);
}

void TestCalendar::eventsAreShownInTheChosenZone_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QString>("shown");
    QTest::newRow("GMT +3") << "Jan, 12 14:30" << 15 << "12 Jan 17:30";
    QTest::newRow("into the next day") << "Jan, 12 23:30" << 15 << "13 Jan 02:30";
    QTest::newRow("into the day before") << "Jan, 12 05:00" << 0 << "11 Jan 17:00";
    QTest::newRow("GMT 0") << "Jan, 12 09:05" << 12 << "12 Jan 09:05";
    QTest::newRow("GMT +12 into the next month") << "Jan, 31 18:00" << 24 << "1 Feb 06:00";
    QTest::newRow("leap day") << "Feb, 29 22:00" << 15 << "1 Mar 01:00";
    QTest::newRow("Russian token") << "Янв, 12 14:30" << 15 << "12 Jan 17:30";
    QTest::newRow("second Russian May") << "Мая, 9 10:00" << 12 << "9 May 10:00";
    QTest::newRow("long June") << "June, 3 08:15" << 12 << "3 Jun 08:15";
    QTest::newRow("long September") << "Sept, 1 00:00" << 12 << "1 Sep 00:00";
    QTest::newRow("hour without leading zero") << "Dec, 5 9:00" << 12 << "5 Dec 09:00";
}

void TestCalendar::eventsAreShownInTheChosenZone()
{
    QFETCH(QString, field);
    QFETCH(int, zone);
    QFETCH(QString, shown);
    const QString text = line(field, QStringLiteral("High Volatility Expected"), "CPI");
    const QList<calendar::Row> rows =
        calendar::build(text, {zone, 0}, utc(2024, 1, 10, 12, 0), kEnglish);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().when, shown);
    QCOMPARE(rows.first().country, QStringLiteral("USD"));
    QCOMPARE(rows.first().event, QStringLiteral("CPI"));
}

void TestCalendar::monthNamesFollowTheLocale()
{
    const QString text = line("Jan, 12 14:30", "High Volatility Expected", "CPI");
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QList<calendar::Row> rows =
        calendar::build(text, {15, 1}, utc(2024, 1, 10, 12, 0), russian);
    QCOMPARE(rows.first().when, QStringLiteral("12 янв. 17:30"));
}

void TestCalendar::importanceFilter_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("All") << 0 << QStringList{"high", "moderate", "low", "unknown"};
    QTest::newRow("High") << 1 << QStringList{"high"};
    QTest::newRow("Moderate") << 2 << QStringList{"moderate"};
    QTest::newRow("Low") << 3 << QStringList{"low"};
}

void TestCalendar::importanceFilter()
{
    QFETCH(int, filter);
    QFETCH(QStringList, shown);
    const QString text =
        QStringList{line("Jan, 12 10:00", "High Volatility Expected", "high"),
                    line("Jan, 12 11:00", "Moderate Volatility Expected", "moderate"),
                    line("Jan, 12 12:00", "Low Volatility Expected", "low"),
                    line("Jan, 12 13:00", "Holiday", "unknown")}
            .join(QLatin1Char('\n'));
    const QList<calendar::Row> rows =
        calendar::build(text, {15, filter}, utc(2024, 1, 10, 12, 0), kEnglish);
    QCOMPARE(events(rows), shown);
    const QList<calendar::Importance> expected{
        calendar::Importance::High, calendar::Importance::Moderate, calendar::Importance::Low,
        calendar::Importance::None};
    for (const calendar::Row &row : rows)
        QCOMPARE(
            row.importance,
            expected.at(QStringList({"high", "moderate", "low", "unknown"}).indexOf(row.event)));
}

void TestCalendar::pastIsDecidedByTheMinute_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("past");
    QTest::newRow("a minute before") << utc(2024, 1, 12, 14, 29, 59) << false;
    QTest::newRow("its own minute") << utc(2024, 1, 12, 14, 30) << false;
    QTest::newRow("end of its minute") << utc(2024, 1, 12, 14, 30, 59) << false;
    QTest::newRow("the next minute") << utc(2024, 1, 12, 14, 31) << true;
    QTest::newRow("a day later") << utc(2024, 1, 13, 14, 30) << true;
    // The same moments on a clock three hours ahead of GMT.
    QTest::newRow("own minute, Moscow clock")
        << QDateTime(QDate(2024, 1, 12), QTime(17, 30), QTimeZone(3 * 3600)) << false;
    QTest::newRow("next minute, Moscow clock")
        << QDateTime(QDate(2024, 1, 12), QTime(17, 31), QTimeZone(3 * 3600)) << true;
}

void TestCalendar::pastIsDecidedByTheMinute()
{
    QFETCH(QDateTime, now);
    QFETCH(bool, past);
    const QString text = line("Jan, 12 14:30", "High Volatility Expected", "CPI");
    // Whatever zone the list is shown in, the moment of the event is the same.
    for (int zone : {0, 12, 15, 24}) {
        const QList<calendar::Row> rows = calendar::build(text, {zone, 1}, now, kEnglish);
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().past, past);
    }
}

void TestCalendar::yearNearestToThePresent_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QDateTime>("moment");
    QTest::newRow("late December seen in early January")
        << utc(2025, 1, 2, 10, 0) << "Dec, 30 12:00" << utc(2024, 12, 30, 12, 0);
    QTest::newRow("early January seen in late December")
        << utc(2024, 12, 30, 10, 0) << "Jan, 2 09:00" << utc(2025, 1, 2, 9, 0);
    QTest::newRow("the same week in summer")
        << utc(2024, 7, 10, 10, 0) << "Jul, 12 08:30" << utc(2024, 7, 12, 8, 30);
    QTest::newRow("leap day only in a leap year")
        << utc(2025, 1, 10, 10, 0) << "Feb, 29 10:00" << utc(2024, 2, 29, 10, 0);
}

void TestCalendar::yearNearestToThePresent()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, field);
    QFETCH(QDateTime, moment);
    QCOMPARE(newsdate::parse(field, now), std::optional<QDateTime>(moment));
    const QList<calendar::Row> rows =
        calendar::build(line(field, "High Volatility Expected", "CPI"), {12, 1}, now, kEnglish);
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().past, moment < now);
}

void TestCalendar::linesWithoutAnEventAreLeftOut()
{
    const QString text =
        QStringList{QString(),
                    QStringLiteral("Jan, 12 14:30;USD;High Volatility Expected"),
                    line("Foo, 12 14:30", "High Volatility Expected", "unknown month"),
                    line("jan, 12 14:30", "High Volatility Expected", "lower-case month"),
                    line("Jan 12 14:30", "High Volatility Expected", "no comma"),
                    line("Jan, 32 14:30", "High Volatility Expected", "no such day"),
                    line("Feb, 30 14:30", "High Volatility Expected", "no such day in February"),
                    line("Jan, 12 25:00", "High Volatility Expected", "no such hour"),
                    line("Jan, 12", "High Volatility Expected", "no time"),
                    line("Jan, 12 14:30", "High Volatility Expected", "kept") +
                        QStringLiteral(";extra field"),
                    QString()}
            .join(QLatin1Char('\n'));
    const QList<calendar::Row> rows =
        calendar::build(text, {15, 0}, utc(2024, 1, 10, 12, 0), kEnglish);
    QCOMPARE(events(rows), QStringList{"kept"});
    QVERIFY(calendar::build(QString(), {15, 0}, utc(2024, 1, 10, 12, 0), kEnglish).isEmpty());
}

void TestCalendar::scrollTargets_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("lastPast");    // -1: none
    QTest::addColumn<int>("aboveComing"); // -1: none
    QTest::newRow("past, then coming") << "PPPCC" << 2 << 2;
    QTest::newRow("all to come") << "CCC" << -1 << 0;
    QTest::newRow("one past") << "PCC" << 0 << 0;
    QTest::newRow("all past") << "PPP" << 2 << -1;
    QTest::newRow("empty") << "" << -1 << -1;
    QTest::newRow("out of order") << "PCPC" << 2 << 0;
}

void TestCalendar::scrollTargets()
{
    QFETCH(QString, pattern);
    QFETCH(int, lastPast);
    QFETCH(int, aboveComing);
    const QList<calendar::Row> rows = rowsOf(pattern);
    QCOMPARE(calendar::lastPastRow(rows).value_or(-1), lastPast);
    QCOMPARE(calendar::rowAboveFirstComing(rows).value_or(-1), aboveComing);
}

QTEST_GUILESS_MAIN(TestCalendar)
#include "tst_calendar.moc"
