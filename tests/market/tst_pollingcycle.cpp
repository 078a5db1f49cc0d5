#include "app/appstate.h"
#include "app/catalogue.h"
#include "market/marketview.h"
#include "market/noticecheck.h"
#include "market/pollingcycle.h"
#include "market/priceobserver.h"
#include "market/serveraccess.h"
#include "recordbuilder.h"
#include "signals/signalevaluator.h"
#include "signals/signalmemory.h"
#include "testhttpserver.h"

#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <QCoroTask>

using namespace std::chrono_literals;

namespace {

// Notes every evaluation: the instrument, the price in the grid it was given, and marks the
// instrument's memory.
class RecordingEvaluator final : public SignalEvaluator
{
public:
    void checkSignal(const IndicatorGrid &grid, SignalMemory &memory,
                     const QString &signalName) override
    {
        names << signalName;
        prices << grid.text(0, 0);
        memory.tag = QStringLiteral("evaluated");
        if (onEvaluate)
            onEvaluate(signalName);
    }

    std::function<void(const QString &)> onEvaluate;
    QStringList names;
    QStringList prices;
};

class RecordingObserver final : public PriceObserver
{
public:
    void observePrice(int index, double price) override
    {
        seen << QStringLiteral("%1=%2").arg(index).arg(price);
    }

    QStringList seen;
};

QString codePath(int index)
{
    return QStringLiteral("signals/") + catalogue::serverCode(index) + QStringLiteral(".xml");
}

// Each instrument's record carries its own price, so a grid tells whose record it holds.
QString priceOf(int index)
{
    return QString::number(1000 + index);
}

constexpr int kAudCad = 0;
constexpr int kEurUsd = 14;
constexpr int kNzdCad = 20;
constexpr int kCrypto = 35; // DOGE/USD
constexpr int kNaturalGas = 45;
constexpr int kDax = 50;

} // namespace

class TestPollingCycle final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void tradingFlagGatesEvaluation_data();
    void tradingFlagGatesEvaluation();
    void htmlRecordIsFetchedAgainWhenShown();
    void switchedOffDuringItsFetchIsNotRendered();
    void switchedOffBeforeTheCycleReachesItIsDropped();
    void switchedOnBeforeTheCycleReachesItIsFetched();
    void unreachableServer();
    void overlappingCycleIsSkipped();
    void timersRunTheCycle();
    void processingOrderUnderFetchAhead_data();
    void processingOrderUnderFetchAhead();
    void statusFollowsTheLastFetchInIndexOrder_data();
    void statusFollowsTheLastFetchInIndexOrder();
    void stoppedFillIsNotEvaluated();
    void pricesOfFullRecordsAreTold();
    void pivotPanelsAroundACycle();
    void indicatorsChosenDuringACycle();
    void hiddenWindowKeepsTheStatusOnSelection();
    void nothingEnabled();
    void reservedSlotIsAskedForButNeverShown();
    void overlappingSelectionsShowTheLastFetch();
    void noticeIsShownOncePerRun();
    void rejectedNoticeIsNotShown();

private:
    void serveInstrument(int index, std::chrono::milliseconds delay = 0ms);
    void runCycle() { QCoro::waitFor(m_cycle->runCycle()); }
    // Calls action once the server has seen a request for path.
    void onRequest(const QString &path, std::function<void()> action);

    std::unique_ptr<TestHttpServer> m_server;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<ServerAccess> m_access;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<MarketView> m_view;
    std::unique_ptr<PollingCycle> m_cycle;
    std::unique_ptr<RecordingEvaluator> m_evaluator;
    Timings m_timings;
};

void TestPollingCycle::init()
{
    m_server = std::make_unique<TestHttpServer>();
    QVERIFY(m_server->start() != 0);
    m_server->serveData(QStringLiteral("signals/-cantrade_xml.php"), QStringLiteral("yes;"));
    m_network = std::make_unique<QNetworkAccessManager>();
    m_access = std::make_unique<ServerAccess>(*m_network, m_server->baseAddress());
    m_state = std::make_unique<AppState>();
    m_view = std::make_unique<MarketView>();
    m_view->gridrazm();
    m_timings.kick = 20ms;
    m_timings.poll = 150ms;
    m_cycle = std::make_unique<PollingCycle>(*m_access, *m_state, *m_view, m_timings);
    m_evaluator = std::make_unique<RecordingEvaluator>();
    m_cycle->setSignalEvaluator(m_evaluator.get());
    // The selected instrument has a record, so that showing it fetches nothing.
    m_state->setSelectedIndex(kEurUsd);
    m_state->setRecord(kEurUsd, RecordBuilder().setPrice(priceOf(kEurUsd)).text());
}

