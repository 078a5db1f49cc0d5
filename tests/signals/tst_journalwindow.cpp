#include "journalfixture.h"
#include "signals/journaldatabase.h"
#include "signals/journalreader.h"
#include "signals/journaltablemodel.h"
#include "signals/journalwindow.h"
#include "ui/look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlError>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <ctime>

class TestJournalWindow final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void rowsNewestFirstInTheirColours();
    void filtersChooseRowsAndFigures_data();
    void filtersChooseRowsAndFigures();
    void doubleClickAsksForTheInstrument();
    void refreshKeepsTheSelectedSignal();
    void rowsAreReadInPages();
    void largeJournalIsSummedInParts();
    void exportWritesTheFilteredRows();
    void journalOffIsSaid();

private:
    QString cell(int row, int column) const;
    QVariant colour(int row, int column) const;
    QString summary(int row, int column) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<JournalDatabase> m_database;
    std::unique_ptr<JournalReader> m_reader;
    std::unique_ptr<JournalWindow> m_window;
};

void TestJournalWindow::initTestCase()
{
    qputenv("TZ", "XYZ-3"); // three hours ahead of UTC all year
    tzset();
}

void TestJournalWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_database =
        std::make_unique<JournalDatabase>(m_dir->filePath("q.ini.signals.sqlite"), Clock());
    QVERIFY(m_database->open());
    QVERIFY(journalfixture::addSamples(m_database->database()));
    m_reader = std::make_unique<JournalReader>(*m_database);
    m_window = std::make_unique<JournalWindow>(*m_reader);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestJournalWindow::cleanup()
{
    m_window.reset();
    m_reader.reset();
    m_database.reset();
}

QString TestJournalWindow::cell(int row, int column) const
{
    return m_window->model()->index(row, column).data().toString();
}

QVariant TestJournalWindow::colour(int row, int column) const
{
    return m_window->model()->index(row, column).data(Qt::ForegroundRole);
}

QString TestJournalWindow::summary(int row, int column) const
{
    return m_window
        ->findChild<QLabel *>(QStringLiteral("journalSummary_%1_%2").arg(row).arg(column))
        ->text();
}

void TestJournalWindow::rowsNewestFirstInTheirColours()
{
    QCOMPARE(m_window->objectName(), "journalform");
    QCOMPARE(m_window->windowTitle(), "Signal journal");
    QCOMPARE(m_window->table()->objectName(), "journalgrid");
    const QStringList headers{"Time",  "Direction", "Instrument", "Option",
                              "Price", "15 min",    "1 h",        "4 h"};
    for (int column = 0; column < headers.size(); ++column)
        QCOMPARE(m_window->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole),
                 headers[column]);

    QCOMPARE(m_window->model()->rowCount(), 6);
    QStringList newest;
    for (int column = 0; column < JournalTableModel::ColumnCount; ++column)
        newest << cell(0, column);
    QCOMPARE(newest, (QStringList{"2024-05-15 13:00:00", "SELL", "Oil, \"Urals\"", "2", "71.20", "",
                                  "0.00 %", ""}));
    QStringList oldest;
    for (int column = 0; column < JournalTableModel::ColumnCount; ++column)
        oldest << cell(5, column);
    QCOMPARE(oldest, (QStringList{"2024-05-13 23:30:00", "BUY", "EUR/USD", "1", "1.10000",
                                  "+5.0 pips", "+10.0 pips", "-10.0 pips"}));

    QCOMPARE(colour(5, JournalTableModel::DirectionColumn), QVariant(look::kBuyBlue));
    QCOMPARE(colour(0, JournalTableModel::DirectionColumn), QVariant(look::kSellRed));
    QCOMPARE(colour(5, JournalTableModel::OptionColumn), QVariant(look::kTitleBlue));
    QCOMPARE(colour(5, JournalTableModel::Move1hColumn), QVariant(look::kGainGreen));
    QCOMPARE(colour(5, JournalTableModel::Move4hColumn), QVariant(look::kSellRed));
    QCOMPARE(colour(0, JournalTableModel::Move1hColumn), QVariant()); // no move at all
    QCOMPARE(colour(4, JournalTableModel::Move1hColumn), QVariant(look::kSellRed));   // SELL, up
    QCOMPARE(colour(2, JournalTableModel::Move1hColumn), QVariant(look::kGainGreen)); // SELL, down

    QTRY_VERIFY(m_window->isSummaryReady());
    QCOMPARE(summary(0, 0), "6");
    QCOMPARE(summary(0, 1), "3 of 5 (60.0 %)");
    QCOMPARE(summary(0, 2), "+0.18 %");
    QCOMPARE(summary(3, 1), "1 of 1 (100.0 %)");
}

