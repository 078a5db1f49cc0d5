#include "app/application.h"
#include "app/commandline.h"
#include "app/version.h"
#include "market/systemproxy.h"
#include "ui/screenfit.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOutcome commandLine =
        parseCommandLine(arguments, QStringLiteral(QUENTARA_DEFAULT_SERVER));
    std::fputs(qPrintable(commandLine.output), stdout);
    std::fputs(qPrintable(commandLine.error), stderr);
    if (!commandLine.options)
        return commandLine.exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quentara"));
    QApplication::setApplicationVersion(QLatin1String(product::kVersion));
    // The program lives on in the notification area when its window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    // Traders in offices reach the server only through their proxy.
    useSystemProxy();
    // The windows are drawn smaller as a whole where the full layout would not fit the screen.
    screenfit::fitToPrimaryScreen();

    Application quentara({*commandLine.options, Clock(), Timings()});
    QTimer::singleShot(0, &quentara, [&quentara] {
        QCoro::connect(quentara.startUp(), &quentara, [](bool running) {
            if (!running)
                QCoreApplication::exit(0);
        });
    });
    return QApplication::exec();
}
