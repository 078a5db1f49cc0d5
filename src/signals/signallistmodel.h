#pragma once

#include "signals/signal.h"

#include <QAbstractTableModel>
#include <QList>

// The rows of the signal list, newest first: the time of delivery, "BUY EUR/USD" and the
// option digit. The header ("Time", "Signal", "Signal option") exists once start-up built it.
class SignalListModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column : int
    {
        TimeColumn = 0,
        SignalColumn = 1,
        OptionColumn = 2,
        ColumnCount
    };

    explicit SignalListModel(QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SignalListModel)

    void buildHeader();
    // Inserts a signal as the new first row.
    void insertSignal(const QString &time, const Signal &signal);
    // The "Signal" text of a row, empty outside the list.
    QString signalText(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row
    {
        QString time;
        Signal signal;
    };
    QList<Row> m_rows;
    bool m_hasHeader = false;
};
