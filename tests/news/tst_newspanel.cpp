#include "app/appstate.h"
#include "app/settingsstore.h"
#include "news/newspanel.h"
#include "ui/twips.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimeZone>
#include <QWheelEvent>

namespace {

const QColor kPanelBlue(0x29, 0x8F, 0xCC);
const QColor kGrey(0x80, 0x80, 0x80);
const QColor kSquares(0x00, 0x67, 0xC4);
const QColor kSilver(0xC0, 0xC0, 0xC0);
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;

QDateTime utc(int day, int hour, int minute)
{
    return QDateTime(QDate(2024, 1, day), QTime(hour, minute), QTimeZone::utc());
}

// Twenty high-volatility events on 12 January, one an hour from 00:00 GMT.
QString hourlyCalendar()
{
    QString text;
    for (int hour = 0; hour < 20; ++hour)
        text += QStringLiteral("Jan, 12 %1:00;USD;High Volatility Expected;Event %1\n").arg(hour);
    return text;
}

QColor colourOf(const QWidget *widget)
{
    return widget->palette().color(QPalette::Window);
}

} // namespace

class TestNewsPanel final : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void panelPartsStandInTheFullLayout();
    void calendarGridShowsTheEvents();
    void emptyCalendarShowsTheHeaderOnly();
    void importanceTipShowsTheServerTextAsText();
    void tabsSwitchTheContent_data();
    void tabsSwitchTheContent();
    void helpLabelDoesNotChooseTheTab();
    void storedFiltersAreAppliedAndStored_data();
    void storedFiltersAreAppliedAndStored();
    void newZoneScrollsToTheLastPastEvent();
    void newFilterLeavesTheListWhenEverythingIsPast();
    void redrawKeepsThePlaceWhileShownAndOpensAtTheBoundaryWhileHidden();
    void firstDrawingBeforeTheWindowIsShownOpensAtTheBoundary();
    void listsShowHeadlinesAndLinks();
    void clicksOpenArticles_data();
    void clicksOpenArticles();
    void refreshRedrawsTheShownGrid();
    void wheelScrollsBothGrids_data();
    void wheelScrollsBothGrids();

private:
    template<typename T>
    T *find(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void makePanel();
    void showWindow();
    QTableWidget *calendarGrid() const { return find<QTableWidget>("newsgrid"); }
    QTableWidget *listGrid() const { return find<QTableWidget>("nrgrid"); }
    int firstRowInView(QTableWidget *grid) const { return grid->rowAt(0); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_settings;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<NewsPanel> m_panel;
    QDateTime m_now;
    QList<QUrl> m_opened;
};

void TestNewsPanel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<SettingsStore>(m_dir->filePath(QStringLiteral("news.ini")));
    m_state = std::make_unique<AppState>();
    m_window = std::make_unique<QWidget>();
    m_window->setObjectName(QStringLiteral("Form1"));
    m_window->resize(twips::size(16245, 10740));
    m_now = utc(12, 9, 30);
    m_opened.clear();
}

void TestNewsPanel::cleanup()
{
    m_panel.reset();
    m_window.reset();
}

void TestNewsPanel::makePanel()
{
    NewsPanel::Options options;
    options.clock = Clock([this] { return m_now; });
    options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    options.siteAddress = QStringLiteral("https://quentara.app/");
    options.openArticle = [this](const QUrl &address) { m_opened << address; };
    m_panel = std::make_unique<NewsPanel>(*m_window, *m_state, *m_settings, options);
}

