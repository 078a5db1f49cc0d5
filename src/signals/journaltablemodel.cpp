#include "signals/journaltablemodel.h"

#include "signals/journaltexts.h"
#include "signals/signal.h"
#include "ui/look.h"

#include <QFont>

namespace {

constexpr char kTimeFormat[] = "yyyy-MM-dd HH:mm:ss";

QVariant moveColour(const std::optional<signalmoves::Move> &move)
{
    if (!move || move->value == 0)
        return {};
    return move->value > 0 ? look::kGainGreen : look::kSellRed;
}

} // namespace

JournalTableModel::JournalTableModel(const JournalReader &reader, QObject *parent)
    : QAbstractTableModel(parent)
    , m_reader(reader)
    , m_count(reader.count(m_filter))
{}

void JournalTableModel::setFilter(const JournalFilter &filter)
{
    m_filter = filter;
    reload();
}

void JournalTableModel::reload()
{
    beginResetModel();
    m_pages.clear();
    m_pageUse.clear();
    m_count = m_reader.count(m_filter);
    endResetModel();
}

std::optional<JournalRow> JournalTableModel::journalRow(int row) const
{
    if (row < 0 || row >= m_count)
        return std::nullopt;
    const QList<JournalRow> &rows = page(row / kPageRows);
    const int at = row % kPageRows;
    if (at >= rows.size())
        return std::nullopt;
    return rows.at(at);
}

const QList<JournalRow> &JournalTableModel::page(int number) const
{
    const auto cached = m_pages.constFind(number);
    if (cached != m_pages.constEnd()) {
        m_pageUse.removeOne(number);
        m_pageUse.append(number);
        return *cached;
    }
    if (m_pageUse.size() >= kCachedPages)
        m_pages.remove(m_pageUse.takeFirst());
    m_pageUse.append(number);
    return *m_pages.insert(number, m_reader.rows(m_filter, number * kPageRows, kPageRows));
}

int JournalTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int JournalTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant JournalTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() ||
        (role != Qt::DisplayRole && role != Qt::ForegroundRole && role != Qt::TextAlignmentRole))
        return {};
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() >= PriceColumn;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignHCenter));
    }
    const std::optional<JournalRow> row = journalRow(index.row());
    if (!row)
        return {};
    const int column = index.column();
    if (column >= Move15mColumn) {
        const std::optional<signalmoves::Move> move = row->move(column - Move15mColumn);
        if (role == Qt::ForegroundRole)
            return moveColour(move);
        return move ? signalmoves::moveText(*move) : QString();
    }
    if (role == Qt::ForegroundRole) {
        if (column == DirectionColumn)
            return row->direction == QLatin1String(direction::kBuy) ? look::kBuyBlue
                                                                    : look::kSellRed;
        if (column == OptionColumn)
            return look::kTitleBlue;
        return {};
    }
    switch (column) {
    case TimeColumn:
        return row->time.toLocalTime().toString(QLatin1String(kTimeFormat));
    case DirectionColumn:
        return row->direction;
    case InstrumentColumn:
        return row->instrument;
    case OptionColumn:
        return QString::number(row->option);
    case PriceColumn:
        return row->price ? QString::number(*row->price, 'f', row->decimals) : QString();
    default:
        return {};
    }
}

QVariant JournalTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(journaltexts::kColumnTitles[section]);
    case Qt::ToolTipRole:
        return section >= Move15mColumn ? QString::fromUtf8(journaltexts::kMovesToolTip)
                                        : QVariant();
    case Qt::FontRole: {
        QFont font;
        font.setBold(true);
        return font;
    }
    default:
        return {};
    }
}
