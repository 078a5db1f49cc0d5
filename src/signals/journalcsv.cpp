#include "signals/journalcsv.h"

#include "signals/journalreader.h"
#include "signals/journaltexts.h"
#include "signals/journaltime.h"

#include <QSaveFile>

namespace journalcsv {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kLineEnd[] = "\r\n";
constexpr char kHeader[] = "id,time_utc,time_local,direction,instrument,option,method,price,"
                           "price_15m,price_1h,price_4h,move_15m,move_1h,move_4h,move_unit";
constexpr int kChunkRows = 5000;

QString priceText(const std::optional<double> &price, int decimals)
{
    return price ? QString::number(*price, 'f', decimals) : QString();
}

QString moveText(const std::optional<signalmoves::Move> &move)
{
    if (!move)
        return {};
    return QString::number(move->value, 'f', move->unit == signalmoves::Unit::Pips ? 1 : 4);
}

QByteArray line(const JournalRow &row)
{
    QStringList fields{QString::number(row.id),
                       journaltime::stored(row.time),
                       row.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                       row.direction,
                       row.instrument,
                       QString::number(row.option),
                       QString::number(row.method),
                       priceText(row.price, row.decimals)};
    for (const std::optional<double> &later : row.later)
        fields << priceText(later, row.decimals);
    for (std::size_t horizon = 0; horizon < row.later.size(); ++horizon)
        fields << moveText(row.move(horizon));
    if (!row.price)
        fields << QString();
    else
        fields << (row.pip ? QStringLiteral("pips") : QStringLiteral("%"));

    QByteArrayList bytes;
    for (const QString &text : fields)
        bytes << field(text);
    return bytes.join(',') + kLineEnd;
}

} // namespace

QByteArray field(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') &&
        !bytes.contains('\n'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QString exportRows(const JournalReader &reader, const JournalFilter &filter, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(kByteOrderMark);
    file.write(QByteArray(kHeader) + kLineEnd);
    // A journal that cannot be read fails the export: a file of fewer rows would pass for all.
    for (int offset = 0;; offset += kChunkRows) {
        const std::optional<QList<JournalRow>> rows = reader.readRows(filter, offset, kChunkRows);
        if (!rows)
            return QString::fromUtf8(journaltexts::kUnreadable);
        for (const JournalRow &row : *rows)
            file.write(line(row));
        if (rows->size() < kChunkRows)
            break;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace journalcsv
