#include "market/pollingcycle.h"

#include "app/appstate.h"
#include "app/catalogue.h"
#include "market/marketview.h"
#include "market/pivotplacement.h"
#include "market/priceobserver.h"
#include "market/serveraccess.h"
#include "market/serverpaths.h"
#include "signals/signalevaluator.h"

#include <QPointer>

#include <QCoroTimer>

#include <array>
#include <optional>

namespace {

constexpr QLatin1StringView kTradingClosed("no");
constexpr QLatin1StringView kHtmlPage("<!DOCTYPE");
constexpr QLatin1StringView kLoaded("0");

// Lets clicks, ticks and repaints run before the cycle goes on, also when the awaited fetch had
// already finished.
QCoro::Task<> processPendingEvents()
{
    co_await QCoro::sleepFor(std::chrono::milliseconds(0));
}

ConnectionStatus statusOf(const ServerAccess &server)
{
    return server.errconnect() == kLoaded ? ConnectionStatus::Online : ConnectionStatus::Offline;
}

} // namespace

PollingCycle::PollingCycle(ServerAccess &server, AppState &state, MarketView &view,
                           const Timings &timings, QObject *parent)
    : QObject(parent)
    , m_server(server)
    , m_state(state)
    , m_view(view)
    , m_pollTimer(this)
    , m_kickTimer(this)
{
    m_pollTimer.setObjectName(QStringLiteral("Timer1"));
    m_pollTimer.setInterval(timings.poll);
    m_kickTimer.setObjectName(QStringLiteral("Timer3"));
    m_kickTimer.setInterval(timings.kick);
    m_kickTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { runCycle(); });
    connect(&m_kickTimer, &QTimer::timeout, this, [this] { runCycle(); });
}

void PollingCycle::setWindowVisibility(std::function<bool()> isWindowVisible)
{
    m_isWindowVisible = std::move(isWindowVisible);
}

void PollingCycle::setFetchAhead(int requests)
{
    m_fetchAhead = std::max(1, requests);
}

void PollingCycle::start()
{
    m_pollTimer.start();
    m_kickTimer.start();
}

QCoro::Task<> PollingCycle::runCycle()
{
    if (m_cycleRunning)
        co_return;
    m_cycleRunning = true;
    QPointer<PollingCycle> self(this);
    const QString base = m_server.baseAddress();

    // Records are fetched ahead, up to m_fetchAhead requests at once, but stored, rendered and
    // evaluated strictly in index order. Whether an instrument is switched on is decided when the
    // cycle reaches it: an answer fetched ahead for one switched off meanwhile is dropped, one
    // switched on after the look-ahead passed it is fetched then.
    std::array<std::optional<QCoro::Task<FetchResult>>, catalogue::kSlotCount> ahead;
    int nextToLaunch = 0;
    int inFlight = 0;
    const auto polled = [this](int index) { return m_state.isEnabled(index); };
    const auto instrumentFetch = [&](int index) {
        return m_server.fetch(serverpaths::instrumentUrl(base, catalogue::serverCode(index)));
    };
    const auto fetchAhead = [&] {
        for (; nextToLaunch < catalogue::kSlotCount && inFlight < m_fetchAhead; ++nextToLaunch) {
            if (polled(nextToLaunch)) {
                ahead.at(nextToLaunch).emplace(instrumentFetch(nextToLaunch));
                ++inFlight;
            }
        }
    };

    // Trading flag.
    QCoro::Task<FetchResult> flagFetch =
        m_server.fetch(serverpaths::documentUrl(base, serverpaths::kTradingFlag));
    ++inFlight;
    fetchAhead();
    const FetchResult flag = co_await flagFetch;
    if (!self)
        co_return;
    --inFlight;
    m_server.recordOutcome(serverpaths::fileName(serverpaths::kTradingFlag), flag.loaded);
    if (!flag.text.isEmpty())
        m_state.setTradingFlag(flag.text.section(u';', 0, 0));

    m_view.setStatus(ConnectionStatus::Connecting);
    co_await processPendingEvents();
    if (!self)
        co_return;
    if (m_view.isPivotTabActive()) {
        m_view.setPivotPanelVisible(false);
        m_view.setRefreshPanelVisible(true);
    }

    for (int index = 0; index < catalogue::kSlotCount; ++index) {
        fetchAhead();
        std::optional<QCoro::Task<FetchResult>> &fetch = ahead.at(index);
        if (!polled(index)) {
            if (fetch) {
                fetch.reset();
                --inFlight;
            }
            continue;
        }
        if (!fetch) {
            fetch.emplace(instrumentFetch(index));
            ++inFlight;
        }
        const FetchResult result = co_await *fetch;
        if (!self)
            co_return;
        fetch.reset();
        --inFlight;
        m_state.setRecord(index, result.text);
        m_server.recordOutcome(serverpaths::instrumentFileName(catalogue::serverCode(index)),
                               result.loaded);
        // Read again: the user may have switched it off while it was fetched. The reserved slot
        // is asked for when its stored flag is on, but it is no instrument and is never shown.
        if (m_state.isEnabled(index) && catalogue::isInstrument(index))
            processInstrument(index);
        co_await processPendingEvents();
        if (!self)
            co_return;
    }

    co_await clickInstrument();
    if (!self)
        co_return;
    m_view.setStatus(statusOf(m_server));
    if (m_view.isPivotTabActive()) {
        co_await clickInstrument();
        if (!self)
            co_return;
        m_view.setPivotPanelVisible(true);
        m_view.setRefreshPanelVisible(false);
    }
    m_cycleRunning = false;
    Q_EMIT cycleFinished();
}

