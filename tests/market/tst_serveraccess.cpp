#include "market/serveraccess.h"
#include "market/serverpaths.h"
#include "market/systemproxy.h"
#include "testhttpproxy.h"
#include "testhttpserver.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QScopeGuard>
#include <QTest>

#include <QCoroTask>

using namespace std::chrono_literals;

class TestServerAccess final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void extraction_data();
    void extraction();
    void outcomeOfFailures_data();
    void outcomeOfFailures();
    void failedInstrumentWithoutCodeKeepsOutcome();
    void successResetsOutcomeEvenWithoutData();
    void transferTimeout();
    void overallDeadline();
    void responseSizeCap();
    void secureAddressStaysSecure();
    void addressComposition();
    void systemProxyIsUsed_data();
    void systemProxyIsUsed();

private:
    QString fetchText(const QString &path, const QString &fileName = QStringLiteral("doc.xml"));

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<ServerAccess> m_access;
};

void TestServerAccess::init()
{
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->start() != 0);
    m_network = std::make_unique<QNetworkAccessManager>();
    m_access = std::make_unique<ServerAccess>(*m_network, m_server->baseAddress());
}

QString TestServerAccess::fetchText(const QString &path, const QString &fileName)
{
    return QCoro::waitFor(m_access->openUrl(m_access->baseAddress() + path, fileName));
}

void TestServerAccess::extraction_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("errconnect");

    QTest::newRow("data is the root") << QByteArray("<data>yes;1</data>") << "yes;1"
                                      << "0";
    QTest::newRow("data deep in the tree")
        << QByteArray("<?xml version=\"1.0\"?><a><b><c><data>deep</data></c></b></a>") << "deep"
        << "0";
    QTest::newRow("first data in document order wins")
        << QByteArray("<a><b><data>first</data></b><data>second</data></a>") << "first"
        << "0";
    QTest::newRow("children concatenated")
        << QByteArray("<a><data>one<x>two<y>three</y></x>four</data></a>") << "onetwothreefour"
        << "0";
    QTest::newRow("line feeds kept, CR LF read as LF")
        << QByteArray("<a><data>l0;a\r\nl1;b\nl2;c\n</data></a>") << "l0;a\nl1;b\nl2;c\n"
        << "0";
    QTest::newRow("entities and CDATA")
        << QByteArray("<a><data>S&amp;P 500<![CDATA[ <raw> ]]></data></a>") << "S&P 500 <raw> "
        << "0";
    QTest::newRow("well-formed without data") << QByteArray("<a><b>text</b></a>") << ""
                                              << "0";
    QTest::newRow("not well-formed") << QByteArray("<a><data>half</data>") << ""
                                     << "1";
    QTest::newRow("broken after data") << QByteArray("<a><data>x</data></b></a>") << ""
                                       << "1";
    QTest::newRow("empty body") << QByteArray() << ""
                                << "1";
    QTest::newRow("html error page")
        << QByteArray("<!DOCTYPE html><html><body><p>Bad gateway<br></body></html>") << ""
        << "1";
    QTest::newRow("utf-8 text") << QByteArray("<data>Внимание</data>") << "Внимание"
                                << "0";
}

void TestServerAccess::extraction()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    QFETCH(QString, errconnect);
    m_server->serve(QStringLiteral("signals/doc.xml"), body);
    QCOMPARE(fetchText(QStringLiteral("signals/doc.xml")), text);
    QCOMPARE(m_access->errconnect(), errconnect);
}

void TestServerAccess::outcomeOfFailures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("behaviour");
    QTest::newRow("not found") << 404 << int(TestHttpServer::Behaviour::Answer);
    QTest::newRow("server error with xml body") << 500 << int(TestHttpServer::Behaviour::Answer);
    QTest::newRow("connection dropped") << 200 << int(TestHttpServer::Behaviour::Drop);
    QTest::newRow("dropped mid body") << 200 << int(TestHttpServer::Behaviour::DropMidBody);
}

void TestServerAccess::outcomeOfFailures()
{
    QFETCH(int, status);
    QFETCH(int, behaviour);
    TestHttpServer::Route route;
    route.body = "<a><data>must not be read</data></a>";
    route.status = status;
    route.behaviour = TestHttpServer::Behaviour(behaviour);
    m_server->setRoute(QStringLiteral("signals/eurusd.xml"), route);

    QCOMPARE(fetchText(QStringLiteral("signals/eurusd.xml"), QStringLiteral("eurusd.xml")),
             QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("1"));
    // No retry of our own. A connection closed before any answer is resent once by the HTTP
    // layer itself, as it would be for a keep-alive connection the server closed.
    const int requests = m_server->requestCount(QStringLiteral("signals/eurusd.xml"));
    if (TestHttpServer::Behaviour(behaviour) == TestHttpServer::Behaviour::Drop)
        QVERIFY(requests >= 1 && requests <= 2);
    else
        QCOMPARE(requests, 1);
}

