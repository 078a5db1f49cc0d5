#include "signals/journaldatabase.h"
#include "signals/signaljournal.h"

#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

constexpr int kEurUsd = 14;
constexpr int kGold = 44;

const QDateTime kSignalTime(QDate(2024, 5, 14), QTime(10, 6, 12), QTimeZone::utc());

DeliveredSignal delivered(const QString &direction, const QString &instrument,
                          const QString &priceText, const QDateTime &time = kSignalTime)
{
    return {{time.toLocalTime().time(), direction, instrument, QStringLiteral("2")},
            time.toLocalTime(),
            2,
            priceText};
}

// "column=value" for each stored column asked for, NULL as "NULL".
QStringList stored(const QSqlDatabase &database, const QStringList &columns)
{
    QSqlQuery query(database);
    QStringList rows;
    if (!query.exec(QStringLiteral("SELECT %1 FROM signals ORDER BY id").arg(columns.join(','))))
        return {query.lastError().text()};
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < columns.size(); ++i)
            fields << (query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
        rows << fields.join(QLatin1Char(' '));
    }
    return rows;
}

} // namespace

class TestSignalJournal final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void deliveredSignalIsKeptAcrossReopening_data();
    void deliveredSignalIsKeptAcrossReopening();
    void outcomesComeFromTheFirstRecordAtOrAfterTheMoment_data();
    void outcomesComeFromTheFirstRecordAtOrAfterTheMoment();
    void awaitedOutcomesOutliveARestart();
    void signalsOlderThanAYearGoAtStartUp();
    void lockedFileLosesOnlyTheSignalBeingWritten();

private:
    void openJournal();
    QString path() const { return m_dir->filePath(QStringLiteral("q.ini.signals.sqlite")); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QDateTime m_now;
    std::unique_ptr<JournalDatabase> m_database;
    std::unique_ptr<SignalJournal> m_journal;
};

void TestSignalJournal::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_now = kSignalTime;
    openJournal();
}

void TestSignalJournal::cleanup()
{
    m_journal.reset();
    m_database.reset();
}

void TestSignalJournal::openJournal()
{
    m_journal.reset();
    m_database.reset();
    const Clock clock([this] { return m_now.toLocalTime(); });
    m_database = std::make_unique<JournalDatabase>(path(), clock);
    QVERIFY(m_database->open());
    m_journal = std::make_unique<SignalJournal>(*m_database, clock);
    m_journal->start();
}

void TestSignalJournal::deliveredSignalIsKeptAcrossReopening_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::addColumn<QString>("priceText");
    QTest::addColumn<QString>("row");
    // time_utc direction instrument option method price instrument_index decimals pip
    QTest::newRow("currency pair")
        << "EUR/USD"
        << "1.08512"
        << "2024-05-14T10:06:12Z SELL EUR/USD 2 2 1.08512 14 5 1e-04 NULL NULL NULL";
    QTest::newRow("yen pair") << "USD/JPY"
                              << "150.505"
                              << "2024-05-14T10:06:12Z SELL USD/JPY 2 2 150.505 24 3 0.01 NULL "
                                 "NULL NULL";
    QTest::newRow("thousands separator")
        << "Gold"
        << "2,301.50"
        << "2024-05-14T10:06:12Z SELL Gold 2 2 2301.5 44 2 NULL NULL NULL NULL";
    QTest::newRow("record without price")
        << "Gold"
        << ""
        << "2024-05-14T10:06:12Z SELL Gold 2 2 NULL 44 NULL NULL NULL NULL NULL";
    QTest::newRow("name the catalogue does not know")
        << "Oil, \"Urals\""
        << "71.20"
        << "2024-05-14T10:06:12Z SELL Oil, \"Urals\" 2 2 71.2 -1 2 NULL NULL NULL NULL";
}

void TestSignalJournal::deliveredSignalIsKeptAcrossReopening()
{
    QFETCH(QString, instrument);
    QFETCH(QString, priceText);
    QFETCH(QString, row);
    QSignalSpy changed(m_journal.get(), &SignalJournal::changed);
    m_journal->receive(delivered(QStringLiteral("SELL"), instrument, priceText));
    QCOMPARE(changed.size(), 1);

    openJournal();
    QCOMPARE(stored(m_database->database(),
                    {"time_utc", "direction", "instrument", "option", "method", "price",
                     "instrument_index", "decimals", "pip", "price_15m", "price_1h", "price_4h"}),
             QStringList{row});
}

