#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "signals/deliveredsignal.h"
#include "signals/deliveryqueue.h"
#include "signals/deliverytarget.h"
#include "signals/journaldatabase.h"
#include "signals/remotedelivery.h"
#include "testhttpserver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

using namespace std::chrono_literals;
using Kind = DeliveryTarget::Kind;
using Route = TestHttpServer::Route;

Q_DECLARE_METATYPE(Kind)

namespace {

const QDateTime kStart(QDate(2024, 5, 14), QTime(10, 6, 12), Qt::UTC);
constexpr char kToken[] = "123456:SECRET-token";

Route answer(int status, const QByteArray &body,
             const QList<QPair<QByteArray, QByteArray>> &headers = {})
{
    Route route;
    route.status = status;
    route.body = body;
    route.contentType = "application/json";
    route.headers = headers;
    return route;
}

Route hang()
{
    Route route;
    route.behaviour = TestHttpServer::Behaviour::Hang;
    return route;
}

QJsonObject jsonOf(const QByteArray &body)
{
    return QJsonDocument::fromJson(body).object();
}

} // namespace

// Remote delivery against a loopback receiver, with the clock in the test's hand and its queue in
// the journal's file: the forms that arrive, which targets get what, retries, 429s, refused
// addresses, what survives a restart and what an error may show.
class TestRemoteDelivery final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void webhookCarriesTheSignalAndItsKey();
    void chatFormsArrive_data();
    void chatFormsArrive();
    void eachTargetGetsItsOptions();
    void failedSendsFollowTheSchedule_data();
    void failedSendsFollowTheSchedule();
    void tooManyRequestsHoldTheTarget_data();
    void tooManyRequestsHoldTheTarget();
    void plainHttpIsNeverSent();
    void switchedOffMeanwhileIsNotSent();
    void pendingSendsOutliveARestartOnce();
    void sendInFlightAtExitIsSentAgainWithItsKey();
    void sendsOverAnHourLateAreDropped();
    void closedFileStopsNoSend();
    void strangeRowsAreLeftAlone();
    void tokenNeverInAnErrorText_data();
    void tokenNeverInAnErrorText();
    void testSendShowsTheAnswer_data();
    void testSendShowsTheAnswer();

private:
    // A signal delivered now.
    DeliveredSignal signalOf(const QString &option,
                             const QString &instrument = QStringLiteral("EUR/USD")) const
    {
        return DeliveredSignal{Signal{QTime(), "BUY", instrument, option}, m_now, 1, "1.08765"};
    }
    void setTarget(int number, Kind kind, const QString &path, const QString &options = "123");
    // Start-up and Exit of the program, as far as delivery goes: the file is opened and closed.
    void startDelivery();
    void stopDelivery();
    void advance(std::chrono::milliseconds step);
    // Waits for the given number of answered attempts since the last call.
    void awaitAttempts(int count);
    QString url(const QString &path) const { return m_receiver->baseAddress() + path; }
    int sendsInStore() const;

    QDateTime m_now;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<TestHttpServer> m_receiver;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<JournalDatabase> m_database;
    std::unique_ptr<DeliveryQueue> m_queue;
    std::unique_ptr<RemoteDelivery> m_delivery;
    std::unique_ptr<QSignalSpy> m_attempts;
    QStringList m_log;
};

void TestRemoteDelivery::init()
{
    m_now = kStart;
    m_log.clear();
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
    m_receiver = std::make_unique<TestHttpServer>();
    QVERIFY(m_receiver->start());
    m_network = std::make_unique<QNetworkAccessManager>();
}

void TestRemoteDelivery::cleanup()
{
    stopDelivery();
    m_network.reset();
    m_receiver.reset();
}

void TestRemoteDelivery::setTarget(int number, Kind kind, const QString &path,
                                   const QString &options)
{
    DeliveryTarget target;
    target.kind = kind;
    target.on = true;
    target.options = options;
    if (kind == Kind::Telegram) {
        target.api = m_receiver->baseAddress();
        target.token = QLatin1String(kToken);
        target.chat = QStringLiteral("-1001234567890");
    } else {
        target.url = url(path);
    }
    deliverytargets::write(*m_settings, number, target);
}

