#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "signals/deliveredsignal.h"
#include "signals/deliveryanswer.h"
#include "signals/deliverymessage.h"
#include "signals/deliverytarget.h"
#include "signals/deliverytexts.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;
using Kind = DeliveryTarget::Kind;

Q_DECLARE_METATYPE(Kind)

namespace {

const QDateTime kSignalTime(QDate(2024, 5, 14), QTime(10, 6, 12), Qt::UTC);

OutgoingSignal eurusd()
{
    OutgoingSignal signal = OutgoingSignal::of(
        DeliveredSignal{Signal{QTime(), "BUY", "EUR/USD", "1"}, kSignalTime, 1, "1.08765"});
    signal.id = QStringLiteral("5f0c6d2e-8d1a-4c39-9a53-0e6f2b7c1a44");
    return signal;
}

HttpAnswer answer(int status, const QByteArray &body, const QByteArray &retryAfter = {})
{
    HttpAnswer result;
    result.status = status;
    result.body = body;
    result.retryAfter = retryAfter;
    return result;
}

} // namespace

// The stored forms of the targets, what is sent to each kind, how answers are read and what
// errors may show of a target's secrets. Runs with the local time three hours ahead of UTC.
class TestDeliveryMessage final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void targetsAreStoredInTheirOwnSection();
    void unusableStoredValuesReadAsDefaults_data();
    void unusableStoredValuesReadAsDefaults();
    void addressRules_data();
    void addressRules();
    void webhookBodyInItsOrder();
    void webhookSymbolAndPrice_data();
    void webhookSymbolAndPrice();
    void chatForms_data();
    void chatForms();
    void testSendIsNoSignal();
    void deliveredAnswers_data();
    void deliveredAnswers();
    void retryAfter_data();
    void retryAfter();
    void summaryShowsStatusAndFirstLine_data();
    void summaryShowsStatusAndFirstLine();
    void secretsAreTakenOut_data();
    void secretsAreTakenOut();
};

void TestDeliveryMessage::targetsAreStoredInTheirOwnSection()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("s.ini"));
    {
        SettingsStore settings(file);
        DeliveryTarget telegram;
        telegram.kind = Kind::Telegram;
        telegram.token = QStringLiteral("123456:ABC-def");
        telegram.chat = QStringLiteral("-1001234567890");
        telegram.api = QLatin1String(deliverytargets::kDefaultTelegramApi);
        telegram.options = QStringLiteral("31"); // stored in order
        telegram.on = true;
        deliverytargets::write(settings, 2, telegram);
    }
    QSettings ini(file, QSettings::IniFormat);
    QCOMPARE(ini.childGroups(), QStringList{"Delivery"});
    ini.beginGroup(QStringLiteral("Delivery"));
    QCOMPARE(ini.childKeys(), (QStringList{"Target2Api", "Target2Chat", "Target2Kind", "Target2On",
                                           "Target2Options", "Target2Token", "Target2Url"}));
    QCOMPARE(ini.value("Target2Kind").toString(), QStringLiteral("telegram"));
    QCOMPARE(ini.value("Target2Options").toString(), QStringLiteral("13"));
    QCOMPARE(ini.value("Target2On").toString(), QStringLiteral("1"));
    QCOMPARE(ini.value("Target2Chat").toString(), QStringLiteral("-1001234567890"));

    const SettingsStore settings(file);
    const DeliveryTarget back = deliverytargets::read(settings, 2);
    QCOMPARE(back.kind, Kind::Telegram);
    QCOMPARE(back.token, QStringLiteral("123456:ABC-def"));
    QCOMPARE(back.options, QStringLiteral("13"));
    QVERIFY(back.on);
    QVERIFY(back.receives("3"));
    QVERIFY(!back.receives("2"));
}

void TestDeliveryMessage::unusableStoredValuesReadAsDefaults_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("api");
    const QString api = QLatin1String(deliverytargets::kDefaultTelegramApi);
    QTest::newRow("nothing stored") << ""
                                    << ""
                                    << "webhook"
                                    << "123" << false << api;
    QTest::newRow("discord") << "Target1Kind"
                             << "discord"
                             << "discord"
                             << "123" << false << api;
    QTest::newRow("unknown kind") << "Target1Kind"
                                  << "slack"
                                  << "webhook"
                                  << "123" << false << api;
    QTest::newRow("kind in capitals") << "Target1Kind"
                                      << "Telegram"
                                      << "webhook"
                                      << "123" << false << api;
    QTest::newRow("no option") << "Target1Options"
                               << ""
                               << "webhook"
                               << "" << false << api;
    QTest::newRow("digit 4") << "Target1Options"
                             << "14"
                             << "webhook"
                             << "123" << false << api;
    QTest::newRow("on") << "Target1On"
                        << "1"
                        << "webhook"
                        << "123" << true << api;
    QTest::newRow("on as True") << "Target1On"
                                << "True"
                                << "webhook"
                                << "123" << false << api;
    QTest::newRow("own API") << "Target1Api"
                             << "http://127.0.0.1:8081"
                             << "webhook"
                             << "123" << false << "http://127.0.0.1:8081";
}