void PollingCycle::processInstrument(int index)
{
    const bool completed = m_view.loadInd(m_workingGrid, index, m_state.record(index), QString());
    // Cell 0,0 holds the record's price; the market is seen also while trading is closed.
    if (completed && m_priceObserver) {
        if (const std::optional<double> price = readPrice(m_workingGrid.text(0, 0)))
            m_priceObserver->observePrice(index, *price);
    }
    // After a stopped fill the working grid's summaries still belong to the instrument rendered
    // before; evaluating them would raise that instrument's signals under this one's name. The
    // signal memory stays as it is, so a short outage does not raise the same signals again.
    if (!completed || !m_evaluator)
        return;
    if (catalogue::isGated(index) && m_state.tradingFlag() == kTradingClosed)
        return;
    m_evaluator->checkSignal(m_workingGrid, m_state.memory(index), catalogue::signalName(index));
}

QCoro::Task<> PollingCycle::clickInstrument()
{
    QPointer<PollingCycle> self(this);
    const quint64 generation = ++m_clickGeneration;
    const int fetched = m_state.selectedIndex();
    const QString record = m_state.record(fetched);
    if (record.isEmpty() || record.contains(kHtmlPage)) {
        const QString code = catalogue::serverCode(fetched);
        const QString text =
            co_await m_server.openUrl(serverpaths::instrumentUrl(m_server.baseAddress(), code),
                                      serverpaths::instrumentFileName(code));
        if (!self)
            co_return;
        m_state.setRecord(fetched, text);
    }
    if (!m_isWindowVisible || m_isWindowVisible())
        m_view.setStatus(statusOf(m_server));
    co_await processPendingEvents();
    if (!self)
        co_return;
    // Selected again meanwhile: that later call shows the instrument once its record is in, so
    // this one does not show it without.
    if (generation != m_clickGeneration)
        co_return;

    const int index = m_state.selectedIndex();
    m_view.hideAllGrids();
    m_view.loadInd(m_view.visibleGrid(), index, m_state.record(index),
                   catalogue::displayCaption(index));
    m_view.showGrid();
    if (m_view.isPivotTabActive())
        m_view.setPivotPanelVisible(true);
}

QCoro::Task<> PollingCycle::selectInstrument(int index)
{
    m_state.setSelectedIndex(index);
    return clickInstrument();
}
