#include "enforcedpermissions.h"
#include "signals/journaldatabase.h"
#include "signals/journalschema.h"
#include "testfiles.h"

#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const Clock kMay14([] { return QDateTime(QDate(2024, 5, 14), QTime(23, 50)); });

QVariant scalar(const QSqlDatabase &database, const QString &statement)
{
    QSqlQuery query(database);
    if (!query.exec(statement) || !query.next())
        return QStringLiteral("<failed: %1>").arg(query.lastError().text());
    return query.value(0);
}

bool exec(const QSqlDatabase &database, const QString &statement)
{
    QSqlQuery query(database);
    return query.exec(statement);
}

// A plain SQLite file of several pages, written through a connection of its own.
void writeDatabaseWithRows(const QString &path)
{
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "other");
        other.setDatabaseName(path);
        QVERIFY(other.open());
        QVERIFY(exec(other, "CREATE TABLE t (a TEXT)"));
        other.transaction();
        for (int i = 0; i < 2000; ++i)
            QVERIFY(exec(other, QStringLiteral("INSERT INTO t VALUES ('row %1 of many')").arg(i)));
        other.commit();
        other.close();
    }
    QSqlDatabase::removeDatabase("other");
}

QSqlError errorWithCode(int code)
{
    return QSqlError(QStringLiteral("driver"), QStringLiteral("database says no"),
                     QSqlError::StatementError, QString::number(code));
}

} // namespace

class TestJournalDatabase final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void pathLiesBesideTheSettingsFile_data();
    void pathLiesBesideTheSettingsFile();
    void newFileKeepsItsRowsAcrossReopening();
    void damagedFileIsMovedAsideAndReplaced_data();
    void damagedFileIsMovedAsideAndReplaced();
    void unwritableFolderTurnsTheJournalOff_data();
    void unwritableFolderTurnsTheJournalOff();
    void failedWritesAreToldOnce_data();
    void failedWritesAreToldOnce();
    void lockedFileFailsAtOnceAndJournalStaysOn();
    void newerSchemaIsLeftAsItIs();
    void firstVersionGainsTheQueueAndKeepsItsRows_data();
    void firstVersionGainsTheQueueAndKeepsItsRows();

private:
    QString journalPath() const { return m_dir->filePath(QStringLiteral("q.ini.signals.sqlite")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestJournalDatabase::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestJournalDatabase::pathLiesBesideTheSettingsFile_data()
{
    QStandardPaths::setTestModeEnabled(true);
    QTest::addColumn<QString>("settingsFile");
    QTest::addColumn<QString>("path");
    QTest::newRow("settings file") << "/tmp/demo/q.ini"
                                   << "/tmp/demo/q.ini.signals.sqlite";
    QTest::newRow("relative settings file") << "q.ini"
                                            << "q.ini.signals.sqlite";
    QTest::newRow("user's store") << QString()
                                  << QStandardPaths::writableLocation(
                                         QStandardPaths::AppDataLocation) +
                                         "/signals.sqlite";
}

void TestJournalDatabase::pathLiesBesideTheSettingsFile()
{
    QFETCH(QString, settingsFile);
    QFETCH(QString, path);
    QCOMPARE(JournalDatabase::pathFor(settingsFile), path);
}

void TestJournalDatabase::newFileKeepsItsRowsAcrossReopening()
{
    const QString path = m_dir->filePath(QStringLiteral("not yet/there/q.ini.signals.sqlite"));
    {
        JournalDatabase journal(path, kMay14);
        QSignalSpy notices(&journal, &JournalDatabase::noticeDue);
        QVERIFY(journal.open());
        QVERIFY(notices.isEmpty());
        QCOMPARE(scalar(journal.database(), "PRAGMA journal_mode").toString(), "wal");
        QCOMPARE(journal.schemaVersion(), journalschema::latestVersion());
        const QSqlRecord columns = journal.database().record(QStringLiteral("signals"));
        for (const char *name : {"id", "time_utc", "direction", "instrument", "option", "method",
                                 "price", "price_15m", "price_1h", "price_4h"})
            QVERIFY2(columns.contains(QLatin1String(name)), name);
        // The queue of remote sends is there before remote delivery takes the file.
        const QSqlRecord queue = journal.database().record(QStringLiteral("delivery_queue"));
        for (const char *name : {"signal_id", "target", "time_utc", "failures", "due_utc"})
            QVERIFY2(queue.contains(QLatin1String(name)), name);
        QVERIFY(
            exec(journal.database(),
                 "INSERT INTO signals (time_utc, direction, instrument, option, method, "
                 "instrument_index) VALUES ('2024-05-14T10:06:12Z', 'BUY', 'EUR/USD', 1, 1, 14)"));
    }
    JournalDatabase reopened(path, kMay14);
    QVERIFY(reopened.open());
    QCOMPARE(reopened.schemaVersion(), journalschema::latestVersion());
    QCOMPARE(scalar(reopened.database(), "SELECT instrument FROM signals").toString(), "EUR/USD");
}

void TestJournalDatabase::damagedFileIsMovedAsideAndReplaced_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("asideName");
    QTest::newRow("not a database") << "text"
                                    << "q.ini.signals.sqlite.corrupt-20240514";
    QTest::newRow("damaged page") << "page"
                                  << "q.ini.signals.sqlite.corrupt-20240514";
    QTest::newRow("second one that day") << "again"
                                         << "q.ini.signals.sqlite.corrupt-20240514-2";
}

void TestJournalDatabase::damagedFileIsMovedAsideAndReplaced()
{
    QFETCH(QString, damage);
    QFETCH(QString, asideName);
    const QString path = journalPath();
    if (damage == "page") {
        writeDatabaseWithRows(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.size() > 3 * 4096);
        file.seek(4096 + 16); // inside the second page, past the page header's first bytes
        file.write(QByteArray(4096, '\xA5'));
    } else {
        QVERIFY(writeFile(path, "This is not a database, only a page of text that took its name."));
    }
    if (damage == "again")
        QVERIFY(writeFile(path + ".corrupt-20240514", "damaged earlier that day"));
    const QByteArray damaged = contentOf(path);

    JournalDatabase journal(path, kMay14);
    QSignalSpy notices(&journal, &JournalDatabase::noticeDue);
    QVERIFY(journal.open());

    QCOMPARE(notices.size(), 1);
    QVERIFY(notices.first().first().toString().contains(asideName));
    const QString aside = m_dir->filePath(asideName);
    QCOMPARE(contentOf(aside), damaged);
    if (damage == "again")
        QCOMPARE(contentOf(path + ".corrupt-20240514"), QByteArray("damaged earlier that day"));
    QCOMPARE(scalar(journal.database(), "SELECT count(*) FROM signals").toInt(), 0);
    QCOMPARE(scalar(journal.database(), "PRAGMA quick_check").toString(), "ok");
}

void TestJournalDatabase::unwritableFolderTurnsTheJournalOff_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("fileThere");
    QTest::newRow("folder is a file") << "a file" << false << false;
    QTest::newRow("read-only folder") << "read-only" << true << false;
    // The write-ahead log cannot be made beside a journal kept from an earlier run.
    QTest::newRow("read-only folder with a journal") << "read-only" << true << true;
}