void TestPollingCycle::cleanup()
{
    m_cycle.reset();
    m_access.reset();
    m_network.reset();
    m_server.reset();
}

void TestPollingCycle::serveInstrument(int index, std::chrono::milliseconds delay)
{
    TestHttpServer::Route route;
    route.body = TestHttpServer::dataDocument(RecordBuilder().setPrice(priceOf(index)).text());
    route.delay = delay;
    m_server->setRoute(codePath(index), route);
}

void TestPollingCycle::onRequest(const QString &path, std::function<void()> action)
{
    auto *watch = new QTimer(this);
    connect(watch, &QTimer::timeout, this, [this, watch, path, action] {
        if (m_server->requestCount(path) == 0)
            return;
        watch->deleteLater();
        watch->stop();
        action();
    });
    watch->start(1);
}

void TestPollingCycle::tradingFlagGatesEvaluation_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("evaluated");

    const QString crypto = catalogue::signalName(kCrypto);
    const QStringList all{"AUD/CAD", crypto, "Natural Gas"};
    QTest::newRow("no: only the cryptocurrencies") << "yes"
                                                   << "no;1"
                                                   << "no" << QStringList{crypto};
    QTest::newRow("yes") << "no"
                         << "yes;1"
                         << "yes" << all;
    QTest::newRow("other case is not no") << "yes"
                                          << "No"
                                          << "No" << all;
    QTest::newRow("empty first field") << "no"
                                       << ";no"
                                       << "" << all;
    QTest::newRow("empty document keeps the flag") << "no"
                                                   << ""
                                                   << "no" << QStringList{crypto};
}

void TestPollingCycle::tradingFlagGatesEvaluation()
{
    QFETCH(QString, before);
    QFETCH(QString, document);
    QFETCH(QString, after);
    QFETCH(QStringList, evaluated);

    m_server->serveData(QStringLiteral("signals/-cantrade_xml.php"), document);
    m_state->setTradingFlag(before);
    for (int index : {kAudCad, kCrypto, kNaturalGas}) {
        serveInstrument(index);
        m_state->setEnabled(index, true);
    }
    runCycle();
    QCOMPARE(m_state->tradingFlag(), after);
    QCOMPARE(m_evaluator->names, evaluated);
    // Gated instruments are still fetched and rendered.
    QCOMPARE(m_state->record(kNaturalGas).isEmpty(), false);
    QCOMPARE(m_cycle->workingGrid().text(0, 0), priceOf(kNaturalGas));
}

void TestPollingCycle::htmlRecordIsFetchedAgainWhenShown()
{
    const QString page = QStringLiteral("<!DOCTYPE html><html><body>Bad gateway</body></html>");
    m_server->serveData(codePath(kDax), page);
    const QString path = codePath(kDax);

    QCoro::waitFor(m_cycle->selectInstrument(kDax));
    QCOMPARE(m_state->selectedIndex(), kDax);
    QCOMPARE(m_server->requestCount(path), 1);
    QCOMPARE(m_state->record(kDax), page);
    QVERIFY(m_view->isDataMissingVisible());

    // Not switched on, yet fetched again every time it is shown, the cycle's showing included.
    runCycle();
    QCOMPARE(m_server->requestCount(path), 2);

    serveInstrument(kDax);
    QCoro::waitFor(m_cycle->clickInstrument());
    QCOMPARE(m_server->requestCount(path), 3);
    QCOMPARE(m_view->caption(), QStringLiteral("DAX \u2013 ") + priceOf(kDax));
    QVERIFY(!m_view->isDataMissingVisible());

    // A good record is kept: neither showing it nor a cycle fetch it again.
    QCoro::waitFor(m_cycle->clickInstrument());
    runCycle();
    QCOMPARE(m_server->requestCount(path), 3);
}

