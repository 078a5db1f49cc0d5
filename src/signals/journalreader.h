#pragma once

#include "signals/signalmoves.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <optional>

class JournalDatabase;

// Which journal rows the window shows: every field left empty lets all through.
struct JournalFilter
{
    QString instrument; // signal name
    int option = 0;     // 1-3
    QString direction;  // "BUY" or "SELL"
    QDate from;         // first local day
    QDate to;           // last local day

    friend bool operator==(const JournalFilter &, const JournalFilter &) = default;
};

// One row of the table `signals`.
struct JournalRow
{
    qint64 id = 0;
    QDateTime time; // UTC
    QString direction;
    QString instrument;
    int option = 0;
    int method = 0;
    std::optional<double> price;
    std::array<std::optional<double>, 3> later; // 15 minutes, 1 hour, 4 hours after
    int instrumentIndex = -1;
    int decimals = 0;
    std::optional<double> pip;

    std::optional<signalmoves::Move> move(std::size_t horizon) const;
};

// How a group of signals did one hour after: how many there are, how many have their price
// of an hour later, how many of those went their way and the mean move, in pips when every
// counted signal is a currency pair and in percent otherwise.
struct OutcomeSummary
{
    int signals = 0;
    int withOutcome = 0;
    int wentTheirWay = 0;
    std::optional<signalmoves::Move> meanMove;

    // wentTheirWay of withOutcome, 0..1; nullopt without outcomes.
    std::optional<double> share() const;
};

struct JournalSummary
{
    OutcomeSummary all;
    std::array<OutcomeSummary, 3> options; // 1, 2, 3
};

// The sums a summary is made of, for all signals and per option. Sums of separate parts of the
// journal add up to those of the whole, so a large journal can be summed a part at a time.
class JournalTotals final
{
public:
    struct Sums
    {
        int signals = 0;
        int withOutcome = 0;
        int wentTheirWay = 0;
        double percent = 0; // sum of the one-hour moves in percent
        double pips = 0;    // sum of those in pips
        int withoutPip = 0; // counted moves of instruments without a pip

        void add(const Sums &other);
        OutcomeSummary summary() const;
    };

    void add(const JournalTotals &other);
    void addOption(int option, const Sums &sums);
    JournalSummary summary() const;

private:
    Sums m_all;
    std::array<Sums, 3> m_options;
};

// Reads the journal for the window and the export, newest first (time, then the order of
// delivery). With the journal off every answer is empty.
class JournalReader final
{
public:
    explicit JournalReader(const JournalDatabase &database);

    // Whether the journal is kept this session; it may turn itself off at any time.
    bool isOn() const;

    int count(const JournalFilter &filter) const;
    // At most `limit` rows from the `offset`-th on.
    QList<JournalRow> rows(const JournalFilter &filter, int offset, int limit) const;
    // The same, or nothing when the journal is off or could not be read, for a reader that
    // must tell a failure from an end.
    std::optional<QList<JournalRow>> readRows(const JournalFilter &filter, int offset,
                                              int limit) const;
    JournalSummary summary(const JournalFilter &filter) const;
    // The totals of the filtered signals whose ids lie in (afterId, upToId].
    JournalTotals totals(const JournalFilter &filter, qint64 afterId, qint64 upToId) const;
    // The highest id so far; 0 for an empty journal.
    qint64 lastId() const;
    // Where the row of `id` stands among the filtered rows; -1 when the filter hides it.
    int positionOf(const JournalFilter &filter, qint64 id) const;

private:
    const JournalDatabase &m_database;
};