void TestNewsPanel::showWindow()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestNewsPanel::panelPartsStandInTheFullLayout()
{
    makePanel();
    QCOMPARE(find<QWidget>("Picture36")->geometry(), twips::rect(2880, 6900, 2715, 375));
    QCOMPARE(find<QWidget>("Picture35")->geometry(), twips::rect(5610, 6900, 2715, 345));
    QCOMPARE(find<QWidget>("Picture37")->geometry(), twips::rect(8340, 6900, 2685, 345));
    QCOMPARE(find<QWidget>("Picture6")->geometry(), twips::rect(2880, 7260, 8145, 375));
    QCOMPARE(find<QWidget>("Picture7")->geometry(), twips::rect(2880, 7620, 8145, 2955));
    QCOMPARE(colourOf(find<QWidget>("Picture6")), kPanelBlue);
    for (const char *name : {"Picture36", "Picture35", "Picture37", "Picture6", "Picture7"})
        QCOMPARE(find<QWidget>(name)->parentWidget(), m_window.get());

    QCOMPARE(find<QLabel>("Label34")->text(), QStringLiteral("Economic calendar"));
    QCOMPARE(find<QLabel>("Label33")->text(), QStringLiteral("News feed"));
    QCOMPARE(find<QLabel>("Label37")->text(), QStringLiteral("Market review"));
    QCOMPARE(find<QLabel>("Label28")->text(), QStringLiteral("Events of the current week"));
    QCOMPARE(find<QLabel>("Label23")->text(), QStringLiteral("Timezone:"));
    QCOMPARE(find<QLabel>("Label25")->text(), QStringLiteral("Importance:"));
    const QFont caption = find<QLabel>("Label34")->font();
    QVERIFY(caption.bold());
    QCOMPARE(caption.pointSizeF(), 9.75);
    QCOMPARE(find<QLabel>("Label34")->palette().color(QPalette::WindowText), QColor(Qt::white));
    for (const char *name : {"Label20_3", "Label20_5", "Label20_6"}) {
        QCOMPARE(find<QLabel>(name)->text(), QStringLiteral("?"));
        QCOMPARE(find<QLabel>(name)->toolTip(), QStringLiteral("Подсказка"));
    }
    QCOMPARE(find<QLabel>("Label20_3")->parentWidget()->objectName(), QStringLiteral("Picture36"));
    QCOMPARE(find<QLabel>("Label20_5")->parentWidget()->objectName(), QStringLiteral("Picture35"));
    QCOMPARE(find<QLabel>("Label20_6")->parentWidget()->objectName(), QStringLiteral("Picture37"));

    auto *zone = find<QComboBox>("Combo1");
    QCOMPARE(zone->count(), 25);
    QCOMPARE(zone->currentText(), QStringLiteral("GMT +3"));
    auto *importance = find<QComboBox>("Combo2");
    QCOMPARE(importance->count(), 4);
    QCOMPARE(importance->currentText(), QStringLiteral("High Volatility Expected"));

    // Until the first drawing the grid area says it is being updated.
    QVERIFY(!find<QWidget>("Picture39")->isHidden());
    QCOMPARE(find<QLabel>("Label27")->text(), QStringLiteral("Обновление..."));
    QVERIFY(!calendarGrid()->isHidden());
    QVERIFY(listGrid()->isHidden());
}

void TestNewsPanel::calendarGridShowsTheEvents()
{
    m_state->setCalendarData(
        QStringLiteral("Jan, 12 08:00;EUR;High Volatility Expected;Past event\n"
                       "Jan, 12 14:30;USD;Moderate Volatility Expected;CPI\n"
                       "Jan, 12 23:30;JPY;Low Volatility Expected;Late event\n"
                       "Jan, 12 16:00;GBP;Holiday;Bank holiday"));
    SettingsStore(m_dir->filePath(QStringLiteral("news.ini"))).writeNumber("NewsImp", 0);
    makePanel();
    m_panel->applyStoredFilters();
    QTableWidget *grid = calendarGrid();
    QVERIFY(find<QWidget>("Picture39")->isHidden());

    QStringList header;
    for (int column = 0; column < grid->columnCount(); ++column)
        header << grid->horizontalHeaderItem(column)->text();
    QCOMPARE(header, QStringList({"Date", "Country", "Importance", "Event"}));
    QVERIFY(grid->horizontalHeader()->font().bold());
    QCOMPARE(grid->horizontalHeader()->defaultAlignment(), kLeft);
    QCOMPARE(grid->horizontalHeader()->height(), twips::toPixels(480));
    const int widths[] = {1200, 1500, 1000, 3950};
    for (int column = 0; column < 4; ++column)
        QCOMPARE(grid->columnWidth(column), twips::toPixels(widths[column]));

    QCOMPARE(grid->rowCount(), 4);
    const QStringList when{"12 Jan 11:00", "12 Jan 17:30", "13 Jan 02:30", "12 Jan 19:00"};
    const QStringList squares{"■■■", "■■", "■", ""};
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(grid->rowHeight(row), twips::toPixels(480));
        QCOMPARE(grid->item(row, 0)->text(), when.at(row));
        QCOMPARE(grid->item(row, 2)->text(), squares.at(row));
        QCOMPARE(grid->item(row, 2)->textAlignment(), int(Qt::AlignCenter));
        for (int column : {0, 1, 3})
            QCOMPARE(grid->item(row, column)->textAlignment(), int(kLeft));
    }
    QCOMPARE(grid->item(1, 1)->text(), QStringLiteral("USD"));
    QCOMPARE(grid->item(1, 3)->text(), QStringLiteral("CPI"));

    // The event of 08:00 GMT is over at 09:30 GMT: all its cells are silver.
    for (int column = 0; column < 4; ++column)
        QCOMPARE(grid->item(0, column)->foreground().color(), kSilver);
    QCOMPARE(grid->item(1, 2)->foreground().color(), kSquares);
    QCOMPARE(grid->item(1, 0)->foreground().color(), QColor(Qt::black));
}

