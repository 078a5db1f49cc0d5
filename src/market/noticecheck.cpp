#include "market/noticecheck.h"

#include "app/appstate.h"
#include "app/noticerule.h"
#include "market/serveraccess.h"
#include "market/serverpaths.h"

#include <QPointer>

NoticeCheck::NoticeCheck(ServerAccess &server, AppState &state, const Timings &timings,
                         QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_state(state)
    , m_timer(this)
{
    m_timer.setObjectName(QStringLiteral("Timer6"));
    m_timer.setInterval(timings.notice);
    connect(&m_timer, &QTimer::timeout, this, [this] { check(); });
}

void NoticeCheck::start()
{
    m_timer.start();
}

QCoro::Task<> NoticeCheck::check()
{
    if (m_running)
        co_return;
    m_running = true;
    QPointer<NoticeCheck> self(this);
    const QString notice = co_await m_server.openUrl(
        serverpaths::documentUrl(m_server.baseAddress(), serverpaths::kNotice),
        serverpaths::fileName(serverpaths::kNotice));
    if (!self)
        co_return;
    m_running = false;
    m_state.setNoticeText(notice);
    if (!noticePasses(notice))
        co_return;
    if (m_state.noticeShown() == QLatin1String("0"))
        Q_EMIT noticeDue(notice);
    m_state.setNoticeShown(QStringLiteral("1"));
}