void TestSignalJournal::outcomesComeFromTheFirstRecordAtOrAfterTheMoment_data()
{
    // Records as "seconds after the signal=price" for EUR/USD; the stored outcomes after them.
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QString>("outcomes");
    QTest::newRow("each moment from the first record at or after it")
        << QStringList{"300=1.1001",  "899=1.1002",   "900=1.1015",  "960=1.1016",
                       "3600=1.1060", "14400=1.1240", "14460=1.1241"}
        << "1.1015 1.106 1.124";
    QTest::newRow("a record five minutes late still counts")
        << QStringList{"1200=1.1020", "3900=1.1030", "14700=1.1040"} << "1.102 1.103 1.104";
    QTest::newRow("later than five minutes stays empty for good")
        << QStringList{"1201=1.1020", "3901=1.1030", "14701=1.1040"} << "NULL NULL NULL";
    QTest::newRow("instrument switched off for an hour")
        << QStringList{"900=1.1015", "7200=1.1080", "14400=1.1240"} << "1.1015 NULL 1.124";
    QTest::newRow("instrument switched off") << QStringList{} << "NULL NULL NULL";
}

void TestSignalJournal::outcomesComeFromTheFirstRecordAtOrAfterTheMoment()
{
    QFETCH(QStringList, records);
    QFETCH(QString, outcomes);
    m_journal->receive(delivered(QStringLiteral("BUY"), QStringLiteral("EUR/USD"), "1.10000"));
    m_journal->receive(delivered(QStringLiteral("BUY"), QStringLiteral("Gold"), "2300.00"));
    QCOMPARE(m_journal->awaitedCount(), 2);
    for (const QString &record : records) {
        m_now = kSignalTime.addSecs(record.section('=', 0, 0).toInt());
        m_journal->observePrice(kEurUsd, record.section('=', 1).toDouble());
    }
    // Gold is seen only at the end, after every moment has passed.
    m_now = kSignalTime.addSecs(5 * 3600);
    m_journal->observePrice(kGold, 2400);

    QCOMPARE(stored(m_database->database(), {"price_15m", "price_1h", "price_4h"}),
             (QStringList{outcomes, "NULL NULL NULL"}));
    QCOMPARE(m_journal->awaitedCount(), 0);
}

void TestSignalJournal::awaitedOutcomesOutliveARestart()
{
    m_journal->receive(delivered(QStringLiteral("SELL"), QStringLiteral("EUR/USD"), "1.10000"));
    m_journal->receive(delivered(QStringLiteral("BUY"), QStringLiteral("EUR/USD"), "1.09000",
                                 kSignalTime.addSecs(-10 * 60)));
    m_now = kSignalTime.addSecs(10 * 60);
    m_journal->observePrice(kEurUsd, 1.0950);

    // Closed for half an hour: the quarter-hour moment of the first signal passes unseen.
    m_now = kSignalTime.addSecs(40 * 60);
    openJournal();
    QCOMPARE(m_journal->awaitedCount(), 2);
    m_now = kSignalTime.addSecs(61 * 60);
    m_journal->observePrice(kEurUsd, 1.0990);

    QCOMPARE(stored(m_database->database(), {"direction", "price_15m", "price_1h", "price_4h"}),
             (QStringList{"SELL NULL 1.099 NULL", "BUY 1.095 NULL NULL"}));
}

void TestSignalJournal::signalsOlderThanAYearGoAtStartUp()
{
    for (const qint64 secondsAgo : {366LL * 86400, 365LL * 86400 + 1, 365LL * 86400 - 60, 0LL})
        m_journal->receive(delivered(QStringLiteral("BUY"), QStringLiteral("Gold"), "2300.00",
                                     kSignalTime.addSecs(-secondsAgo)));
    openJournal();
    QCOMPARE(stored(m_database->database(), {"time_utc"}),
             (QStringList{"2023-05-15T10:07:12Z", "2024-05-14T10:06:12Z"}));
}

void TestSignalJournal::lockedFileLosesOnlyTheSignalBeingWritten()
{
    QSignalSpy notices(m_database.get(), &JournalDatabase::noticeDue);
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "locker");
        other.setDatabaseName(path());
        QVERIFY(other.open());
        QSqlQuery lock(other);
        QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
        QVERIFY(lock.exec("DELETE FROM signals"));
        m_journal->receive(delivered(QStringLiteral("BUY"), QStringLiteral("Gold"), "2300.00"));
        QVERIFY(lock.exec("COMMIT"));
        other.close();
    }
    QSqlDatabase::removeDatabase("locker");
    QCOMPARE(notices.size(), 1);
    QCOMPARE(m_journal->awaitedCount(), 0);

    m_journal->receive(delivered(QStringLiteral("SELL"), QStringLiteral("Gold"), "2301.00"));
    QCOMPARE(stored(m_database->database(), {"direction", "price"}), QStringList{"SELL 2301"});
    QCOMPARE(notices.size(), 1);
}

QTEST_GUILESS_MAIN(TestSignalJournal)
#include "tst_signaljournal.moc"