void TestRemoteDelivery::startDelivery()
{
    m_database = std::make_unique<JournalDatabase>(
        m_dir->filePath(QStringLiteral("signals.sqlite")), Clock([this] { return m_now; }));
    QVERIFY(m_database->open());
    m_queue = std::make_unique<DeliveryQueue>(
        m_database->database(), [](const QSqlError &error) { QFAIL(qPrintable(error.text())); });
    QVERIFY(m_queue->isKept());
    RemoteDelivery::Timings timings;
    timings.timeout = 200ms; // for the receiver that never answers
    m_delivery = std::make_unique<RemoteDelivery>(*m_settings, *m_network, *m_queue,
                                                  Clock([this] { return m_now; }), timings);
    m_delivery->setLog([this](const QString &line) { m_log << line; });
    m_attempts = std::make_unique<QSignalSpy>(m_delivery.get(), &RemoteDelivery::attemptFinished);
}

void TestRemoteDelivery::stopDelivery()
{
    m_attempts.reset();
    m_delivery.reset();
    m_queue.reset();
    m_database.reset();
}

void TestRemoteDelivery::advance(std::chrono::milliseconds step)
{
    m_now = m_now.addMSecs(step.count());
    m_delivery->sendDue();
}

void TestRemoteDelivery::awaitAttempts(int count)
{
    QTRY_COMPARE(m_attempts->size(), count);
    m_attempts->clear();
}

int TestRemoteDelivery::sendsInStore() const
{
    QSqlQuery query(m_database->database());
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM delivery_queue")) || !query.next())
        return -1;
    return query.value(0).toInt();
}

void TestRemoteDelivery::webhookCarriesTheSignalAndItsKey()
{
    m_receiver->setRoute(QStringLiteral("hook"), answer(200, "{}"));
    setTarget(1, Kind::Webhook, QStringLiteral("hook"));
    startDelivery();

    m_delivery->receive(signalOf("2", QStringLiteral("Gold")));
    QCOMPARE(sendsInStore(), 1); // kept before it goes out
    awaitAttempts(1);

    QCOMPARE(m_receiver->received().size(), 1);
    const TestHttpServer::Received hook = m_receiver->received().first();
    QCOMPARE(hook.method, QByteArray("POST"));
    QCOMPARE(hook.path, QStringLiteral("hook"));
    QCOMPARE(hook.header("Content-Type"), QByteArray("application/json"));
    const QJsonObject body = jsonOf(hook.body);
    QCOMPARE(body.keys(),
             (QStringList{"direction", "id", "instrument", "option", "price", "symbol", "time"}));
    QVERIFY(!body.value("id").toString().isEmpty());
    QCOMPARE(hook.header("Idempotency-Key"), body.value("id").toString().toUtf8());
    QCOMPARE(body.value("time"), QJsonValue("2024-05-14T10:06:12Z"));
    QCOMPARE(body.value("direction"), QJsonValue("BUY"));
    QCOMPARE(body.value("instrument"), QJsonValue("Gold"));
    QCOMPARE(body.value("symbol"), QJsonValue("XAUUSD"));
    QCOMPARE(body.value("option"), QJsonValue(2));
    QCOMPARE(body.value("price"), QJsonValue(1.08765));
    QVERIFY(m_delivery->pending().isEmpty());
    QCOMPARE(sendsInStore(), 0);

    // A second signal is a new send with a key of its own.
    m_delivery->receive(signalOf("2"));
    awaitAttempts(1);
    QCOMPARE(m_receiver->received().size(), 2);
    QVERIFY(m_receiver->received().at(1).header("Idempotency-Key") !=
            hook.header("Idempotency-Key"));
}

void TestRemoteDelivery::chatFormsArrive_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("field");
    QTest::newRow("telegram")
        << Kind::Telegram << QStringLiteral("bot%1/sendMessage").arg(QLatin1String(kToken))
        << answer(200, R"({"ok":true,"result":{"message_id":42,"chat":{"id":-1001234567890}}})")
        << "text";
    QTest::newRow("discord") << Kind::Discord << "api/webhooks/1/abc" << answer(204, "")
                             << "content";
}

