#pragma once

#include "app/timings.h"
#include "market/indicatorgrid.h"

#include <QObject>
#include <QTimer>

#include <QCoroTask>

#include <functional>

class AppState;
class MarketView;
class PriceObserver;
class ServerAccess;
class SignalEvaluator;

// The once-a-minute refresh: asks the server whether trading is open, fetches the record of every
// switched-on instrument, renders each into the working grid and hands it to signal evaluation,
// then shows the selected instrument and whether the server was reachable. Also shows the
// selected instrument on demand (clickInstrument). Runs on the GUI thread; clicks, ticks and
// repaints run at every co_await.
class PollingCycle final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultFetchAhead = 8;

    PollingCycle(ServerAccess &server, AppState &state, MarketView &view, const Timings &timings,
                 QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(PollingCycle)

    // Where each freshly filled working grid is evaluated; none means no evaluation.
    void setSignalEvaluator(SignalEvaluator *evaluator) { m_evaluator = evaluator; }
    // Told the price of each record read in full; none means nobody is told.
    void setPriceObserver(PriceObserver *observer) { m_priceObserver = observer; }
    // Whether the main window is on screen: a hidden window's status indicator is left alone
    // when an instrument is shown. Without it the window counts as visible.
    void setWindowVisibility(std::function<bool()> isWindowVisible);
    // Most requests a cycle keeps in flight at once; 1 fetches strictly one after another.
    void setFetchAhead(int requests);

    // Arms the polling timer and the start-up kick, which runs the first cycle shortly after.
    void start();

    // One cycle; a cycle asked for while one runs is skipped, since both would share the
    // working grid.
    QCoro::Task<> runCycle();
    bool isCycleRunning() const { return m_cycleRunning; }

    // Shows the selected instrument: fetches its record first when it is missing or an HTML
    // page, sets the status, renders it into the visible table and the pivot panel.
    QCoro::Task<> clickInstrument();
    // Selects an instrument and shows it.
    QCoro::Task<> selectInstrument(int index);

    // gSignal: holds the instrument the cycle rendered last.
    const IndicatorGrid &workingGrid() const { return m_workingGrid; }

Q_SIGNALS:
    void cycleFinished();

private:
    void processInstrument(int index);

    ServerAccess &m_server;
    AppState &m_state;
    MarketView &m_view;
    SignalEvaluator *m_evaluator = nullptr;
    PriceObserver *m_priceObserver = nullptr;
    std::function<bool()> m_isWindowVisible;
    IndicatorGrid m_workingGrid;
    QTimer m_pollTimer; // Timer1
    QTimer m_kickTimer; // Timer3
    int m_fetchAhead = kDefaultFetchAhead;
    bool m_cycleRunning = false;
    quint64 m_clickGeneration = 0;
};
