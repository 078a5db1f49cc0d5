#include "documents/articlefolder.h"
#include "documents/articles.h"
#include "documents/builtinnews.h"
#include "documents/calendar.h"
#include "documents/calendarschedule.h"
#include "documents/publisher.h"
#include "documents/xmldocument.h"
#include "market/minutes.h"
#include "market/tradingsession.h"
#include "serverfixtures.h"
#include "serveroptions.h"
#include "signalserver.h"

#include "app/catalogue.h"
#include "market/serverdocument.h"
#include "market/serverpaths.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QXmlStreamReader>

// The calendar, the article lists and pages, the documents as a set, publishing and the command
// line.
class TestServerDocuments final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void calendarTimes_data();
    void calendarTimes();
    void builtInWeekFollowsSummerTime();
    void calendarLinesAsTheProgramReadsThem();
    void calendarFile();
    void calendarFileFaults_data();
    void calendarFileFaults();
    void articleLists();
    void articlePagesAreWellFormed();
    void articleFolder();
    void payloadSurvivesTheProgramsParser_data();
    void payloadSurvivesTheProgramsParser();
    void frozenClockGivesTheSameDocuments();
    void everyDocumentIsThere();
    void newMinutesRebuildWhatChanged();
    void publishedFilesAreTheDocuments();
    void options_data();
    void options();

private:
    static std::unique_ptr<SignalServer> frozenServer(const QDateTime &now,
                                                      ServerContent content = {})
    {
        return std::make_unique<SignalServer>(MarketSetup{}, std::move(content),
                                              Clock([now] { return now; }), false);
    }
};

namespace {

const QStringList kMonthTokens{
    QStringLiteral("Jan,"), QStringLiteral("Feb,"), QStringLiteral("Mar,"), QStringLiteral("Apr,"),
    QStringLiteral("May,"), QStringLiteral("Jun,"), QStringLiteral("Jul,"), QStringLiteral("Aug,"),
    QStringLiteral("Sep,"), QStringLiteral("Oct,"), QStringLiteral("Nov,"), QStringLiteral("Dec,")};

// "Mon, D hh:mm" as the program reads it: month token, blank, day, blank, time.
bool readsAsADate(const QString &field)
{
    const QStringList parts = field.split(QLatin1Char(' '));
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d$"));
    bool dayOk = false;
    const int day = parts.value(1).toInt(&dayOk);
    return parts.size() == 3 && kMonthTokens.contains(parts[0]) && dayOk && day >= 1 && day <= 31 &&
           time.match(parts[2]).hasMatch();
}

QString payloadOf(const SignalServer &server, const QString &path)
{
    const Document *document = server.documents().find(path);
    return document ? serverDocumentPayload(document->body).value_or(QString()) : QString();
}

} // namespace

void TestServerDocuments::calendarTimes_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("text");
    for (int month = 1; month <= 12; ++month) {
        QTest::addRow("month %d", month)
            << gmt(2024, month, 5, 14, 30) << kMonthTokens[month - 1] + QStringLiteral(" 5 14:30");
    }
    QTest::newRow("two-digit day, midnight") << gmt(2024, 1, 12, 0, 5) << "Jan, 12 00:05";
}

void TestServerDocuments::calendarTimes()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, text);
    QCOMPARE(calendarTime(minuteOf(when)), text);
    QVERIFY(readsAsADate(text));
}

void TestServerDocuments::builtInWeekFollowsSummerTime()
{
    // Payrolls are released at 08:30 in New York: 12:30 GMT in July, 13:30 GMT in January.
    const auto payrolls = [](qint64 week) {
        for (const CalendarEvent &event : scheduledWeek(week)) {
            if (event.name == QLatin1String("Nonfarm Payrolls"))
                return calendarTime(event.minute);
        }
        return QString();
    };
    QCOMPARE(payrolls(weekStart(minuteOf(gmt(2024, 7, 3, 12, 0)))), QStringLiteral("Jul, 5 12:30"));
    QCOMPARE(payrolls(weekStart(minuteOf(gmt(2024, 1, 3, 12, 0)))), QStringLiteral("Jan, 5 13:30"));
    // Not in the third week of the month.
    QCOMPARE(payrolls(weekStart(minuteOf(gmt(2024, 7, 17, 12, 0)))), QString());
}

