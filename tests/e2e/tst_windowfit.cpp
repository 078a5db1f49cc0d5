#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The full layout at 100 %, in pixels.
constexpr QSize kDesigned(1083, 716);

// Runs an X client of x11-utils and returns what it printed.
QString xOutput(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QRect rootWindow()
{
    const QString info = xOutput(QStringLiteral("xwininfo"), {QStringLiteral("-root")});
    const QRegularExpression size(QStringLiteral("Width: (\\d+)\\s+Height: (\\d+)"));
    const QRegularExpressionMatch match = size.match(info);
    return match.hasMatch() ? QRect(0, 0, match.captured(1).toInt(), match.captured(2).toInt())
                            : QRect();
}

// The program's main window as the X server has it, once it is there ("Quentara" and the three
// spaces its title gets once the program runs as the one copy).
QRect mainWindow()
{
    const QRegularExpression line(QStringLiteral(
        "\"Quentara   \".*\\s(\\d+)x(\\d+)[+-]-?\\d+[+-]-?\\d+\\s+([+-]-?\\d+)([+-]-?\\d+)"));
    for (int attempt = 0; attempt < 200; ++attempt) {
        const QString tree =
            xOutput(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
        const QRegularExpressionMatch match = line.match(tree);
        if (match.hasMatch()) {
            return QRect(match.captured(3).toInt(), match.captured(4).toInt(),
                         match.captured(1).toInt(), match.captured(2).toInt());
        }
        QTest::qWait(100);
    }
    return QRect();
}

} // namespace

// The built program on an X screen of 1920 by 1032 pixels, a 1080-line screen less a task bar of
// 48 (run under xvfb-run), at the scaling of the desktop.
class TestWindowFit final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void windowLiesInsideTheScreen_data();
    void windowLiesInsideTheScreen();
};

void TestWindowFit::windowLiesInsideTheScreen_data()
{
    QTest::addColumn<QString>("scaling");
    QTest::addColumn<bool>("asDesigned");
    QTest::newRow("100 %") << "1" << true;
    QTest::newRow("125 %") << "1.25" << true;
    QTest::newRow("150 %") << "1.5" << false;
}

void TestWindowFit::windowLiesInsideTheScreen()
{
    QFETCH(QString, scaling);
    QFETCH(bool, asDesigned);
    const QRect screen = rootWindow();
    QVERIFY2(screen.isValid(), "no X server: run under xvfb-run");

    QTemporaryDir dir;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scaling);
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Nothing listens on the discard port: the window shows its offline state at once.
    program.start(QStringLiteral(QUENTARA_BIN),
                  {QStringLiteral("--server"), QStringLiteral("http://127.0.0.1:9/"),
                   QStringLiteral("--settings"), dir.filePath(QStringLiteral("quentara.ini"))});
    QVERIFY(program.waitForStarted(10000));
    const QRect window = mainWindow();
    program.terminate();
    program.waitForFinished(10000);

    QVERIFY2(window.isValid(), "the main window did not appear");
    QVERIFY2(screen.contains(window), qPrintable(QStringLiteral("the window stands at %1,%2 %3x%4")
                                                     .arg(window.x())
                                                     .arg(window.y())
                                                     .arg(window.width())
                                                     .arg(window.height())));
    // Where it fits, the window keeps its designed size, in the desktop's pixels.
    const QSize designed = (QSizeF(kDesigned) * scaling.toDouble()).toSize();
    if (asDesigned) {
        QVERIFY(qAbs(window.width() - designed.width()) <= 1);
        QVERIFY(qAbs(window.height() - designed.height()) <= 1);
    } else {
        QVERIFY(window.height() < designed.height());
    }
}

QTEST_GUILESS_MAIN(TestWindowFit)
#include "tst_windowfit.moc"