void TestJournalWindow::filtersChooseRowsAndFigures_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::addColumn<int>("option"); // list position
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("from"); // empty: not ticked
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("instruments");
    QTest::addColumn<QStringList>("figures"); // all signals; option 2
    QTest::newRow("instrument") << "EUR/USD" << 0 << 0 << ""
                                << "" << QStringList{"EUR/USD", "EUR/USD"}
                                << QStringList{"2", "1 of 2 (50.0 %)", "-5.0 pips",
                                               "1", "0 of 1 (0.0 %)",  "-20.0 pips"};
    QTest::newRow("option and direction")
        << "All instruments" << 2 << 2 << ""
        << "" << QStringList{"Oil, \"Urals\"", "EUR/USD"}
        << QStringList{"2", "0 of 2 (0.0 %)", "-0.09 %", "2", "0 of 2 (0.0 %)", "-0.09 %"};
    QTest::newRow("local days")
        << "All instruments" << 0 << 1 << "2024-05-14"
        << "2024-05-14" << QStringList{"USD/JPY", "Gold"}
        << QStringList{"2", "1 of 1 (100.0 %)",          "+0.50 %",
                       "0", QString::fromUtf8("\u2014"), QString::fromUtf8("\u2014")};
}

void TestJournalWindow::filtersChooseRowsAndFigures()
{
    QFETCH(QString, instrument);
    QFETCH(int, option);
    QFETCH(int, direction);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QStringList, instruments);
    QFETCH(QStringList, figures);
    m_window->findChild<QComboBox *>("journalInstrument")->setCurrentText(instrument);
    m_window->findChild<QComboBox *>("journalOption")->setCurrentIndex(option);
    m_window->findChild<QComboBox *>("journalDirection")->setCurrentIndex(direction);
    if (!from.isEmpty()) {
        m_window->findChild<QCheckBox *>("journalFromOn")->setChecked(true);
        m_window->findChild<QDateEdit *>("journalFrom")
            ->setDate(QDate::fromString(from, Qt::ISODate));
    }
    if (!to.isEmpty()) {
        m_window->findChild<QCheckBox *>("journalToOn")->setChecked(true);
        m_window->findChild<QDateEdit *>("journalTo")->setDate(QDate::fromString(to, Qt::ISODate));
    }

    QStringList shown;
    for (int row = 0; row < m_window->model()->rowCount(); ++row)
        shown << cell(row, JournalTableModel::InstrumentColumn);
    QCOMPARE(shown, instruments);
    QTRY_VERIFY(m_window->isSummaryReady());
    QCOMPARE((QStringList{summary(0, 0), summary(0, 1), summary(0, 2), summary(2, 0), summary(2, 1),
                          summary(2, 2)}),
             figures);

    // Unticking a day lets it through again.
    m_window->findChild<QCheckBox *>("journalFromOn")->setChecked(false);
    m_window->findChild<QCheckBox *>("journalToOn")->setChecked(false);
    m_window->findChild<QComboBox *>("journalInstrument")->setCurrentIndex(0);
    m_window->findChild<QComboBox *>("journalOption")->setCurrentIndex(0);
    m_window->findChild<QComboBox *>("journalDirection")->setCurrentIndex(0);
    QCOMPARE(m_window->model()->rowCount(), 6);
}

void TestJournalWindow::doubleClickAsksForTheInstrument()
{
    QSignalSpy chosen(m_window.get(), &JournalWindow::instrumentChosen);
    QTableView *table = m_window->table();
    const QRect gold = table->visualRect(m_window->model()->index(2, 1));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, gold.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, gold.center());
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.first().first().toString(), "Gold");
}

void TestJournalWindow::refreshKeepsTheSelectedSignal()
{
    QTableView *table = m_window->table();
    table->selectRow(3); // id 3, the Gold BUY
    QCOMPARE(cell(3, JournalTableModel::InstrumentColumn), "Gold");
    QVERIFY(journalfixture::addMany(m_database->database(), 2,
                                    QDateTime(QDate(2024, 5, 16), QTime(9, 0), QTimeZone::utc()),
                                    60));
    m_window->refresh();
    QCOMPARE(m_window->model()->rowCount(), 8);
    QCOMPARE(table->currentIndex().row(), 5);
    QCOMPARE(m_window->model()->journalRow(5)->id, 3);
    QTRY_VERIFY(m_window->isSummaryReady());
    QCOMPARE(summary(0, 0), "8");
}