void TestServerDocuments::calendarLinesAsTheProgramReadsThem()
{
    const QStringList volatilities{QStringLiteral("High Volatility Expected"),
                                   QStringLiteral("Moderate Volatility Expected"),
                                   QStringLiteral("Low Volatility Expected")};
    for (int day : {1, 8, 15, 22, 29}) {
        const qint64 week = weekStart(minuteOf(gmt(2024, 4, day, 12, 0)));
        QCOMPARE(weekdayOf(week), 0);
        const QString text = calendarText(scheduledWeek(week), week);
        QVERIFY(!text.endsWith(QLatin1Char('\n')));
        const QStringList lines = text.split(QLatin1Char('\n'));
        QVERIFY(lines.size() >= 8);
        QString previous;
        qint64 previousMinute = week;
        for (const QString &line : lines) {
            const QStringList fields = line.split(QLatin1Char(';'));
            QCOMPARE(fields.size(), 4);
            QVERIFY2(readsAsADate(fields[0]), qPrintable(line));
            QVERIFY(!fields[1].isEmpty() && !fields[3].isEmpty());
            QVERIFY2(volatilities.contains(fields[2]), qPrintable(line));
            const QDateTime when = QDateTime::fromString(QStringLiteral("2024 ") + fields[0],
                                                         QStringLiteral("yyyy MMM, d HH:mm"));
            QVERIFY(when.isValid());
            const qint64 minute = minuteOf(QDateTime(when.date(), when.time(), QTimeZone::utc()));
            QVERIFY(minute >= previousMinute && minute < week + 7 * 1440);
            previousMinute = minute;
        }
    }
}

void TestServerDocuments::calendarFile()
{
    QTemporaryDir dir;
    const QString path =
        writeTestFile(dir.filePath(QStringLiteral("calendar.csv")),
                      "date,time,country,volatility,event\n"
                      "2024-05-14,12:30,USA,high,\"CPI m/m, core\"\n"
                      "2024-05-13 07:00,Germany,Moderate Volatility Expected,Wholesale Prices\n"
                      "2024-05-21,12:30,USA,low,Next week's item\n");
    QString error;
    const std::optional<QList<CalendarEvent>> events = readCalendarFile(path, &error);
    QVERIFY2(events, qPrintable(error));
    QCOMPARE(events->size(), 3);
    QCOMPARE(calendarText(*events, weekStart(minuteOf(gmt(2024, 5, 15, 0, 0)))),
             QStringLiteral("May, 13 07:00;Germany;Moderate Volatility Expected;Wholesale Prices\n"
                            "May, 14 12:30;USA;High Volatility Expected;CPI m/m, core"));
}

void TestServerDocuments::calendarFileFaults_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("what");
    QTest::newRow("unknown volatility") << QByteArray("2024-05-14,12:30,USA,high,CPI\n"
                                                      "2024-05-14,13:30,USA,extreme,PPI\n")
                                        << ":2:"
                                        << "extreme";
    QTest::newRow("missing event") << QByteArray("2024-05-14,12:30,USA,high\n") << ":1:"
                                   << "expected";
    QTest::newRow("bad date") << QByteArray("2024-13-14,12:30,USA,high,CPI\n") << ":1:"
                              << "not a date";
    QTest::newRow("semicolon in the event")
        << QByteArray("2024-05-14,12:30,USA,high,\"CPI; core\"\n") << ":1:"
        << "no \";\"";
}

