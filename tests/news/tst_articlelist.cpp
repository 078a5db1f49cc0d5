#include "news/articlelist.h"
#include "news/newsrefresh.h"

#include <QTest>
#include <QTimeZone>

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QDateTime kNow(QDate(2024, 1, 12), QTime(12, 0), QTimeZone::utc());

} // namespace

class TestArticleList final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void onlyLinesEndedByALineFeedAreItems_data();
    void onlyLinesEndedByALineFeedAreItems();
    void rowsKeepTheirArticleNumbers();
    void articleAddresses_data();
    void articleAddresses();
    void refreshMinutes_data();
    void refreshMinutes();
};

void TestArticleList::onlyLinesEndedByALineFeedAreItems_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("headlines");
    QTest::newRow("two lines, final line feed") << "Jan, 12 10:00;First\nJan, 12 11:00;Second\n"
                                                << QStringList{"First", "Second"};
    QTest::newRow("two lines, no final line feed")
        << "Jan, 12 10:00;First\nJan, 12 11:00;Second" << QStringList{"First"};
    QTest::newRow("one line without line feed") << "Jan, 12 10:00;First" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("only a line feed") << "\n" << QStringList{};
}

void TestArticleList::onlyLinesEndedByALineFeedAreItems()
{
    QFETCH(QString, text);
    QFETCH(QStringList, headlines);
    QStringList shown;
    for (const articlelist::Row &row : articlelist::parse(text, kNow, kEnglish))
        shown << row.headline;
    QCOMPARE(shown, headlines);
}

void TestArticleList::rowsKeepTheirArticleNumbers()
{
    const QString text = QStringLiteral("Jan, 12 10:00;Rates on hold;ignored;fields\n"
                                        "no date at all\n"
                                        "Foo, 12 10:00;Unknown month\n"
                                        "Янв, 11 23:45;Oil slips\n");
    const QList<articlelist::Row> rows = articlelist::parse(text, kNow, kEnglish);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).when, QStringLiteral("12 Jan 10:00")); // as published, no zone shift
    QCOMPARE(rows.at(0).headline, QStringLiteral("Rates on hold"));
    QCOMPARE(rows.at(0).number, 1);
    QCOMPARE(rows.at(1).when, QStringLiteral("11 Jan 23:45"));
    QCOMPARE(rows.at(1).headline, QStringLiteral("Oil slips"));
    QCOMPARE(rows.at(1).number, 4); // its page is still 4.html
}

void TestArticleList::articleAddresses_data()
{
    QTest::addColumn<articlelist::Kind>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("address");
    QTest::newRow("news 1") << articlelist::Kind::News << 1
                            << "https://quentara.app/signals/news_eng/1.html";
    QTest::newRow("review 12") << articlelist::Kind::Reviews << 12
                               << "https://quentara.app/signals/reviews_eng/12.html";
}

void TestArticleList::articleAddresses()
{
    QFETCH(articlelist::Kind, kind);
    QFETCH(int, number);
    QFETCH(QString, address);
    QCOMPARE(articlelist::articleUrl(QStringLiteral("https://quentara.app/"), kind, number),
             QUrl(address));
}

void TestArticleList::refreshMinutes_data()
{
    QTest::addColumn<int>("minute");
    QTest::addColumn<bool>("refresh");
    for (int minute : {0, 10, 20, 30, 40, 50})
        QTest::addRow("minute %d", minute) << minute << true;
    for (int minute : {1, 5, 9, 11, 45, 59})
        QTest::addRow("minute %d", minute) << minute << false;
}

void TestArticleList::refreshMinutes()
{
    QFETCH(int, minute);
    QFETCH(bool, refresh);
    for (int second : {0, 59})
        QCOMPARE(
            newsrefresh::isRefreshMinute(QDateTime(QDate(2024, 1, 12), QTime(9, minute, second))),
            refresh);
}

QTEST_GUILESS_MAIN(TestArticleList)
#include "tst_articlelist.moc"
