#include "signals/signallistmodel.h"

#include "ui/look.h"

#include <QFont>

namespace {

constexpr Qt::Alignment kCentredTop = Qt::AlignHCenter | Qt::AlignTop;

} // namespace

SignalListModel::SignalListModel(QObject *parent)
    : QAbstractTableModel(parent)
{}

void SignalListModel::buildHeader()
{
    m_hasHeader = true;
    Q_EMIT headerDataChanged(Qt::Horizontal, TimeColumn, OptionColumn);
}

void SignalListModel::insertSignal(const QString &time, const Signal &signal)
{
    beginInsertRows({}, 0, 0);
    m_rows.prepend({time, signal});
    endInsertRows();
}

QString SignalListModel::signalText(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    return m_rows.at(row).signal.text();
}

int SignalListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SignalListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SignalListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case TimeColumn:
            return row.time;
        case SignalColumn:
            return row.signal.text();
        case OptionColumn:
            return row.signal.option;
        }
        return {};
    case Qt::ForegroundRole:
        if (index.column() == SignalColumn)
            return row.signal.direction == QLatin1String(direction::kBuy) ? look::kBuyBlue
                                                                          : look::kSellRed;
        if (index.column() == OptionColumn)
            return look::kTitleBlue;
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(kCentredTop);
    default:
        return {};
    }
}

QVariant SignalListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_hasHeader || orientation != Qt::Horizontal)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        switch (section) {
        case TimeColumn:
            return QStringLiteral("Time");
        case SignalColumn:
            return QStringLiteral("Signal");
        case OptionColumn:
            return QStringLiteral("Signal option");
        }
        return {};
    case Qt::FontRole: {
        QFont font;
        font.setBold(true);
        return font;
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(kCentredTop);
    default:
        return {};
    }
}
