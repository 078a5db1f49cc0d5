#include "signalserver.h"

#include "documents/builtinnews.h"
#include "documents/calendarschedule.h"
#include "documents/instrumentrecord.h"
#include "documents/marketreviews.h"
#include "documents/xmldocument.h"
#include "market/minutes.h"
#include "market/tradingsession.h"

#include "app/catalogue.h"
#include "app/version.h"
#include "market/serverpaths.h"

namespace {

// A little after the minute turns, so that the clock reads the new minute for sure.
constexpr qint64 kMinuteMarginMs = 50;

Document xml(const QString &payload)
{
    return Document{dataDocument(payload), kXmlType};
}

// The link list: the product's pages, one "name;address" a line.
QString linkListText()
{
    return QStringList{QStringLiteral("Site;") + QLatin1String(product::kSiteAddress),
                       QStringLiteral("Questions and answers;") +
                           QLatin1String(product::kQuestionsAddress)}
        .join(QLatin1Char('\n'));
}

} // namespace

SignalServer::SignalServer(const MarketSetup &market, ServerContent content, Clock clock,
                           bool clockAdvances, QObject *parent)
    : QObject(parent)
    , m_content(std::move(content))
    , m_clock(std::move(clock))
    , m_clockAdvances(clockAdvances)
    , m_market(std::make_unique<Market>(market, minuteOf(m_clock.now())))
{
    start();
}

SignalServer::SignalServer(std::unique_ptr<MarketData> market, ServerContent content, Clock clock,
                           bool clockAdvances, QObject *parent)
    : QObject(parent)
    , m_content(std::move(content))
    , m_clock(std::move(clock))
    , m_clockAdvances(clockAdvances)
    , m_market(std::move(market))
{
    start();
}

void SignalServer::start()
{
    m_arrivalTimer.setSingleShot(true);
    m_arrivalTimer.setInterval(0);
    connect(&m_arrivalTimer, &QTimer::timeout, this, &SignalServer::refresh);
    connect(m_market.get(), &MarketData::candlesArrived, &m_arrivalTimer,
            qOverload<>(&QTimer::start));
    m_minuteTimer.setSingleShot(true);
    m_minuteTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_minuteTimer, &QTimer::timeout, this, &SignalServer::onMinute);

    QStringList changed;
    put(serverpaths::kNotice.path, xml(m_content.notice), changed);
    put(serverpaths::kLinkList.path, xml(linkListText()), changed);
    if (m_content.news)
        publishArticles(serverpaths::kNewsList.path, *m_content.news, QStringLiteral("News feed"),
                        changed);
    else
        publishArticles(serverpaths::kNewsList.path, builtInNews(m_market->minute()),
                        QStringLiteral("News feed"), changed);
    if (m_content.reviews)
        publishArticles(serverpaths::kReviewsList.path, *m_content.reviews,
                        QStringLiteral("Market review"), changed);
    refresh();
    scheduleNextMinute();
}

SignalServer::~SignalServer() = default;

void SignalServer::put(const QString &path, const Document &document, QStringList &changed)
{
    if (m_documents.insert(path, document))
        changed << path;
}

void SignalServer::publishArticles(const char *listPath, const QList<Article> &articles,
                                   const QString &section, QStringList &changed)
{
    put(QLatin1String(listPath), xml(articleListText(articles)), changed);
    for (int n = 1; n <= articles.size(); ++n) {
        put(documentpaths::articlePage(listPath, n),
            Document{articlePage(articles[n - 1], section), kHtmlType}, changed);
    }
}

QStringList SignalServer::refresh()
{
    const qint64 now = minuteOf(m_clock.now());
    m_market->advanceTo(now);
    QStringList changed;
    for (int index = 0; index < m_market->instrumentCount(); ++index) {
        if (!m_market->takeChanged(index) &&
            m_documents.find(serverpaths::instrumentUrl(QString(), catalogue::serverCode(index))))
            continue;
        const InstrumentSnapshot snapshot = m_market->snapshot(index);
        put(serverpaths::instrumentUrl(QString(), snapshot.serverCode),
            xml(instrumentRecord(snapshot)), changed);
    }
    put(serverpaths::kTradingFlag.path, xml(tradingFlagText(now)), changed);

    if (weekStart(now) != m_week) {
        m_week = weekStart(now);
        const QList<CalendarEvent> events =
            m_content.calendarEvents ? *m_content.calendarEvents : scheduledWeek(m_week);
        put(serverpaths::kCalendar.path, xml(calendarText(events, m_week)), changed);
    }
    // The built-in reviews are written anew with every four-hour candle.
    if (!m_content.reviews && bucketStart(Timeframe::H4, now) != m_reviewBucket) {
        m_reviewBucket = bucketStart(Timeframe::H4, now);
        publishArticles(serverpaths::kReviewsList.path, marketReviews(*m_market, now),
                        QStringLiteral("Market review"), changed);
    }
    if (!changed.isEmpty())
        Q_EMIT documentsChanged(changed);
    return changed;
}

void SignalServer::onMinute()
{
    refresh();
    scheduleNextMinute();
}

void SignalServer::scheduleNextMinute()
{
    if (!m_clockAdvances)
        return;
    const qint64 nowMs = m_clock.now().toMSecsSinceEpoch();
    m_minuteTimer.start(int(60000 - floorMod(nowMs, 60000) + kMinuteMarginMs));
}
