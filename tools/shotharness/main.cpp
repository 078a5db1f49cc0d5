// Puts the real program into the states a person sees only after a click (a help tip open, the
// "Pivot Points" tab, the About window, the signal journal over a day of sample signals, the
// "Remote delivery" dialog after a test send), and shows the splash, and takes each from the
// screen as a PNG file.
//
//   quentara-shots OUTDIR [--server URL] [--settings FILE]

#include "app/application.h"
#include "app/commandline.h"
#include "app/trayowner.h"
#include "signals/journaldatabase.h"
#include "signals/journalwindow.h"
#include "signals/remotedeliverydialog.h"
#include "ui/mainwindow.h"
#include "ui/navigator.h"
#include "ui/screenfit.h"
#include "ui/splashwindow.h"
#include "ui/tips.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QScreen>
#include <QSqlQuery>
#include <QTimer>
#include <QWindow>

#include <QCoroTimer>

#include <cstdio>

namespace {

QRect onScreen(const QWidget *window)
{
    return window->frameGeometry();
}

void save(const QRect &area, const QString &file)
{
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                      area.width(), area.height());
    std::printf("%s %s\n", shot.save(file) ? "wrote" : "could not write", qPrintable(file));
}

// A press and release in the middle of the widget, as the mouse would give them.
void click(QWidget *widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// A day of signals with what the market did after them, as the journal would have kept them.
void addSampleSignals(const JournalDatabase &journal)
{
    struct Sample
    {
        int hoursAgo;
        const char *direction;
        const char *instrument;
        int option;
        int index;
        int decimals;
        double pip; // 0: moves in percent
        double price;
        double p15, p1h, p4h; // 0: not known
    };
    const Sample samples[] = {
        {1, "BUY", "EUR/USD", 1, 14, 5, 0.0001, 1.08512, 1.08561, 0, 0},
        {2, "SELL", "Gold", 2, 44, 2, 0, 2331.40, 2328.10, 2335.90, 0},
        {3, "BUY", "BTC/USD (Bitcoin)", 1, 28, 2, 0, 62150.00, 62410.50, 62980.00, 0},
        {5, "SELL", "GBP/JPY", 3, 17, 3, 0.01, 191.245, 191.102, 190.870, 191.410},
        {6, "BUY", "DAX", 1, 50, 2, 0, 18240.50, 18251.00, 18229.00, 18302.50},
        {8, "SELL", "EUR/USD", 2, 14, 5, 0.0001, 1.08770, 1.08791, 1.08702, 1.08655},
        {11, "BUY", "USD/JPY", 1, 24, 3, 0.01, 150.412, 150.388, 150.655, 150.902},
        {14, "BUY", "Oil (WTI)", 2, 47, 2, 0, 79.12, 79.31, 78.96, 79.64},
        {17, "SELL", "AUD/NZD", 1, 3, 5, 0.0001, 1.09215, 1.09180, 1.09102, 1.09260},
        {20, "BUY", "S&P 500", 3, 56, 2, 0, 5204.25, 5208.75, 5221.50, 5199.00},
        {22, "SELL", "ETH/USD (Ethereum)", 1, 29, 2, 0, 3104.80, 3092.10, 3071.40, 3115.20},
    };
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto known = [](double price) { return price > 0 ? QVariant(price) : QVariant(); };
    QSqlQuery insert(journal.database());
    for (const Sample &sample : samples) {
        insert.prepare(QStringLiteral(
            "INSERT INTO signals (time_utc, direction, instrument, option, method, price, "
            "price_15m, price_1h, price_4h, instrument_index, decimals, pip) "
            "VALUES (?, ?, ?, ?, 1, ?, ?, ?, ?, ?, ?, ?)"));
        for (const QVariant &value :
             {QVariant(now.addSecs(-3600 * sample.hoursAgo - 417).toString(Qt::ISODate)),
              QVariant(QLatin1String(sample.direction)), QVariant(QLatin1String(sample.instrument)),
              QVariant(sample.option), QVariant(sample.price), known(sample.p15), known(sample.p1h),
              known(sample.p4h), QVariant(sample.index), QVariant(sample.decimals),
              known(sample.pip)})
            insert.addBindValue(value);
        insert.exec();
    }
}

QCoro::Task<int> takeShots(Application &app, QDir out)
{
    using namespace std::chrono_literals;
    if (!co_await app.startUp())
        co_return 1;
    MainWindow &window = app.window();
    window.move(0, 0);
    co_await QCoro::sleepFor(2500ms); // the first polling cycle fills the panels

    app.window().tips().openForLabel(0);
    co_await QCoro::sleepFor(300ms);
    save(onScreen(&window), out.filePath(QStringLiteral("tip.png")));
    app.window().tips().hideAll();

    if (auto *pivotTab = window.findChild<QWidget *>(QStringLiteral("Picture33"))) {
        click(pivotTab);
        co_await QCoro::sleepFor(300ms);
        save(onScreen(&window), out.filePath(QStringLiteral("pivot.png")));
    } else {
        std::printf("no \"Pivot Points\" tab in this build; pivot.png skipped\n");
    }

    window.showAbout(false);
    co_await QCoro::sleepFor(300ms);
    save(onScreen(&window), out.filePath(QStringLiteral("about.png")));

    addSampleSignals(app.journalDatabase());
    app.showJournal();
    JournalWindow *journal = app.journalWindow();
    journal->refresh();
    journal->move(40, 40);
    co_await QCoro::sleepFor(300ms);
    save(onScreen(journal), out.filePath(QStringLiteral("journal.png")));
    journal->close();

    // The settings name the targets; the second one's test goes to a port nobody listens on.
    app.tray().showRemoteDelivery();
    if (RemoteDeliveryDialog *delivery = app.tray().remoteDelivery()) {
        delivery->move(40, 40);
        if (auto *sendTest = delivery->findChild<QWidget *>(QStringLiteral("sendTest_2")))
            click(sendTest);
        co_await QCoro::sleepFor(800ms);
        save(onScreen(delivery), out.filePath(QStringLiteral("delivery.png")));
        delivery->close();
    }

    auto *splash = new SplashWindow(&window);
    splash->show();
    co_await QCoro::sleepFor(300ms);
    save(onScreen(splash), out.filePath(QStringLiteral("splash.png")));
    splash->close();
    app.exitProgram();
    co_return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fputs("usage: quentara-shots OUTDIR [--server URL] [--settings FILE]\n", stderr);
        return 2;
    }
    QStringList arguments{QString::fromLocal8Bit(argv[0])};
    for (int i = 2; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOutcome commandLine =
        parseCommandLine(arguments, QStringLiteral(QUENTARA_DEFAULT_SERVER));
    if (!commandLine.options) {
        std::fputs(qPrintable(commandLine.error), stderr);
        return commandLine.exitCode;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    QApplication qapp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    screenfit::fitToPrimaryScreen(); // as the program does
    Application app({*commandLine.options, Clock(), Timings()});
    int result = 1;
    QTimer::singleShot(0, &app, [&] {
        QCoro::connect(takeShots(app, out), &app, [&](int code) {
            result = code;
            QCoreApplication::exit(code);
        });
    });
    QApplication::exec();
    return result;
}
