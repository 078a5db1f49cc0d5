// Puts the real program into the states a person sees only after a click (a help tip open, the
// "Pivot Points" tab, the About window), and shows the splash, and takes each from the screen as
// a PNG file.
//
//   quentara-shots OUTDIR [--server URL] [--settings FILE]

#include "app/application.h"
#include "app/commandline.h"
#include "ui/mainwindow.h"
#include "ui/navigator.h"
#include "ui/screenfit.h"
#include "ui/splashwindow.h"
#include "ui/tips.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QScreen>
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
    const CommandLineOutcome commandLine = parseCommandLine(arguments);
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
