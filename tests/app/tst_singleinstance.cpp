#include "app/singleinstance.h"

#include <QSignalSpy>
#include <QTest>
#include <QUuid>

class TestSingleInstance final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void secondCopyIsRefusedAndAsksFirstToShow();
    void lockIsFreedWithItsOwner();
    void keysFollowTheSettingsFile();
};

void TestSingleInstance::secondCopyIsRefusedAndAsksFirstToShow()
{
    const QString key =
        QStringLiteral("quentara-test-") + QUuid::createUuid().toString(QUuid::Id128);
    SingleInstance first(key);
    QVERIFY(first.acquire());
    QSignalSpy shown(&first, &SingleInstance::showRequested);

    SingleInstance second(key);
    QVERIFY(!second.acquire());
    QVERIFY(second.askRunningToShow());
    QVERIFY(shown.wait(5000));
}

void TestSingleInstance::lockIsFreedWithItsOwner()
{
    const QString key =
        QStringLiteral("quentara-test-") + QUuid::createUuid().toString(QUuid::Id128);
    {
        SingleInstance first(key);
        QVERIFY(first.acquire());
    }
    SingleInstance next(key);
    QVERIFY(next.acquire());
    SingleInstance lonely(QStringLiteral("quentara-test-") +
                          QUuid::createUuid().toString(QUuid::Id128));
    QVERIFY(!lonely.askRunningToShow());
}

void TestSingleInstance::keysFollowTheSettingsFile()
{
    QCOMPARE(SingleInstance::keyForSettingsFile({}), QStringLiteral("quentara"));
    const QString a = SingleInstance::keyForSettingsFile(QStringLiteral("/tmp/a.ini"));
    QCOMPARE(a, SingleInstance::keyForSettingsFile(QStringLiteral("/tmp/./a.ini")));
    QVERIFY(a != SingleInstance::keyForSettingsFile(QStringLiteral("/tmp/b.ini")));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