void TestNewsPanel::emptyCalendarShowsTheHeaderOnly()
{
    makePanel();
    m_panel->loadNews();
    QCOMPARE(calendarGrid()->rowCount(), 0);
    QCOMPARE(calendarGrid()->horizontalHeaderItem(3)->text(), QStringLiteral("Event"));
    QVERIFY(calendarGrid()->horizontalHeader()->isVisibleTo(m_window.get()));
    QVERIFY(find<QWidget>("Picture39")->isHidden());
}

void TestNewsPanel::importanceTipShowsTheServerTextAsText()
{
    const QString importance =
        QStringLiteral("<b>High</b> <img src=\"file:///etc/hostname\"> & <a href=\"x\">more</a>");
    m_state->setCalendarData(QStringLiteral("Jan, 12 14:30;USD;%1;CPI\n"
                                            "Jan, 12 15:00;USD;High Volatility Expected;PPI\n")
                                 .arg(importance));
    SettingsStore(m_dir->filePath(QStringLiteral("news.ini"))).writeNumber("NewsImp", 0);
    makePanel();
    m_panel->applyStoredFilters();
    // A tip is rich text when it looks like it; what it shows must be the server's text itself.
    const auto shownText = [](const QString &tip) {
        if (!Qt::mightBeRichText(tip))
            return tip;
        QTextDocument document;
        document.setHtml(tip);
        return document.toPlainText();
    };
    QCOMPARE(shownText(calendarGrid()->item(0, 2)->toolTip()), importance);
    QCOMPARE(shownText(calendarGrid()->item(1, 2)->toolTip()),
             QStringLiteral("High Volatility Expected"));
}

void TestNewsPanel::tabsSwitchTheContent_data()
{
    QTest::addColumn<QString>("click");
    QTest::addColumn<QString>("active");
    QTest::addColumn<QString>("title");
    QTest::newRow("news feed strip") << "Picture35"
                                     << "Picture35"
                                     << "News feed";
    QTest::newRow("market review caption") << "Label37"
                                           << "Picture37"
                                           << "Market review";
    QTest::newRow("calendar caption") << "Label34"
                                      << "Picture36"
                                      << "Events of the current week";
}

void TestNewsPanel::tabsSwitchTheContent()
{
    QFETCH(QString, click);
    QFETCH(QString, active);
    QFETCH(QString, title);
    m_state->setFeedData(QStringLiteral("Jan, 12 11:00;News one\n"));
    m_state->setReviewsData(QStringLiteral("Jan, 12 10:00;Review one\nJan, 12 10:30;Review two\n"));
    makePanel();
    showWindow();
    // Start from another tab than the one clicked.
    m_panel->chooseTab(active == QLatin1String("Picture37") ? NewsPanel::Tab::Feed
                                                            : NewsPanel::Tab::Review);

    QWidget *target = m_window->findChild<QWidget *>(click);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));

    for (const char *strip : {"Picture36", "Picture35", "Picture37"}) {
        const bool isActive = active == QLatin1String(strip);
        QCOMPARE(colourOf(find<QWidget>(strip)), isActive ? kPanelBlue : kGrey);
        QCOMPARE(find<QWidget>(strip)->height(), twips::toPixels(isActive ? 375 : 345));
        QCOMPARE(find<QWidget>(strip)->y(), twips::toPixels(6900));
    }
    QCOMPARE(find<QLabel>("Label28")->text(), title);
    const bool calendarTab = active == QLatin1String("Picture36");
    for (const char *selectorPart : {"Combo1", "Combo2", "Label23", "Label25"})
        QCOMPARE(find<QWidget>(selectorPart)->isVisible(), calendarTab);
    QCOMPARE(calendarGrid()->isVisible(), calendarTab);
    QCOMPARE(listGrid()->isVisible(), !calendarTab);
    if (!calendarTab)
        QCOMPARE(listGrid()->rowCount(), active == QLatin1String("Picture35") ? 1 : 2);
}