void TestPollingCycle::switchedOffDuringItsFetchIsNotRendered()
{
    m_state->setSelectedIndex(kNzdCad);
    m_state->setRecord(kEurUsd, QString());
    for (int index : {kAudCad, kEurUsd, kNzdCad}) {
        serveInstrument(index, index == kEurUsd ? 600ms : 0ms);
        m_state->setEnabled(index, true);
    }
    // Once AUD/CAD is done the cycle waits for EUR/USD.
    m_evaluator->onEvaluate = [this](const QString &name) {
        if (name == QLatin1String("AUD/CAD"))
            QTimer::singleShot(100ms, this, [this] { m_state->setEnabled(kEurUsd, false); });
    };
    runCycle();
    QCOMPARE(m_evaluator->names, (QStringList{"AUD/CAD", "NZD/CAD"}));
    QCOMPARE(m_evaluator->prices, (QStringList{priceOf(kAudCad), priceOf(kNzdCad)}));
    QVERIFY(!m_state->record(kEurUsd).isEmpty()); // fetched and kept, only not rendered
}

void TestPollingCycle::switchedOffBeforeTheCycleReachesItIsDropped()
{
    m_state->setSelectedIndex(kNzdCad);
    m_state->setRecord(kEurUsd, QString());
    for (int index : {kAudCad, kEurUsd, kNzdCad}) {
        serveInstrument(index, index == kAudCad ? 300ms : 0ms);
        m_state->setEnabled(index, true);
    }
    // Its record was asked for ahead, while the cycle still waits for AUD/CAD.
    onRequest(codePath(kEurUsd), [this] { m_state->setEnabled(kEurUsd, false); });
    runCycle();
    QCOMPARE(m_evaluator->names, (QStringList{"AUD/CAD", "NZD/CAD"}));
    QVERIFY(m_state->record(kEurUsd).isEmpty());
}

void TestPollingCycle::switchedOnBeforeTheCycleReachesItIsFetched()
{
    for (int index : {kAudCad, kDax})
        serveInstrument(index, index == kAudCad ? 200ms : 0ms);
    m_state->setEnabled(kAudCad, true);
    onRequest(codePath(kAudCad), [this] { m_state->setEnabled(kDax, true); });
    runCycle();
    QCOMPARE(m_server->requestCount(codePath(kDax)), 1);
    QCOMPARE(m_evaluator->names, (QStringList{"AUD/CAD", "DAX"}));
}

void TestPollingCycle::unreachableServer()
{
    const QString closed = m_server->baseAddress();
    m_server.reset();
    ServerAccess access(*m_network, closed);
    PollingCycle cycle(access, *m_state, *m_view, m_timings);
    cycle.setSignalEvaluator(m_evaluator.get());
    m_state->setTradingFlag(QStringLiteral("no"));
    const QList<int> enabled{kAudCad, kCrypto, kNaturalGas};
    for (int index : enabled) {
        m_state->setEnabled(index, true);
        m_state->setRecord(index, RecordBuilder().text());
    }
    m_state->setRecord(kEurUsd, QString());

    QSignalSpy statuses(m_view.get(), &MarketView::statusChanged);
    QCoro::waitFor(cycle.runCycle());
    for (int index : enabled)
        QVERIFY(m_state->record(index).isEmpty());
    QVERIFY(m_evaluator->names.isEmpty());
    QCOMPARE(m_state->tradingFlag(), QStringLiteral("no"));
    QCOMPARE(access.errconnect(), QStringLiteral("1"));
    QCOMPARE(m_view->status(), ConnectionStatus::Offline);
    QCOMPARE(statuses.first().first().value<ConnectionStatus>(), ConnectionStatus::Connecting);
    QCOMPARE(m_view->caption(), QStringLiteral("Data is being updated. Try it in a minute."));
    QVERIFY(m_view->isDataMissingVisible());
    QVERIFY(m_view->isGridVisible());
}

void TestPollingCycle::overlappingCycleIsSkipped()
{
    m_server->setDefaultDelay(100ms);
    serveInstrument(kAudCad);
    m_state->setEnabled(kAudCad, true);
    QSignalSpy finished(m_cycle.get(), &PollingCycle::cycleFinished);

    QCoro::Task<> first = m_cycle->runCycle();
    QVERIFY(m_cycle->isCycleRunning());
    QCoro::Task<> second = m_cycle->runCycle();
    QVERIFY(second.isReady()); // returned at once
    QCoro::waitFor(first);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(m_server->requestCount(QStringLiteral("signals/-cantrade_xml.php")), 1);
    QCOMPARE(m_server->requestCount(codePath(kAudCad)), 1);
    QCOMPARE(m_evaluator->names.size(), 1);
    QVERIFY(!m_cycle->isCycleRunning());
}

