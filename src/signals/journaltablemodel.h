#pragma once

#include "signals/journalreader.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

#include <optional>

// The journal window's table: the filtered journal, newest first, read from the database a
// page at a time as the view asks for rows, so that a year of signals opens at once.
class JournalTableModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column : int
    {
        TimeColumn,
        DirectionColumn,
        InstrumentColumn,
        OptionColumn,
        PriceColumn,
        Move15mColumn,
        Move1hColumn,
        Move4hColumn,
        ColumnCount
    };
    static constexpr int kPageRows = 200;
    static constexpr int kCachedPages = 8;

    explicit JournalTableModel(const JournalReader &reader, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(JournalTableModel)

    const JournalFilter &filter() const { return m_filter; }
    void setFilter(const JournalFilter &filter);
    // Reads the journal again, after it changed.
    void reload();

    // The row at `row`; nullopt outside the table.
    std::optional<JournalRow> journalRow(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const QList<JournalRow> &page(int number) const;

    const JournalReader &m_reader;
    JournalFilter m_filter;
    int m_count = 0;
    mutable QHash<int, QList<JournalRow>> m_pages;
    mutable QList<int> m_pageUse; // least recently used first
};