void TestNewsPanel::helpLabelDoesNotChooseTheTab()
{
    makePanel();
    showWindow();
    QTest::mouseClick(find<QWidget>("Label20_5"), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(m_panel->activeTab(), NewsPanel::Tab::Calendar);
    QCOMPARE(colourOf(find<QWidget>("Picture35")), kGrey);
}

void TestNewsPanel::storedFiltersAreAppliedAndStored_data()
{
    QTest::addColumn<QString>("storedZone"); // "-" for a key never stored
    QTest::addColumn<QString>("storedImportance");
    QTest::addColumn<int>("zone");
    QTest::addColumn<int>("importance");
    QTest::addColumn<QString>("zoneAfter"); // the store afterwards
    QTest::addColumn<QString>("importanceAfter");
    QTest::newRow("first run") << "-"
                               << "-" << 15 << 1 << "15"
                               << "1";
    QTest::newRow("GMT 0, All") << "12"
                                << "0" << 12 << 0 << "12"
                                << "0";
    QTest::newRow("GMT +12, Low") << "24"
                                  << "3" << 24 << 3 << "24"
                                  << "3";
    // A value that cannot be used is ignored: the box keeps its first item and nothing is stored.
    QTest::newRow("out of range") << "25"
                                  << "4" << 15 << 1 << "25"
                                  << "4";
    QTest::newRow("not numbers") << "GMT +3"
                                 << "High" << 15 << 1 << "GMT +3"
                                 << "High";
    QTest::newRow("empty") << ""
                           << "" << 15 << 1 << ""
                           << "";
    QTest::newRow("zone usable, importance not") << "10"
                                                 << "-1" << 10 << 1 << "10"
                                                 << "-1";
}

void TestNewsPanel::storedFiltersAreAppliedAndStored()
{
    QFETCH(QString, storedZone);
    QFETCH(QString, storedImportance);
    QFETCH(int, zone);
    QFETCH(int, importance);
    QFETCH(QString, zoneAfter);
    QFETCH(QString, importanceAfter);
    if (storedZone != QLatin1String("-"))
        m_settings->writeText("GMT", storedZone);
    if (storedImportance != QLatin1String("-"))
        m_settings->writeText("NewsImp", storedImportance);
    m_state->setCalendarData(QStringLiteral("Jan, 12 14:30;USD;High Volatility Expected;CPI\n"
                                            "Jan, 12 15:00;USD;Low Volatility Expected;Stocks\n"));
    makePanel();
    m_panel->applyStoredFilters();
    QCOMPARE(find<QComboBox>("Combo1")->currentIndex(), zone);
    QCOMPARE(find<QComboBox>("Combo2")->currentIndex(), importance);
    const SettingsStore stored(m_dir->filePath(QStringLiteral("news.ini")));
    QCOMPARE(stored.readText("GMT", QStringLiteral("-")), zoneAfter);
    QCOMPARE(stored.readText("NewsImp", QStringLiteral("-")), importanceAfter);
    m_panel->loadNews();
    QCOMPARE(calendarGrid()->rowCount(), importance == 0 ? 2 : 1);
}

void TestNewsPanel::newZoneScrollsToTheLastPastEvent()
{
    m_state->setCalendarData(hourlyCalendar()); // 00:00 .. 09:00 GMT are past at 09:30
    makePanel();
    showWindow();
    m_panel->applyStoredFilters();
    QTRY_COMPARE(firstRowInView(calendarGrid()), 9);

    calendarGrid()->scrollToTop();
    QTRY_COMPARE(firstRowInView(calendarGrid()), 0);
    find<QComboBox>("Combo1")->setCurrentIndex(12);
    QCOMPARE(SettingsStore(m_dir->filePath(QStringLiteral("news.ini"))).readText("GMT"),
             QStringLiteral("12"));
    QCOMPARE(calendarGrid()->item(9, 0)->text(), QStringLiteral("12 Jan 09:00"));
    QTRY_COMPARE(firstRowInView(calendarGrid()), 9);
}

void TestNewsPanel::newFilterLeavesTheListWhenEverythingIsPast()
{
    m_state->setCalendarData(hourlyCalendar());
    m_now = utc(13, 10, 0);
    makePanel();
    showWindow();
    m_panel->loadNews();
    calendarGrid()->verticalScrollBar()->setValue(3);
    QTRY_COMPARE(firstRowInView(calendarGrid()), 3);
    find<QComboBox>("Combo2")->setCurrentIndex(0);
    QCOMPARE(SettingsStore(m_dir->filePath(QStringLiteral("news.ini"))).readText("NewsImp"),
             QStringLiteral("0"));
    QTest::qWait(50);
    QCOMPARE(firstRowInView(calendarGrid()), 3);
}

void TestNewsPanel::redrawKeepsThePlaceWhileShownAndOpensAtTheBoundaryWhileHidden()
{
    m_state->setCalendarData(hourlyCalendar());
    makePanel();
    showWindow();
    m_panel->loadNews();
    calendarGrid()->verticalScrollBar()->setValue(2);
    QTRY_COMPARE(firstRowInView(calendarGrid()), 2);
    m_now = utc(12, 13, 30); // four more events are over by the next drawing
    m_panel->loadNews();
    QTest::qWait(50);
    QCOMPARE(firstRowInView(calendarGrid()), 2);
    QCOMPARE(calendarGrid()->item(13, 0)->foreground().color(), kSilver);

    // In the notification area: the next drawing opens the list at the last past event.
    m_window->hide();
    m_panel->redrawVisible();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_COMPARE(firstRowInView(calendarGrid()), 13);
}

void TestNewsPanel::firstDrawingBeforeTheWindowIsShownOpensAtTheBoundary()
{
    // As at start-up: drawn while the window has never been on screen.
    m_state->setCalendarData(hourlyCalendar());
    makePanel();
    m_panel->applyStoredFilters();
    m_panel->loadNews();
    showWindow();
    QTRY_COMPARE(firstRowInView(calendarGrid()), 9);
}

void TestNewsPanel::listsShowHeadlinesAndLinks()
{
    m_state->setFeedData(QStringLiteral("Jan, 12 23:30;Rates on hold\nJan, 11 08:05;Oil slips\n"));
    makePanel();
    m_panel->chooseTab(NewsPanel::Tab::Feed);
    QTableWidget *grid = listGrid();
    QVERIFY(find<QWidget>("Picture39")->isHidden());
    QVERIFY(grid->horizontalHeader()->isHidden());
    QCOMPARE(grid->columnCount(), 3);
    const int widths[] = {1200, 4950, 1500};
    for (int column = 0; column < 3; ++column)
        QCOMPARE(grid->columnWidth(column), twips::toPixels(widths[column]));
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("12 Jan 23:30")); // no zone shift
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("Rates on hold"));
    QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("11 Jan 08:05"));
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(grid->rowHeight(row), twips::toPixels(480));
        QCOMPARE(grid->item(row, 0)->textAlignment(), int(kLeft));
        QCOMPARE(grid->item(row, 1)->textAlignment(), int(kLeft));
        const QTableWidgetItem *link = grid->item(row, 2);
        QCOMPARE(link->text(), QStringLiteral("Read more >>>"));
        QCOMPARE(link->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
        QVERIFY(link->font().underline());
        QCOMPARE(link->foreground().color(), kPanelBlue);
    }
}

