#pragma once

#include "signals/journalreader.h"

#include <QWidget>

#include <QCoroTask>

#include <array>

class JournalTableModel;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableView;

// "journalform": the signal journal in a window of its own, dragged by its title bar. Filters
// by instrument, option, direction and local days above the table, the one-hour outcome of
// what the filters let through (all and per option) under it, and the CSV export. A
// double-click on a row asks for its instrument in the main window. The table reads only the
// rows it shows; the summary is summed a part of the journal at a time, with clicks and
// repaints between the parts, so a year of signals neither delays the window nor freezes it.
class JournalWindow final : public QWidget
{
    Q_OBJECT
public:
    // While the journal is off, which it may turn at any time, the window says so.
    explicit JournalWindow(const JournalReader &reader, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(JournalWindow)

    // Reads the journal again (a signal came, an outcome was filled in, the journal turned
    // off); the selected row stays selected.
    void refresh();
    // Writes the filtered rows to `path`; tells the user when that fails.
    bool exportTo(const QString &path);
    // Whether the summary shows the current filter and journal.
    bool isSummaryReady() const { return m_summaryReady; }

    QTableView *table() const { return m_table; }
    JournalTableModel *model() const { return m_model; }
    JournalFilter filter() const;

    static constexpr qint64 kSummaryPart = 10000; // signals summed between two event turns

Q_SIGNALS:
    // The signal name of a double-clicked row.
    void instrumentChosen(const QString &signalName);
    void summaryReady();

private:
    void buildTitleBar();
    QWidget *buildFilters();
    QWidget *buildSummary();
    void applyFilter();
    void showJournalState();
    // Sums the filtered journal up and shows it; a later call takes over from an earlier one.
    QCoro::Task<> sumUp();
    void showSummary(const JournalSummary &summary);
    void chooseExportFile();

    const JournalReader &m_reader;
    JournalTableModel *m_model;
    QTableView *m_table = nullptr;
    QComboBox *m_instrument = nullptr;
    QComboBox *m_option = nullptr;
    QComboBox *m_direction = nullptr;
    QCheckBox *m_fromOn = nullptr;
    QDateEdit *m_from = nullptr;
    QCheckBox *m_toOn = nullptr;
    QDateEdit *m_to = nullptr;
    // Per summary row (all, options 1-3): signals, went their way, mean move.
    std::array<std::array<QLabel *, 3>, 4> m_summary{};
    QLabel *m_notice = nullptr;
    QPushButton *m_export = nullptr;
    quint64 m_summaryGeneration = 0;
    bool m_summaryReady = false;
};