void TestServerAccess::failedInstrumentWithoutCodeKeepsOutcome()
{
    QCOMPARE(m_access->errconnect(), QString()); // nothing loaded yet
    QCOMPARE(fetchText(QStringLiteral("signals/.xml"), QStringLiteral(".xml")), QString());
    QCOMPARE(m_access->errconnect(), QString());

    m_server->serveData(QStringLiteral("signals/gold.xml"), QStringLiteral("record"));
    QCOMPARE(fetchText(QStringLiteral("signals/gold.xml"), QStringLiteral("gold.xml")),
             QStringLiteral("record"));
    QCOMPARE(m_access->errconnect(), QStringLiteral("0"));
    QCOMPARE(fetchText(QStringLiteral("signals/.xml"), QStringLiteral(".xml")), QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("0"));
    QCOMPARE(fetchText(QStringLiteral("signals/missing.xml"), QStringLiteral("missing.xml")),
             QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("1"));
    QCOMPARE(fetchText(QStringLiteral("signals/.xml"), QStringLiteral(".xml")), QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("1"));
}

void TestServerAccess::successResetsOutcomeEvenWithoutData()
{
    QCOMPARE(fetchText(QStringLiteral("nothing.xml")), QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("1"));
    m_server->serve(QStringLiteral("message.xml"), "<?xml version=\"1.0\"?><message/>");
    QCOMPARE(fetchText(QStringLiteral("message.xml"), QStringLiteral("message.xml")), QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("0"));
}

void TestServerAccess::transferTimeout()
{
    m_access->setTimeout(300ms);
    TestHttpServer::Route hang;
    hang.behaviour = TestHttpServer::Behaviour::Hang;
    m_server->setRoute(QStringLiteral("signals/slow.xml"), hang);
    TestHttpServer::Route late;
    late.body = "<data>late</data>";
    late.delay = 2s;
    m_server->setRoute(QStringLiteral("signals/late.xml"), late);

    QElapsedTimer elapsed;
    elapsed.start();
    QCOMPARE(fetchText(QStringLiteral("signals/slow.xml")), QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("1"));
    QCOMPARE(fetchText(QStringLiteral("signals/late.xml")), QString());
    QVERIFY2(elapsed.elapsed() < 1900, "the transfer timeout did not end the requests");
}

void TestServerAccess::overallDeadline()
{
    // Each byte comes well within the transfer timeout, the whole document only after seconds.
    m_access->setTimeout(500ms);
    m_access->setDeadline(400ms);
    TestHttpServer::Route trickling;
    trickling.body = TestHttpServer::dataDocument(QStringLiteral("yes;forex market open"));
    trickling.trickle = 25ms;
    m_server->setRoute(QStringLiteral("signals/-cantrade_xml.php"), trickling);
    m_server->serveData(QStringLiteral("message.xml"), QStringLiteral("whole"));

    QCOMPARE(
        fetchText(QStringLiteral("signals/-cantrade_xml.php"), QStringLiteral("-cantrade_xml.php")),
        QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("1"));
    // A document that comes whole in time still loads, on the same access.
    QCOMPARE(fetchText(QStringLiteral("message.xml"), QStringLiteral("message.xml")),
             QStringLiteral("whole"));
    QCOMPARE(m_access->errconnect(), QStringLiteral("0"));
}

void TestServerAccess::responseSizeCap()
{
    m_access->setSizeCap(1024);
    const QString small(600, QLatin1Char('x'));
    const QString large(2000, QLatin1Char('x'));
    m_server->serveData(QStringLiteral("small.xml"), small);
    m_server->serveData(QStringLiteral("large.xml"), large);
    QCOMPARE(fetchText(QStringLiteral("small.xml")), small);
    QCOMPARE(fetchText(QStringLiteral("large.xml")), QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("1"));

    // The default cap lets through a document many times the largest the server publishes (a
    // record of about 8 KB; the calendar and the lists are smaller) and stops one of a third of a
    // mebibyte, whose single cell text would cost the indicator table dearly to lay out.
    m_access->setSizeCap(ServerAccess::kDefaultSizeCap);
    const QString busyCalendar(160 * 1024, QLatin1Char('c'));
    m_server->serveData(QStringLiteral("calendar.xml"), busyCalendar);
    m_server->serveData(QStringLiteral("huge.xml"), QString(320 * 1024, QLatin1Char('y')));
    QCOMPARE(fetchText(QStringLiteral("calendar.xml")), busyCalendar);
    QCOMPARE(fetchText(QStringLiteral("huge.xml")), QString());
}

