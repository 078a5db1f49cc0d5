#include "journalfixture.h"
#include "signals/journalcsv.h"
#include "signals/journaldatabase.h"
#include "signals/journalreader.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <ctime>

namespace {

QString described(const OutcomeSummary &summary)
{
    QString text = QStringLiteral("%1 %2 %3")
                       .arg(summary.signals)
                       .arg(summary.withOutcome)
                       .arg(summary.wentTheirWay);
    if (summary.meanMove)
        text += QStringLiteral(" %1 %2").arg(
            QString::number(summary.meanMove->value, 'f', 4),
            summary.meanMove->unit == signalmoves::Unit::Pips ? "pips" : "%");
    return text;
}

JournalFilter filterOf(const QString &instrument, int option = 0, const QString &direction = {},
                       QDate from = {}, QDate to = {})
{
    JournalFilter filter;
    filter.instrument = instrument;
    filter.option = option;
    filter.direction = direction;
    filter.from = from;
    filter.to = to;
    return filter;
}

} // namespace

class TestJournalReader final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void filtersChooseTheRowsNewestFirst_data();
    void filtersChooseTheRowsNewestFirst();
    void rowsComeInPages();
    void summaryOfTheHourAfter_data();
    void summaryOfTheHourAfter();
    void csvHoldsTheFilteredRows();
    void csvThatCannotBeWrittenLeavesNothing();
    void journalOffReadsNothing();

private:
    QString ids(const QList<JournalRow> &rows) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<JournalDatabase> m_database;
    std::unique_ptr<JournalReader> m_reader;
};

void TestJournalReader::initTestCase()
{
    // Local time is three hours ahead of UTC all year.
    qputenv("TZ", "XYZ-3");
    tzset();
}

void TestJournalReader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_database =
        std::make_unique<JournalDatabase>(m_dir->filePath("q.ini.signals.sqlite"), Clock());
    QVERIFY(m_database->open());
    m_reader = std::make_unique<JournalReader>(*m_database);
    QVERIFY(journalfixture::addSamples(m_database->database()));
}

void TestJournalReader::cleanup()
{
    m_reader.reset();
    m_database.reset();
}

QString TestJournalReader::ids(const QList<JournalRow> &rows) const
{
    QStringList ids;
    for (const JournalRow &row : rows)
        ids << QString::number(row.id);
    return ids.join(' ');
}

void TestJournalReader::filtersChooseTheRowsNewestFirst_data()
{
    QTest::addColumn<JournalFilter>("filter");
    QTest::addColumn<QString>("ids");
    QTest::newRow("everything") << JournalFilter{} << "6 5 4 3 2 1";
    QTest::newRow("instrument") << filterOf("EUR/USD") << "2 1";
    QTest::newRow("option") << filterOf({}, 1) << "5 3 1";
    QTest::newRow("direction") << filterOf({}, 0, "SELL") << "6 4 2";
    // Row 2 was delivered at 00:30 local time on the 14th, row 1 at 23:30 on the 13th.
    QTest::newRow("from a local day") << filterOf({}, 0, {}, QDate(2024, 5, 14)) << "6 5 4 3 2";
    QTest::newRow("up to a local day") << filterOf({}, 0, {}, {}, QDate(2024, 5, 13)) << "1";
    QTest::newRow("one local day")
        << filterOf({}, 0, {}, QDate(2024, 5, 14), QDate(2024, 5, 14)) << "5 4 3 2";
    QTest::newRow("all at once") << JournalFilter{"EUR/USD", 2, "SELL", QDate(2024, 5, 14),
                                                  QDate(2024, 5, 14)}
                                 << "2";
    QTest::newRow("nothing matches") << filterOf("Gold", 2) << "";
}

void TestJournalReader::filtersChooseTheRowsNewestFirst()
{
    QFETCH(JournalFilter, filter);
    QFETCH(QString, ids);
    const QList<JournalRow> rows = m_reader->rows(filter, 0, 100);
    QCOMPARE(this->ids(rows), ids);
    QCOMPARE(m_reader->count(filter), rows.size());
    for (int position = 0; position < rows.size(); ++position)
        QCOMPARE(m_reader->positionOf(filter, rows.at(position).id), position);
    if (!filter.instrument.isEmpty())
        QCOMPARE(m_reader->positionOf(filter, 4), -1); // a Gold SELL
}