void TestPollingCycle::timersRunTheCycle()
{
    QSignalSpy finished(m_cycle.get(), &PollingCycle::cycleFinished);
    QElapsedTimer clock;
    clock.start();
    m_cycle->start();
    QVERIFY(finished.wait(1000));
    const qint64 first = clock.elapsed();
    QVERIFY2(first < m_timings.poll.count(), "the kick runs the first cycle");
    QVERIFY(finished.wait(1000));
    // Coarse timers may fire up to 5 % early.
    QVERIFY(clock.elapsed() >= m_timings.poll.count() * 9 / 10);
    QVERIFY(finished.wait(1000)); // and on, once per interval
    QVERIFY(clock.elapsed() >= 2 * m_timings.poll.count() * 9 / 10);
}

void TestPollingCycle::processingOrderUnderFetchAhead_data()
{
    QTest::addColumn<int>("fetchAhead");
    QTest::newRow("one at a time") << 1;
    QTest::newRow("fetching ahead") << PollingCycle::kDefaultFetchAhead;
}

void TestPollingCycle::processingOrderUnderFetchAhead()
{
    QFETCH(int, fetchAhead);
    m_cycle->setFetchAhead(fetchAhead);
    QList<int> enabled;
    for (int index = 0; index < 12; ++index) {
        // Later instruments answer sooner.
        serveInstrument(index, std::chrono::milliseconds(10 + 8 * (12 - index)));
        m_state->setEnabled(index, true);
        enabled << index;
    }
    QList<int> stored;
    connect(m_state.get(), &AppState::recordChanged, this, [&](int index) { stored << index; });
    runCycle();

    QCOMPARE(stored, enabled);
    QStringList prices;
    for (int index : enabled)
        prices << priceOf(index);
    QCOMPARE(m_evaluator->prices, prices);
    if (fetchAhead == 1)
        QCOMPARE(m_server->maxInFlight(), 1);
    else
        QVERIFY2(m_server->maxInFlight() > 2 && m_server->maxInFlight() <= fetchAhead,
                 qPrintable(QString::number(m_server->maxInFlight())));
}

void TestPollingCycle::statusFollowsTheLastFetchInIndexOrder_data()
{
    QTest::addColumn<bool>("lastLoads");
    QTest::newRow("last fails, earlier ones load later") << false;
    QTest::newRow("last loads, an earlier one fails later") << true;
}

void TestPollingCycle::statusFollowsTheLastFetchInIndexOrder()
{
    QFETCH(bool, lastLoads);
    TestHttpServer::Route failing;
    failing.status = 500;
    failing.body = "error";
    for (int index : {kAudCad, kEurUsd, kDax}) {
        m_state->setEnabled(index, true);
        serveInstrument(index, index == kDax ? 0ms : 150ms);
    }
    failing.delay = lastLoads ? 150ms : 0ms;
    m_server->setRoute(codePath(lastLoads ? kAudCad : kDax), failing);
    runCycle();
    QCOMPARE(m_view->status(), lastLoads ? ConnectionStatus::Online : ConnectionStatus::Offline);
}

void TestPollingCycle::stoppedFillIsNotEvaluated()
{
    serveInstrument(kAudCad);
    m_server->serveData(codePath(kNzdCad),
                        RecordBuilder().setPrice(priceOf(kNzdCad)).truncate(120).text());
    m_state->setEnabled(kAudCad, true);
    m_state->setEnabled(kNzdCad, true);
    const SignalMemory raised{QStringLiteral("B1"), QStringLiteral("S2"), QStringLiteral("0")};
    m_state->memory(kNzdCad) = raised;

    runCycle();
    QCOMPARE(m_evaluator->names, QStringList{"AUD/CAD"});
    QCOMPARE(m_state->memory(kNzdCad), raised);
    QCOMPARE(m_state->memory(kAudCad).tag, QStringLiteral("evaluated"));
}