void TestJournalDatabase::unwritableFolderTurnsTheJournalOff()
{
    QFETCH(QString, folder);
    QFETCH(bool, readOnly);
    QFETCH(bool, fileThere);
    const QString folderPath = m_dir->filePath(folder);
    const QString path = folderPath + "/q.ini.signals.sqlite";
    if (readOnly) {
        QVERIFY(QDir().mkpath(folderPath));
        if (fileThere) {
            JournalDatabase earlier(path, kMay14);
            QVERIFY(earlier.open());
        }
        QVERIFY(QFile::setPermissions(folderPath, QFile::ReadOwner | QFile::ExeOwner));
    } else {
        QVERIFY(writeFile(folderPath, "a file where the folder should be"));
    }
    const auto writable = qScopeGuard([&folderPath] {
        QFile::setPermissions(folderPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    // The superuser, as CI runs, would write into the read-only folder all the same.
    const EnforcedPermissions enforced;
    QVERIFY(enforced.active());

    JournalDatabase journal(path, kMay14);
    QSignalSpy notices(&journal, &JournalDatabase::noticeDue);
    QVERIFY(!journal.open());

    QVERIFY(!journal.isOn());
    QVERIFY(!journal.database().isValid());
    QCOMPARE(notices.size(), 1);
    QVERIFY(notices.first().first().toString().contains(QDir::toNativeSeparators(path)));
    // Whatever fails later in the session is not told again.
    journal.writeFailed(errorWithCode(8));
    QVERIFY(!journal.open());
    QCOMPARE(notices.size(), 1);
}

void TestJournalDatabase::failedWritesAreToldOnce_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("staysOn");
    QTest::newRow("busy") << 5 << true;
    QTest::newRow("disk full") << 13 << true;
    QTest::newRow("read-only, extended code") << (8 | (1 << 8)) << false;
    QTest::newRow("input and output") << 10 << false;
}

void TestJournalDatabase::failedWritesAreToldOnce()
{
    QFETCH(int, code);
    QFETCH(bool, staysOn);
    JournalDatabase journal(journalPath(), kMay14);
    QVERIFY(journal.open());
    QSignalSpy notices(&journal, &JournalDatabase::noticeDue);
    QSignalSpy switchedOff(&journal, &JournalDatabase::switchedOff);
    // As the queue of remote sends holds it, taken once at start-up.
    const QSqlDatabase held = journal.database();

    journal.writeFailed(errorWithCode(code));
    journal.writeFailed(errorWithCode(code));

    QCOMPARE(journal.isOn(), staysOn);
    QCOMPARE(journal.database().isValid(), staysOn);
    QCOMPARE(held.isOpen(), staysOn);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(switchedOff.size(), staysOn ? 0 : 1);
}

void TestJournalDatabase::lockedFileFailsAtOnceAndJournalStaysOn()
{
    JournalDatabase journal(journalPath(), kMay14);
    QVERIFY(journal.open());
    QSignalSpy notices(&journal, &JournalDatabase::noticeDue);
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "locker");
        other.setDatabaseName(journalPath());
        QVERIFY(other.open());
        QVERIFY(exec(other, "BEGIN EXCLUSIVE"));
        QVERIFY(exec(other, "INSERT INTO signals (time_utc, direction, instrument, option, "
                            "method, instrument_index) VALUES ('x', 'BUY', 'Gold', 1, 1, 44)"));

        QSqlQuery insert(journal.database());
        QVERIFY(!insert.exec("INSERT INTO signals (time_utc, direction, instrument, option, "
                             "method, instrument_index) VALUES ('y', 'SELL', 'Gold', 2, 1, 44)"));
        journal.writeFailed(insert.lastError());
        QVERIFY(journal.isOn());
        QCOMPARE(notices.size(), 1);

        QVERIFY(exec(other, "COMMIT"));
        other.close();
    }
    QSqlDatabase::removeDatabase("locker");
    QVERIFY(exec(journal.database(), "INSERT INTO signals (time_utc, direction, instrument, "
                                     "option, method, instrument_index) VALUES ('z', 'SELL', "
                                     "'Gold', 2, 1, 44)"));
    QCOMPARE(scalar(journal.database(), "SELECT count(*) FROM signals").toInt(), 2);
}

