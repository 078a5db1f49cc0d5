#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QString>

#include <QCoroTask>

#include <QSet>

#include <chrono>

class QNetworkAccessManager;

// One answer of an outside source over HTTP.
struct HttpAnswer
{
    bool received = false; // an HTTP answer came (any status); false: network error, timeout, cap
    int status = 0;
    QByteArray body;
    QString error; // what went wrong when nothing was received, for the log
    QList<QNetworkReply::RawHeaderPair> headers;

    QByteArray header(const QByteArray &name) const;
};

// GET requests to outside sources through the server's one QNetworkAccessManager. Every request
// has an overall deadline (a source that trickles is cut off too) and a cap on the body size.
class SourceHttp
{
public:
    static constexpr std::chrono::milliseconds kDefaultDeadline{20000};
    static constexpr qint64 kDefaultSizeCap = 16 * 1024 * 1024;

    explicit SourceHttp(QNetworkAccessManager &network,
                        std::chrono::milliseconds deadline = kDefaultDeadline,
                        qint64 sizeCap = kDefaultSizeCap)
        : m_network(network)
        , m_deadline(deadline)
        , m_sizeCap(sizeCap)
    {}
    Q_DISABLE_COPY_MOVE(SourceHttp)

    QCoro::Task<HttpAnswer> get(QNetworkRequest request);
    // Cuts off every request in flight (its answer comes back as not received) and refuses
    // new ones: for shutting down while sources wait.
    void abortAll();

private:
    QNetworkAccessManager &m_network;
    std::chrono::milliseconds m_deadline;
    qint64 m_sizeCap;
    QSet<QNetworkReply *> m_inFlight;
    bool m_closed = false;
};