void TestRemoteDelivery::chatFormsArrive()
{
    QFETCH(Kind, kind);
    QFETCH(QString, path);
    QFETCH(Route, route);
    QFETCH(QString, field);
    m_receiver->setRoute(path, route);
    setTarget(1, kind, path);
    startDelivery();

    m_delivery->receive(signalOf("1"));
    awaitAttempts(1);
    QCOMPARE(m_receiver->requests(), QStringList{path});
    const TestHttpServer::Received sent = m_receiver->received().first();
    QCOMPARE(sent.header("Content-Type"), QByteArray("application/json"));
    QVERIFY(sent.header("Idempotency-Key").isEmpty());
    const QJsonObject body = jsonOf(sent.body);
    QCOMPARE(body.value(field),
             QJsonValue(QStringLiteral("BUY EUR/USD \u00b7 option 1 \u00b7 1.08765 \u00b7 13:06")));
    if (kind == Kind::Telegram)
        QVERIFY(sent.body.startsWith(R"({"chat_id":-1001234567890,)"));
    QVERIFY(m_delivery->pending().isEmpty());
    QVERIFY(m_log.isEmpty());
}

void TestRemoteDelivery::eachTargetGetsItsOptions()
{
    for (const char *path : {"one", "two", "three"})
        m_receiver->setRoute(QLatin1String(path), answer(200, "{}"));
    setTarget(1, Kind::Webhook, QStringLiteral("one"), QStringLiteral("1"));
    setTarget(2, Kind::Webhook, QStringLiteral("two"), QStringLiteral("23"));
    setTarget(3, Kind::Webhook, QStringLiteral("three"), QStringLiteral("123"));
    DeliveryTarget off = deliverytargets::read(*m_settings, 3);
    off.on = false;
    deliverytargets::write(*m_settings, 3, off);
    startDelivery();

    for (const char *option : {"1", "2", "3"}) {
        m_delivery->receive(signalOf(QLatin1String(option)));
        awaitAttempts(1); // each option has one target here
    }
    QCOMPARE(m_receiver->requestCount(QStringLiteral("one")), 1);
    QCOMPARE(m_receiver->requestCount(QStringLiteral("two")), 2);
    QCOMPARE(m_receiver->requestCount(QStringLiteral("three")), 0);
    QStringList options;
    for (const TestHttpServer::Received &sent : m_receiver->received())
        options << sent.path + QString::number(jsonOf(sent.body).value("option").toInt());
    QCOMPARE(options, (QStringList{"one1", "two2", "two3"}));
}

void TestRemoteDelivery::failedSendsFollowTheSchedule_data()
{
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("reason");
    QTest::newRow("server error") << answer(500, "upstream failed") << "HTTP 500";
    QTest::newRow("bad request") << answer(400, R"({"message":"Cannot send an empty message"})")
                                 << "HTTP 400 Bad Request: {\"message\"";
    QTest::newRow("no answer in time") << hang() << "Error: no answer in time";
    Route drop;
    drop.behaviour = TestHttpServer::Behaviour::Drop;
    QTest::newRow("connection dropped") << drop << "Error: ";
}

