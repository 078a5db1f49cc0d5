#pragma once

#include <QObject>
#include <QString>

#include <QCoroTask>

#include <chrono>

class QNetworkAccessManager;

// One fetch of a server document: whether it loaded and parsed, and its payload text.
struct FetchResult
{
    bool loaded = false;
    QString text;
};

// Every document the program takes from its server goes through here. A request makes one
// attempt, has a transfer timeout (no byte for that long), an overall deadline and a cap on the
// response size, keeps the scheme of its address, and never reports an error beyond the outcome
// it records.
class ServerAccess final : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{15000};
    static constexpr std::chrono::milliseconds kDefaultDeadline{30000};
    // The largest document the server publishes is a record of about 8 KB; the cap leaves room
    // for a calendar or a list many times the usual, and keeps a runaway answer out.
    static constexpr qint64 kDefaultSizeCap = 256 * 1024;

    ServerAccess(QNetworkAccessManager &network, QString baseAddress, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ServerAccess)

    // Base address of the signal server, an absolute address ending in "/".
    QString baseAddress() const { return m_baseAddress; }

    // Fetches a document and returns its payload; records the outcome (see recordOutcome).
    QCoro::Task<QString> openUrl(QString url, QString fileName);

    // Fetches a document without recording anything, so that several can be in flight and
    // their outcomes recorded in the order the caller needs.
    QCoro::Task<FetchResult> fetch(QString url);

    // The outcome of the most recent load: "0" parsed, "1" failed, empty before the first.
    // A failed load named ".xml" (an instrument without a server code) leaves it unchanged.
    QString errconnect() const { return m_errconnect; }
    void recordOutcome(const QString &fileName, bool loaded);

    // Whether the latest answer came over HTTP/2, whose one connection carries any number of
    // requests at once; false before the first answer.
    bool isMultiplexed() const { return m_multiplexed; }

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    void setDeadline(std::chrono::milliseconds deadline) { m_deadline = deadline; }
    void setSizeCap(qint64 bytes) { m_sizeCap = bytes; }

Q_SIGNALS:
    void errconnectChanged(const QString &errconnect);

private:
    QNetworkAccessManager &m_network;
    const QString m_baseAddress;
    QString m_errconnect;
    std::chrono::milliseconds m_timeout = kDefaultTimeout;
    std::chrono::milliseconds m_deadline = kDefaultDeadline;
    qint64 m_sizeCap = kDefaultSizeCap;
    bool m_multiplexed = false;
};
