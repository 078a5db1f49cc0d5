#include "candletexts.h"
#include "serverfixtures.h"
#include "sources/terminalline.h"
#include "sources/terminalsource.h"

#include <QTemporaryDir>
#include <QTest>

#include <QCoroTask>

using Outcome = SourceAnswer::Outcome;
using Kind = TerminalLine::Kind;

Q_DECLARE_METATYPE(TerminalLine::Kind)

namespace {

const qint64 kMorning = gmtMinute(2024, 5, 14, 0, 0);
const qint64 kEvening = gmtMinute(2024, 5, 14, 23, 0);

// A bar as the expert advisor writes it: FileWriteString puts CR before LF in a text file.
QByteArray bar(const char *time, const char *prices = "1.08120,1.08130,1.08110,1.08125,123")
{
    return QByteArray(time) + ',' + prices + "\r\n";
}

void append(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList minutesOf(const SourceAnswer &answer)
{
    return answer.runs.empty() ? QStringList() : candleTexts(answer.runs.front().candles);
}

} // namespace

// The terminal follower: the lines an expert advisor appends, both date forms, the broker's
// clock, partly written lines and files that are rewritten.
class TestTerminalSource final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void readsLines_data();
    void readsLines();
    void followsAppendedLines();
    void brokerClockBecomesGmt_data();
    void brokerClockBecomesGmt();
    void rewrittenFileIsReadAgain_data();
    void rewrittenFileIsReadAgain();
    void malformedLineIsNamedThenPassed();
    void missingFolderOrFile();
    void longFileIsReadWhole();
    void secondFetchWhileReadingAddsNothing();

private:
    static QByteArray exportOfMinutes(qint64 first, int count);
    SourceAnswer fetch(TerminalSource &source, qint64 from = kMorning, qint64 to = kEvening)
    {
        return QCoro::waitFor(source.fetch(QStringLiteral("usdrub"), from, to, false));
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_file;
};

void TestTerminalSource::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_file = m_folder->filePath(QStringLiteral("usdrub.csv"));
}

void TestTerminalSource::readsLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("first");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("candle");

    const QString candle = QStringLiteral("2024-05-14 10:06 1.0812 1.0813 1.0811 1.08125");
    QTest::newRow("the expert advisor's bar")
        << bar("2024.05.14 10:06:00") << false << Kind::Candle << candle;
    QTest::newRow("a History Center export")
        << QByteArray("2024.05.14,10:06,1.08120,1.08130,1.08110,1.08125,123\n") << false
        << Kind::Candle << candle;
    QTest::newRow("no line ending")
        << bar("2024.05.14 10:06:00").chopped(2) << true << Kind::Candle << candle;
    QTest::newRow("no volume") << QByteArray(
                                      "2024.05.14 10:06:00,1.08120,1.08130,1.08110,1.08125\r\n")
                               << false << Kind::Candle << candle;
    QTest::newRow("a header") << QByteArray("<DATE>,<TIME>,<OPEN>,<HIGH>,<LOW>,<CLOSE>,<VOL>\r\n")
                              << true << Kind::Skipped << "";
    QTest::newRow("a marked header")
        << QByteArray("\xEF\xBB\xBFtime,open,high,low,close,volume\r\n") << true << Kind::Skipped
        << "";
    QTest::newRow("a blank line") << QByteArray("\r\n") << false << Kind::Skipped << "";
    QTest::newRow("a header after the first line")
        << QByteArray("time,open,high,low,close,volume\r\n") << false << Kind::Malformed << "";
    QTest::newRow("three fields") << QByteArray("2024.05.14 10:06:00,1.08120,1.08130\r\n") << false
                                  << Kind::Malformed << "";
    QTest::newRow("a bar off the minute")
        << bar("2024.05.14 10:06:30") << false << Kind::Malformed << "";
    QTest::newRow("no such day") << bar("2024.02.30 10:06:00") << false << Kind::Malformed << "";
    QTest::newRow("a price of nothing")
        << bar("2024.05.14 10:06:00", "1.08120,0,1.08110,1.08125,123") << false << Kind::Malformed
        << "";
    QTest::newRow("a price in words")
        << bar("2024.05.14 10:06:00", "1.08120,n/a,1.08110,1.08125,123") << false << Kind::Malformed
        << "";
}

