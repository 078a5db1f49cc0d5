#include "app/noticerule.h"

#include <QTest>

class TestNoticeRule final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rule_data();
    void rule();
};

void TestNoticeRule::rule_data()
{
    QTest::addColumn<QString>("notice");
    QTest::addColumn<bool>("shown");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("plain notice") << "Server maintenance on Sunday" << true;
    QTest::newRow("own version inside") << "Update to 1.76 is out" << false;
    QTest::newRow("starts with own version") << "1.76 is the current version" << true;
    QTest::newRow("starts with version, repeats it later") << "1.76 and again 1.76" << false;
    QTest::newRow("other version") << "Version 1.77 is out" << true;
    QTest::newRow("marker inside") << "x#)!%f*()!3*" << false;
    QTest::newRow("starts with marker") << "#)!%f*()!3* hidden?" << true;
    QTest::newRow("starts with marker, repeats it later") << "#)!%f*()!3* x #)!%f*()!3*" << false;
    QTest::newRow("starts with version, marker later") << "1.76 #)!%f*()!3*" << false;
    QTest::newRow("version after a line break") << "Notice\n1.76" << false;
    QTest::newRow("version at second character") << " 1.76" << false;
    QTest::newRow("blank") << " " << true;
}

void TestNoticeRule::rule()
{
    QFETCH(QString, notice);
    QFETCH(bool, shown);
    QCOMPARE(noticePasses(notice), shown);
}

QTEST_GUILESS_MAIN(TestNoticeRule)
#include "tst_noticerule.moc"