void TestRemoteDelivery::failedSendsFollowTheSchedule()
{
    QFETCH(Route, route);
    QFETCH(QString, reason);
    m_receiver->setRoute(QStringLiteral("hook"), route);
    setTarget(1, Kind::Webhook, QStringLiteral("hook"));
    startDelivery();

    m_delivery->receive(signalOf("1"));
    awaitAttempts(1);
    const std::array<std::chrono::milliseconds, 4> waits{5s, 30s, 2min, 10min};
    for (int retry = 0; retry < int(waits.size()); ++retry) {
        QCOMPARE(m_delivery->pending().size(), 1);
        QCOMPARE(m_delivery->pending().first().failures, retry + 1);
        QCOMPARE(m_delivery->nextDue().value(), m_now.addMSecs(waits.at(retry).count()));
        // A moment early nothing goes out. (Qt itself sends a request again once when the
        // connection drops before an answer, so requests are counted as more or not.)
        const qsizetype arrived = m_receiver->received().size();
        advance(waits.at(retry) - 100ms);
        QTest::qWait(20);
        QCOMPARE(m_receiver->received().size(), arrived);
        advance(100ms);
        awaitAttempts(1);
        QVERIFY(m_receiver->received().size() > arrived);
    }
    QVERIFY(m_delivery->pending().isEmpty());
    QCOMPARE(sendsInStore(), 0);
    QCOMPARE(m_log.size(), 1);
    QVERIFY2(m_log.first().startsWith(QStringLiteral("Remote delivery: BUY EUR/USD option 1 to "
                                                     "target 1 (webhook) dropped after 5 "
                                                     "attempts: ") +
                                      reason),
             qPrintable(m_log.first()));
    // Every attempt was the same send.
    for (const TestHttpServer::Received &sent : m_receiver->received())
        QCOMPARE(sent.body, m_receiver->received().first().body);
}

void TestRemoteDelivery::tooManyRequestsHoldTheTarget_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Route>("limit");
    QTest::addColumn<Route>("ok");
    QTest::addColumn<qint64>("wait");
    QTest::newRow("telegram")
        << Kind::Telegram
        << answer(429,
                  R"({"ok":false,"error_code":429,"description":"Too Many Requests: retry after )"
                  R"(7","parameters":{"retry_after":7}})")
        << answer(200, R"({"ok":true,"result":{}})") << qint64(7000);
    QTest::newRow("discord")
        << Kind::Discord
        << answer(429,
                  R"({"message":"You are being rate limited.","retry_after":2.5,"global":false})",
                  {{"Retry-After", "3"}, {"X-RateLimit-Remaining", "0"}})
        << answer(204, "") << qint64(3000);
    QTest::newRow("webhook") << Kind::Webhook << answer(429, "slow down", {{"Retry-After", "40"}})
                             << answer(200, "{}") << qint64(40000);
}

void TestRemoteDelivery::tooManyRequestsHoldTheTarget()
{
    QFETCH(Kind, kind);
    QFETCH(Route, limit);
    QFETCH(Route, ok);
    QFETCH(qint64, wait);
    const QString path = kind == Kind::Telegram
                             ? QStringLiteral("bot%1/sendMessage").arg(QLatin1String(kToken))
                             : QStringLiteral("hook");
    m_receiver->setRoute(path, ok);
    m_receiver->queueAnswer(path, limit);
    setTarget(2, kind, path);
    startDelivery();

    m_delivery->receive(signalOf("1"));
    awaitAttempts(1);
    // The wait is the service's, and it is no failure.
    QCOMPARE(m_delivery->pending().first().failures, 0);
    QCOMPARE(m_delivery->nextDue().value(), m_now.addMSecs(wait));
    // A further signal waits too, and nothing is sent before the wait is over.
    m_delivery->receive(signalOf("2"));
    advance(std::chrono::milliseconds(wait - 1));
    QTest::qWait(20);
    QCOMPARE(m_receiver->received().size(), 1);
    advance(1ms);
    awaitAttempts(2);
    QCOMPARE(m_receiver->received().size(), 3);
    QVERIFY(m_delivery->pending().isEmpty());
    QVERIFY(m_log.isEmpty());
}

void TestRemoteDelivery::plainHttpIsNeverSent()
{
    DeliveryTarget target;
    target.on = true;
    target.options = QStringLiteral("123");
    target.url = QStringLiteral("http://192.0.2.10/hook");
    deliverytargets::write(*m_settings, 1, target);
    setTarget(2, Kind::Webhook, QStringLiteral("hook"));
    m_receiver->setRoute(QStringLiteral("hook"), answer(200, "{}"));
    startDelivery();

    m_delivery->receive(signalOf("1"));
    awaitAttempts(1); // target 2's
    QCOMPARE(m_receiver->received().size(), 1);
    QCOMPARE(m_log,
             QStringList{"Remote delivery: BUY EUR/USD option 1 to target 1 (webhook) not sent: "
                         "The address must start with https:// (http only to this computer)."});
    QVERIFY(m_delivery->pending().isEmpty());
}