void TestTerminalSource::readsLines()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, first);
    QFETCH(Kind, kind);
    QFETCH(QString, candle);
    const TerminalLine parsed = parseTerminalLine(line, first);
    QCOMPARE(parsed.kind, kind);
    QCOMPARE(parsed.error.isEmpty(), kind != Kind::Malformed);
    if (kind == Kind::Candle)
        QCOMPARE(candleText(parsed.candle), candle);
}

void TestTerminalSource::followsAppendedLines()
{
    TerminalSource source(m_folder->path(), 0);
    QCOMPARE(source.describe(QStringLiteral("usdrub")), QStringLiteral("terminal usdrub.csv"));
    const QByteArray third = bar("2024.05.14 10:08:00", "90.1250,90.1500,90.1000,90.1300,17");
    writeTestFile(m_file, "time,open,high,low,close,volume\r\n" +
                              bar("2024.05.14 10:06:00", "90.1000,90.1400,90.0900,90.1200,12") +
                              bar("2024.05.14 10:07:00", "90.1200,90.1300,90.1100,90.1250,9") +
                              third.left(25));
    QCOMPARE(minutesOf(fetch(source)), QStringList({"2024-05-14 10:06 90.1 90.14 90.09 90.12",
                                                    "2024-05-14 10:07 90.12 90.13 90.11 90.125"}));

    // The rest of the half-written line, and a bar later than what is asked for, which waits.
    append(m_file, third.mid(25) + bar("2024.05.14 10:09:00", "90.1300,90.1300,90.1200,90.1200,4"));
    const qint64 ten09 = gmtMinute(2024, 5, 14, 10, 9);
    QCOMPARE(minutesOf(fetch(source, gmtMinute(2024, 5, 14, 10, 8), ten09)),
             QStringList({"2024-05-14 10:08 90.125 90.15 90.1 90.13"}));
    const SourceAnswer nothingNew = fetch(source, ten09, ten09);
    QCOMPARE(nothingNew.outcome, Outcome::Candles);
    QVERIFY(nothingNew.runs.empty());
    QCOMPARE(minutesOf(fetch(source, ten09)),
             QStringList({"2024-05-14 10:09 90.13 90.13 90.12 90.12"}));
    QCOMPARE(fetch(source).runs.size(), size_t(0));
}

void TestTerminalSource::brokerClockBecomesGmt_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("lines");

    // A bar the expert advisor wrote, then one the History Center exported.
    auto lines = [](const char *date, const char *time, const char *minute) {
        return bar((QByteArray(date) + ' ' + time + ":06:00").constData()) + date + ',' + time +
               ':' + minute + ",1.08125,1.08140,1.08120,1.08130,40\r\n";
    };
    QTest::newRow("GMT") << 0 << lines("2024.05.14", "10", "07");
    QTest::newRow("GMT+2") << 2 << lines("2024.05.14", "12", "07");
    QTest::newRow("GMT-5") << -5 << lines("2024.05.14", "05", "07");
}

void TestTerminalSource::brokerClockBecomesGmt()
{
    QFETCH(int, offset);
    QFETCH(QByteArray, lines);
    writeTestFile(m_file, lines);
    TerminalSource source(m_folder->path(), offset);
    QCOMPARE(minutesOf(fetch(source)),
             QStringList({"2024-05-14 10:06 1.0812 1.0813 1.0811 1.08125",
                          "2024-05-14 10:07 1.08125 1.0814 1.0812 1.0813"}));
}

void TestTerminalSource::rewrittenFileIsReadAgain_data()
{
    QTest::addColumn<QByteArray>("rewritten");
    QTest::addColumn<QStringList>("candles");

    QTest::newRow("shrunk") << bar("2024.05.14 09:00:00")
                            << QStringList{"2024-05-14 09:00 1.0812 1.0813 1.0811 1.08125"};
    // Longer than before, so only its content shows that it is another file.
    QTest::newRow("replaced") << bar("2024.05.14 09:00:00") + bar("2024.05.14 09:01:00") +
                                     bar("2024.05.14 09:02:00")
                              << QStringList{"2024-05-14 09:00 1.0812 1.0813 1.0811 1.08125",
                                             "2024-05-14 09:01 1.0812 1.0813 1.0811 1.08125",
                                             "2024-05-14 09:02 1.0812 1.0813 1.0811 1.08125"};
}

void TestTerminalSource::rewrittenFileIsReadAgain()
{
    QFETCH(QByteArray, rewritten);
    QFETCH(QStringList, candles);
    writeTestFile(m_file, bar("2024.05.14 10:06:00") + bar("2024.05.14 10:07:00"));
    TerminalSource source(m_folder->path(), 0);
    QCOMPARE(minutesOf(fetch(source)).size(), 2);
    QVERIFY(QFile::remove(m_file));
    writeTestFile(m_file, rewritten);
    QCOMPARE(minutesOf(fetch(source)), candles);
}

