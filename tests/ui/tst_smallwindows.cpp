#include "ui/aboutwindow.h"
#include "ui/clicklabel.h"
#include "ui/splashwindow.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QLabel>
#include <QPointer>
#include <QScopeGuard>
#include <QTest>

// Takes the addresses the program asks the desktop to open, so that nothing is launched.
class AddressRecorder final : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

class TestSmallWindows final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void aboutTellsNameVersionAndMaker_data();
    void aboutTellsNameVersionAndMaker();
    void aboutLinksOpenTheSites();
    void aboutClosesWhenItLosesTheFocus();
    void aboutClosesWithItsButton();
    void splashTellsTheSameAndBringsTheWindowBack();
    void smallWindowsLookAsTheirWindow_data();
    void smallWindowsLookAsTheirWindow();

private:
    AboutWindow *about() const;

    AddressRecorder m_recorder;
    std::unique_ptr<WindowFixture> m_fixture;
};

void TestSmallWindows::initTestCase()
{
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_recorder, "open");
}

void TestSmallWindows::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void TestSmallWindows::init()
{
    m_recorder.opened.clear();
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->window->show();
    m_fixture->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_fixture->window.get()));
}

void TestSmallWindows::cleanup()
{
    m_fixture.reset();
}

AboutWindow *TestSmallWindows::about() const
{
    return m_fixture->window->findChild<AboutWindow *>(QStringLiteral("Form3"));
}

void TestSmallWindows::aboutTellsNameVersionAndMaker_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<bool>("topMost");
    QTest::newRow("About link") << "Label29" << true;
    QTest::newRow("About button") << "Picture19" << false;
}

void TestSmallWindows::aboutTellsNameVersionAndMaker()
{
    QFETCH(QString, opener);
    QFETCH(bool, topMost);
    auto *aboutLink = m_fixture->find<QLabel>("Label29");
    if (opener == QLatin1String("Label29")) {
        // The pointer on the link turns it orange; the click that opens the window turns it
        // white again although the pointer has not left it.
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(aboutLink, &enter);
        QCOMPARE(aboutLink->palette().color(QPalette::WindowText), QColor(0xFF, 0xA8, 0x00));
    }
    QTest::mouseClick(m_fixture->find(opener), Qt::LeftButton);
    AboutWindow *window = about();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(bool(window->windowFlags() & Qt::WindowStaysOnTopHint), topMost);
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window->findChild<QLabel *>("aboutTitle")->text(), QStringLiteral("О программе"));
    QCOMPARE(window->findChild<QLabel *>("productName")->text(), QStringLiteral("Quentara 1.76"));
    QCOMPARE(window->findChild<QLabel *>("versionLine")->text(), QStringLiteral("Version 1.76"));
    QCOMPARE(window->findChild<QLabel *>("makerLink")->text(), QStringLiteral("Ostrelle"));
    QCOMPARE(aboutLink->palette().color(QPalette::WindowText), QColor(Qt::white));
}

void TestSmallWindows::aboutLinksOpenTheSites()
{
    m_fixture->window->showAbout(false);
    AboutWindow *window = about();
    for (const char *link : {"makerLink", "aboutLogo", "siteLink1", "siteLink2"})
        QTest::mouseClick(window->findChild<QWidget *>(QLatin1String(link)), Qt::LeftButton);
    const QUrl maker(QStringLiteral("https://ostrelle.com/"));
    const QUrl site(QStringLiteral("https://quentara.app/"));
    QCOMPARE(m_recorder.opened, (QList<QUrl>{maker, maker, site, site}));
    QVERIFY(
        window->findChild<QLabel *>("siteLink1")->text().contains(QStringLiteral("quentara.app")));
}

