#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QTableView>

class IndicatorGrid;
class MarketView;

// Shows an indicator grid to a view: text, text colour and bold per cell.
class IndicatorTableModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit IndicatorTableModel(const IndicatorGrid &grid, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(IndicatorTableModel)

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The grid was rewritten.
    void refresh();

private:
    const QFont &fontOf(bool bold) const { return bold ? m_boldFont : m_font; }
    // Whether the text shows whole in its column; a longer one is shown from its start.
    bool fits(const QString &text, bool bold, int column) const;

    const IndicatorGrid &m_grid;
    QFont m_font;
    QFont m_boldFont;
};

// gMAIN: the selected instrument's indicator table, sized as its skeleton prescribes.
class IndicatorTable final : public QTableView
{
    Q_OBJECT
public:
    IndicatorTable(QWidget *parent, MarketView &view);
    Q_DISABLE_COPY_MOVE(IndicatorTable)

private:
    IndicatorTableModel m_model;
};