void TestTerminalSource::malformedLineIsNamedThenPassed()
{
    writeTestFile(m_file, bar("2024.05.14 10:06:00") +
                              bar("2024.05.14 10:07:00", "1.08120,oops,1.08110,1.08125,1") +
                              bar("2024.05.14 10:08:00"));
    TerminalSource source(m_folder->path(), 0);
    const SourceAnswer failed = fetch(source);
    QCOMPARE(failed.outcome, Outcome::Failed);
    QVERIFY2(
        failed.reason.contains(QStringLiteral("usdrub.csv:2: \"oops\" is not a positive price")),
        qPrintable(failed.reason));
    QCOMPARE(minutesOf(fetch(source)),
             QStringList({"2024-05-14 10:06 1.0812 1.0813 1.0811 1.08125",
                          "2024-05-14 10:08 1.0812 1.0813 1.0811 1.08125"}));
}

void TestTerminalSource::missingFolderOrFile()
{
    TerminalSource nowhere(m_folder->filePath(QStringLiteral("MQL4/Files/quentara-feed")), 2);
    const SourceAnswer noFolder = fetch(nowhere);
    QCOMPARE(noFolder.outcome, Outcome::Failed);
    QVERIFY2(noFolder.reason.contains(QStringLiteral("quentara-feed: no such folder")),
             qPrintable(noFolder.reason));
    TerminalSource empty(m_folder->path(), 2);
    const SourceAnswer noFile = fetch(empty);
    QCOMPARE(noFile.outcome, Outcome::Failed);
    QVERIFY2(noFile.reason.contains(QStringLiteral("usdrub.csv: no such file")),
             qPrintable(noFile.reason));
    const SourceAnswer notAName =
        QCoro::waitFor(empty.fetch(QStringLiteral("../usdrub"), kMorning, kEvening, false));
    QCOMPARE(notAName.outcome, Outcome::Failed);
}

QByteArray TestTerminalSource::exportOfMinutes(qint64 first, int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i) {
        lines += momentOf(first + i).toString(QStringLiteral("yyyy.MM.dd,HH:mm")).toLatin1() +
                 ",1.08120,1.08130,1.08110,1.08125," + QByteArray::number(i) + "\r\n";
    }
    return lines;
}

void TestTerminalSource::longFileIsReadWhole()
{
    // A History Center export of more than a chunk: a line straddles the chunk's end.
    const qint64 first = gmtMinute(2024, 4, 1, 0, 0);
    const int count = 30000;
    const QByteArray lines = exportOfMinutes(first, count);
    QVERIFY(lines.size() > TerminalSource::kChunkBytes);
    writeTestFile(m_file, lines);
    TerminalSource source(m_folder->path(), 0);
    const SourceAnswer answer = fetch(source, first, first + count);
    QCOMPARE(answer.outcome, Outcome::Candles);
    const std::vector<Candle> &candles = answer.runs.at(0).candles;
    QCOMPARE(candles.size(), size_t(count));
    for (int i = 0; i < count; ++i)
        QCOMPARE(candles[size_t(i)].minute, first + i);
}

void TestTerminalSource::secondFetchWhileReadingAddsNothing()
{
    const qint64 first = gmtMinute(2024, 4, 1, 0, 0);
    const int count = 30000;
    writeTestFile(m_file, exportOfMinutes(first, count));
    TerminalSource source(m_folder->path(), 0);
    // The first fetch gives the event loop a turn after its first chunk; the second comes then.
    QCoro::Task<SourceAnswer> reading =
        source.fetch(QStringLiteral("usdrub"), first, first + count, false);
    const SourceAnswer meanwhile =
        QCoro::waitFor(source.fetch(QStringLiteral("usdrub"), first, first + count, false));
    const SourceAnswer whole = QCoro::waitFor(std::move(reading));
    QCOMPARE(meanwhile.outcome, Outcome::Candles);
    QVERIFY(meanwhile.runs.empty());
    QCOMPARE(whole.runs.at(0).candles.size(), size_t(count));
    QVERIFY(fetch(source, first, first + count).runs.empty());
}

QTEST_GUILESS_MAIN(TestTerminalSource)
#include "tst_terminalsource.moc"
