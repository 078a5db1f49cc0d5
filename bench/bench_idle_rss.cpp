// The program's resident memory at rest: the real quentara under a virtual X display (Xvfb)
// with all 62 instruments switched on, polling the real quentara-server on loopback. The reader
// is never opened. To run many cycles in ten minutes the program polls every second instead of
// every minute (its timings are passed in; everything else is the program as shipped), and the
// figures are its resident size after the first minute and at the end, and the growth between.
//
//   bench_idle_rss                 measures the program as built, for QUENTARA_IDLE_SECONDS (600)
//   QUENTARA_IDLE_PROGRAM=PATH     measures another build of quentara at its own timings instead
//   bench_idle_rss --program ...   (internal) the program with short timings, as the child

#include "app/application.h"
#include "app/commandline.h"
#include "app/settingsstore.h"
#include "benchfigures.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <QCoroTask>

#include <cstdio>

using namespace std::chrono_literals;

namespace {

constexpr int kDefaultSeconds = 600;
constexpr int kWarmUpSeconds = 60;
constexpr int kSampleSeconds = 5;

int runProgram(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quentara"));
    QApplication::setQuitOnLastWindowClosed(false);
    QStringList arguments = QApplication::arguments();
    arguments.removeAt(1); // --program
    const CommandLineOutcome commandLine =
        parseCommandLine(arguments, QStringLiteral(QUENTARA_DEFAULT_SERVER));
    if (!commandLine.options)
        return 2;
    Timings timings;
    timings.poll = 1s;
    timings.notice = 1s;
    Application quentara({*commandLine.options, Clock(), timings});
    QObject::connect(&quentara.pollingCycle(), &PollingCycle::cycleFinished, [] {
        std::puts("cycle");
        std::fflush(stdout);
    });
    QTimer::singleShot(0, &quentara, [&quentara] {
        QCoro::connect(quentara.startUp(), &quentara, [](bool running) {
            if (!running)
                QCoreApplication::exit(1);
        });
    });
    return QApplication::exec();
}

double residentMegabytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// A free display number: no X server's socket or lock for it.
int freeDisplay()
{
    for (int display = 90; display < 200; ++display) {
        if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)) &&
            !QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
            return display;
    }
    return -1;
}

bool waitFor(const std::function<bool()> &condition, std::chrono::milliseconds limit)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limit.count())
            return false;
        QThread::msleep(50);
    }
    return true;
}

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished(5000);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--program") == 0)
        return runProgram(argc, argv);

    QCoreApplication app(argc, argv);
    const int seconds = qEnvironmentVariableIntValue("QUENTARA_IDLE_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("QUENTARA_IDLE_SECONDS")
                            : kDefaultSeconds;
    QTemporaryDir dir;

    const int display = freeDisplay();
    QProcess xvfb;
    xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xvfb.start(QStringLiteral("Xvfb"),
               {QStringLiteral(":%1").arg(display), QStringLiteral("-screen"), QStringLiteral("0"),
                QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
    if (display < 0 || !waitFor([&] { return QFile::exists(socket); }, 10s)) {
        std::fputs("Xvfb did not start\n", stderr);
        return 1;
    }

    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral(QUENTARA_SERVER_BIN),
                 {QStringLiteral("--port"), QStringLiteral("0")});
    if (!server.waitForReadyRead(30000)) {
        std::fputs("quentara-server did not start\n", stderr);
        stop(xvfb);
        return 1;
    }
    const QString address =
        QStringLiteral("http://127.0.0.1:%1/").arg(server.readLine().trimmed().toInt());

    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    {
        SettingsStore store(ini);
        for (int index = 0; index < 62; ++index)
            store.writeEnabled(index, true);
    }
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::SeparateChannels);
    program.setReadChannel(QProcess::StandardOutput);
    const QString other = qEnvironmentVariable("QUENTARA_IDLE_PROGRAM");
    const QStringList common{QStringLiteral("--server"), address, QStringLiteral("--settings"),
                             ini};
    if (other.isEmpty())
        program.start(QCoreApplication::applicationFilePath(),
                      QStringList{QStringLiteral("--program")} + common);
    else
        program.start(other, common);
    if (!program.waitForStarted(10000)) {
        std::fputs("quentara did not start\n", stderr);
        stop(server);
        stop(xvfb);
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    double afterWarmUp = -1;
    double peak = 0;
    double last = 0;
    int cycles = 0;
    while (clock.elapsed() < seconds * 1000LL && program.state() == QProcess::Running) {
        program.waitForReadyRead(kSampleSeconds * 1000);
        while (program.canReadLine())
            cycles += program.readLine().startsWith("cycle") ? 1 : 0;
        program.readAllStandardError();
        last = residentMegabytes(program.processId());
        peak = std::max(peak, last);
        if (afterWarmUp < 0 && clock.elapsed() >= kWarmUpSeconds * 1000LL)
            afterWarmUp = last;
    }
    const bool ran = program.state() == QProcess::Running;
    stop(program);
    stop(server);
    stop(xvfb);
    if (!ran || afterWarmUp < 0) {
        std::fputs("quentara ended before the measurement did\n", stderr);
        return 1;
    }
    printFigure("idle_rss_mb", last, "MB");
    printFigure("idle_rss_after_first_minute_mb", afterWarmUp, "MB");
    printFigure("idle_rss_growth_mb", last - afterWarmUp, "MB");
    printFigure("idle_rss_peak_mb", peak, "MB");
    printFigure("idle_seconds", seconds, "s");
    if (other.isEmpty())
        printFigure("idle_cycles", cycles, "cycles");
    return 0;
}
