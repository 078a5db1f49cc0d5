// quentara-reader: the news window in a process of its own. The program starts it with the
// article's address and learns from its exit code how the window closed (news/readerexit.h).

#include "news/newswindow.h"
#include "news/readerexit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QUrl>

#include <cstdio>
#include <optional>

namespace {

std::optional<QPoint> parsePoint(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool xOk = false;
    bool yOk = false;
    const QPoint point(parts.value(0).toInt(&xOk), parts.value(1).toInt(&yOk));
    if (parts.size() != 2 || !xOk || !yOk)
        return std::nullopt;
    return point;
}

} // namespace

int main(int argc, char *argv[])
{
    // The embedded browser needs this before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quentara-reader"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The news window of Quentara."));
    const QCommandLineOption centreOption(QLatin1String(readerexit::kCentreOption),
                                          QStringLiteral("Centre the window on this point."),
                                          QStringLiteral("X,Y"));
    parser.addOption(centreOption);
    parser.addPositionalArgument(QStringLiteral("address"), QStringLiteral("The article."));
    parser.process(app);
    const QUrl address(parser.positionalArguments().value(0), QUrl::StrictMode);
    const std::optional<QPoint> centre =
        parser.isSet(centreOption) ? parsePoint(parser.value(centreOption)) : std::nullopt;
    if (parser.positionalArguments().size() != 1 || !address.isValid() || address.isRelative() ||
        (parser.isSet(centreOption) && !centre)) {
        std::fputs("usage: quentara-reader [--centre X,Y] ADDRESS\n", stderr);
        return readerexit::kWrongArguments;
    }

    int outcome = readerexit::kClosed;
    auto *window = new NewsWindow; // deletes itself when it closes; the process ends with it
    QObject::connect(window, &NewsWindow::unusable,
                     [&outcome] { outcome = readerexit::kUnusable; });
    QObject::connect(window, &NewsWindow::closedByButton,
                     [&outcome] { outcome = readerexit::kClosedByButton; });
    window->navigate(address);
    window->showOnTop(centre);
    const int status = QApplication::exec();
    return status != 0 ? status : outcome;
}