void TestServerDocuments::calendarFileFaults()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, where);
    QFETCH(QString, what);
    QTemporaryDir dir;
    const QString path = writeTestFile(dir.filePath(QStringLiteral("calendar.csv")), content);
    QString error;
    QVERIFY(!readCalendarFile(path, &error));
    QVERIFY2(error.startsWith(QDir::toNativeSeparators(path) + where), qPrintable(error));
    QVERIFY2(error.contains(what), qPrintable(error));
}

void TestServerDocuments::articleLists()
{
    const qint64 now = minuteOf(gmt(2024, 5, 14, 10, 6));
    const QList<Article> news = builtInNews(now);
    QCOMPARE(news.size(), 12);
    const QString text = articleListText(news);
    // Every line is ended by LF: the program never shows the piece after the last one.
    QVERIFY(text.endsWith(QLatin1Char('\n')));
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), news.size() + 1);
    QCOMPARE(lines.last(), QString());
    for (int n = 0; n < news.size(); ++n) {
        const QStringList fields = lines[n].split(QLatin1Char(';'));
        QCOMPARE(fields.size(), 2);
        QVERIFY(readsAsADate(fields[0]));
        QCOMPARE(fields[1], news[n].headline);
        QVERIFY(news[n].minute < now);
        if (n > 0)
            QVERIFY(news[n].minute <= news[n - 1].minute);
    }
}

void TestServerDocuments::articlePagesAreWellFormed()
{
    Article article;
    article.minute = minuteOf(gmt(2024, 5, 14, 9, 30));
    article.headline = QStringLiteral("S&P 500 <record> \"high\"");
    article.paragraphs << QStringLiteral("First & second.") << QStringLiteral("Third.");
    const QByteArray page = articlePage(article, QStringLiteral("Market review"));
    QXmlStreamReader reader(page);
    QStringList paragraphs;
    QString title;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement) {
            if (reader.name() == QLatin1String("p"))
                paragraphs << reader.readElementText();
            else if (reader.name() == QLatin1String("h1"))
                title = reader.readElementText();
        }
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(title, article.headline);
    QCOMPARE(paragraphs, article.paragraphs);
    QVERIFY(page.contains("2024-05-14 09:30 GMT"));
}

void TestServerDocuments::articleFolder()
{
    QTemporaryDir dir;
    writeTestFile(
        dir.filePath(QStringLiteral("news/a.txt")),
        "2024-05-14 09:30\nFirst headline\n\nOne paragraph\nstill the first.\n\nSecond.\n");
    writeTestFile(dir.filePath(QStringLiteral("news/b.txt")), "2024-05-14 10:00\nNewer headline\n");
    ArticleFolder folder = readArticleFolder(dir.path());
    QVERIFY2(folder.error.isEmpty(), qPrintable(folder.error));
    QCOMPARE(folder.news.size(), 2);
    QCOMPARE(folder.news[0].headline, QStringLiteral("Newer headline"));
    QCOMPARE(
        folder.news[1].paragraphs,
        (QStringList{QStringLiteral("One paragraph still the first."), QStringLiteral("Second.")}));
    QVERIFY(folder.reviews.isEmpty());

    const QString bad =
        writeTestFile(dir.filePath(QStringLiteral("reviews/c.txt")), "2024-05-14 10:00\nA; B\n");
    folder = readArticleFolder(dir.path());
    QVERIFY2(folder.error.startsWith(QDir::toNativeSeparators(bad) + QStringLiteral(":2:")),
             qPrintable(folder.error));
    writeTestFile(bad, "yesterday\nHeadline\n");
    QVERIFY(readArticleFolder(dir.path())
                .error.startsWith(QDir::toNativeSeparators(bad) + QStringLiteral(":1:")));
}