void TestRemoteDelivery::switchedOffMeanwhileIsNotSent()
{
    m_receiver->setRoute(QStringLiteral("hook"), answer(503, "busy"));
    setTarget(1, Kind::Webhook, QStringLiteral("hook"));
    startDelivery();
    m_delivery->receive(signalOf("1"));
    awaitAttempts(1);

    DeliveryTarget target = deliverytargets::read(*m_settings, 1);
    target.on = false;
    deliverytargets::write(*m_settings, 1, target);
    m_receiver->setRoute(QStringLiteral("hook"), answer(200, "{}"));
    advance(5s);
    QTest::qWait(50);
    QCOMPARE(m_receiver->received().size(), 1);
    QVERIFY(m_delivery->pending().isEmpty());
    QCOMPARE(sendsInStore(), 0);

    // Off from the start, nothing is even queued.
    m_delivery->receive(signalOf("1"));
    QVERIFY(m_delivery->pending().isEmpty());
    QCOMPARE(sendsInStore(), 0);
}

void TestRemoteDelivery::pendingSendsOutliveARestartOnce()
{
    m_receiver->setRoute(QStringLiteral("hook"), answer(502, "bad gateway"));
    setTarget(1, Kind::Webhook, QStringLiteral("hook"));
    setTarget(3, Kind::Discord, QStringLiteral("discord"));
    m_receiver->setRoute(QStringLiteral("discord"), answer(502, "bad gateway"));
    startDelivery();
    m_delivery->receive(signalOf("1"));
    awaitAttempts(2);
    const QList<PendingSend> before = m_delivery->pending();
    QCOMPARE(before.size(), 2);
    stopDelivery(); // Exit

    m_receiver->setRoute(QStringLiteral("hook"), answer(200, "{}"));
    m_receiver->setRoute(QStringLiteral("discord"), answer(204, ""));
    m_receiver->clearRequests();
    m_now = m_now.addSecs(20 * 60);
    startDelivery();
    QCOMPARE(m_delivery->pending().size(), 0);
    m_delivery->resume();
    QCOMPARE(m_delivery->pending().size(), 2);
    QCOMPARE(m_delivery->pending(), before);
    awaitAttempts(2);
    QCOMPARE(m_receiver->requestCount(QStringLiteral("hook")), 1);
    QCOMPARE(m_receiver->requestCount(QStringLiteral("discord")), 1);
    QCOMPARE(jsonOf(m_receiver->received().at(0).body).value("time"),
             QJsonValue("2024-05-14T10:06:12Z"));
    stopDelivery();

    // The next start finds nothing left to send.
    m_receiver->clearRequests();
    startDelivery();
    m_delivery->resume();
    QVERIFY(m_delivery->pending().isEmpty());
    QTest::qWait(50);
    QVERIFY(m_receiver->received().isEmpty());
}

void TestRemoteDelivery::sendInFlightAtExitIsSentAgainWithItsKey()
{
    m_receiver->setRoute(QStringLiteral("hook"), hang());
    setTarget(1, Kind::Webhook, QStringLiteral("hook"));
    startDelivery();
    m_delivery->receive(signalOf("1"));
    QTRY_COMPARE(m_receiver->received().size(), 1);
    stopDelivery(); // while the receiver has not answered

    m_receiver->setRoute(QStringLiteral("hook"), answer(200, "{}"));
    startDelivery();
    m_delivery->resume();
    awaitAttempts(1);
    QCOMPARE(m_receiver->received().size(), 2);
    // The receiver can tell it is the same send.
    QCOMPARE(m_receiver->received().at(1).header("Idempotency-Key"),
             m_receiver->received().at(0).header("Idempotency-Key"));
    QCOMPARE(sendsInStore(), 0);
}

