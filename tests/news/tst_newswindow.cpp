#include "app/appstate.h"
#include "app/settingsstore.h"
#include "news/articlereader.h"
#include "news/browsersandbox.h"
#include "news/newspanel.h"
#include "news/newswindow.h"
#include "testhttpserver.h"
#include "ui/hoverbutton.h"
#include "ui/twips.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <csignal>
#include <unistd.h>

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

TestHttpServer::Route page(const QByteArray &html)
{
    TestHttpServer::Route route;
    route.body = html;
    route.contentType = "text/html; charset=utf-8";
    return route;
}

} // namespace

class TestNewsWindow final : public QObject
{
    Q_OBJECT
public:
    // The embedded browser shares the application's OpenGL contexts, as in the program.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private Q_SLOTS:
    void init();
    void cleanup();
    void readerShowsTheChosenArticle();
    void linksLeaveTheReaderForTheDefaultBrowser_data();
    void linksLeaveTheReaderForTheDefaultBrowser();
    void closesWhenItLosesTheFocus();
    void closeButtonGivesTheFocusBack();
    void titleBarMovesTheWindow();
    void browserStartsOnlyWhereChromiumAllowsIt_data();
    void browserStartsOnlyWhereChromiumAllowsIt();
    void articleGoesToTheDefaultBrowserWhenTheReaderCannotStart();
    void articleGoesToTheDefaultBrowserWhenThePageDies();

private:
    NewsWindow *openDirectly(QWidget *focusReturn = nullptr);
    QString articleAddress() const { return m_site->baseAddress() + QLatin1String(kArticlePath); }

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
    const QByteArray outside = m_elsewhere->baseAddress().toUtf8() + "outside.html";
    m_site->setRoute(kArticlePath,
                     page("<html><head><title>Rates on hold</title></head><body>"
                          "<h1>Rates on hold</h1>"
                          "<a id='outside' href='" +
                          outside +
                          "'>elsewhere</a> "
                          "<a id='sibling' href='/signals/news_eng/2.html'>next article</a> "
                          "<a id='anchor' href='#more'>more</a> "
                          "<a id='blank' target='_blank' href='" +
                          outside +
                          "'>new window</a>"
                          "<p id='more'>More text.</p>"
                          "<script>var clicks = 0;"
                          "document.addEventListener('click', function() { ++clicks; }, true);"
                          "</script></body></html>"));
    m_site->setRoute("signals/news_eng/2.html",
                     page("<html><head><title>Second</title></head><body>2</body></html>"));
    m_elsewhere->setRoute("outside.html", page("<html><body>outside</body></html>"));
    m_external.clear();
}

void TestNewsWindow::cleanup()
{
    qDeleteAll(readers());
    m_site.reset();
    m_elsewhere.reset();
}

NewsWindow *TestNewsWindow::openDirectly(QWidget *focusReturn)
{
    auto *reader =
        new NewsWindow(focusReturn, [this](const QUrl &address) { m_external << address; });
    QSignalSpy loaded(reader->browser()->page(), &QWebEnginePage::loadFinished);
    reader->navigate(QUrl(articleAddress()));
    reader->showOnTop(nullptr);
    if (!loaded.wait(30000))
        qWarning("the article did not load");
    return reader;
}

void TestNewsWindow::readerShowsTheChosenArticle()
{
    QTemporaryDir dir;
    SettingsStore settings(dir.filePath(QStringLiteral("news.ini")));
    AppState state;
    state.setFeedData(QStringLiteral("Jan, 12 11:00;Rates on hold\nJan, 12 12:00;Second\n"));
    QWidget window;
    window.setObjectName(QStringLiteral("Form1"));
    window.resize(twips::size(16245, 10740));
    NewsPanel::Options options;
    options.siteAddress = m_site->baseAddress();
    NewsPanel panel(window, state, settings, options);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    panel.chooseTab(NewsPanel::Tab::Feed);
    auto *list = window.findChild<QTableWidget *>(QStringLiteral("nrgrid"));
    const QPoint link = list->visualItemRect(list->item(0, 2)).center();
    QTest::mouseMove(list->viewport(), link);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, link);

    QCOMPARE(readers().size(), 1);
    QPointer<NewsWindow> reader = readers().first();
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

    // Another article: the window shown so far goes, a fresh one shows the new page.
    panel.openArticle(2);
    QTRY_VERIFY(!reader);
    QCOMPARE(readers().size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(
        readers().first()->browser()->url(),
        QUrl(m_site->baseAddress() + QStringLiteral("signals/news_eng/2.html")), 30000);
}

void TestNewsWindow::linksLeaveTheReaderForTheDefaultBrowser_data()
{
    QTest::addColumn<QString>("link");     // element clicked with the mouse
    QTest::addColumn<QString>("script");   // or script run in the page
    QTest::addColumn<QString>("external"); // page handed to the default browser, if any
    QTest::newRow("link to another site") << "outside"
                                          << ""
                                          << "outside";
    QTest::newRow("link to another article") << "sibling"
                                             << ""
                                             << "sibling";
    QTest::newRow("link that asks for a new window") << "blank"
                                                     << ""
                                                     << "outside";
    QTest::newRow("anchor in the article") << "anchor"
                                           << ""
                                           << "";
    QTest::newRow("script heads for another site")
        << ""
        << "location.href = document.getElementById('outside').href"
        << "outside";
}