void TestPollingCycle::pricesOfFullRecordsAreTold()
{
    RecordingObserver observer;
    m_cycle->setPriceObserver(&observer);
    m_server->serveData(QStringLiteral("signals/-cantrade_xml.php"), QStringLiteral("no;1"));
    serveInstrument(kAudCad);
    serveInstrument(kCrypto);
    m_server->serveData(codePath(kNzdCad),
                        RecordBuilder().setPrice(priceOf(kNzdCad)).truncate(120).text());
    m_server->serveData(codePath(kNaturalGas), RecordBuilder().setPrice("n/a").text());
    m_server->serveData(codePath(kDax), RecordBuilder().setPrice("18,250.5").text());
    for (int index : {kAudCad, kNzdCad, kCrypto, kNaturalGas, kDax})
        m_state->setEnabled(index, true);

    runCycle();
    // The market is seen while trading is closed as well; a record cut short or without a
    // readable price tells nothing.
    QCOMPARE(observer.seen, (QStringList{"0=1000", "35=1035", "50=18250.5"}));
    QCOMPARE(m_evaluator->names, QStringList{catalogue::signalName(kCrypto)});
}

void TestPollingCycle::pivotPanelsAroundACycle()
{
    m_state->setRecord(kEurUsd, RecordBuilder().setPrice(priceOf(kEurUsd)).text());
    QCoro::waitFor(m_cycle->clickInstrument());
    m_view->choosePivotPoints();
    QVERIFY(m_view->isPivotPanelVisible());
    serveInstrument(kAudCad, 100ms);
    m_state->setEnabled(kAudCad, true);

    QSignalSpy pivotVisibility(m_view.get(), &MarketView::pivotPanelVisibleChanged);
    bool refreshShownWhileRendering = false;
    m_evaluator->onEvaluate = [&](const QString &) {
        refreshShownWhileRendering = m_view->isRefreshPanelVisible();
    };
    QString levelsAfterRender;
    connect(m_view.get(), &MarketView::pivotsChanged, this, [&] {
        if (levelsAfterRender.isEmpty())
            levelsAfterRender = m_view->pivots().column(1).priceCaption;
    });
    runCycle();
    QVERIFY(refreshShownWhileRendering);
    QCOMPARE(pivotVisibility.first().first().toBool(), false); // hidden when the cycle began
    QCOMPARE(levelsAfterRender, priceOf(kAudCad)); // the cycle's own render rewrote the panel
    QVERIFY(m_view->isPivotPanelVisible());
    QVERIFY(!m_view->isRefreshPanelVisible());
    QCOMPARE(m_view->pivots().column(1).priceCaption, priceOf(kEurUsd));
}

void TestPollingCycle::indicatorsChosenDuringACycle()
{
    m_view->choosePivotPoints();
    serveInstrument(kAudCad, 100ms);
    m_state->setEnabled(kAudCad, true);
    onRequest(codePath(kAudCad), [this] { m_view->chooseIndicators(); });
    runCycle();
    QVERIFY(!m_view->isPivotTabActive());
    QVERIFY(!m_view->isPivotPanelVisible());
    QVERIFY(!m_view->isRefreshPanelVisible());

    // Pivot Points chosen during a cycle shows the panel at once.
    onRequest(codePath(kAudCad), [this] { m_view->choosePivotPoints(); });
    m_server->clearRequests();
    bool shownAtOnce = false;
    connect(m_view.get(), &MarketView::pivotTabActiveChanged, this,
            [&] { shownAtOnce = m_view->isPivotPanelVisible(); });
    runCycle();
    QVERIFY(shownAtOnce);
    QVERIFY(m_view->isPivotPanelVisible());
    QCOMPARE(m_view->pivots().column(3).priceCaption, priceOf(kEurUsd));
}

void TestPollingCycle::hiddenWindowKeepsTheStatusOnSelection()
{
    bool windowVisible = false;
    m_cycle->setWindowVisibility([&] { return windowVisible; });
    m_state->setRecord(kDax, QString());
    serveInstrument(kDax);
    QCoro::waitFor(m_cycle->selectInstrument(kDax));
    QCOMPARE(m_view->status(), ConnectionStatus::Offline);
    QCOMPARE(m_view->caption(), QStringLiteral("DAX \u2013 ") + priceOf(kDax)); // still drawn

    QSignalSpy statuses(m_view.get(), &MarketView::statusChanged);
    runCycle();
    QCOMPARE(statuses.count(), 2); // the cycle's own Connecting and Online
    QCOMPARE(m_view->status(), ConnectionStatus::Online);

    windowVisible = true;
    m_server->removeRoute(codePath(kDax));
    m_state->setRecord(kDax, QString());
    QCoro::waitFor(m_cycle->clickInstrument());
    QCOMPARE(m_view->status(), ConnectionStatus::Offline);
}