void TestDeliveryMessage::unusableStoredValuesReadAsDefaults()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("s.ini")));
    if (!key.isEmpty())
        settings.write(QLatin1String(settingskeys::kDelivery), key, stored);
    const DeliveryTarget target = deliverytargets::read(settings, 1);
    QTEST(deliverytargets::kindText(target.kind), "kind");
    QTEST(target.options, "options");
    QTEST(target.on, "on");
    QTEST(target.api, "api");
}

void TestDeliveryMessage::addressRules_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("problem");
    const QString notHttps = QLatin1String(deliverytexts::kNotHttps);
    QTest::newRow("https") << "https://hooks.example.com/q"
                           << "";
    QTest::newRow("https in capitals") << "HTTPS://hooks.example.com/q"
                                       << "";
    QTest::newRow("loopback") << "http://127.0.0.1:8080/hook"
                              << "";
    QTest::newRow("loopback range") << "http://127.0.0.2/hook"
                                    << "";
    QTest::newRow("localhost") << "http://localhost:9000/"
                               << "";
    QTest::newRow("loopback v6") << "http://[::1]:9000/"
                                 << "";
    QTest::newRow("plain http") << "http://hooks.example.com/q" << notHttps;
    QTest::newRow("private network") << "http://192.168.1.20/hook" << notHttps;
    QTest::newRow("looks local") << "http://localhost.example.com/" << notHttps;
    QTest::newRow("ftp") << "ftp://127.0.0.1/hook" << notHttps;
    QTest::newRow("empty") << "  " << QString::fromLatin1(deliverytexts::kNoAddress);
    QTest::newRow("no scheme") << "hooks.example.com/q"
                               << QString::fromLatin1(deliverytexts::kNotAnAddress);
}

void TestDeliveryMessage::addressRules()
{
    QFETCH(QString, address);
    QTEST(deliverytargets::addressProblem(address), "problem");
}

void TestDeliveryMessage::webhookBodyInItsOrder()
{
    QCOMPARE(deliverymessage::webhookBody(eurusd()),
             QByteArray(R"({"id":"5f0c6d2e-8d1a-4c39-9a53-0e6f2b7c1a44",)"
                        R"("time":"2024-05-14T10:06:12Z","direction":"BUY",)"
                        R"("instrument":"EUR/USD","symbol":"EURUSD","option":1,)"
                        R"("price":1.08765})"));

    DeliveryTarget target;
    target.url = QStringLiteral(" https://hooks.example.com/q ");
    const DeliveryRequest request = deliverymessage::requestFor(target, eurusd());
    QCOMPARE(request.url, QUrl("https://hooks.example.com/q"));
    QCOMPARE(request.headers, (QList<QPair<QByteArray, QByteArray>>{
                                  {"Idempotency-Key", "5f0c6d2e-8d1a-4c39-9a53-0e6f2b7c1a44"}}));
}

void TestDeliveryMessage::webhookSymbolAndPrice_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QJsonValue>("number");
    QTest::newRow("gold") << "Gold"
                          << "2345.6"
                          << "XAUUSD" << QJsonValue(2345.6);
    QTest::newRow("bitcoin") << "BTC/USD (Bitcoin)"
                             << "67,123.45"
                             << "BTCUSD" << QJsonValue(67123.45);
    QTest::newRow("index") << "S&P 500"
                           << "5308"
                           << "S&P 500" << QJsonValue(5308);
    QTest::newRow("no price") << "Silver"
                              << ""
                              << "XAGUSD" << QJsonValue();
    QTest::newRow("not a price") << "EUR/RUB"
                                 << "n/a"
                                 << "EURRUB" << QJsonValue();
}

void TestDeliveryMessage::webhookSymbolAndPrice()
{
    QFETCH(QString, instrument);
    QFETCH(QString, price);
    const OutgoingSignal signal = OutgoingSignal::of(
        DeliveredSignal{Signal{QTime(), "SELL", instrument, "3"}, kSignalTime, 2, price});
    const QJsonObject body = QJsonDocument::fromJson(deliverymessage::webhookBody(signal)).object();
    QCOMPARE(body.value("instrument").toString(), instrument);
    QTEST(body.value("symbol").toString(), "symbol");
    QCOMPARE(body.value("option"), QJsonValue(3));
    QVERIFY(body.contains("price"));
    QTEST(body.value("price"), "number");
}

