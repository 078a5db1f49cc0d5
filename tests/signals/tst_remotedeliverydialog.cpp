#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "signals/deliveryqueue.h"
#include "signals/deliverytarget.h"
#include "signals/deliverytexts.h"
#include "signals/remotedelivery.h"
#include "signals/remotedeliverydialog.h"
#include "testhttpserver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

using Kind = DeliveryTarget::Kind;

namespace {

constexpr char kToken[] = "123456:SECRET-token";

} // namespace

// The "Remote delivery" dialog on the offscreen platform: what it shows of the store, what OK
// stores, the addresses it refuses and the answer of a test send from a loopback receiver.
class TestRemoteDeliveryDialog final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void showsTheStoreAndStoresOnOk();
    void cancelStoresNothing();
    void refusedAddressStoresNothing_data();
    void refusedAddressStoresNothing();
    void sendTestShowsTheAnswer_data();
    void sendTestShowsTheAnswer();

private:
    template<typename Widget>
    Widget *child(const char *name, int target) const
    {
        auto *widget = m_dialog->findChild<Widget *>(QLatin1String(name) + QLatin1Char('_') +
                                                     QString::number(target));
        if (!widget)
            qFatal("no widget %s_%d", name, target);
        return widget;
    }
    QString stored(const QString &key) const
    {
        return m_settings->read(QLatin1String(settingskeys::kDelivery), key, "<missing>");
    }
    void fillTelegram(int target, const QString &api);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    QNetworkAccessManager m_network;
    DeliveryQueue m_queue;
    std::unique_ptr<RemoteDelivery> m_delivery;
    std::unique_ptr<TestHttpServer> m_receiver;
    std::unique_ptr<RemoteDeliveryDialog> m_dialog;
};

void TestRemoteDeliveryDialog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("s.ini")));
    RemoteDelivery::Timings timings;
    timings.timeout = std::chrono::milliseconds(500);
    m_delivery =
        std::make_unique<RemoteDelivery>(*m_settings, m_network, m_queue, Clock(), timings);
    m_receiver = std::make_unique<TestHttpServer>();
    QVERIFY(m_receiver->start());
}

void TestRemoteDeliveryDialog::cleanup()
{
    m_dialog.reset();
    m_delivery.reset();
    m_receiver.reset();
}

void TestRemoteDeliveryDialog::fillTelegram(int target, const QString &api)
{
    child<QCheckBox>("targetOn", target)->setChecked(true);
    child<QComboBox>("targetKind", target)->setCurrentIndex(1);
    child<QLineEdit>("targetToken", target)->setText(QLatin1String(kToken));
    child<QLineEdit>("targetChat", target)->setText(QStringLiteral("@quentara_signals"));
    child<QLineEdit>("targetApi", target)->setText(api);
}

