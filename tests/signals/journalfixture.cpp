#include "journalfixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

namespace journalfixture {
namespace {

constexpr char kInsert[] =
    "INSERT INTO signals (time_utc, direction, instrument, option, method, instrument_index, "
    "decimals, pip, price, price_15m, price_1h, price_4h) VALUES (?, ?, ?, ?, 1, ?, ?, ?, ?, ?, "
    "?, ?)";

struct Sample
{
    const char *time;
    const char *direction;
    const char *instrument;
    int option;
    int index;
    int decimals;
    const char *pip;
    const char *price;
    const char *p15;
    const char *p1h;
    const char *p4h;
};
constexpr Sample kSamples[] = {
    {"2024-05-13T20:30:00Z", "BUY", "EUR/USD", 1, 14, 5, "0.0001", "1.1", "1.1005", "1.101",
     "1.099"},
    {"2024-05-13T21:30:00Z", "SELL", "EUR/USD", 2, 14, 5, "0.0001", "1.1", "", "1.102", ""},
    {"2024-05-14T08:00:00Z", "BUY", "Gold", 1, 44, 2, "", "2000", "", "2010", ""},
    {"2024-05-14T09:00:00Z", "SELL", "Gold", 3, 44, 2, "", "2000", "", "1990", ""},
    {"2024-05-14T10:00:00Z", "BUY", "USD/JPY", 1, 24, 3, "0.01", "150", "", "", ""},
    {"2024-05-15T10:00:00Z", "SELL", "Oil, \"Urals\"", 2, -1, 2, "", "71.2", "", "71.2", ""},
};

QVariant number(const char *text)
{
    return *text ? QVariant(QByteArray(text).toDouble()) : QVariant(QMetaType::fromType<double>());
}

bool insert(QSqlQuery &query, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    return query.exec();
}

} // namespace

bool addSamples(const QSqlDatabase &database)
{
    QSqlQuery query(database);
    if (!query.prepare(QLatin1String(kInsert)))
        return false;
    for (const Sample &sample : kSamples) {
        if (!insert(query, {QLatin1String(sample.time), QLatin1String(sample.direction),
                            QString::fromUtf8(sample.instrument), sample.option, sample.index,
                            sample.decimals, number(sample.pip), number(sample.price),
                            number(sample.p15), number(sample.p1h), number(sample.p4h)}))
            return false;
    }
    return true;
}

bool addMany(const QSqlDatabase &database, int count, const QDateTime &newest, int spacing)
{
    struct Instrument
    {
        const char *name;
        int index;
        int decimals;
        double pip; // 0: moves in percent
        double price;
    };
    constexpr Instrument kInstruments[] = {{"EUR/USD", 14, 5, 0.0001, 1.085},
                                           {"USD/JPY", 24, 3, 0.01, 150.5},
                                           {"Gold", 44, 2, 0, 2300},
                                           {"BTC/USD (Bitcoin)", 28, 2, 0, 62000},
                                           {"DAX", 50, 2, 0, 18200}};
    QSqlDatabase writer = database;
    if (!writer.transaction())
        return false;
    QSqlQuery query(database);
    if (!query.prepare(QLatin1String(kInsert)))
        return false;
    for (int i = count - 1; i >= 0; --i) {
        const Instrument &instrument = kInstruments[i % std::size(kInstruments)];
        // Small swings either way, different for every row.
        const double swing = instrument.price * 0.001 * ((i * 7919) % 21 - 10) / 10.0;
        const QDateTime time = newest.addSecs(-qint64(i) * spacing);
        if (!insert(query, {time.toUTC().toString(Qt::ISODate),
                            QLatin1String(i % 2 ? "SELL" : "BUY"), QLatin1String(instrument.name),
                            1 + i % 3, instrument.index, instrument.decimals,
                            instrument.pip > 0 ? QVariant(instrument.pip)
                                               : QVariant(QMetaType::fromType<double>()),
                            instrument.price, instrument.price + swing / 3,
                            instrument.price + swing, instrument.price - swing / 2}))
            return false;
    }
    return writer.commit();
}

} // namespace journalfixture