void TestDeliveryMessage::chatForms_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("chat");
    QTest::addColumn<QString>("api");
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QByteArray>("body");
    const QByteArray line = "BUY EUR/USD \xc2\xb7 option 1 \xc2\xb7 1.08765 \xc2\xb7 13:06";
    QTest::newRow("telegram supergroup")
        << Kind::Telegram << "-1001234567890"
        << "https://api.telegram.org"
        << QUrl("https://api.telegram.org/bot123456:ABC-def/sendMessage")
        << R"({"chat_id":-1001234567890,"text":")" + line + "\"}";
    QTest::newRow("telegram channel")
        << Kind::Telegram << " @quentara_signals "
        << "http://127.0.0.1:8081/" << QUrl("http://127.0.0.1:8081/bot123456:ABC-def/sendMessage")
        << R"({"chat_id":"@quentara_signals","text":")" + line + "\"}";
    QTest::newRow("discord") << Kind::Discord << ""
                             << "" << QUrl("https://discord.com/api/webhooks/1/xyz")
                             << R"({"content":")" + line + "\"}";
}

void TestDeliveryMessage::chatForms()
{
    QFETCH(Kind, kind);
    QFETCH(QString, chat);
    QFETCH(QString, api);
    DeliveryTarget target;
    target.kind = kind;
    target.token = QStringLiteral("123456:ABC-def");
    target.chat = chat;
    target.api = api;
    target.url = QStringLiteral("https://discord.com/api/webhooks/1/xyz");
    const DeliveryRequest request = deliverymessage::requestFor(target, eurusd());
    QTEST(request.url, "url");
    QTEST(request.body, "body");
    QVERIFY(request.headers.isEmpty());
}

void TestDeliveryMessage::testSendIsNoSignal()
{
    DeliveryTarget webhook;
    webhook.url = QStringLiteral("https://hooks.example.com/q");
    const QJsonObject body =
        QJsonDocument::fromJson(
            deliverymessage::testRequestFor(webhook, QStringLiteral("t-1"), kSignalTime).body)
            .object();
    QCOMPARE(body.value("test"), QJsonValue(true));
    QCOMPARE(body.value("id"), QJsonValue("t-1"));
    QCOMPARE(body.value("time"), QJsonValue("2024-05-14T10:06:12Z"));
    QVERIFY(!body.contains("direction"));
    QVERIFY(!body.contains("symbol"));

    DeliveryTarget discord;
    discord.kind = Kind::Discord;
    discord.url = QStringLiteral("https://discord.com/api/webhooks/1/xyz");
    QCOMPARE(deliverymessage::testRequestFor(discord, QStringLiteral("t-1"), kSignalTime).body,
             deliverymessage::discordBody(QLatin1String(deliverytexts::kTestText)));
}

void TestDeliveryMessage::deliveredAnswers_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("delivered");
    QTest::newRow("telegram ok") << Kind::Telegram << 200
                                 << QByteArray(R"({"ok":true,"result":{"message_id":7}})") << true;
    QTest::newRow("telegram not ok")
        << Kind::Telegram << 200 << QByteArray(R"({"ok":false,"description":"x"})") << false;
    QTest::newRow("telegram chat not found")
        << Kind::Telegram << 400
        << QByteArray(
               R"({"ok":false,"error_code":400,"description":"Bad Request: chat not found"})")
        << false;
    QTest::newRow("discord no content") << Kind::Discord << 204 << QByteArray() << true;
    QTest::newRow("discord unknown webhook")
        << Kind::Discord << 404 << QByteArray(R"({"message":"Unknown Webhook","code":10015})")
        << false;
    QTest::newRow("webhook own ok field")
        << Kind::Webhook << 200 << QByteArray(R"({"ok":false})") << true;
    QTest::newRow("webhook redirect") << Kind::Webhook << 302 << QByteArray() << false;
    QTest::newRow("no answer") << Kind::Webhook << 0 << QByteArray() << false;
}

void TestDeliveryMessage::deliveredAnswers()
{
    QFETCH(Kind, kind);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QTEST(deliveryanswer::isDelivered(answer(status, body), kind), "delivered");
}

