#pragma once

#include "app/clock.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

class QSqlError;

// The SQLite file that keeps the signal journal and whatever else the program must remember
// across restarts (for instance sends still to be made). One connection, on the GUI thread, in
// write-ahead-log mode so that a crash or kill -9 loses at most the write under way.
//
// A file that cannot be used never stops a signal: a damaged file is moved aside and a new one
// started; a folder or file that cannot be written turns the journal off for the session. The
// user hears of each once (noticeDue). While the journal is off, database() is invalid and the
// connection closed, so that every writer leaves the file alone, also one holding a copy.
class JournalDatabase final : public QObject
{
    Q_OBJECT
public:
    static constexpr char kFileName[] = "signals.sqlite";

    // "signals.sqlite" in the user's application data folder; with a settings file of its own
    // the program keeps the journal beside it, as "<settings file>.signals.sqlite".
    static QString pathFor(const QString &settingsFile);

    // `clock` dates the name a damaged file is moved aside under.
    JournalDatabase(QString path, Clock clock, QObject *parent = nullptr);
    ~JournalDatabase() override;
    Q_DISABLE_COPY_MOVE(JournalDatabase)

    // Opens the file (creating it and its folder when missing), checks it and brings its tables
    // to the newest schema version. Connect to noticeDue first. Returns isOn().
    bool open();

    bool isOn() const { return m_on; }
    QString path() const { return m_path; }
    // The name QSqlDatabase::database() knows the open connection by.
    QString connectionName() const { return m_connectionName; }
    // The open connection; invalid while the journal is off.
    QSqlDatabase database() const;
    // PRAGMA user_version of the open file.
    int schemaVersion() const;

    // Every writer hands its failed writes here. The user hears of the first of a session; a
    // file that can no longer be written turns the journal off. Busy and full are passing
    // troubles: that write is lost, later ones are tried.
    void writeFailed(const QSqlError &error);

Q_SIGNALS:
    void noticeDue(const QString &text);
    // The journal was on and has turned itself off for the rest of the session.
    void switchedOff();

private:
    enum class Outcome
    {
        Opened,
        Damaged,
        Unwritable
    };
    Outcome openConnection(QString &reason);
    void closeConnection();
    // The damaged file's new name; empty when it could not be moved.
    QString moveAside();
    void switchOff(const QString &reason);

    QString m_path;
    Clock m_clock;
    QString m_connectionName;
    bool m_on = false;
    bool m_offTold = false;
    bool m_writeFailureTold = false;
};
