#include "sources/sourcehttp.h"
#include "testhttpserver.h"

#include <QNetworkAccessManager>
#include <QTest>

#include <QCoroTask>

using namespace std::chrono_literals;
using Behaviour = TestHttpServer::Behaviour;

// HTTP for the live sources: what counts as an answer, and what is cut off.
class TestSourceHttp final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answerOrNot_data();
    void answerOrNot();
};

void TestSourceHttp::answerOrNot_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<Behaviour>("behaviour");
    QTest::addColumn<int>("bodySize");
    QTest::addColumn<bool>("received");
    QTest::addColumn<QString>("error");

    QTest::newRow("answered") << 200 << Behaviour::Answer << 100 << true << "";
    QTest::newRow("an error status") << 503 << Behaviour::Answer << 100 << true << "";
    // The status line and part of the body came, then the connection closed.
    QTest::newRow("cut off mid-body") << 200 << Behaviour::DropMidBody << 4000 << false << "";
    QTest::newRow("never answered")
        << 200 << Behaviour::Hang << 100 << false << "no complete answer";
    QTest::newRow("over the size cap")
        << 200 << Behaviour::Answer << 9000 << false << "larger than";
}

void TestSourceHttp::answerOrNot()
{
    QFETCH(int, status);
    QFETCH(Behaviour, behaviour);
    QFETCH(int, bodySize);
    QFETCH(bool, received);
    QFETCH(QString, error);
    TestHttpServer server;
    QVERIFY(server.start() != 0);
    TestHttpServer::Route route;
    route.status = status;
    route.behaviour = behaviour;
    route.body = QByteArray(bodySize, 'x');
    route.headers = {{"Retry-After", "5"}};
    server.setRoute(QStringLiteral("feed"), route);
    QNetworkAccessManager network;
    SourceHttp http(network, 300ms, 8000);
    const HttpAnswer answer = QCoro::waitFor(
        http.get(QNetworkRequest(QUrl(server.baseAddress() + QStringLiteral("feed")))));
    QCOMPARE(answer.received, received);
    if (received) {
        QCOMPARE(answer.status, status);
        QCOMPARE(answer.body, route.body);
        QCOMPARE(answer.header("retry-after"), QByteArray("5"));
    } else {
        QVERIFY(!answer.error.isEmpty());
        QVERIFY2(answer.error.contains(error), qPrintable(answer.error));
    }
}

QTEST_GUILESS_MAIN(TestSourceHttp)
#include "tst_sourcehttp.moc"