void TestDeliveryMessage::retryAfter_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<qint64>("wait"); // milliseconds, -1 for none
    QTest::newRow("telegram")
        << 429
        << QByteArray(R"({"ok":false,"error_code":429,"description":"Too Many Requests: retry )"
                      R"(after 33","parameters":{"retry_after":33}})")
        << QByteArray("33") << qint64(33000);
    QTest::newRow("telegram without header")
        << 429 << QByteArray(R"({"ok":false,"parameters":{"retry_after":7}})") << QByteArray()
        << qint64(7000);
    QTest::newRow("discord")
        << 429
        << QByteArray(R"({"message":"You are being rate limited.","retry_after":64.57,)"
                      R"("global":false})")
        << QByteArray("65") << qint64(65000);
    QTest::newRow("discord body only")
        << 429 << QByteArray(R"({"message":"You are being rate limited.","retry_after":0.35})")
        << QByteArray() << qint64(350);
    QTest::newRow("http date") << 429 << QByteArray("slow down")
                               << QByteArray("Tue, 14 May 2024 10:08:12 GMT") << qint64(120000);
    QTest::newRow("date passed") << 429 << QByteArray()
                                 << QByteArray("Tue, 14 May 2024 10:00:00 GMT") << qint64(0);
    QTest::newRow("nothing said") << 429 << QByteArray("slow down") << QByteArray() << qint64(-1);
    QTest::newRow("garbage header") << 429 << QByteArray() << QByteArray("soon") << qint64(-1);
    QTest::newRow("not a 429") << 503 << QByteArray() << QByteArray("30") << qint64(-1);
}

void TestDeliveryMessage::retryAfter()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, header);
    QFETCH(qint64, wait);
    const auto told = deliveryanswer::retryAfter(answer(status, body, header), kSignalTime);
    QCOMPARE(told ? told->count() : -1, wait);
}

void TestDeliveryMessage::summaryShowsStatusAndFirstLine_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("reason");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("summary");
    QTest::newRow("telegram") << 200 << QByteArray("OK")
                              << QByteArray("{\"ok\":true,\"result\":{}}\n") << QString()
                              << R"(HTTP 200 OK: {"ok":true,"result":{}})";
    QTest::newRow("two lines") << 500 << QByteArray("Internal Server Error")
                               << QByteArray("upstream failed\r\nat line 2") << QString()
                               << "HTTP 500 Internal Server Error: upstream failed";
    QTest::newRow("no body") << 204 << QByteArray("No Content") << QByteArray() << QString()
                             << "HTTP 204 No Content";
    QTest::newRow("error") << 0 << QByteArray() << QByteArray() << "Connection refused"
                           << "Error: Connection refused";
}

void TestDeliveryMessage::summaryShowsStatusAndFirstLine()
{
    QFETCH(int, status);
    QFETCH(QByteArray, reason);
    QFETCH(QByteArray, body);
    QFETCH(QString, error);
    HttpAnswer given = answer(status, body);
    given.reason = reason;
    given.error = error;
    QTEST(deliveryanswer::summary(given), "summary");
}

void TestDeliveryMessage::secretsAreTakenOut_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("redacted");
    QTest::newRow("telegram in a Qt error")
        << Kind::Telegram
        << "Error transferring https://api.telegram.org/bot123456:ABC-def/sendMessage - server "
           "replied: Not Found"
        << "Error transferring https://api.telegram.org/bot\u2022\u2022\u2022/sendMessage - "
           "server replied: Not Found";
    QTest::newRow("telegram path echoed")
        << Kind::Telegram << "HTTP 404 Not Found: Cannot POST /bot123456%3AABC-def/sendMessage"
        << "HTTP 404 Not Found: Cannot POST /bot\u2022\u2022\u2022/sendMessage";
    QTest::newRow("discord webhook")
        << Kind::Discord
        << "Error transferring https://discord.com/api/webhooks/1/xyz-secret - server replied: "
           "Bad Gateway"
        << "Error transferring https://discord.com/\u2022\u2022\u2022 - server replied: Bad "
           "Gateway";
    QTest::newRow("nothing secret") << Kind::Telegram << "Error: Connection refused"
                                    << "Error: Connection refused";
}

void TestDeliveryMessage::secretsAreTakenOut()
{
    QFETCH(Kind, kind);
    QFETCH(QString, text);
    DeliveryTarget target;
    target.kind = kind;
    target.token = QStringLiteral("123456:ABC-def");
    target.api = QLatin1String(deliverytargets::kDefaultTelegramApi);
    if (kind == Kind::Discord)
        target.url = QStringLiteral("https://discord.com/api/webhooks/1/xyz-secret");
    QTEST(deliverymessage::redacted(text, target), "redacted");
}

QTEST_GUILESS_MAIN(TestDeliveryMessage)
#include "tst_deliverymessage.moc"
