#include "signals/deliverypost.h"

#include "app/version.h"
#include "signals/deliverytexts.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopedPointer>

#include <QCoroNetworkReply>

#include <memory>

QCoro::Task<HttpAnswer> postDelivery(QNetworkAccessManager &network, DeliveryRequest request,
                                     std::chrono::milliseconds timeout, const QObject *owner)
{
    QNetworkRequest http(request.url);
    http.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    http.setHeader(QNetworkRequest::UserAgentHeader,
                   QByteArray(product::kName) + '/' + QByteArray(product::kVersion));
    for (const auto &[name, value] : std::as_const(request.headers))
        http.setRawHeader(name, value);
    http.setTransferTimeout(static_cast<int>(timeout.count()));
    http.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                      QNetworkRequest::ManualRedirectPolicy);

    QScopedPointer<QNetworkReply, QScopedPointerDeleteLater> reply(
        network.post(http, request.body));
    QNetworkReply *raw = reply.get();
    QObject::connect(owner, &QObject::destroyed, raw, &QNetworkReply::abort);
    // Read as it arrives, so that an endless answer costs no more than the cap.
    auto body = std::make_shared<QByteArray>();
    QObject::connect(raw, &QNetworkReply::readyRead, raw, [raw, body] {
        const QByteArray chunk = raw->readAll();
        body->append(chunk.left(HttpAnswer::kBodyCap - body->size()));
    });

    co_await raw;

    HttpAnswer answer;
    answer.status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.reason = raw->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
    if (raw->isOpen())
        body->append(raw->readAll().left(HttpAnswer::kBodyCap - body->size()));
    answer.body = *body;
    answer.retryAfter = raw->rawHeader("Retry-After");
    // Any status is an answer, even one whose body broke off: the receiver has taken the request.
    if (answer.status == 0) {
        answer.error = raw->error() == QNetworkReply::OperationCanceledError
                           ? QLatin1String(deliverytexts::kNoAnswerInTime)
                           : raw->errorString();
    }
    co_return answer;
}