void TestJournalDatabase::newerSchemaIsLeftAsItIs()
{
    {
        JournalDatabase journal(journalPath(), kMay14);
        QVERIFY(journal.open());
        QVERIFY(exec(
            journal.database(),
            QStringLiteral("PRAGMA user_version = %1").arg(journalschema::latestVersion() + 3)));
    }
    JournalDatabase reopened(journalPath(), kMay14);
    QVERIFY(reopened.open());
    QCOMPARE(reopened.schemaVersion(), journalschema::latestVersion() + 3);
}

void TestJournalDatabase::firstVersionGainsTheQueueAndKeepsItsRows_data()
{
    QTest::addColumn<bool>("queueThere");
    QTest::newRow("without the queue") << false;
    QTest::newRow("queue made by remote delivery itself") << true;
}

void TestJournalDatabase::firstVersionGainsTheQueueAndKeepsItsRows()
{
    QFETCH(bool, queueThere);
    {
        JournalDatabase journal(journalPath(), kMay14);
        QVERIFY(journal.open());
        const QSqlDatabase file = journal.database();
        QVERIFY(exec(file, "INSERT INTO signals (time_utc, direction, instrument, option, method, "
                           "instrument_index) VALUES ('2024-05-14T10:06:12Z', 'BUY', 'Gold', 1, 1, "
                           "44)"));
        QVERIFY(exec(file, "DROP TABLE delivery_queue"));
        if (queueThere) {
            QVERIFY(exec(file, "CREATE TABLE delivery_queue (signal_id TEXT NOT NULL, target "
                               "INTEGER NOT NULL, time_utc TEXT NOT NULL, direction TEXT NOT NULL, "
                               "instrument TEXT NOT NULL, symbol TEXT NOT NULL, option INTEGER NOT "
                               "NULL, price_text TEXT NOT NULL, failures INTEGER NOT NULL, due_utc "
                               "TEXT NOT NULL, PRIMARY KEY (signal_id, target))"));
            QVERIFY(exec(file, "INSERT INTO delivery_queue VALUES ('5f0c', 1, "
                               "'2024-05-14T23:40:00.000Z', 'BUY', 'Gold', 'XAUUSD', 1, '2301.50', "
                               "0, '2024-05-14T23:40:00.000Z')"));
        }
        QVERIFY(exec(file, "PRAGMA user_version = 1"));
    }
    JournalDatabase reopened(journalPath(), kMay14);
    QVERIFY(reopened.open());
    QCOMPARE(reopened.schemaVersion(), journalschema::latestVersion());
    QCOMPARE(scalar(reopened.database(), "SELECT instrument FROM signals").toString(), "Gold");
    QCOMPARE(scalar(reopened.database(), "SELECT COUNT(*) FROM delivery_queue").toInt(),
             queueThere ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestJournalDatabase)
#include "tst_journaldatabase.moc"
