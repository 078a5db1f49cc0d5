#include "benchfigures.h"

#include "market/market.h"
#include "market/minutes.h"
#include "signalserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimeZone>

// How long the server takes to bring all 62 instruments to a new minute and rebuild their
// documents, and how long it takes to build months of simulated history at start-up.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int kStarts = 5;
    constexpr int kMinutes = 240;
    // A Tuesday: every instrument trades, so every record is rebuilt each minute.
    QDateTime now(QDate(2024, 5, 14), QTime(8, 0), QTimeZone::utc());

    QList<double> starts;
    for (int i = 0; i < kStarts; ++i) {
        QElapsedTimer timer;
        timer.start();
        const Market market(MarketSetup{}, minuteOf(now));
        starts << double(timer.nsecsElapsed()) / 1e6;
    }

    SignalServer server(MarketSetup{}, {}, Clock([&now] { return now; }), false);
    QList<double> recomputes;
    qsizetype rebuilt = 0;
    for (int minute = 0; minute < kMinutes; ++minute) {
        now = now.addSecs(60);
        QElapsedTimer timer;
        timer.start();
        rebuilt += server.refresh().size();
        recomputes << double(timer.nsecsElapsed()) / 1e6;
    }

    printFigure("server_startup_median", percentile(starts, 0.5), "ms");
    printFigure("server_recompute_median", percentile(recomputes, 0.5), "ms");
    printFigure("server_recompute_p90", percentile(recomputes, 0.9), "ms");
    printFigure("server_recompute_documents", double(rebuilt) / kMinutes, "documents");
    return 0;
}
