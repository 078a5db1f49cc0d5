// Remote delivery: the longest stall of the GUI thread while 60 signals go to three slow targets
// (a webhook, a Telegram bot and a Discord webhook, each answering after 100 ms), the queue kept
// in a journal file on disk, beside the longest stall of the idle thread on the same machine; the
// cost of handing one signal to delivery; the time until all 180 sends are made.

#include "app/settingsstore.h"
#include "benchfigures.h"
#include "signals/deliveredsignal.h"
#include "signals/deliveryqueue.h"
#include "signals/deliverytarget.h"
#include "signals/journaldatabase.h"
#include "signals/remotedelivery.h"
#include "testserverthread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTimer>

#include <ctime>

#include <QCoroTask>
#include <QCoroTimer>

using namespace std::chrono_literals;

namespace {

constexpr auto kAnswerDelay = 100ms;
constexpr int kInstruments = 20; // three signals each, as one evaluation can raise
constexpr int kRuns = 3;
constexpr char kToken[] = "123456:bench-token";

const char *const kInstrumentNames[] = {
    "EUR/USD", "GBP/USD", "USD/JPY", "USD/CHF",          "AUD/USD", "USD/CAD", "NZD/USD", "EUR/GBP",
    "EUR/JPY", "GBP/JPY", "Gold",    "Silver",           "DXY",     "S&P 500", "DAX",     "Apple",
    "Google",  "EUR/CHF", "AUD/JPY", "BTC/USD (Bitcoin)"};

// The three services stand in on a thread of their own, as real ones are other machines.
void serveTheServices(TestHttpServer &services)
{
    services.setDefaultDelay(kAnswerDelay);
    services.serve(QStringLiteral("hook"), "{}");
    services.serve(QStringLiteral("bot%1/sendMessage").arg(QLatin1String(kToken)),
                   R"({"ok":true,"result":{"message_id":1}})");
    services.serve(QStringLiteral("discord"), "", 204);
}

void configureTargets(SettingsStore &settings, const QString &address)
{
    DeliveryTarget webhook;
    webhook.on = true;
    webhook.options = QStringLiteral("123");
    webhook.url = address + QStringLiteral("hook");
    deliverytargets::write(settings, 1, webhook);
    DeliveryTarget telegram = webhook;
    telegram.kind = DeliveryTarget::Kind::Telegram;
    telegram.api = address;
    telegram.token = QLatin1String(kToken);
    telegram.chat = QStringLiteral("-1001234567890");
    deliverytargets::write(settings, 2, telegram);
    DeliveryTarget discord = webhook;
    discord.kind = DeliveryTarget::Kind::Discord;
    discord.url = address + QStringLiteral("discord");
    deliverytargets::write(settings, 3, discord);
}

// Notes, between the ticks of a 5 ms timer, the longest wall-clock gap and the most CPU time the
// GUI thread spent: on a busy machine the first also counts the time other processes had the
// core, the second only what the thread itself did.
class StallMeter
{
public:
    StallMeter()
    {
        m_ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_ticker, &QTimer::timeout, [this] {
            const qint64 cpu = threadCpuNanoseconds();
            m_longestWall = std::max(m_longestWall, m_sinceTick.nsecsElapsed());
            m_longestCpu = std::max(m_longestCpu, cpu - m_lastCpu);
            m_sinceTick.restart();
            m_lastCpu = cpu;
        });
        m_sinceTick.start();
        m_lastCpu = threadCpuNanoseconds();
        m_ticker.start(5);
    }

    double longestWallMs() const { return m_longestWall / 1e6; }
    double longestCpuMs() const { return m_longestCpu / 1e6; }

private:
    static qint64 threadCpuNanoseconds()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }

    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_lastCpu = 0;
    qint64 m_longestWall = 0;
    qint64 m_longestCpu = 0;
};

struct RunFigures
{
    double wallStall = 0;
    double cpuStall = 0;
    double idleWallStall = 0;
    double allSent = 0;
    QList<double> receiveMicroseconds;
};

QCoro::Task<RunFigures> run(QNetworkAccessManager &network, const QString &address)
{
    RunFigures figures;
    {
        // The same machine with nothing to deliver, for comparison.
        const StallMeter idle;
        co_await QCoro::sleepFor(1s);
        figures.idleWallStall = idle.longestWallMs();
    }

    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("s.ini")));
    configureTargets(settings, address);
    JournalDatabase database(dir.filePath(QStringLiteral("signals.sqlite")), Clock());
    database.open();
    DeliveryQueue queue(database.database(), [](const QSqlError &error) {
        std::fprintf(stderr, "queue write failed: %s\n", qPrintable(error.text()));
    });
    RemoteDelivery delivery(settings, network, queue, Clock(), RemoteDelivery::Timings());
    int answered = 0;
    QObject::connect(&delivery, &RemoteDelivery::attemptFinished, [&] { ++answered; });

    const StallMeter meter;
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer handing;
    for (const char *instrument : kInstrumentNames) {
        for (const char *option : {"1", "2", "3"}) {
            const DeliveredSignal signal{Signal{QTime::currentTime(), "BUY",
                                                QLatin1String(instrument), QLatin1String(option)},
                                         QDateTime::currentDateTime(), 1, "1.08765"};
            handing.start();
            delivery.receive(signal);
            figures.receiveMicroseconds << handing.nsecsElapsed() / 1e3;
        }
        // The polling cycle lets the window run between instruments.
        co_await QCoro::sleepFor(1ms);
    }
    while (answered < kInstruments * 3 * deliverytargets::kCount)
        co_await QCoro::sleepFor(5ms);
    figures.allSent = clock.nsecsElapsed() / 1e6;
    figures.wallStall = meter.longestWallMs();
    figures.cpuStall = meter.longestCpuMs();
    if (!delivery.pending().isEmpty())
        std::fprintf(stderr, "%d sends still pending\n", int(delivery.pending().size()));
    co_return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const TestServerThread receiver(&serveTheServices);
    // One access manager for the program, warmed up by a first run as the polling cycle would.
    QNetworkAccessManager network;
    QCoro::waitFor(run(network, receiver.address()));

    QList<double> wallStalls;
    QList<double> cpuStalls;
    QList<double> idleStalls;
    QList<double> sent;
    QList<double> receives;
    for (int i = 0; i < kRuns; ++i) {
        const RunFigures figures = QCoro::waitFor(run(network, receiver.address()));
        wallStalls << figures.wallStall;
        cpuStalls << figures.cpuStall;
        idleStalls << figures.idleWallStall;
        sent << figures.allSent;
        receives << figures.receiveMicroseconds;
    }
    printFigure("delivery_gui_max_stall_ms", percentile(wallStalls, 0.5), "ms");
    printFigure("delivery_gui_max_busy_ms", percentile(cpuStalls, 0.5), "ms");
    printFigure("delivery_idle_max_stall_ms", percentile(idleStalls, 0.5), "ms");
    printFigure("delivery_receive_median_us", percentile(receives, 0.5), "us");
    printFigure("delivery_receive_p99_us", percentile(receives, 0.99), "us");
    printFigure("delivery_all_sent_ms", percentile(sent, 0.5), "ms");
    return 0;
}