void TestServerAccess::secureAddressStaysSecure()
{
    // The loopback server speaks plain HTTP only: a request that kept its https scheme cannot
    // reach it as a readable request, one rewritten to http would.
    m_server->serveData(QStringLiteral("signals/eurusd.xml"), QStringLiteral("plain"));
    QString secureBase = m_server->baseAddress();
    secureBase.replace(QStringLiteral("http://"), QStringLiteral("https://"));
    m_access->setTimeout(3s);
    const QString text = QCoro::waitFor(m_access->openUrl(
        secureBase + QStringLiteral("signals/eurusd.xml"), QStringLiteral("eurusd.xml")));
    QCOMPARE(text, QString());
    QCOMPARE(m_access->errconnect(), QStringLiteral("1"));
    QCOMPARE(m_server->requestCount(QStringLiteral("signals/eurusd.xml")), 0);

    // A scheme written in capitals is the same scheme: the request goes out as it is.
    QString upperBase = m_server->baseAddress();
    upperBase.replace(QStringLiteral("http://"), QStringLiteral("HTTP://"));
    QCOMPARE(QCoro::waitFor(m_access->openUrl(upperBase + QStringLiteral("signals/eurusd.xml"),
                                              QStringLiteral("eurusd.xml"))),
             QStringLiteral("plain"));
    QCOMPARE(m_access->errconnect(), QStringLiteral("0"));
}

void TestServerAccess::addressComposition()
{
    const QString base = QStringLiteral("https://signals.example.test/");
    QCOMPARE(serverpaths::documentUrl(base, serverpaths::kTradingFlag),
             QStringLiteral("https://signals.example.test/signals/-cantrade_xml.php"));
    QCOMPARE(serverpaths::documentUrl(base, serverpaths::kNotice),
             QStringLiteral("https://signals.example.test/message.xml"));
    QCOMPARE(serverpaths::documentUrl(QStringLiteral("  ") + base, serverpaths::kCalendar),
             QStringLiteral("https://signals.example.test/signals/calendar_1.5_eng.xml"));
    QCOMPARE(serverpaths::fileName(serverpaths::kReviewsList), QStringLiteral("list.xml"));
    QCOMPARE(serverpaths::fileName(serverpaths::kNewsList), QStringLiteral("list.xml"));
    QCOMPARE(serverpaths::documentUrl(base, serverpaths::kLinkList),
             QStringLiteral("https://signals.example.test/signals/urls.xml"));
    QCOMPARE(serverpaths::documentUrl(base, serverpaths::kReviewsList),
             QStringLiteral("https://signals.example.test/signals/reviews_eng/list.xml"));
    QCOMPARE(serverpaths::documentUrl(base, serverpaths::kNewsList),
             QStringLiteral("https://signals.example.test/signals/news_eng/list.xml"));
    // Instrument addresses are used exactly as composed.
    QCOMPARE(serverpaths::instrumentUrl(QStringLiteral(" ") + base, QStringLiteral("crypto-btc")),
             QStringLiteral(" https://signals.example.test/signals/crypto-btc.xml"));
    QCOMPARE(serverpaths::instrumentFileName(QString()), QStringLiteral(".xml"));
}

void TestServerAccess::systemProxyIsUsed_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("text");             // what the fetch returns
    QTest::addColumn<QStringList>("throughProxy"); // the request lines the proxy saw
    // Names nobody resolves: only the proxy, which sends everything to the loopback server,
    // can serve them. (Loopback addresses themselves are never proxied.)
    QTest::newRow("http") << "http://signals.quentara.test/signals/eurusd.xml"
                          << "record"
                          << QStringList{"GET http://signals.quentara.test/signals/eurusd.xml "
                                         "HTTP/1.1"};
    QTest::newRow("https asks for a tunnel")
        << "https://signals.quentara.test/signals/eurusd.xml"
        << "" << QStringList{"CONNECT signals.quentara.test:443 HTTP/1.1"};
    QTest::newRow("a host in no_proxy goes direct")
        << "http://direct.quentara.test/signals/eurusd.xml"
        << "" << QStringList{};
}

void TestServerAccess::systemProxyIsUsed()
{
    QFETCH(QString, address);
    QFETCH(QString, text);
    QFETCH(QStringList, throughProxy);
    m_server->serveData(QStringLiteral("signals/eurusd.xml"), QStringLiteral("record"));
    TestHttpProxy proxy;
    QVERIFY(proxy.start(m_server->serverPorts().first()) != 0);
    const QByteArray proxyAddress = proxy.address().toLatin1();
    qputenv("http_proxy", proxyAddress);
    qputenv("https_proxy", proxyAddress);
    qputenv("no_proxy", "localhost,127.0.0.1,direct.quentara.test");
    const bool wasUsed = QNetworkProxyFactory::usesSystemConfiguration();
    const auto restore = qScopeGuard([wasUsed] {
        qunsetenv("http_proxy");
        qunsetenv("https_proxy");
        qunsetenv("no_proxy");
        QNetworkProxyFactory::setUseSystemConfiguration(wasUsed);
    });

    // Whether Qt consults the system by itself depends on how it was built: not here.
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    useSystemProxy();
    m_access->setTimeout(3s);
    QCOMPARE(QCoro::waitFor(m_access->openUrl(address, QStringLiteral("eurusd.xml"))), text);
    QCOMPARE(proxy.requestLines(), throughProxy);
}

QTEST_GUILESS_MAIN(TestServerAccess)
#include "tst_serveraccess.moc"