void TestServerDocuments::payloadSurvivesTheProgramsParser_data()
{
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QString>("readBack");
    const QString text = QStringLiteral("S&P 500;<b>;\"quoted\";'single'\nline two\n");
    QTest::newRow("markup") << text << text;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("tab") << QStringLiteral("a\tb") << QStringLiteral("a\tb");
    // Characters XML cannot carry are dropped rather than breaking the document.
    QTest::newRow("control") << QStringLiteral("a\x01"
                                               "b")
                             << QStringLiteral("ab");
    QTest::newRow("non-characters")
        << QStringLiteral("a") + QChar(0xFFFE) + QStringLiteral("b") + QChar(0xFFFF)
        << QStringLiteral("ab");
    // A reader turns a carriage return into a line feed unless it comes as a reference; the
    // program would split a headline or an event in two.
    QTest::newRow("carriage return")
        << QStringLiteral("Fed\rminutes;x\r\n") << QStringLiteral("Fed\rminutes;x\r\n");
}

void TestServerDocuments::payloadSurvivesTheProgramsParser()
{
    QFETCH(QString, payload);
    QFETCH(QString, readBack);
    QCOMPARE(serverDocumentPayload(dataDocument(payload)), std::optional<QString>(readBack));
}

void TestServerDocuments::frozenClockGivesTheSameDocuments()
{
    const QDateTime now = gmt(2024, 5, 14, 10, 6);
    const auto first = frozenServer(now);
    const auto second = frozenServer(now);
    QCOMPARE(first->documents().paths(), second->documents().paths());
    for (const QString &path : first->documents().paths())
        QVERIFY2(*first->documents().find(path) == *second->documents().find(path),
                 qPrintable(path));
}

void TestServerDocuments::everyDocumentIsThere()
{
    ServerContent content;
    content.notice = QStringLiteral("Maintenance on Sunday & Monday");
    const auto server = frozenServer(gmt(2024, 5, 18, 12, 0), content); // a Saturday
    QStringList expected{
        QLatin1String(serverpaths::kTradingFlag.path), QLatin1String(serverpaths::kCalendar.path),
        QLatin1String(serverpaths::kReviewsList.path), QLatin1String(serverpaths::kNewsList.path),
        QLatin1String(serverpaths::kLinkList.path),    QLatin1String(serverpaths::kNotice.path)};
    for (int index = 0; index < catalogue::kInstrumentCount; ++index)
        expected << serverpaths::instrumentUrl(QString(), catalogue::serverCode(index));
    for (int n = 1; n <= 12; ++n)
        expected << QStringLiteral("signals/news_eng/%1.html").arg(n);
    for (int n = 1; n <= 6; ++n)
        expected << QStringLiteral("signals/reviews_eng/%1.html").arg(n);
    expected.sort();
    QCOMPARE(server->documents().paths(), expected);

    QCOMPARE(payloadOf(*server, QLatin1String(serverpaths::kTradingFlag.path))
                 .section(QLatin1Char(';'), 0, 0),
             QStringLiteral("no"));
    QCOMPARE(payloadOf(*server, QLatin1String(serverpaths::kNotice.path)), content.notice);
    QVERIFY(payloadOf(*server, QLatin1String(serverpaths::kLinkList.path))
                .contains(QStringLiteral("https://")));
    const QString reviews = payloadOf(*server, QLatin1String(serverpaths::kReviewsList.path));
    QCOMPARE(reviews.count(QLatin1Char('\n')), 6);
    QVERIFY(reviews.endsWith(QLatin1Char('\n')));
    QCOMPARE(server->documents().find(QStringLiteral("signals/news_eng/1.html"))->contentType,
             kHtmlType);

    const auto quiet = frozenServer(gmt(2024, 5, 14, 10, 6));
    QCOMPARE(payloadOf(*quiet, QLatin1String(serverpaths::kNotice.path)), QString());
    QCOMPARE(payloadOf(*quiet, QLatin1String(serverpaths::kTradingFlag.path))
                 .section(QLatin1Char(';'), 0, 0),
             QStringLiteral("yes"));
}

