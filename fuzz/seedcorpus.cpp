// quentara-fuzz-seeds DIR: the fuzz targets' seed corpus, one folder per kind of input, written
// from what the server itself publishes and reads at a frozen moment: every document, the
// payloads of the records, calendar and lists, and its inputs (candle files in the forms
// terminals export, a calendar file, article files) made from the simulated market and the
// built-in calendar and news.
#include "documents/builtinnews.h"
#include "documents/calendarschedule.h"
#include "documents/instrumentrecord.h"
#include "market/minutes.h"
#include "market/serverdocument.h"
#include "market/serverpaths.h"
#include "signalserver.h"

#include "app/catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimeZone>

#include <cstdio>

namespace {

const QDateTime kMoment(QDate(2024, 5, 14), QTime(10, 6), QTimeZone::utc());

class SeedWriter final
{
public:
    explicit SeedWriter(const QString &root)
        : m_root(root)
    {}

    void write(const QString &folder, const QString &name, const QByteArray &content)
    {
        QDir().mkpath(m_root + QLatin1Char('/') + folder);
        QFile file(m_root + QLatin1Char('/') + folder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            m_failed = true;
    }
    bool failed() const { return m_failed; }

private:
    QString m_root;
    bool m_failed = false;
};

QString payloadOf(const DocumentSet &documents, const QString &path)
{
    const Document *document = documents.find(path);
    return document ? serverDocumentPayload(document->body).value_or(QString()) : QString();
}

// A record of every verdict "Strong Buy", so that the signal seeds raise signals.
QString allStrongBuy(const QString &record)
{
    QStringList lines = record.split(QLatin1Char('\n'));
    for (int block = 0; block < kTimeframeCount; ++block) {
        for (int offset : {recordlayout::kOverallOffset, recordlayout::kIndicatorSummaryOffset,
                           recordlayout::kAverageSummaryOffset}) {
            QStringList fields = lines[recordlayout::kBlockLines * block + offset].split(u';');
            if (fields.size() > 1)
                fields[1] = QStringLiteral("Strong Buy");
            lines[recordlayout::kBlockLines * block + offset] = fields.join(u';');
        }
    }
    return lines.join(QLatin1Char('\n'));
}

void writeDocuments(SeedWriter &seeds, const DocumentSet &documents)
{
    for (const QString &path : documents.paths()) {
        const Document *document = documents.find(path);
        if (document->contentType == kXmlType || path.endsWith(QLatin1String("/1.html")))
            seeds.write(QStringLiteral("documents"), QString(path).replace(u'/', u'_'),
                        document->body);
    }
    seeds.write(QStringLiteral("calendar"), QStringLiteral("week.txt"),
                payloadOf(documents, QLatin1String(serverpaths::kCalendar.path)).toUtf8());
    seeds.write(QStringLiteral("lists"), QStringLiteral("news.txt"),
                payloadOf(documents, QLatin1String(serverpaths::kNewsList.path)).toUtf8());
    seeds.write(QStringLiteral("lists"), QStringLiteral("reviews.txt"),
                payloadOf(documents, QLatin1String(serverpaths::kReviewsList.path)).toUtf8());
}

void writeRecords(SeedWriter &seeds, const DocumentSet &documents)
{
    // Settings blocks of the signal seeds: the defaults, Method 2, other rows and conditions.
    const QStringList settingsBlocks{
        QString(), QStringLiteral("Method=2\n\n"),
        QStringLiteral("v1=1\nv2=2\nv1-m1buy=5\nv1-h4buy=7\nv2-d1sell=6\n\n"),
        QStringLiteral("Method=1\nv3=0\nv1-m1buy=0\nv1-m5buy=0\nv1-m15buy=0\nv1-m30buy=0\n"
                       "v1-h1buy=0\nv3-m1sell=4\n\n")};
    for (int index = 0; index < catalogue::kInstrumentCount; ++index) {
        const QString code = catalogue::serverCode(index);
        const QString record =
            payloadOf(documents, QStringLiteral("signals/") + code + QStringLiteral(".xml"));
        seeds.write(QStringLiteral("records"), code + QStringLiteral(".txt"), record.toUtf8());
        if (index % 8 != 0)
            continue;
        for (qsizetype block = 0; block < settingsBlocks.size(); ++block) {
            const QString name = code + QLatin1Char('-') + QString::number(block);
            seeds.write(QStringLiteral("signals"), name + QStringLiteral(".txt"),
                        (settingsBlocks[block] + record).toUtf8());
            seeds.write(QStringLiteral("signals"), name + QStringLiteral("-strong.txt"),
                        (settingsBlocks[block] + allStrongBuy(record)).toUtf8());
        }
    }
    // An instrument without any candle: every field the program reads is empty.
    InstrumentSnapshot empty;
    empty.serverCode = QStringLiteral("eurusd");
    empty.name = QStringLiteral("EUR/USD");
    empty.decimals = 5;
    seeds.write(QStringLiteral("records"), QStringLiteral("no-history.txt"),
                instrumentRecord(empty).toUtf8());
}

// The minute candles the market keeps, in the forms a terminal exports.
void writeCandles(SeedWriter &seeds, const MarketData &market)
{
    for (int index : {0, 28, 43, 56}) {
        const InstrumentSnapshot snapshot = market.snapshot(index);
        const auto price = [&](double value) {
            return QString::number(value, 'f', snapshot.decimals);
        };
        QString plain = QStringLiteral("time,open,high,low,close\n");
        QString terminal;
        QString zulu;
        for (const Candle &candle : market.book(index).series(Timeframe::M1).candles()) {
            const QString prices = price(candle.open) + u',' + price(candle.high) + u',' +
                                   price(candle.low) + u',' + price(candle.close);
            const QDateTime moment = momentOf(candle.minute);
            plain += minuteText(candle.minute) + u',' + prices + u'\n';
            terminal += moment.toString(QStringLiteral("yyyy.MM.dd,HH:mm,")) + prices +
                        QStringLiteral(",120\r\n");
            zulu += moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:00Z;")) +
                    QString(prices).replace(u',', u';') + u'\n';
        }
        const QString code = snapshot.serverCode;
        seeds.write(QStringLiteral("candles"), code + QStringLiteral(".csv"), plain.toUtf8());
        seeds.write(QStringLiteral("candles"), code + QStringLiteral("-terminal.csv"),
                    terminal.toUtf8());
        seeds.write(QStringLiteral("candles"), code + QStringLiteral("-zulu.csv"), zulu.toUtf8());
    }
}

void writeInputs(SeedWriter &seeds, qint64 minute)
{
    QString separate = QStringLiteral("date,time,country,volatility,event\n");
    QString joined;
    for (const CalendarEvent &event : scheduledWeek(weekStart(minute))) {
        const QString text = volatilityText(event.volatility);
        separate += minuteText(event.minute).replace(u' ', u',') + u',' + event.country + u',' +
                    text.section(u' ', 0, 0).toLower() + u',' + event.name + u'\n';
        joined += minuteText(event.minute) + QStringLiteral(",\"") + event.country +
                  QStringLiteral("\",") + text + QStringLiteral(",\"") + event.name +
                  QStringLiteral("\"\n");
    }
    seeds.write(QStringLiteral("calendarcsv"), QStringLiteral("week.csv"), separate.toUtf8());
    seeds.write(QStringLiteral("calendarcsv"), QStringLiteral("joined.csv"), joined.toUtf8());

    int number = 0;
    for (const Article &article : builtInNews(minute)) {
        QString text = minuteText(article.minute) + u'\n' + article.headline + u'\n';
        for (const QString &paragraph : article.paragraphs)
            text += u'\n' + paragraph + u'\n';
        seeds.write(QStringLiteral("articles"), QString::number(++number) + QStringLiteral(".txt"),
                    text.toUtf8());
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: quentara-fuzz-seeds DIR\n", stderr);
        return 2;
    }
    ServerContent content;
    content.notice = QStringLiteral("Maintenance on Sunday, 22:00 \"GMT\" & later <b>today</b>");
    const SignalServer server(MarketSetup{}, content, Clock([] { return kMoment; }), false);

    SeedWriter seeds(arguments.at(1));
    writeDocuments(seeds, server.documents());
    writeRecords(seeds, server.documents());
    writeCandles(seeds, server.market());
    writeInputs(seeds, minuteOf(kMoment));
    if (seeds.failed()) {
        std::fprintf(stderr, "cannot write the seed corpus into %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    return 0;
}
