#pragma once

#include "market/indicatorgrid.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QTableView>

#include <array>
#include <functional>

class MarketView;

// Shows an indicator grid to a view: text, text colour and bold per cell.
class IndicatorTableModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    // How wide a text is in a font, in pixels.
    using TextWidth = std::function<int(const QString &text, const QFont &font)>;

    explicit IndicatorTableModel(const IndicatorGrid &grid, TextWidth textWidth = {},
                                 QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(IndicatorTableModel)

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The grid was rewritten: the texts that changed are measured again.
    void refresh();

private:
    // Whether a cell's text shows whole in its column; a longer one is shown from its start with
    // a tip. Measured when the text changes, not at every repaint: a text can be long.
    struct Fit
    {
        QString text;
        bool bold = false;
        bool fits = true;
        QString shown; // what the cell paints: the text, or as much of its start as can show
        QString tip;
    };

    const QFont &fontOf(bool bold) const { return bold ? m_boldFont : m_font; }
    const Fit &fitOf(const QModelIndex &index) const { return m_fits[index.row()][index.column()]; }
    bool fits(const QModelIndex &index) const { return fitOf(index).fits; }
    void measure();

    const IndicatorGrid &m_grid;
    TextWidth m_textWidth;
    QFont m_font;
    QFont m_boldFont;
    std::array<std::array<Fit, IndicatorGrid::kColumns>, IndicatorGrid::kRows> m_fits;
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
