#include "sources/sourcehttp.h"

#include <QNetworkAccessManager>
#include <QTimer>

#include <QCoroNetworkReply>

#include <memory>

namespace {

struct DeleteLater
{
    void operator()(QObject *object) const { object->deleteLater(); }
};

} // namespace

QByteArray HttpAnswer::header(const QByteArray &name) const
{
    for (const QNetworkReply::RawHeaderPair &pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return pair.second;
    }
    return {};
}

void SourceHttp::abortAll()
{
    m_closed = true;
    const QSet<QNetworkReply *> inFlight = m_inFlight;
    for (QNetworkReply *reply : inFlight)
        reply->abort();
}

QCoro::Task<HttpAnswer> SourceHttp::get(QNetworkRequest request)
{
    if (m_closed) {
        HttpAnswer closed;
        closed.error = QStringLiteral("shutting down");
        co_return closed;
    }
    request.setTransferTimeout(int(m_deadline.count()));
    std::unique_ptr<QNetworkReply, DeleteLater> reply(m_network.get(request));
    QNetworkReply *raw = reply.get();

    auto cutOff = std::make_shared<QString>();
    const qint64 cap = m_sizeCap;
    QObject::connect(raw, &QNetworkReply::downloadProgress, raw,
                     [raw, cap, cutOff](qint64 received, qint64 total) {
                         if (received > cap || total > cap) {
                             *cutOff = QStringLiteral("answer larger than %1 bytes").arg(cap);
                             raw->abort();
                         }
                     });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, raw, [raw, cutOff, this] {
        *cutOff = QStringLiteral("no complete answer within %1 s").arg(m_deadline.count() / 1000.0);
        raw->abort();
    });
    deadline.start(m_deadline);

    m_inFlight.insert(raw);
    co_await raw;
    m_inFlight.remove(raw);
    deadline.stop();

    HttpAnswer answer;
    if (!cutOff->isEmpty()) {
        answer.error = *cutOff;
        co_return answer;
    }
    answer.status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // Errors below 200 are the connection's (closed, reset, proxy): a body cut off by one is
    // no answer, even when its status line came.
    if (answer.status == 0 || (raw->error() != QNetworkReply::NoError && raw->error() < 200)) {
        answer.error = raw->errorString();
        co_return answer;
    }
    answer.received = true;
    answer.headers = raw->rawHeaderPairs();
    answer.body = raw->readAll();
    co_return answer;
}