void TestSmallWindows::aboutClosesWhenItLosesTheFocus()
{
    m_fixture->window->showAbout(true);
    QPointer<AboutWindow> window = about();
    QVERIFY(QTest::qWaitForWindowActive(window));
    m_fixture->window->activateWindow();
    QTRY_VERIFY(!window);
    // It opens again afresh.
    m_fixture->window->showAbout(true);
    QVERIFY(about());
}

void TestSmallWindows::aboutClosesWithItsButton()
{
    m_fixture->window->showAbout(false);
    QPointer<AboutWindow> window = about();
    QTest::mouseClick(window->findChild<QWidget *>("aboutClose"), Qt::LeftButton);
    QTRY_VERIFY(!window);
}

void TestSmallWindows::splashTellsTheSameAndBringsTheWindowBack()
{
    auto *splash = new SplashWindow(m_fixture->window.get());
    QPointer<SplashWindow> guard(splash);
    QCOMPARE(splash->objectName(), QStringLiteral("Form5"));
    QCOMPARE(splash->size(), QSize(443, 261));
    QCOMPARE(splash->findChild<QLabel *>("productName")->text(), QStringLiteral("Quentara 1.76"));
    QCOMPARE(splash->findChild<QLabel *>("versionLine")->text(), QStringLiteral("Version 1.76"));
    QTest::mouseClick(splash->findChild<QWidget *>("makerLink"), Qt::LeftButton);
    QTest::mouseClick(splash->findChild<QWidget *>("splashPicture"), Qt::LeftButton);
    QTest::mouseClick(splash->findChild<QWidget *>("siteLink2"), Qt::LeftButton);
    QCOMPARE(m_recorder.opened.size(), 3);
    QCOMPARE(m_recorder.opened.at(1), QUrl(QStringLiteral("https://ostrelle.com/")));
    QCOMPARE(m_recorder.opened.at(2), QUrl(QStringLiteral("https://quentara.app/")));

    m_fixture->window->setWindowState(Qt::WindowMinimized);
    splash->show();
    splash->activateWindow();
    QTRY_VERIFY(!(m_fixture->window->windowState() & Qt::WindowMinimized));
    splash->close();
    QTRY_VERIFY(!guard);
}

void TestSmallWindows::smallWindowsLookAsTheirWindow_data()
{
    QTest::addColumn<bool>("splash");
    QTest::addColumn<QStringList>("labels"); // in the window's default font
    const QStringList shared{"versionLine", "makerLink", "siteLink1", "siteLink2"};
    QTest::newRow("About") << false << (shared + QStringList{"aboutTitle"});
    QTest::newRow("splash") << true << shared;
}

void TestSmallWindows::smallWindowsLookAsTheirWindow()
{
    QFETCH(bool, splash);
    QFETCH(QStringList, labels);
    QWidget *window = nullptr;
    if (splash) {
        window = new SplashWindow(m_fixture->window.get());
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    } else {
        m_fixture->window->showAbout(false);
        window = about();
    }
    const auto closeWindow = qScopeGuard([window] { window->close(); });

    const QFont name = window->findChild<QLabel *>("productName")->font();
    QCOMPARE(name.family(), QStringLiteral("Arial"));
    QCOMPARE(name.pointSizeF(), 12.0);
    QVERIFY(name.bold());
    for (const QString &label : labels) {
        const QFont font = window->findChild<QLabel *>(label)->font();
        QVERIFY2(font.family() == QLatin1String("Arial") && font.pointSizeF() == 8.25 &&
                     !font.bold(),
                 qPrintable(label + QStringLiteral(": ") + font.toString()));
    }

    // Only the main window's title-bar links turn orange under the pointer.
    for (const char *name : {"makerLink", "siteLink1"}) {
        auto *link = window->findChild<QLabel *>(QLatin1String(name));
        const QColor normal = link->palette().color(QPalette::WindowText);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(link, &enter);
        QCOMPARE(link->palette().color(QPalette::WindowText), normal);
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }
}

QTEST_MAIN(TestSmallWindows)
#include "tst_smallwindows.moc"
