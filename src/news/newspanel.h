#pragma once

#include "app/clock.h"
#include "app/version.h"
#include "news/articlelist.h"
#include "news/calendar.h"

#include <QLocale>
#include <QObject>
#include <QString>
#include <QUrl>

#include <array>
#include <functional>

class AppState;
class ArticleGrid;
class ArticleReader;
class CalendarGrid;
class QComboBox;
class QLabel;
class QWidget;
class SettingsStore;
class TabStrip;

// The news panel of the main window: the tabs "Economic calendar", "News feed" and "Market
// review", the title bar with the time-zone and importance selectors, the calendar grid
// `newsgrid`, the list grid `nrgrid` and the "Обновление..." strip until the first drawing.
// Its widgets are children of the main window, at their places in the full layout.
class NewsPanel final : public QObject
{
    Q_OBJECT
public:
    enum class Tab
    {
        Calendar,
        Feed,
        Review,
    };

    // Opens an article address for reading.
    using ArticleOpener = std::function<void(const QUrl &address)>;

    struct Options
    {
        Clock clock;
        QLocale locale;
        // The site the article pages are on.
        QString siteAddress = QLatin1String(product::kSiteAddress);
        // Where articles open; empty: in the news window, or the default browser when that
        // cannot be used.
        ArticleOpener openArticle;
        // The news window's program; empty: quentara-reader beside the program.
        QString readerProgram;
    };

    NewsPanel(QWidget &window, AppState &state, SettingsStore &settings, Options options,
              QObject *parent = nullptr);
    ~NewsPanel() override;
    Q_DISABLE_COPY_MOVE(NewsPanel)

    // Start-up: the selectors take their stored entries, which are stored again, and the
    // calendar is drawn from whatever text is held. A stored entry that cannot be used is
    // ignored: its selector keeps its first entry and nothing is stored.
    void applyStoredFilters();

    // Rebuild `newsgrid` from the held calendar text. While the main window is on screen the
    // list keeps its scroll position; while it is hidden the list opens at the last past event.
    void loadNews();
    void loadFeed();
    void loadReviews();

    void chooseTab(Tab tab);
    Tab activeTab() const { return m_activeTab; }

    // After a refresh: rebuild the grid that is shown, for the tab that is active.
    void redrawVisible();

    // Opens the active list's article with this number.
    void openArticle(int number);

private:
    void buildTitleBar();
    void buildGridArea();
    void filterChosen(const char *key, int index);
    void scrollToFirstComing();
    calendar::Filter filter() const;

    QWidget &m_window;
    AppState &m_state;
    SettingsStore &m_settings;
    Options m_options;
    ArticleReader *m_reader = nullptr;
    Tab m_activeTab = Tab::Calendar;

    std::array<TabStrip *, 3> m_tabs{};
    QLabel *m_title = nullptr;
    QLabel *m_zoneCaption = nullptr;
    QComboBox *m_zoneBox = nullptr;
    QLabel *m_importanceCaption = nullptr;
    QComboBox *m_importanceBox = nullptr;
    CalendarGrid *m_calendarGrid = nullptr;
    ArticleGrid *m_articleGrid = nullptr;
    QWidget *m_updatingStrip = nullptr;
    QList<calendar::Row> m_calendarRows;
};