void TestPollingCycle::nothingEnabled()
{
    m_state->setRecord(kEurUsd, QString());
    serveInstrument(kEurUsd);
    runCycle();
    QCOMPARE(m_server->requests(), (QStringList{"signals/-cantrade_xml.php", codePath(kEurUsd)}));
    QVERIFY(m_evaluator->names.isEmpty());
    QCOMPARE(m_view->status(), ConnectionStatus::Online);

    m_server->clearRequests();
    runCycle();
    QCOMPARE(m_server->requests(), QStringList{"signals/-cantrade_xml.php"});
}

void TestPollingCycle::reservedSlotIsAskedForButNeverShown()
{
    // A flag stored as on for the reserved slot asks for a document without a server code; its
    // failure is not the server's, so the status follows the fetch before it.
    m_state->setEnabled(catalogue::kReservedIndex, true);
    QSignalSpy rendered(m_view.get(), &MarketView::pivotsChanged);
    runCycle();
    QCOMPARE(m_server->requests(), (QStringList{"signals/-cantrade_xml.php", "signals/.xml"}));
    QCOMPARE(rendered.count(), 1); // only the selected instrument
    QVERIFY(m_evaluator->names.isEmpty());
    QCOMPARE(m_access->errconnect(), QStringLiteral("0"));
    QCOMPARE(m_view->status(), ConnectionStatus::Online);
}

void TestPollingCycle::overlappingSelectionsShowTheLastFetch()
{
    // The first selection's fetch fails after the second selection has shown its instrument.
    TestHttpServer::Route failing;
    failing.status = 500;
    failing.body = "error";
    failing.delay = 150ms;
    m_server->setRoute(codePath(kDax), failing);
    QCoro::waitFor(m_cycle->clickInstrument()); // nothing to fetch
    runCycle();
    QCOMPARE(m_view->status(), ConnectionStatus::Online);

    QCoro::Task<> first = m_cycle->selectInstrument(kDax);
    QCoro::waitFor(m_cycle->selectInstrument(kEurUsd));
    QCOMPARE(m_view->caption(), QStringLiteral("EUR/USD – ") + priceOf(kEurUsd));
    QCOMPARE(m_view->status(), ConnectionStatus::Online);
    QCoro::waitFor(first);
    QCOMPARE(m_server->requestCount(codePath(kDax)), 1);
    QCOMPARE(m_view->status(), ConnectionStatus::Offline);
    QCOMPARE(m_view->caption(), QStringLiteral("EUR/USD – ") + priceOf(kEurUsd));
    QVERIFY(!m_view->isDataMissingVisible());
}

void TestPollingCycle::noticeIsShownOncePerRun()
{
    m_server->serveData(QStringLiteral("message.xml"), QStringLiteral("Maintenance on Sunday"));
    NoticeCheck check(*m_access, *m_state, m_timings);
    QSignalSpy due(&check, &NoticeCheck::noticeDue);
    QCoro::waitFor(check.check());
    QCoro::waitFor(check.check());
    QCOMPARE(due.count(), 1);
    QCOMPARE(due.first().first().toString(), QStringLiteral("Maintenance on Sunday"));
    QCOMPARE(m_state->noticeShown(), QStringLiteral("1"));
    QCOMPARE(m_server->requestCount(QStringLiteral("message.xml")), 2);
}

void TestPollingCycle::rejectedNoticeIsNotShown()
{
    m_server->serveData(QStringLiteral("message.xml"), QStringLiteral("Version 1.76 is current"));
    NoticeCheck check(*m_access, *m_state, m_timings);
    QSignalSpy due(&check, &NoticeCheck::noticeDue);
    QCoro::waitFor(check.check());
    QCOMPARE(due.count(), 0);
    QCOMPARE(m_state->noticeShown(), QStringLiteral("0"));
    QCOMPARE(m_state->noticeText(), QStringLiteral("Version 1.76 is current"));
}

QTEST_GUILESS_MAIN(TestPollingCycle)
#include "tst_pollingcycle.moc"