void TestNewsPanel::clicksOpenArticles_data()
{
    QTest::addColumn<NewsPanel::Tab>("tab");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<QString>("opened"); // empty: nothing opens
    QTest::newRow("headline click") << NewsPanel::Tab::Feed << 0 << 1 << false << "";
    QTest::newRow("date click") << NewsPanel::Tab::Review << 1 << 0 << false << "";
    QTest::newRow("news link, row 1") << NewsPanel::Tab::Feed << 1 << 2 << false
                                      << "https://quentara.app/signals/news_eng/2.html";
    QTest::newRow("review link, row 0") << NewsPanel::Tab::Review << 0 << 2 << false
                                        << "https://quentara.app/signals/reviews_eng/1.html";
    QTest::newRow("double-click on a date")
        << NewsPanel::Tab::Feed << 0 << 0 << true << "https://quentara.app/signals/news_eng/1.html";
    QTest::newRow("double-click on a headline")
        << NewsPanel::Tab::Review << 1 << 1 << true
        << "https://quentara.app/signals/reviews_eng/2.html";
}

void TestNewsPanel::clicksOpenArticles()
{
    QFETCH(NewsPanel::Tab, tab);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, doubleClick);
    QFETCH(QString, opened);
    m_state->setFeedData(QStringLiteral("Jan, 12 11:00;News one\nJan, 12 11:30;News two\n"));
    m_state->setReviewsData(QStringLiteral("Jan, 12 10:00;Review one\nJan, 12 10:30;Review two\n"));
    makePanel();
    showWindow();
    m_panel->chooseTab(tab);
    QTableWidget *grid = listGrid();
    const QPoint at = grid->visualItemRect(grid->item(row, column)).center();
    QTest::mouseMove(grid->viewport(), at);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    if (doubleClick) // the second press of a double-click, as the window system sends it
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(m_opened, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
}

