#include "news/newswindow.h"
#include "testhttpserver.h"
#include "ui/hoverbutton.h"
#include "ui/twips.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <csignal>

namespace {

constexpr char kArticlePath[] = "signals/news_eng/1.html";

QList<NewsWindow *> readers()
{
    QList<NewsWindow *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *reader = qobject_cast<NewsWindow *>(widget))
            found << reader;
    }
    return found;
}

QVariant evaluate(QWebEnginePage *page, const QString &script)
{
    QVariant value;
    page->runJavaScript(script, [&value](const QVariant &result) { value = result; });
    if (!QTest::qWaitFor([&value] { return value.isValid(); }, 10000))
        qWarning("the page did not answer %s", qPrintable(script));
    return value;
}

// Clicks an element of the page with the mouse. Until the page has drawn itself a click can go
// unseen; it is repeated until the page counts one.
void clickElement(NewsWindow *reader, const QString &id)
{
    QWebEnginePage *page = reader->browser()->page();
    const QVariantList centre =
        evaluate(page, QStringLiteral("(function() {"
                                      "  var r = document.getElementById('%1')"
                                      "              .getBoundingClientRect();"
                                      "  return [r.left + r.width / 2, r.top + r.height / 2];"
                                      "})()")
                           .arg(id))
            .toList();
    const QPoint at(qRound(centre.value(0).toDouble()), qRound(centre.value(1).toDouble()));
    const auto counted = [page] { return evaluate(page, QStringLiteral("clicks")).toInt() > 0; };
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (QWidget *input = reader->browser()->focusProxy())
            QTest::mouseClick(input, Qt::LeftButton, {}, at);
        if (QTest::qWaitFor(counted, 500))
            return;
    }
    qWarning("the page never saw the click on %s", qPrintable(id));
}

} // namespace

class TestNewsWindow final : public QObject
{
    Q_OBJECT
public:
    // The embedded browser shares the application's OpenGL contexts, as in the reader.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void init();
    void cleanup();
    void readerShowsTheArticle();
    void addressesTheReaderIsAskedFor_data();
    void addressesTheReaderIsAskedFor();
    void scriptOnATimerOpensNothing();
    void closesWhenItLosesTheFocus();
    void closeButtonClosesAndSaysSo();
    void titleBarMovesTheWindow();
    void readerGivesUpWhenThePageDies();

private:
    NewsWindow *openDirectly(const QString &path = QLatin1String(kArticlePath));
    QString articleAddress() const { return m_site->baseAddress() + QLatin1String(kArticlePath); }
    QUrl outsideAddress() const
    {
        return QUrl(m_elsewhere->baseAddress() + QStringLiteral("outside.html"));
    }

    std::unique_ptr<TestHttpServer> m_site;
    std::unique_ptr<TestHttpServer> m_elsewhere;
    QList<QUrl> m_external;
};

void TestNewsWindow::init()
{
    m_site = std::make_unique<TestHttpServer>();
    m_elsewhere = std::make_unique<TestHttpServer>();
    QVERIFY(m_site->start() != 0);
    QVERIFY(m_elsewhere->start() != 0);
    const QByteArray outside = outsideAddress().toString().toUtf8();
    const QByteArray counter = "<script>var clicks = 0;"
                               "document.addEventListener('click', function() { ++clicks; }, true);"
                               "</script>";
    m_site->setRoute(
        kArticlePath,
        TestHttpServer::htmlPage("<html><head><title>Rates on hold</title></head><body>"
                                 "<h1>Rates on hold</h1>"
                                 "<a id='outside' href='" +
                                 outside +
                                 "'>elsewhere</a> "
                                 "<a id='sibling' href='/signals/news_eng/2.html'>next article</a> "
                                 "<a id='anchor' href='#more'>more</a> "
                                 "<a id='blank' target='_blank' href='" +
                                 outside +
                                 "'>new window</a> "
                                 "<a id='file' href='file:///etc/passwd'>a file</a> "
                                 "<a id='handler' href='ms-settings:privacy'>a protocol handler</a>"
                                 "<p id='more'>More text.</p>" +
                                 counter + "</body></html>"));
    m_site->setRoute(
        "signals/news_eng/2.html",
        TestHttpServer::htmlPage("<html><head><title>Second</title></head><body>2</body></html>"));
    // A page that heads elsewhere by itself, again and again.
    m_site->setRoute("signals/news_eng/3.html",
                     TestHttpServer::htmlPage("<html><head><title>Restless</title></head><body>"
                                              "<script>setInterval(function() { location.href = '" +
                                              outside +
                                              "'; }, 100);"
                                              "setInterval(function() { window.open('" +
                                              outside + "'); }, 150);</script></body></html>"));
    m_elsewhere->setRoute("outside.html",
                          TestHttpServer::htmlPage("<html><body>outside</body></html>"));
    m_external.clear();
}

