#include "news/newsrefresh.h"

#include "app/appstate.h"
#include "market/serveraccess.h"
#include "market/serverpaths.h"

#include <QPointer>

namespace newsrefresh {

bool isRefreshMinute(const QDateTime &now)
{
    return now.time().minute() % 10 == 0;
}

} // namespace newsrefresh

NewsRefresh::NewsRefresh(ServerAccess &server, AppState &state, Clock clock,
                         std::chrono::milliseconds interval, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_state(state)
    , m_clock(std::move(clock))
{
    m_timer.setObjectName(QStringLiteral("Timer4"));
    m_timer.setInterval(interval);
    connect(&m_timer, &QTimer::timeout, this, &NewsRefresh::tick);
}

void NewsRefresh::start()
{
    m_timer.start();
}

void NewsRefresh::tick()
{
    if (!m_running)
        refresh(); // runs on by itself; the flag keeps the next tick out while it fetches
}

QCoro::Task<> NewsRefresh::refresh()
{
    if (m_running || !newsrefresh::isRefreshMinute(m_clock.now()))
        co_return;
    m_running = true;
    QPointer<NewsRefresh> self(this);
    const QString base = m_server.baseAddress();
    using namespace serverpaths;

    const FetchResult calendar = co_await m_server.fetch(documentUrl(base, kCalendar));
    if (!self)
        co_return;
    take(kCalendar, calendar, &AppState::setCalendarData);
    const FetchResult reviews = co_await m_server.fetch(documentUrl(base, kReviewsList));
    if (!self)
        co_return;
    take(kReviewsList, reviews, &AppState::setReviewsData);
    const FetchResult feed = co_await m_server.fetch(documentUrl(base, kNewsList));
    if (!self)
        co_return;
    take(kNewsList, feed, &AppState::setFeedData);

    m_running = false;
    if (m_server.errconnect() != QLatin1String("1"))
        Q_EMIT refreshed();
}

void NewsRefresh::take(const serverpaths::Document &document, const FetchResult &result,
                       void (AppState::*store)(const QString &))
{
    m_server.recordOutcome(serverpaths::fileName(document), result.loaded);
    // A document whose own fetch failed keeps its last good text, so that a redraw after the
    // later fetches loaded never shows it empty.
    if (result.loaded)
        (m_state.*store)(result.text);
}