void TestServerDocuments::newMinutesRebuildWhatChanged()
{
    // Friday 21:58 GMT; the test moves the clock.
    QDateTime now = gmt(2024, 5, 17, 21, 58);
    SignalServer server(MarketSetup{}, {}, Clock([&now] { return now; }), false);
    QCOMPARE(server.refresh(), QStringList());

    now = now.addSecs(60); // 21:59: a minute candle for everyone
    QStringList changed = server.refresh();
    QCOMPARE(changed.size(), catalogue::kInstrumentCount);
    QVERIFY(changed.contains(QStringLiteral("signals/eurusd.xml")));

    now = now.addSecs(60); // 22:00: the forex week ends, a new H4 candle starts
    changed = server.refresh();
    QVERIFY(changed.contains(QLatin1String(serverpaths::kTradingFlag.path)));
    QVERIFY(changed.contains(QLatin1String(serverpaths::kReviewsList.path)));
    QCOMPARE(payloadOf(server, QLatin1String(serverpaths::kTradingFlag.path)).left(3),
             QStringLiteral("no;"));

    now = now.addSecs(120); // 22:02: only the cryptocurrencies trade
    changed = server.refresh();
    QVERIFY(changed.contains(QStringLiteral("signals/crypto-btc.xml")));
    QVERIFY(!changed.contains(QStringLiteral("signals/eurusd.xml")));
    QVERIFY(!changed.contains(QLatin1String(serverpaths::kCalendar.path)));

    now = gmt(2024, 5, 20, 0, 1); // Monday: a new week, a new calendar
    changed = server.refresh();
    QVERIFY(changed.contains(QLatin1String(serverpaths::kCalendar.path)));
    QVERIFY(changed.contains(QStringLiteral("signals/eurusd.xml")));
}

void TestServerDocuments::publishedFilesAreTheDocuments()
{
    QTemporaryDir dir;
    const auto server = frozenServer(gmt(2024, 5, 14, 10, 6));
    QCOMPARE(Publisher(dir.path()).writeAll(server->documents()), QString());
    for (const QString &path : server->documents().paths()) {
        QFile file(dir.filePath(path));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QCOMPARE(file.readAll(), server->documents().find(path)->body);
    }
    QVERIFY(
        !Publisher(QStringLiteral("/proc/no-such-place")).writeAll(server->documents()).isEmpty());
}

void TestServerDocuments::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("defaults") << QStringList{} << -1 << "";
    QTest::newRow("bad port") << QStringList{QStringLiteral("--port"), QStringLiteral("70000")} << 2
                              << "--port";
    QTest::newRow("bad clock") << QStringList{QStringLiteral("--clock"), QStringLiteral("soon")}
                               << 2 << "--clock";
    QTest::newRow("bad seed") << QStringList{QStringLiteral("--seed"), QStringLiteral("x")} << 2
                              << "--seed";
    QTest::newRow("bad address") << QStringList{QStringLiteral("--address"), QStringLiteral("here")}
                                 << 2 << "--address";
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--colour")} << 2 << "colour";
    QTest::newRow("stray argument") << QStringList{QStringLiteral("extra")} << 2 << "extra";
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0 << "--candles";
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0 << "1.76";
}

void TestServerDocuments::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    const ServerOptionsOutcome outcome =
        parseServerOptions(QStringList{QStringLiteral("quentara-server")} + arguments);
    if (exitCode < 0) {
        QVERIFY(outcome.options);
        QVERIFY(outcome.options->serves());
        QCOMPARE(outcome.options->servedPort(), ServerOptions::kDefaultPort);
        QCOMPARE(outcome.options->address, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(outcome.options->seed, quint64(1));
        return;
    }
    QVERIFY(!outcome.options);
    QCOMPARE(outcome.exitCode, exitCode);
    QVERIFY2((outcome.error + outcome.output).contains(said),
             qPrintable(outcome.error + outcome.output));
}

QTEST_GUILESS_MAIN(TestServerDocuments)
#include "tst_serverdocuments.moc"
