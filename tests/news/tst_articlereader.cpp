#include "app/appstate.h"
#include "app/settingsstore.h"
#include "news/articlereader.h"
#include "news/browsersandbox.h"
#include "news/newspanel.h"
#include "news/readerexit.h"
#include "news/readerlinks.h"
#include "testhttpserver.h"
#include "ui/twips.h"

#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

Q_DECLARE_METATYPE(readerlinks::Route)

namespace {

constexpr char kArticlePath[] = "signals/news_eng/1.html";

} // namespace

// The program's side of the news window: which addresses the reader follows, how the program
// starts the reader's process and what it does when that process ends.
class TestArticleReader final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void routes_data();
    void routes();
    void browserStartsOnlyWhereChromiumAllowsIt_data();
    void browserStartsOnlyWhereChromiumAllowsIt();
    void programActsOnHowTheReaderEnded_data();
    void programActsOnHowTheReaderEnded();
    void articleGoesToTheDefaultBrowserWhenTheReaderCannotStart();
    void readerProcessShowsTheChosenArticle();

private:
    // A stand-in for the reader: a shell script that notes its arguments and runs `body`.
    QString fakeReader(const QByteArray &body);
    QString articleAddress() const { return m_site->baseAddress() + QLatin1String(kArticlePath); }

    QTemporaryDir m_dir;
    std::unique_ptr<TestHttpServer> m_site;
    QList<QUrl> m_external;
};

void TestArticleReader::init()
{
    m_site = std::make_unique<TestHttpServer>();
    QVERIFY(m_site->start() != 0);
    m_site->setRoute(kArticlePath,
                     TestHttpServer::htmlPage("<html><head><title>Rates on hold</title></head>"
                                              "<body>Rates on hold</body></html>"));
    m_site->setRoute(
        "signals/news_eng/2.html",
        TestHttpServer::htmlPage("<html><head><title>Second</title></head><body>2</body></html>"));
    m_external.clear();
}

void TestArticleReader::cleanup()
{
    m_site.reset();
}

QString TestArticleReader::fakeReader(const QByteArray &body)
{
    const QString path = m_dir.filePath(QStringLiteral("reader.sh"));
    QFile script(path);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" +
                 m_dir.filePath(QStringLiteral("arguments")).toUtf8() + "'\n" + body + "\n");
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void TestArticleReader::routes_data()
{
    using readerlinks::Route;
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("article");
    QTest::addColumn<bool>("clicked");
    QTest::addColumn<Route>("route");

    const QString article = QStringLiteral("https://quentara.app/signals/news_eng/1.html");
    QTest::newRow("the article") << article << article << false << Route::Stay;
    QTest::newRow("an anchor in it") << article + "#more" << article << false << Route::Stay;
    QTest::newRow("another page of the site, clicked")
        << "https://quentara.app/signals/news_eng/2.html" << article << true << Route::Stay;
    QTest::newRow("another page of the site, by script")
        << "https://QUENTARA.app/about.html" << article << false << Route::Stay;
    QTest::newRow("plain http on the secure site, clicked")
        << "http://quentara.app/signals/news_eng/2.html" << article << true << Route::Drop;
    QTest::newRow("plain http on the secure site, by script")
        << "http://quentara.app/" << article << false << Route::Drop;
    QTest::newRow("another port of the site, clicked")
        << "https://quentara.app:8443/x.html" << article << true << Route::HandOver;
    QTest::newRow("another site, clicked")
        << "https://example.org/story.html" << article << true << Route::HandOver;
    QTest::newRow("another site over plain http, clicked")
        << "http://example.org/" << article << true << Route::HandOver;
    QTest::newRow("another site, by script")
        << "https://example.org/story.html" << article << false << Route::Drop;
    QTest::newRow("a file, clicked") << "file:///etc/passwd" << article << true << Route::Drop;
    QTest::newRow("a protocol handler, clicked")
        << "ms-settings:privacy" << article << true << Route::Drop;
    QTest::newRow("a script address, clicked")
        << "javascript:alert(1)" << article << true << Route::Drop;
    QTest::newRow("mail, clicked") << "mailto:a@example.org" << article << true << Route::Drop;
    QTest::newRow("an invalid address, clicked")
        << "http://exa mple.org/" << article << true << Route::Drop;
    const QString plain = QStringLiteral("http://127.0.0.1:8765/signals/news_eng/1.html");
    QTest::newRow("plain http site, its own page")
        << "http://127.0.0.1:8765/signals/reviews_eng/1.html" << plain << false << Route::Stay;
    QTest::newRow("plain http site, its host over https, clicked")
        << "https://127.0.0.1/" << plain << true << Route::HandOver;
}

void TestArticleReader::routes()
{
    QFETCH(QString, target);
    QFETCH(QString, article);
    QFETCH(bool, clicked);
    QFETCH(readerlinks::Route, route);
    QCOMPARE(readerlinks::route(QUrl(target, QUrl::StrictMode), QUrl(article), clicked), route);
}

void TestArticleReader::browserStartsOnlyWhereChromiumAllowsIt_data()
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