void TestRemoteDeliveryDialog::showsTheStoreAndStoresOnOk()
{
    DeliveryTarget telegram;
    telegram.kind = Kind::Telegram;
    telegram.token = QLatin1String(kToken);
    telegram.chat = QStringLiteral("-1001234567890");
    telegram.api = QLatin1String(deliverytargets::kDefaultTelegramApi);
    telegram.options = QStringLiteral("13");
    telegram.on = true;
    deliverytargets::write(*m_settings, 2, telegram);

    m_dialog = std::make_unique<RemoteDeliveryDialog>(*m_settings, *m_delivery);
    m_dialog->show();
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Remote delivery"));
    QVERIFY(child<QCheckBox>("targetOn", 2)->isChecked());
    QCOMPARE(child<QComboBox>("targetKind", 2)->currentText(), QStringLiteral("Telegram"));
    QVERIFY(child<QLineEdit>("targetToken", 2)->isVisible());
    QVERIFY(!child<QLineEdit>("targetUrl", 2)->isVisible());
    QCOMPARE(child<QLineEdit>("targetChat", 2)->text(), QStringLiteral("-1001234567890"));
    QVERIFY(child<QCheckBox>("targetOption_2", 1)->isChecked());
    QVERIFY(!child<QCheckBox>("targetOption_2", 2)->isChecked());
    QVERIFY(child<QCheckBox>("targetOption_2", 3)->isChecked());
    // The others as nothing stored has them: off, a webhook, every option.
    QVERIFY(!child<QCheckBox>("targetOn", 1)->isChecked());
    QCOMPARE(child<QComboBox>("targetKind", 1)->currentText(), QStringLiteral("Webhook"));
    QVERIFY(child<QLineEdit>("targetUrl", 1)->isVisible());
    QVERIFY(child<QCheckBox>("targetOption_1", 2)->isChecked());
    QCOMPARE(child<QLineEdit>("targetApi", 3)->text(),
             QLatin1String(deliverytargets::kDefaultTelegramApi));
    const int height = m_dialog->height();

    child<QCheckBox>("targetOn", 1)->setChecked(true);
    child<QLineEdit>("targetUrl", 1)->setText(QStringLiteral(" https://hooks.example.com/q "));
    child<QCheckBox>("targetOption_1", 2)->setChecked(false);
    child<QComboBox>("targetKind", 3)->setCurrentIndex(2);
    QVERIFY(child<QLineEdit>("targetUrl", 3)->isVisible());
    QCOMPARE(m_dialog->height(), height); // the kind does not resize the window
    QTest::mouseClick(m_dialog->findChild<QPushButton *>(QStringLiteral("okButton")),
                      Qt::LeftButton);

    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(stored("Target1On"), QStringLiteral("1"));
    QCOMPARE(stored("Target1Kind"), QStringLiteral("webhook"));
    QCOMPARE(stored("Target1Url"), QStringLiteral("https://hooks.example.com/q"));
    QCOMPARE(stored("Target1Options"), QStringLiteral("13"));
    QCOMPARE(stored("Target2Token"), QLatin1String(kToken));
    QCOMPARE(stored("Target2Options"), QStringLiteral("13"));
    QCOMPARE(stored("Target3Kind"), QStringLiteral("discord"));
    QCOMPARE(stored("Target3On"), QStringLiteral("0"));
    QCOMPARE(stored("Target3Options"), QStringLiteral("123"));
}

void TestRemoteDeliveryDialog::cancelStoresNothing()
{
    m_dialog = std::make_unique<RemoteDeliveryDialog>(*m_settings, *m_delivery);
    m_dialog->show();
    child<QCheckBox>("targetOn", 1)->setChecked(true);
    child<QLineEdit>("targetUrl", 1)->setText(QStringLiteral("https://hooks.example.com/q"));
    QTest::mouseClick(m_dialog->findChild<QPushButton *>(QStringLiteral("cancelButton")),
                      Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(stored("Target1On"), QStringLiteral("<missing>"));
    QCOMPARE(stored("Target1Url"), QStringLiteral("<missing>"));
}

void TestRemoteDeliveryDialog::refusedAddressStoresNothing_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("problem");
    const QString notHttps = QLatin1String(deliverytexts::kNotHttps);
    QTest::newRow("plain http") << true << 0 << "http://hooks.example.com/q" << notHttps;
    QTest::newRow("plain http while off") << false << 0 << "http://hooks.example.com/q" << notHttps;
    QTest::newRow("discord over http")
        << true << 2 << "http://discord.com/api/webhooks/1/x" << notHttps;
    QTest::newRow("telegram API over http") << true << 1 << "http://api.telegram.org" << notHttps;
    QTest::newRow("no address") << true << 0 << ""
                                << QString::fromLatin1(deliverytexts::kNoAddress);
}