void TestRemoteDelivery::sendsOverAnHourLateAreDropped()
{
    m_receiver->setRoute(QStringLiteral("hook"), answer(500, "down"));
    setTarget(1, Kind::Webhook, QStringLiteral("hook"));
    startDelivery();
    m_delivery->receive(signalOf("1"));
    awaitAttempts(1);
    m_now = m_now.addSecs(30 * 60);
    m_delivery->receive(signalOf("3"));
    awaitAttempts(2); // the first one again, then this one
    stopDelivery();

    // 61 minutes after the first signal, 31 after the second.
    m_receiver->setRoute(QStringLiteral("hook"), answer(200, "{}"));
    m_receiver->clearRequests();
    m_now = m_now.addSecs(31 * 60);
    startDelivery();
    m_delivery->resume();
    awaitAttempts(1);
    QCOMPARE(m_receiver->received().size(), 1);
    QCOMPARE(jsonOf(m_receiver->received().first().body).value("option"), QJsonValue(3));
    QCOMPARE(m_log, QStringList{"Remote delivery: BUY EUR/USD option 1 to target 1 (webhook) "
                                "dropped, over an hour late"});
    QCOMPARE(sendsInStore(), 0);
}

void TestRemoteDelivery::closedFileStopsNoSend()
{
    m_receiver->setRoute(QStringLiteral("hook"), answer(503, "{}"));
    setTarget(1, Kind::Webhook, QStringLiteral("hook"));
    startDelivery();
    // The journal turns itself off when its file can no longer be written.
    m_database->writeFailed(QSqlError(QStringLiteral("driver"), QStringLiteral("read-only"),
                                      QSqlError::StatementError, QStringLiteral("8")));
    QVERIFY(!m_database->isOn());

    m_delivery->receive(signalOf("1"));
    awaitAttempts(1);
    // Waiting for its retry in memory only: the file the journal gave up is left alone.
    QCOMPARE(m_delivery->pending().size(), 1);
    {
        QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "file");
        file.setDatabaseName(m_dir->filePath(QStringLiteral("signals.sqlite")));
        QVERIFY(file.open());
        QSqlQuery query(file);
        QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM delivery_queue")) && query.next());
        QCOMPARE(query.value(0).toInt(), 0);
    }
    QSqlDatabase::removeDatabase("file");

    m_receiver->setRoute(QStringLiteral("hook"), answer(200, "{}"));
    advance(5s);
    awaitAttempts(1);
    QVERIFY(m_receiver->received().size() >= 2);
    QVERIFY(m_delivery->pending().isEmpty());
}

void TestRemoteDelivery::strangeRowsAreLeftAlone()
{
    m_receiver->setRoute(QStringLiteral("hook"), answer(200, "{}"));
    setTarget(1, Kind::Webhook, QStringLiteral("hook"));
    startDelivery();
    QSqlQuery insert(m_database->database());
    for (const char *row :
         {"('a', 0, '2024-05-14T10:06:12.000Z', 'BUY', 'Gold', 'XAUUSD', 1, '1', 0, "
          "'2024-05-14T10:06:12.000Z')",
          "('b', 4, '2024-05-14T10:06:12.000Z', 'BUY', 'Gold', 'XAUUSD', 1, '1', 0, "
          "'2024-05-14T10:06:12.000Z')",
          "('c', 1, 'yesterday', 'BUY', 'Gold', 'XAUUSD', 1, '1', 0, '2024-05-14T10:06:12.000Z')",
          "('d', 1, '2024-05-14T10:06:12.000Z', 'SELL', 'Gold', 'XAUUSD', 2, '2345.6', 1, "
          "'2024-05-14T10:06:17.000Z')"}) {
        QVERIFY2(
            insert.exec(QStringLiteral("INSERT INTO delivery_queue VALUES ") + QLatin1String(row)),
            qPrintable(insert.lastError().text()));
    }
    m_now = m_now.addSecs(10);
    m_delivery->resume();
    QCOMPARE(m_delivery->pending().size(), 1);
    awaitAttempts(1);
    const QJsonObject sent = jsonOf(m_receiver->received().first().body);
    QCOMPARE(sent.value("id"), QJsonValue("d"));
    QCOMPARE(sent.value("direction"), QJsonValue("SELL"));
    QCOMPARE(sent.value("price"), QJsonValue(2345.6));
}

