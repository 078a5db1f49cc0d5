#pragma once

class QSqlDatabase;
class QSqlError;

// The tables of the journal file, by schema version. Each step takes the file from version n
// to n + 1, and PRAGMA user_version tells how many have run; a later table comes as a new step
// at the end, a shipped step never changes.
namespace journalschema {

int latestVersion();

// Runs the steps the file lacks, all in one transaction, and records the new version; on a
// failure nothing is changed and `error` says why. A file of a newer version is left as it is.
bool upgrade(QSqlDatabase &database, QSqlError &error);

} // namespace journalschema