void TestNewsWindow::cleanup()
{
    qDeleteAll(readers());
    m_site.reset();
    m_elsewhere.reset();
}

NewsWindow *TestNewsWindow::openDirectly(const QString &path)
{
    auto *reader = new NewsWindow([this](const QUrl &address) { m_external << address; });
    QSignalSpy loaded(reader->browser()->page(), &QWebEnginePage::loadFinished);
    reader->navigate(QUrl(m_site->baseAddress() + path));
    reader->showOnTop();
    if (!loaded.wait(30000))
        qWarning("the article did not load");
    return reader;
}

void TestNewsWindow::readerShowsTheArticle()
{
    QPointer<NewsWindow> reader = openDirectly();
    QCOMPARE(reader->objectName(), QStringLiteral("newsform"));
    QCOMPARE(reader->windowTitle(), QStringLiteral("Новости и аналитика"));
    QVERIFY(reader->isVisible());
    QVERIFY(reader->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(reader->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(reader->size(), twips::size(12495, 7710));
    auto *titleBar = reader->findChild<QWidget *>(QStringLiteral("Picture9"));
    QCOMPARE(titleBar->geometry(), twips::rect(0, 0, 12495, 555));
    QCOMPARE(titleBar->palette().color(QPalette::Window), QColor(0x00, 0x67, 0xC4));
    auto *title = reader->findChild<QLabel *>(QStringLiteral("Label1"));
    QCOMPARE(title->text(), QStringLiteral("News"));
    QVERIFY(title->font().bold());
    QCOMPARE(title->font().pointSizeF(), 12.0);
    QCOMPARE(reader->findChild<QLabel *>(QStringLiteral("Label3"))->text(),
             QStringLiteral("Loading"));
    QCOMPARE(reader->findChild<QWidget *>(QStringLiteral("Picture21"))->geometry(),
             twips::rect(12030, 60, 315, 345));
    QVERIFY(reader->findChild<QWidget *>(QStringLiteral("Shape4")));

    // The embedded browser shows the article from the site once it has loaded.
    auto *browser = reader->findChild<QWebEngineView *>(QStringLiteral("WebBrowser1"));
    QCOMPARE(browser->geometry(), twips::rect(30, 570, 12435, 7095));
    QTRY_VERIFY_WITH_TIMEOUT(browser->isVisible(), 30000);
    QCOMPARE(browser->url(), QUrl(articleAddress()));
    QTRY_COMPARE_WITH_TIMEOUT(browser->title(), QStringLiteral("Rates on hold"), 30000);
    QCOMPARE(m_site->requestCount(kArticlePath), 1);

    // Centred where it is asked to be.
    delete reader;
    auto *placed = new NewsWindow;
    placed->showOnTop(QPoint(500, 400));
    QCOMPARE(placed->geometry().center(), QPoint(500, 400));
}

void TestNewsWindow::addressesTheReaderIsAskedFor_data()
{
    QTest::addColumn<QString>("link");     // element clicked with the mouse
    QTest::addColumn<QString>("script");   // or script run in the page
    QTest::addColumn<QString>("external"); // page handed to the default browser, if any
    QTest::addColumn<QString>("shown");    // page the reader shows afterwards

    const QString article = QLatin1String(kArticlePath);
    const QString second = QStringLiteral("signals/news_eng/2.html");
    QTest::newRow("link to another site") << "outside"
                                          << ""
                                          << "outside" << article;
    QTest::newRow("link that asks for a new window") << "blank"
                                                     << ""
                                                     << "outside" << article;
    QTest::newRow("link to another page of the site") << "sibling"
                                                      << ""
                                                      << "" << second;
    QTest::newRow("anchor in the article") << "anchor"
                                           << ""
                                           << "" << article;
    QTest::newRow("link to a file") << "file"
                                    << ""
                                    << "" << article;
    QTest::newRow("link to a protocol handler") << "handler"
                                                << ""
                                                << "" << article;
    QTest::newRow("script heads for another site")
        << ""
        << "location.href = document.getElementById('outside').href"
        << "" << article;
    QTest::newRow("script opens a window elsewhere")
        << ""
        << "window.open(document.getElementById('outside').href)"
        << "" << article;
    QTest::newRow("script clicks a link elsewhere") << ""
                                                    << "document.getElementById('outside').click()"
                                                    << "" << article;
    QTest::newRow("script heads for another page of the site")
        << ""
        << "location.href = '/signals/news_eng/2.html'"
        << "" << second;
}

void TestNewsWindow::addressesTheReaderIsAskedFor()
{
    QFETCH(QString, link);
    QFETCH(QString, script);
    QFETCH(QString, external);
    QFETCH(QString, shown);
    NewsWindow *reader = openDirectly();
    QWebEnginePage *page = reader->browser()->page();
    QCOMPARE(page->title(), QStringLiteral("Rates on hold"));

    if (!link.isEmpty())
        clickElement(reader, link);
    else
        page->runJavaScript(script);

    const QUrl shownUrl(m_site->baseAddress() + shown);
    if (!external.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(m_external, QList<QUrl>{outsideAddress()}, 10000);
    if (shown != QLatin1String(kArticlePath))
        QTRY_COMPARE_WITH_TIMEOUT(page->url(), shownUrl, 10000);
    QTest::qWait(300); // time for a navigation that must not happen
    QCOMPARE(page->url().adjusted(QUrl::RemoveFragment), shownUrl);
    QCOMPARE(m_elsewhere->requestCount(QStringLiteral("outside.html")), 0);
    if (external.isEmpty())
        QCOMPARE(m_external, QList<QUrl>{});
    if (link == QLatin1String("anchor"))
        QTRY_COMPARE(page->url().fragment(), QStringLiteral("more"));
}

void TestNewsWindow::scriptOnATimerOpensNothing()
{
    NewsWindow *reader = openDirectly(QStringLiteral("signals/news_eng/3.html"));
    QWebEnginePage *page = reader->browser()->page();
    QCOMPARE(page->title(), QStringLiteral("Restless"));
    // Some thirty tries of the script, none followed and none handed over.
    QTest::qWait(1500);
    QCOMPARE(m_external, QList<QUrl>{});
    QCOMPARE(m_elsewhere->requestCount(QStringLiteral("outside.html")), 0);
    QCOMPARE(page->url(), QUrl(m_site->baseAddress() + QStringLiteral("signals/news_eng/3.html")));
    QVERIFY(reader->isVisible());
}

void TestNewsWindow::closesWhenItLosesTheFocus()
{
    QWidget mainWindow;
    mainWindow.resize(400, 300);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    QPointer<NewsWindow> reader = openDirectly();
    QVERIFY(QTest::qWaitForWindowActive(reader));
    QSignalSpy byButton(reader.data(), &NewsWindow::closedByButton);

    // A click back into the main window takes the focus from the reader.
    mainWindow.activateWindow();
    QTRY_VERIFY(!reader);
    QCOMPARE(byButton.count(), 0);
}

void TestNewsWindow::closeButtonClosesAndSaysSo()
{
    QPointer<NewsWindow> reader = openDirectly();
    QVERIFY(QTest::qWaitForWindowActive(reader));
    QSignalSpy byButton(reader.data(), &NewsWindow::closedByButton);

    auto *close = reader->findChild<HoverButton *>(QStringLiteral("Picture21"));
    auto *titleBar = reader->findChild<QWidget *>(QStringLiteral("Picture9"));
    QTest::mouseMove(titleBar, QPoint(40, 10));
    QVERIFY(!close->isHovered());
    QTest::mouseMove(close, close->rect().center());
    QTRY_VERIFY(close->isHovered());
    QTest::mouseMove(titleBar, QPoint(40, 10));
    QTRY_VERIFY(!close->isHovered());

    QTest::mouseClick(close, Qt::LeftButton, {}, close->rect().center());
    QTRY_VERIFY(!reader);
    QCOMPARE(byButton.count(), 1);
}

void TestNewsWindow::titleBarMovesTheWindow()
{
    NewsWindow *reader = openDirectly();
    const QPoint start = reader->pos();
    for (const char *handle : {"Picture9", "Label1"}) {
        auto *grip = reader->findChild<QWidget *>(QLatin1String(handle));
        const QPoint before = reader->pos();
        QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(20, 8));
        QTest::mouseMove(grip, QPoint(70, 38));
        QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(70, 38));
        QTRY_COMPARE(reader->pos(), before + QPoint(50, 30));
    }
    QCOMPARE(reader->pos(), start + QPoint(100, 60));
}

void TestNewsWindow::readerGivesUpWhenThePageDies()
{
    QPointer<NewsWindow> window = openDirectly();
    QSignalSpy unusable(window.data(), &NewsWindow::unusable);
    QTRY_VERIFY_WITH_TIMEOUT(window->browser()->isVisible(), 30000);

    const qint64 renderer = window->browser()->page()->renderProcessPid();
    QVERIFY(renderer > 0);
    ::kill(pid_t(renderer), SIGKILL);
    QTRY_COMPARE_WITH_TIMEOUT(unusable.count(), 1, 10000);
    QCOMPARE(unusable.first().first().toUrl(), QUrl(articleAddress()));
    QTRY_VERIFY(!window);
    QVERIFY(m_external.isEmpty());
}

QTEST_MAIN(TestNewsWindow)
#include "tst_newswindow.moc"