void TestRemoteDeliveryDialog::refusedAddressStoresNothing()
{
    QFETCH(bool, on);
    QFETCH(int, kind);
    QFETCH(QString, address);
    m_dialog = std::make_unique<RemoteDeliveryDialog>(*m_settings, *m_delivery);
    m_dialog->show();
    if (kind == 1) {
        fillTelegram(3, address);
    } else {
        child<QComboBox>("targetKind", 3)->setCurrentIndex(kind);
        child<QLineEdit>("targetUrl", 3)->setText(address);
    }
    child<QCheckBox>("targetOn", 3)->setChecked(on);
    QTest::mouseClick(m_dialog->findChild<QPushButton *>(QStringLiteral("okButton")),
                      Qt::LeftButton);

    QVERIFY(m_dialog->isVisible());
    QTEST(child<QLabel>("testAnswer", 3)->text(), "problem");
    QCOMPARE(stored("Target3Url"), QStringLiteral("<missing>"));
    QCOMPARE(stored("Target1On"), QStringLiteral("<missing>"));
    // "Send test" refuses it the same way, without a request.
    QTest::mouseClick(child<QPushButton>("sendTest", 3), Qt::LeftButton);
    QTRY_VERIFY(child<QPushButton>("sendTest", 3)->isEnabled());
    QTEST(child<QLabel>("testAnswer", 3)->text(), "problem");
    QVERIFY(m_receiver->received().isEmpty());
}

void TestRemoteDeliveryDialog::sendTestShowsTheAnswer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("good");
    const QByteArray sent =
        R"({"ok":true,"result":{"message_id":9,"sender_chat":{"id":-1001234567890,"title":)"
        R"("Quentara signals","username":"quentara_signals","type":"channel"},"chat":{"id":)"
        R"(-1001234567890,"title":"Quentara signals","username":"quentara_signals","type":)"
        R"("channel"},"date":1715681172,"text":"Quentara: a test of remote delivery, not a )"
        R"(signal."}})";
    // The first 300 characters of a line are shown.
    QTest::newRow("sent") << 200 << sent << "HTTP 200 OK: " + QString::fromUtf8(sent.left(300))
                          << true;
    QTest::newRow("unauthorized")
        << 401 << QByteArray(R"({"ok":false,"error_code":401,"description":"Unauthorized"})")
        << R"(HTTP 401 Unauthorized: {"ok":false,"error_code":401,"description":"Unauthorized"})"
        << false;
    QTest::newRow("path echoed")
        << 404 << "Cannot POST /bot" + QByteArray(kToken) + "/sendMessage"
        << "HTTP 404 Not Found: Cannot POST /bot\u2022\u2022\u2022/sendMessage" << false;
}

void TestRemoteDeliveryDialog::sendTestShowsTheAnswer()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, good);
    const QString path = QStringLiteral("bot%1/sendMessage").arg(QLatin1String(kToken));
    TestHttpServer::Route route;
    route.status = status;
    route.body = body;
    route.contentType = "application/json";
    route.delay = std::chrono::milliseconds(100);
    m_receiver->setRoute(path, route);
    m_dialog = std::make_unique<RemoteDeliveryDialog>(*m_settings, *m_delivery);
    m_dialog->show();
    fillTelegram(2, m_receiver->baseAddress());

    QPushButton *sendTest = child<QPushButton>("sendTest", 2);
    QLabel *answer = child<QLabel>("testAnswer", 2);
    QTest::mouseClick(sendTest, Qt::LeftButton);
    QCOMPARE(answer->text(), QStringLiteral("Sending..."));
    QVERIFY(!sendTest->isEnabled());
    QTRY_VERIFY(sendTest->isEnabled());
    QTEST(answer->toolTip(), "answer");
    QCOMPARE(answer->palette().color(QPalette::WindowText) == QColor(0xE8, 0x00, 0x00), !good);

    QCOMPARE(m_receiver->requests(), QStringList{path});
    const QJsonObject sent = QJsonDocument::fromJson(m_receiver->received().first().body).object();
    QCOMPARE(sent.value("chat_id").toString(), QStringLiteral("@quentara_signals"));
    QCOMPARE(sent.value("text").toString(), QLatin1String(deliverytexts::kTestText));
    // Testing stores nothing.
    QCOMPARE(stored("Target2Token"), QStringLiteral("<missing>"));
}

QTEST_MAIN(TestRemoteDeliveryDialog)
#include "tst_remotedeliverydialog.moc"
