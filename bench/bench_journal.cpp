// Signal journal figures: opening a journal of a year's size at start-up (checked, old signals
// removed, awaited outcomes taken up); storing one delivered signal in it; the journal window
// opening on 100,000 signals (on screen with the table's first rows), the time until its summary of
// all of them is shown, and choosing an instrument.

#include "benchfigures.h"
#include "journalfixture.h"
#include "signals/journaldatabase.h"
#include "signals/journalreader.h"
#include "signals/journalwindow.h"
#include "signals/signaljournal.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr int kJournalRows = 100000;
constexpr int kInserts = 2000;
constexpr int kOpenings = 21;

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// A second connection to the same file, as the next start of the program would open it.
void benchOpening(const QString &path)
{
    QList<double> samples;
    for (int i = 0; i < kOpenings; ++i) {
        QElapsedTimer timer;
        timer.start();
        JournalDatabase database(path, Clock());
        SignalJournal journal(database, Clock());
        if (database.open())
            journal.start();
        samples << elapsedMs(timer);
    }
    printFigure("journal_startup_open_100k_median", percentile(samples, 0.5), "ms");
}

void benchInserts(JournalDatabase &database)
{
    SignalJournal journal(database, Clock());
    const char *const names[] = {"EUR/USD", "Gold", "BTC/USD (Bitcoin)", "DAX", "USD/JPY"};
    QList<double> samples;
    for (int i = 0; i < kInserts; ++i) {
        const DeliveredSignal signal{{QTime::currentTime(), QLatin1String(i % 2 ? "SELL" : "BUY"),
                                      QLatin1String(names[i % std::size(names)]),
                                      QString::number(1 + i % 3)},
                                     QDateTime::currentDateTime(),
                                     1,
                                     QStringLiteral("1.08512")};
        QElapsedTimer timer;
        timer.start();
        journal.receive(signal);
        samples << elapsedMs(timer);
    }
    printFigure("journal_insert_median", percentile(samples, 0.5), "ms");
    printFigure("journal_insert_p90", percentile(samples, 0.9), "ms");
}

// Runs events until the window's summary is shown; returns the longest the event loop was held
// up meanwhile (the longest part of the summing). The loop only waits: the summing runs in the
// window's own steps.
double waitForSummary(JournalWindow &window)
{
    if (window.isSummaryReady())
        return 0;
    QEventLoop loop;
    QObject::connect(&window, &JournalWindow::summaryReady, &loop, &QEventLoop::quit);
    QElapsedTimer sinceTick;
    double longest = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        longest = std::max(longest, elapsedMs(sinceTick));
        sinceTick.restart();
    });
    sinceTick.start();
    ticker.start();
    loop.exec();
    return std::max(longest, elapsedMs(sinceTick));
}

void benchWindow(const JournalReader &reader)
{
    QList<double> openings;
    QList<double> summaries;
    QList<double> holdUps;
    QList<double> filterings;
    for (int i = 0; i < kOpenings; ++i) {
        QElapsedTimer timer;
        timer.start();
        {
            JournalWindow window(reader);
            window.show();
            window.grab(); // painted with its first rows
            openings << elapsedMs(timer);
            holdUps << waitForSummary(window);
            summaries << elapsedMs(timer);

            timer.restart();
            window.findChild<QComboBox *>(QStringLiteral("journalInstrument"))
                ->setCurrentText(QStringLiteral("Gold"));
            window.grab();
            filterings << elapsedMs(timer);
            waitForSummary(window);
        }
        QCoreApplication::processEvents();
    }
    printFigure("journal_window_open_100k_median", percentile(openings, 0.5), "ms");
    printFigure("journal_window_summary_100k_median", percentile(summaries, 0.5), "ms");
    printFigure("journal_window_summary_step_max_median", percentile(holdUps, 0.5), "ms");
    printFigure("journal_window_filter_100k_median", percentile(filterings, 0.5), "ms");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // On the disk the journal really lives on, not in memory.
    QTemporaryDir dir(QDir::current().filePath(QStringLiteral("bench-journal-XXXXXX")));
    JournalDatabase database(dir.filePath(QStringLiteral("signals.sqlite")), Clock());
    if (!database.open() ||
        !journalfixture::addMany(database.database(), kJournalRows,
                                 QDateTime::currentDateTimeUtc().addDays(-1), 315)) {
        std::fputs("the journal could not be set up\n", stderr);
        return 1;
    }
    benchOpening(dir.filePath(QStringLiteral("signals.sqlite")));
    benchInserts(database);
    const JournalReader reader(database);
    benchWindow(reader);
    return 0;
}