void TestNewsWindow::linksLeaveTheReaderForTheDefaultBrowser()
{
    QFETCH(QString, link);
    QFETCH(QString, script);
    QFETCH(QString, external);
    NewsWindow *reader = openDirectly();
    QWebEnginePage *page = reader->browser()->page();
    QCOMPARE(page->title(), QStringLiteral("Rates on hold"));

    if (!link.isEmpty()) {
        clickElement(reader, link);
    } else {
        page->runJavaScript(script);
    }

    if (!external.isEmpty()) {
        const QUrl expected =
            external == QLatin1String("outside")
                ? QUrl(m_elsewhere->baseAddress() + QStringLiteral("outside.html"))
                : QUrl(m_site->baseAddress() + QStringLiteral("signals/news_eng/2.html"));
        QTRY_COMPARE_WITH_TIMEOUT(m_external, QList<QUrl>{expected}, 10000);
    }
    QTest::qWait(300); // time for a navigation that must not happen
    QCOMPARE(page->url().adjusted(QUrl::RemoveFragment), QUrl(articleAddress()));
    QCOMPARE(page->title(), QStringLiteral("Rates on hold"));
    QCOMPARE(m_elsewhere->requestCount(QStringLiteral("outside.html")), 0);
    QCOMPARE(m_site->requestCount(QStringLiteral("signals/news_eng/2.html")), 0);
    if (external.isEmpty())
        QVERIFY(m_external.isEmpty());
    if (link == QLatin1String("anchor"))
        QTRY_COMPARE(page->url().fragment(), QStringLiteral("more"));
}

void TestNewsWindow::closesWhenItLosesTheFocus()
{
    QWidget mainWindow;
    mainWindow.resize(400, 300);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    QPointer<NewsWindow> reader = openDirectly();
    QVERIFY(QTest::qWaitForWindowActive(reader));

    // A click back into the main window takes the focus from the reader.
    mainWindow.activateWindow();
    QTRY_VERIFY(!reader);
}

void TestNewsWindow::closeButtonGivesTheFocusBack()
{
    QWidget mainWindow;
    mainWindow.resize(400, 300);
    auto *list = new QTableWidget(&mainWindow);
    list->setObjectName(QStringLiteral("nrgrid"));
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    QPointer<NewsWindow> reader = openDirectly(list);
    QVERIFY(QTest::qWaitForWindowActive(reader));

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
    QTRY_VERIFY(list->hasFocus());
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

void TestNewsWindow::browserStartsOnlyWhereChromiumAllowsIt_data()
{
    QTest::addColumn<bool>("superuser");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<bool>("canStart");
    QTest::newRow("user") << false << QStringList{} << true;
    QTest::newRow("root") << true << QStringList{} << false;
    QTest::newRow("root, sandbox off")
        << true << QStringList{"QTWEBENGINE_DISABLE_SANDBOX=1"} << true;
    QTest::newRow("root, sandbox off, empty value")
        << true << QStringList{"QTWEBENGINE_DISABLE_SANDBOX="} << true;
    QTest::newRow("root, flag among others")
        << true << QStringList{"QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox"} << true;
    QTest::newRow("root, other flags only")
        << true << QStringList{"QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandboxes"} << false;
}

void TestNewsWindow::browserStartsOnlyWhereChromiumAllowsIt()
{
    QFETCH(bool, superuser);
    QFETCH(QStringList, environment);
    QFETCH(bool, canStart);
    QProcessEnvironment variables;
    for (const QString &entry : environment)
        variables.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    QCOMPARE(browsersandbox::canStart(superuser, variables), canStart);
}

void TestNewsWindow::articleGoesToTheDefaultBrowserWhenTheReaderCannotStart()
{
    if (::getuid() != 0)
        QSKIP("only the superuser is refused the embedded browser");
    // The process as a user would start it as root: no variable switches the sandbox off.
    const QProcessEnvironment before = QProcessEnvironment::systemEnvironment();
    const char *switches[] = {"QTWEBENGINE_DISABLE_SANDBOX", "QTWEBENGINE_CHROMIUM_FLAGS"};
    for (const char *name : switches)
        qunsetenv(name);
    ArticleReader reader(nullptr, [this](const QUrl &address) { m_external << address; });
    reader.open(QUrl(articleAddress()));
    for (const char *name : switches) {
        if (before.contains(QLatin1String(name)))
            qputenv(name, before.value(QLatin1String(name)).toLocal8Bit());
    }
    QCOMPARE(m_external, QList<QUrl>{QUrl(articleAddress())});
    QVERIFY(!reader.window());
    QVERIFY(readers().isEmpty());
}

void TestNewsWindow::articleGoesToTheDefaultBrowserWhenThePageDies()
{
    ArticleReader reader(nullptr, [this](const QUrl &address) { m_external << address; });
    reader.open(QUrl(articleAddress()));
    QPointer<NewsWindow> window = reader.window();
    QVERIFY(window);
    QTRY_VERIFY_WITH_TIMEOUT(window->browser()->isVisible(), 30000);
    QVERIFY(m_external.isEmpty());

    const qint64 renderer = window->browser()->page()->renderProcessPid();
    QVERIFY(renderer > 0);
    ::kill(pid_t(renderer), SIGKILL);
    QTRY_COMPARE_WITH_TIMEOUT(m_external, QList<QUrl>{QUrl(articleAddress())}, 10000);
    QTRY_VERIFY(!window);
}

QTEST_MAIN(TestNewsWindow)
#include "tst_newswindow.moc"