void TestRemoteDelivery::tokenNeverInAnErrorText_data()
{
    QTest::addColumn<Route>("route");
    const QByteArray echoed =
        "Cannot POST /bot" + QByteArray(kToken) + "/sendMessage\nat router.handle";
    QTest::newRow("path echoed") << answer(404, echoed);
    QTest::newRow("path echoed encoded") << answer(
        404, "Cannot POST /bot" + QUrl::toPercentEncoding(QLatin1String(kToken)) + "/sendMessage");
    QTest::newRow("unauthorized") << answer(
        401, R"({"ok":false,"error_code":401,"description":"Unauthorized"})");
}

void TestRemoteDelivery::tokenNeverInAnErrorText()
{
    QFETCH(Route, route);
    const QString path = QStringLiteral("bot%1/sendMessage").arg(QLatin1String(kToken));
    m_receiver->setRoute(path, route);
    setTarget(1, Kind::Telegram, path);
    startDelivery();

    m_delivery->receive(signalOf("1"));
    awaitAttempts(1);
    for (const std::chrono::milliseconds wait : {5s, 30s, 120s, 600s}) {
        advance(wait);
        awaitAttempts(1);
    }
    QCOMPARE(m_log.size(), 1);
    QVERIFY(m_log.first().contains(QLatin1String("dropped after 5 attempts: HTTP 40")));
    QVERIFY2(!m_log.first().contains(QLatin1String("SECRET")), qPrintable(m_log.first()));

    const RemoteDelivery::TestAnswer test =
        QCoro::waitFor(m_delivery->sendTest(deliverytargets::read(*m_settings, 1)));
    QVERIFY(!test.delivered);
    QVERIFY(test.text.startsWith(QLatin1String("HTTP 40")));
    QVERIFY2(!test.text.contains(QLatin1String("SECRET")), qPrintable(test.text));
}

void TestRemoteDelivery::testSendShowsTheAnswer_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Route>("route");
    QTest::addColumn<bool>("delivered");
    QTest::addColumn<QString>("text");
    QTest::newRow("telegram") << Kind::Telegram
                              << answer(200, "{\"ok\":true,\"result\":{\"message_id\":5}}\n")
                              << true << R"(HTTP 200 OK: {"ok":true,"result":{"message_id":5}})";
    QTest::newRow("telegram chat not found")
        << Kind::Telegram
        << answer(400,
                  R"({"ok":false,"error_code":400,"description":"Bad Request: chat not found"})")
        << false
        << R"(HTTP 400 Bad Request: {"ok":false,"error_code":400,"description":"Bad Request: chat not found"})";
    QTest::newRow("discord") << Kind::Discord << answer(204, "") << true << "HTTP 204 No Content";
    QTest::newRow("webhook no answer")
        << Kind::Webhook << hang() << false << "Error: no answer in time";
}

void TestRemoteDelivery::testSendShowsTheAnswer()
{
    QFETCH(Kind, kind);
    QFETCH(Route, route);
    const QString path = kind == Kind::Telegram
                             ? QStringLiteral("bot%1/sendMessage").arg(QLatin1String(kToken))
                             : QStringLiteral("hook");
    m_receiver->setRoute(path, route);
    setTarget(1, kind, path);
    startDelivery();

    const RemoteDelivery::TestAnswer test =
        QCoro::waitFor(m_delivery->sendTest(deliverytargets::read(*m_settings, 1)));
    QTEST(test.delivered, "delivered");
    QTEST(test.text, "text");
    QCOMPARE(m_receiver->received().size(), 1);
    // A test is never queued and never retried.
    QVERIFY(m_delivery->pending().isEmpty());
    QCOMPARE(sendsInStore(), 0);
}

QTEST_GUILESS_MAIN(TestRemoteDelivery)
#include "tst_remotedelivery.moc"