void TestNewsPanel::refreshRedrawsTheShownGrid()
{
    m_state->setFeedData(QStringLiteral("Jan, 12 11:00;News one\n"));
    m_state->setReviewsData(QStringLiteral("Jan, 12 10:00;Review one\n"));
    m_state->setCalendarData(QStringLiteral("Jan, 12 14:30;USD;High Volatility Expected;CPI\n"));
    makePanel();
    m_panel->applyStoredFilters();

    // The calendar is shown: only the calendar is redrawn, the list grid stays hidden.
    m_state->setCalendarData(QStringLiteral("Jan, 12 14:30;USD;High Volatility Expected;CPI\n"
                                            "Jan, 12 15:30;USD;High Volatility Expected;PPI\n"));
    m_state->setFeedData(QStringLiteral("Jan, 12 12:00;News two\nJan, 12 11:00;News one\n"));
    m_panel->redrawVisible();
    QCOMPARE(calendarGrid()->rowCount(), 2);
    QVERIFY(listGrid()->isHidden());
    QCOMPARE(listGrid()->rowCount(), 0);

    // "Market review" is shown: the reviews are redrawn, not the news feed.
    m_panel->chooseTab(NewsPanel::Tab::Review);
    m_state->setReviewsData(QStringLiteral("Jan, 12 13:00;Review two\nJan, 12 10:00;Review one\n"));
    m_panel->redrawVisible();
    QCOMPARE(listGrid()->rowCount(), 2);
    QCOMPARE(listGrid()->item(0, 1)->text(), QStringLiteral("Review two"));
    QVERIFY(calendarGrid()->isHidden());

    m_panel->chooseTab(NewsPanel::Tab::Feed);
    QCOMPARE(listGrid()->item(0, 1)->text(), QStringLiteral("News two"));
}

void TestNewsPanel::wheelScrollsBothGrids_data()
{
    QTest::addColumn<NewsPanel::Tab>("tab");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("firstRow");
    QTest::newRow("calendar, a notch down") << NewsPanel::Tab::Calendar << -120 << 7;
    QTest::newRow("calendar, a notch up") << NewsPanel::Tab::Calendar << 120 << 1;
    QTest::newRow("news feed, a notch down") << NewsPanel::Tab::Feed << -120 << 7;
}

void TestNewsPanel::wheelScrollsBothGrids()
{
    QFETCH(NewsPanel::Tab, tab);
    QFETCH(int, delta);
    QFETCH(int, firstRow);
    m_state->setCalendarData(hourlyCalendar()); // 00:00 .. 09:00 GMT are past
    QString feed;
    for (int hour = 0; hour < 20; ++hour)
        feed += QStringLiteral("Jan, 12 %1:00;Headline %1\n").arg(hour);
    m_state->setFeedData(feed);
    makePanel();
    showWindow();
    m_panel->chooseTab(tab);
    QTableWidget *grid = tab == NewsPanel::Tab::Calendar ? calendarGrid() : listGrid();
    grid->verticalScrollBar()->setValue(4);
    QTRY_COMPARE(firstRowInView(grid), 4);

    QWidget *viewport = grid->viewport();
    const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QTRY_COMPARE(firstRowInView(grid), firstRow);
    if (tab == NewsPanel::Tab::Calendar) {
        // Scrolling moves the view only: the events over by now stay silver, the others not.
        for (int row = 0; row < grid->rowCount(); ++row)
            QCOMPARE(grid->item(row, 2)->foreground().color(), row <= 9 ? kSilver : kSquares);
    }
}

QTEST_MAIN(TestNewsPanel)
#include "tst_newspanel.moc"