void TestArticleReader::browserStartsOnlyWhereChromiumAllowsIt()
{
    QFETCH(bool, superuser);
    QFETCH(QStringList, environment);
    QFETCH(bool, canStart);
    QProcessEnvironment variables;
    for (const QString &entry : environment)
        variables.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    QCOMPARE(browsersandbox::canStart(superuser, variables), canStart);
}

void TestArticleReader::programActsOnHowTheReaderEnded_data()
{
    QTest::addColumn<QByteArray>("script"); // empty: no reader program at all
    QTest::addColumn<bool>("external");     // the article went to the default browser
    QTest::addColumn<bool>("focusBack");    // the list has the focus again

    QTest::newRow("lost the focus") << QByteArray("exit 0") << false << false;
    QTest::newRow("closed by its button")
        << "exit " + QByteArray::number(readerexit::kClosedByButton) << false << true;
    QTest::newRow("page could not be shown")
        << "exit " + QByteArray::number(readerexit::kUnusable) << true << false;
    QTest::newRow("crashed") << QByteArray("kill -SEGV $$") << true << false;
    QTest::newRow("missing") << QByteArray() << true << false;
}

void TestArticleReader::programActsOnHowTheReaderEnded()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, external);
    QFETCH(bool, focusBack);
    QWidget window;
    window.setGeometry(100, 100, 400, 300);
    auto *list = new QTableWidget(&window);
    auto *other = new QTableWidget(&window);
    other->move(0, 150);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();

    const QString program =
        script.isEmpty() ? m_dir.filePath(QStringLiteral("no-such-reader")) : fakeReader(script);
    ArticleReader reader(list, program, [this](const QUrl &address) { m_external << address; });
    QSignalSpy ended(&reader, &ArticleReader::readerEnded);
    reader.open(QUrl(articleAddress()));
    QVERIFY(ended.wait(10000));

    QCOMPARE(m_external, external ? QList<QUrl>{QUrl(articleAddress())} : QList<QUrl>{});
    QCOMPARE(list->hasFocus(), focusBack);
    if (!script.isEmpty()) {
        // The reader opens over the middle of the window the article was chosen in.
        QFile arguments(m_dir.filePath(QStringLiteral("arguments")));
        QVERIFY(arguments.open(QIODevice::ReadOnly));
        const QPoint centre = window.frameGeometry().center();
        QCOMPARE(QString::fromUtf8(arguments.readAll()).split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{QStringLiteral("--centre"),
                              QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y()),
                              articleAddress()}));
    }
}

void TestArticleReader::articleGoesToTheDefaultBrowserWhenTheReaderCannotStart()
{
    if (::getuid() != 0)
        QSKIP("only the superuser is refused the embedded browser");
    // The process as a user would start it as root: no variable switches the sandbox off.
    const QProcessEnvironment before = QProcessEnvironment::systemEnvironment();
    const char *switches[] = {"QTWEBENGINE_DISABLE_SANDBOX", "QTWEBENGINE_CHROMIUM_FLAGS"};
    for (const char *name : switches)
        qunsetenv(name);
    QFile::remove(m_dir.filePath(QStringLiteral("arguments")));
    ArticleReader reader(nullptr, fakeReader("exit 0"),
                         [this](const QUrl &address) { m_external << address; });
    reader.open(QUrl(articleAddress()));
    for (const char *name : switches) {
        if (before.contains(QLatin1String(name)))
            qputenv(name, before.value(QLatin1String(name)).toLocal8Bit());
    }
    QCOMPARE(m_external, QList<QUrl>{QUrl(articleAddress())});
    QVERIFY(!reader.process());
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("arguments"))));
}

void TestArticleReader::readerProcessShowsTheChosenArticle()
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
    options.readerProgram = QStringLiteral(QUENTARA_READER_BIN);
    auto panel = std::make_unique<NewsPanel>(window, state, settings, options);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    panel->chooseTab(NewsPanel::Tab::Feed);
    auto *list = window.findChild<QTableWidget *>(QStringLiteral("nrgrid"));
    const QPoint link = list->visualItemRect(list->item(0, 2)).center();
    QTest::mouseMove(list->viewport(), link);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, link);

    auto *reader = panel->findChild<ArticleReader *>();
    QVERIFY(reader);
    QPointer<QProcess> first = reader->process();
    QVERIFY(first);
    QTRY_COMPARE_WITH_TIMEOUT(m_site->requestCount(kArticlePath), 1, 30000);
    QCOMPARE(first->state(), QProcess::Running);

    // Another article: the reader shown so far goes, a fresh one shows the new page.
    panel->openArticle(2);
    QPointer<QProcess> second = reader->process();
    QVERIFY(second && second != first);
    QTRY_VERIFY_WITH_TIMEOUT(!first, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(m_site->requestCount(QStringLiteral("signals/news_eng/2.html")), 1,
                              30000);
    QCOMPARE(second->state(), QProcess::Running);
    QCOMPARE(m_site->requestCount(kArticlePath), 1);

    // The reader does not outlive the program.
    const qint64 pid = second->processId();
    panel.reset();
    QVERIFY(::kill(pid_t(pid), 0) != 0);
}

QTEST_MAIN(TestArticleReader)
#include "tst_articlereader.moc"
