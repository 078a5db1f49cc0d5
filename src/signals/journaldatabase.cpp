#include "signals/journaldatabase.h"

#include "signals/journalschema.h"
#include "signals/journaltexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

namespace {

constexpr char kDriver[] = "QSQLITE";
// A locked file must not hold a signal up: a write that cannot have the file at once fails.
constexpr char kConnectOptions[] = "QSQLITE_BUSY_TIMEOUT=0";
constexpr char kDamagedSuffix[] = ".corrupt-";

// SQLite's primary result codes the journal tells apart (extended codes carry them in the low
// byte).
enum SqliteCode : int
{
    Perm = 3,
    ReadOnly = 8,
    IoErr = 10,
    Corrupt = 11,
    CantOpen = 14,
    NotADatabase = 26,
};

int primaryCode(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xFF : -1;
}

bool isDamage(const QSqlError &error)
{
    const int code = primaryCode(error);
    return code == Corrupt || code == NotADatabase;
}

// Faults after which no later write can succeed in this session.
bool endsWriting(const QSqlError &error)
{
    switch (primaryCode(error)) {
    case Perm:
    case ReadOnly:
    case IoErr:
    case Corrupt:
    case CantOpen:
    case NotADatabase:
        return true;
    default:
        return false;
    }
}

QString reasonOf(const QSqlError &error)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.trimmed();
}

QString connectionNameFor(const JournalDatabase *database)
{
    return QStringLiteral("quentara-journal-%1").arg(quintptr(database), 0, 16);
}

} // namespace

QString JournalDatabase::pathFor(const QString &settingsFile)
{
    if (!settingsFile.isEmpty())
        return settingsFile + QLatin1Char('.') + QLatin1String(kFileName);
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/') +
           QLatin1String(kFileName);
}

JournalDatabase::JournalDatabase(QString path, Clock clock, QObject *parent)
    : QObject(parent)
    , m_path(std::move(path))
    , m_clock(std::move(clock))
    , m_connectionName(connectionNameFor(this))
{}

JournalDatabase::~JournalDatabase()
{
    closeConnection();
}

bool JournalDatabase::open()
{
    if (m_on)
        return true;
    closeConnection(); // what a switch-off during the session left open
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath())) {
        switchOff(QDir::toNativeSeparators(m_path));
        return false;
    }
    QString reason;
    Outcome outcome = openConnection(reason);
    if (outcome == Outcome::Damaged) {
        closeConnection();
        const QString aside = moveAside();
        if (aside.isEmpty()) {
            switchOff(QDir::toNativeSeparators(m_path));
            return false;
        }
        Q_EMIT noticeDue(
            QString::fromUtf8(journaltexts::kDamaged).arg(QDir::toNativeSeparators(aside)));
        outcome = openConnection(reason);
    }
    if (outcome != Outcome::Opened) {
        closeConnection();
        switchOff(QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + reason);
        return false;
    }
    m_on = true;
    return true;
}

QSqlDatabase JournalDatabase::database() const
{
    return m_on ? QSqlDatabase::database(m_connectionName, false) : QSqlDatabase();
}

int JournalDatabase::schemaVersion() const
{
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return -1;
    return query.value(0).toInt();
}

void JournalDatabase::writeFailed(const QSqlError &error)
{
    if (!m_on)
        return;
    if (endsWriting(error)) {
        switchOff(QDir::toNativeSeparators(m_path) + QStringLiteral(": ") + reasonOf(error));
        return;
    }
    if (m_writeFailureTold)
        return;
    m_writeFailureTold = true;
    Q_EMIT noticeDue(QString::fromUtf8(journaltexts::kWriteFailed).arg(reasonOf(error)));
}

JournalDatabase::Outcome JournalDatabase::openConnection(QString &reason)
{
    QSqlDatabase database = QSqlDatabase::addDatabase(QLatin1String(kDriver), m_connectionName);
    database.setDatabaseName(m_path);
    database.setConnectOptions(QLatin1String(kConnectOptions));
    const auto failed = [&reason](const QSqlError &error) {
        reason = reasonOf(error);
        return isDamage(error) ? Outcome::Damaged : Outcome::Unwritable;
    };
    if (!database.open())
        return failed(database.lastError());

    QSqlQuery query(database);
    // Checked before anything is written, so that a damaged file is moved aside as it was.
    if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next())
        return failed(query.lastError());
    if (query.value(0).toString() != QLatin1String("ok")) {
        reason = query.value(0).toString();
        return Outcome::Damaged;
    }
    // The write-ahead log keeps every finished write through a crash; NORMAL leaves out the
    // flush to disk at each commit, which only a power cut would need.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !query.next())
        return failed(query.lastError());
    if (query.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
        reason = QStringLiteral("no write-ahead log");
        return Outcome::Unwritable;
    }
    if (!query.exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return failed(query.lastError());
    query.finish();

    QSqlError error;
    if (!journalschema::upgrade(database, error))
        return failed(error);
    return Outcome::Opened;
}

void JournalDatabase::closeConnection()
{
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    QSqlDatabase::database(m_connectionName, false).close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QString JournalDatabase::moveAside()
{
    const QString stem = m_path + QLatin1String(kDamagedSuffix) +
                         m_clock.now().date().toString(QStringLiteral("yyyyMMdd"));
    // A second damaged file on the same day keeps the first.
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stem + QLatin1Char('-') + QString::number(n);
    // Its log went when the connection closed: SQLite removes the log of its last connection.
    return QFile::rename(m_path, aside) ? aside : QString();
}

void JournalDatabase::switchOff(const QString &reason)
{
    const bool wasOn = m_on;
    const bool wasTold = m_offTold;
    m_on = false;
    m_offTold = true;
    // Closed, not only disowned: a writer that holds a copy of the connection (the queue of
    // remote sends) finds it closed and keeps to memory from now on.
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::database(m_connectionName, false).close();
    if (!wasTold)
        Q_EMIT noticeDue(QString::fromUtf8(journaltexts::kUnwritable).arg(reason));
    if (wasOn)
        Q_EMIT switchedOff();
}