void TestJournalWindow::rowsAreReadInPages()
{
    const int rows = JournalTableModel::kPageRows * (JournalTableModel::kCachedPages + 2) + 7;
    const QDateTime newest(QDate(2024, 6, 1), QTime(12, 0), QTimeZone::utc());
    QVERIFY(journalfixture::addMany(m_database->database(), rows, newest, 60));
    m_window->refresh();
    JournalTableModel *model = m_window->model();
    QCOMPARE(model->rowCount(), rows + 6);
    // Every page holds the rows it should, also after older pages left the cache. The samples
    // (ids 6 down to 1) are older than all the others.
    for (int row : {0, rows - 1, JournalTableModel::kPageRows, 3, rows / 2, rows + 5, 1, rows}) {
        const std::optional<JournalRow> journalRow = model->journalRow(row);
        QVERIFY(journalRow);
        if (row < rows)
            QCOMPARE(journalRow->time, newest.addSecs(-60LL * row));
        else
            QCOMPARE(journalRow->id, 6 - (row - rows));
    }
    QVERIFY(!model->journalRow(rows + 6));
}

void TestJournalWindow::largeJournalIsSummedInParts()
{
    const int rows = int(JournalWindow::kSummaryPart) * 2 + 500;
    QVERIFY(journalfixture::addMany(m_database->database(), rows,
                                    QDateTime(QDate(2024, 6, 1), QTime(12, 0), QTimeZone::utc()),
                                    60));
    QSignalSpy ready(m_window.get(), &JournalWindow::summaryReady);
    m_window->refresh();
    QVERIFY(!m_window->isSummaryReady());
    // A filter chosen while the journal is being summed up takes over.
    m_window->findChild<QComboBox *>("journalInstrument")->setCurrentText("Gold");
    QTRY_VERIFY(m_window->isSummaryReady());
    QCOMPARE(ready.size(), 1);

    const JournalSummary whole = m_reader->summary(m_window->filter());
    QVERIFY(whole.all.signals > rows / 5);
    QCOMPARE(summary(0, 0), QString::number(whole.all.signals));
    QCOMPARE(summary(0, 2), signalmoves::moveText(*whole.all.meanMove));
    QCOMPARE(summary(2, 0), QString::number(whole.options[1].signals));
}

void TestJournalWindow::exportWritesTheFilteredRows()
{
    m_window->findChild<QComboBox *>("journalInstrument")->setCurrentText("Gold");
    QCOMPARE(m_window->findChild<QPushButton *>("journalExport")->text(),
             QString::fromUtf8("Export CSV\u2026"));
    const QString path = m_dir->filePath("gold.csv");
    QVERIFY(m_window->exportTo(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 4); // header, two rows, nothing after the last line end
    QVERIFY(lines[1].startsWith("4,2024-05-14T09:00:00Z,"));
    QVERIFY(lines[2].startsWith("3,2024-05-14T08:00:00Z,"));

    QVERIFY(!m_window->exportTo(m_dir->filePath("no such folder/gold.csv")));
    auto *box = m_window->findChild<QMessageBox *>();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QVERIFY(box->text().contains("no such folder"));
}

void TestJournalWindow::journalOffIsSaid()
{
    auto *notice = m_window->findChild<QLabel *>("journalNotice");
    auto *exportButton = m_window->findChild<QPushButton *>("journalExport");
    QVERIFY(!notice->isVisibleTo(m_window.get()));
    QVERIFY(exportButton->isEnabled());

    // A disk error while the window is open turns the journal off for the session.
    m_database->writeFailed(QSqlError(QStringLiteral("driver"), QStringLiteral("disk I/O error"),
                                      QSqlError::StatementError, QStringLiteral("10")));
    m_window->refresh();
    QVERIFY(notice->isVisibleTo(m_window.get()));
    QVERIFY(!exportButton->isEnabled());
    QCOMPARE(m_window->model()->rowCount(), 0);
    // Nor does an export pass a file without the rows for the journal.
    const QString path = m_dir->filePath("off.csv");
    QVERIFY(!m_window->exportTo(path));
    QVERIFY(!QFile::exists(path));

    JournalWindow opened(*m_reader);
    QVERIFY(opened.findChild<QLabel *>("journalNotice")->isVisibleTo(&opened));
    QVERIFY(!opened.findChild<QPushButton *>("journalExport")->isEnabled());
}

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"