void TestJournalReader::rowsComeInPages()
{
    QCOMPARE(ids(m_reader->rows({}, 0, 4)), "6 5 4 3");
    QCOMPARE(ids(m_reader->rows({}, 4, 4)), "2 1");
    const JournalRow first = m_reader->rows({}, 5, 1).constFirst();
    QCOMPARE(first.time, QDateTime(QDate(2024, 5, 13), QTime(20, 30), QTimeZone::utc()));
    QCOMPARE(first.direction, "BUY");
    QCOMPARE(first.instrument, "EUR/USD");
    QCOMPARE(first.option, 1);
    QCOMPARE(first.method, 1);
    QCOMPARE(first.instrumentIndex, 14);
    QCOMPARE(first.decimals, 5);
    QCOMPARE(first.price, 1.1);
    QCOMPARE(first.later, (std::array<std::optional<double>, 3>{1.1005, 1.101, 1.099}));
    QCOMPARE(first.pip, 0.0001);
    QCOMPARE(signalmoves::moveText(*first.move(0)), "+5.0 pips");
    QCOMPARE(signalmoves::moveText(*first.move(2)), "-10.0 pips");
}

void TestJournalReader::summaryOfTheHourAfter_data()
{
    QTest::addColumn<JournalFilter>("filter");
    QTest::addColumn<QStringList>("summaries"); // all, options 1, 2, 3
    // Moves after an hour: +10 pips (+0.0909 %), -20 pips (-0.1818 %), +0.5 %, +0.5 %, none, 0.
    QTest::newRow("mixed instruments in percent")
        << JournalFilter{}
        << QStringList{"6 5 3 0.1818 %", "3 2 2 0.2955 %", "2 2 0 -0.0909 %", "1 1 1 0.5000 %"};
    QTest::newRow("currency pairs in pips")
        << filterOf("EUR/USD")
        << QStringList{"2 2 1 -5.0000 pips", "1 1 1 10.0000 pips", "1 1 0 -20.0000 pips", "0 0 0"};
    QTest::newRow("no outcome yet")
        << filterOf("USD/JPY") << QStringList{"1 0 0", "1 0 0", "0 0 0", "0 0 0"};
}

void TestJournalReader::summaryOfTheHourAfter()
{
    QFETCH(JournalFilter, filter);
    QFETCH(QStringList, summaries);
    const auto describedAll = [](const JournalSummary &summary) {
        return QStringList{described(summary.all), described(summary.options[0]),
                           described(summary.options[1]), described(summary.options[2])};
    };
    QCOMPARE(describedAll(m_reader->summary(filter)), summaries);
    // Summed a part at a time, the journal gives the same figures.
    const qint64 bounds[] = {0, 2, 3, 5, 6, 100};
    JournalTotals parts;
    for (std::size_t i = 0; i + 1 < std::size(bounds); ++i)
        parts.add(m_reader->totals(filter, bounds[i], bounds[i + 1]));
    QCOMPARE(describedAll(parts.summary()), summaries);
}

void TestJournalReader::csvHoldsTheFilteredRows()
{
    const QString path = m_dir->filePath("journal.csv");
    QCOMPARE(journalcsv::exportRows(*m_reader, filterOf({}, 2), path), QString());
    QCOMPARE(
        contentOf(path),
        QByteArray("\xEF\xBB\xBF"
                   "id,time_utc,time_local,direction,instrument,option,method,price,"
                   "price_15m,price_1h,price_4h,move_15m,move_1h,move_4h,move_unit\r\n"
                   "6,2024-05-15T10:00:00Z,2024-05-15 13:00:00,SELL,\"Oil, \"\"Urals\"\"\",2,1,"
                   "71.20,,71.20,,,0.0000,,%\r\n"
                   "2,2024-05-13T21:30:00Z,2024-05-14 00:30:00,SELL,EUR/USD,2,1,1.10000,,"
                   "1.10200,,,-20.0,,pips\r\n"));
}

void TestJournalReader::csvThatCannotBeWrittenLeavesNothing()
{
    const QString path = m_dir->filePath("missing folder/journal.csv");
    QVERIFY(!journalcsv::exportRows(*m_reader, {}, path).isEmpty());
    QVERIFY(!QFile::exists(path));
}

void TestJournalReader::journalOffReadsNothing()
{
    JournalDatabase off(m_dir->filePath("a file") + "/q.ini.signals.sqlite", Clock());
    QFile blocker(m_dir->filePath("a file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!off.open());
    const JournalReader reader(off);
    QCOMPARE(reader.count({}), 0);
    QVERIFY(reader.rows({}, 0, 10).isEmpty());
    QCOMPARE(described(reader.summary({}).all), "0 0 0");
    // An export of a journal that cannot be read fails and leaves no file of no rows.
    const QString path = m_dir->filePath("off.csv");
    QVERIFY(!journalcsv::exportRows(reader, {}, path).isEmpty());
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestJournalReader)
#include "tst_journalreader.moc"
