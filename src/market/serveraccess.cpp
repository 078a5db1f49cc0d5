#include "market/serveraccess.h"

#include "market/serverdocument.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <QCoroNetworkReply>

#include <memory>

namespace {

struct DeleteLater
{
    void operator()(QObject *object) const { object->deleteLater(); }
};

} // namespace

ServerAccess::ServerAccess(QNetworkAccessManager &network, QString baseAddress, QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_baseAddress(std::move(baseAddress))
{}

QCoro::Task<QString> ServerAccess::openUrl(QString url, QString fileName)
{
    QPointer<ServerAccess> self(this);
    const FetchResult result = co_await fetch(std::move(url));
    if (self)
        self->recordOutcome(fileName, result.loaded);
    co_return result.text;
}

QCoro::Task<FetchResult> ServerAccess::fetch(QString url)
{
    const QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || address.isRelative())
        co_return FetchResult{};

    QNetworkRequest request(address);
    request.setTransferTimeout(static_cast<int>(m_timeout.count()));
    std::unique_ptr<QNetworkReply, DeleteLater> reply(m_network.get(request));

    const qint64 cap = m_sizeCap;
    auto cutOff = std::make_shared<bool>(false);
    QNetworkReply *raw = reply.get();
    connect(raw, &QNetworkReply::downloadProgress, raw,
            [raw, cap, cutOff](qint64 received, qint64 total) {
                if (received > cap || total > cap) {
                    *cutOff = true;
                    raw->abort();
                }
            });
    // The transfer timeout only notices silence; a server that trickles a byte now and then
    // would hold the fetch, and with it the polling cycle, for as long as it likes.
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, raw, [raw, cutOff] {
        *cutOff = true;
        raw->abort();
    });
    deadline.start(m_deadline);

    QPointer<ServerAccess> self(this);
    co_await reply.get();
    deadline.stop();
    if (self && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        self->m_multiplexed = reply->attribute(QNetworkRequest::Http2WasUsedAttribute).toBool();

    if (*cutOff || reply->error() != QNetworkReply::NoError)
        co_return FetchResult{};
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299))
        co_return FetchResult{};
    const QByteArray body = reply->readAll();
    if (body.size() > cap)
        co_return FetchResult{};
    const std::optional<QString> payload = serverDocumentPayload(body);
    if (!payload)
        co_return FetchResult{};
    co_return FetchResult{true, *payload};
}

void ServerAccess::recordOutcome(const QString &fileName, bool loaded)
{
    QString outcome;
    if (loaded)
        outcome = QStringLiteral("0");
    else if (fileName != QLatin1String(".xml"))
        outcome = QStringLiteral("1");
    else
        return;
    if (outcome == m_errconnect)
        return;
    m_errconnect = outcome;
    Q_EMIT errconnectChanged(m_errconnect);
}
