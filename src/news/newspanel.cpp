#include "news/newspanel.h"

#include "app/appstate.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "news/articlegrid.h"
#include "news/articlereader.h"
#include "news/calendargrid.h"
#include "news/newstexts.h"
#include "ui/look.h"
#include "ui/tabstrip.h"
#include "ui/twips.h"
#include "ui/wheelscroll.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QSignalBlocker>

namespace {

// The panel's places in the full layout, in twips.
constexpr int kTitleBar[] = {2880, 7260, 8145, 375};
constexpr int kGridArea[] = {2880, 7620, 8145, 2955};

// The tab strips, in the order of NewsPanel::Tab.
constexpr int kTabTop = 6900;
constexpr auto kLeading = TabStrip::CaptionPlace::Leading;
constexpr TabStrip::Design kTabs[] = {
    {"Picture36", "Label34", 3, newstexts::kCalendarTab, 2880, kTabTop, 2715, kLeading},
    {"Picture35", "Label33", 5, newstexts::kFeedTab, 5610, kTabTop, 2715, kLeading},
    {"Picture37", "Label37", 6, newstexts::kReviewTab, 8340, kTabTop, 2685, kLeading},
};

// Inside the title bar.
constexpr int kTitle[] = {120, 0, 2820, 375};
constexpr int kZoneCaption[] = {2955, 0, 780, 375};
constexpr int kZoneBox[] = {3750, 30, 990, 315};
constexpr int kImportanceCaption[] = {4830, 0, 960, 375};
constexpr int kImportanceBox[] = {5805, 30, 2295, 315};

// Inside the grid area.
constexpr int kStrip[] = {0, 0, 8145, 480};
constexpr int kStripText[] = {120, 0, 3000, 480};

QRect rectOf(const int (&r)[4])
{
    return twips::rect(r[0], r[1], r[2], r[3]);
}

QLabel *label(const char *name, const QString &text, const QFont &font, const QColor &colour,
              const int (&geometry)[4], QWidget *parent)
{
    return look::addLabel(parent, QLatin1String(name), text, rectOf(geometry), font, colour,
                          Qt::AlignLeft | Qt::AlignVCenter);
}

QComboBox *selector(const char *name, const QStringList &entries, int index,
                    const int (&geometry)[4], QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(look::textFont());
    box->addItems(entries);
    box->setCurrentIndex(index);
    box->setMaxVisibleItems(entries.size());
    box->setGeometry(rectOf(geometry));
    // The list may be wider than the box, so that every entry reads in full.
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + 24);
    return box;
}

} // namespace

NewsPanel::NewsPanel(QWidget &window, AppState &state, SettingsStore &settings, Options options,
                     QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_state(state)
    , m_settings(settings)
    , m_options(std::move(options))
{
    for (int t = 0; t < int(m_tabs.size()); ++t) {
        m_tabs[t] = new TabStrip(kTabs[t], &m_window);
        connect(m_tabs[t], &TabStrip::clicked, this, [this, t] { chooseTab(Tab(t)); });
    }
    buildTitleBar();
    buildGridArea();

    if (!m_options.openArticle) {
        const QString program = m_options.readerProgram.isEmpty()
                                    ? ArticleReader::installedProgram()
                                    : m_options.readerProgram;
        m_reader = new ArticleReader(m_articleGrid, program, &QDesktopServices::openUrl, this);
        m_options.openArticle = [this](const QUrl &address) { m_reader->open(address); };
    }
    connect(m_articleGrid, &ArticleGrid::articleRequested, this, &NewsPanel::openArticle);

    // The calendar is the tab the window opens on.
    m_tabs[int(Tab::Calendar)]->setActive(true);
    m_articleGrid->hide();
}

NewsPanel::~NewsPanel() = default;

void NewsPanel::buildTitleBar()
{
    auto *bar = new QWidget(&m_window);
    bar->setObjectName(QStringLiteral("Picture6"));
    look::fill(bar, look::kPanelBlue);
    bar->setGeometry(rectOf(kTitleBar));

    const QFont captionFont = look::textFont();
    m_title = label("Label28", QLatin1String(newstexts::kCalendarTitle), look::captionFont(),
                    Qt::white, kTitle, bar);
    m_zoneCaption = label("Label23", QLatin1String(newstexts::kTimezone), captionFont, Qt::white,
                          kZoneCaption, bar);
    m_zoneBox = selector("Combo1", calendar::zoneEntries(), calendar::kDefaultZone, kZoneBox, bar);
    m_importanceCaption = label("Label25", QLatin1String(newstexts::kImportance), captionFont,
                                Qt::white, kImportanceCaption, bar);
    m_importanceBox = selector("Combo2", calendar::importanceEntries(),
                               calendar::kDefaultImportance, kImportanceBox, bar);

    connect(m_zoneBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { filterChosen(settingskeys::kGmt, index); });
    connect(m_importanceBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { filterChosen(settingskeys::kNewsImp, index); });
}

void NewsPanel::buildGridArea()
{
    auto *area = new QWidget(&m_window);
    area->setObjectName(QStringLiteral("Picture7"));
    look::fill(area, Qt::white);
    area->setGeometry(rectOf(kGridArea));
    const QRect inside(QPoint(0, 0), area->size());

    m_calendarGrid = new CalendarGrid(area);
    m_calendarGrid->setGeometry(inside);
    m_articleGrid = new ArticleGrid(area);
    m_articleGrid->setGeometry(inside);
    // Three lines a wheel notch, in the direction the wheel turns.
    WheelScroll::install(m_calendarGrid);
    WheelScroll::install(m_articleGrid);

    m_updatingStrip = new QWidget(area);
    m_updatingStrip->setObjectName(QStringLiteral("Picture39"));
    look::fill(m_updatingStrip, Qt::white);
    m_updatingStrip->setGeometry(rectOf(kStrip));
    label("Label27", QString::fromUtf8(newstexts::kUpdating), look::textFont(), look::kInactiveGrey,
          kStripText, m_updatingStrip);
}

calendar::Filter NewsPanel::filter() const
{
    return {m_zoneBox->currentIndex(), m_importanceBox->currentIndex()};
}

void NewsPanel::applyStoredFilters()
{
    // A stored value that cannot be used is ignored: the box keeps its first item and nothing
    // is stored. A usable one is chosen as the user would, which stores it again.
    const std::optional<int> zone = m_settings.readUsableNumber(
        settingskeys::kGmt, calendar::kDefaultZone, 0, calendar::kZoneCount - 1);
    const std::optional<int> importance = m_settings.readUsableNumber(
        settingskeys::kNewsImp, calendar::kDefaultImportance, 0, calendar::kImportanceCount - 1);
    {
        const QSignalBlocker zoneBlocker(m_zoneBox);
        const QSignalBlocker importanceBlocker(m_importanceBox);
        if (zone)
            m_zoneBox->setCurrentIndex(*zone);
        if (importance)
            m_importanceBox->setCurrentIndex(*importance);
    }
    if (zone)
        filterChosen(settingskeys::kGmt, *zone);
    if (importance)
        filterChosen(settingskeys::kNewsImp, *importance);
}

void NewsPanel::filterChosen(const char *key, int index)
{
    m_settings.writeNumber(key, index);
    loadNews();
    scrollToFirstComing();
}

void NewsPanel::scrollToFirstComing()
{
    if (const std::optional<int> row = calendar::rowAboveFirstComing(m_calendarRows))
        m_calendarGrid->setTopRow(*row);
}

void NewsPanel::loadNews()
{
    m_calendarRows =
        calendar::build(m_state.calendarData(), filter(), m_options.clock.now(), m_options.locale);
    std::optional<int> top;
    if (!m_window.isVisible())
        top = calendar::lastPastRow(m_calendarRows);
    m_calendarGrid->showRows(m_calendarRows, top);
    m_updatingStrip->hide();
}

void NewsPanel::loadFeed()
{
    m_articleGrid->showRows(
        articlelist::parse(m_state.feedData(), m_options.clock.now(), m_options.locale));
    m_updatingStrip->hide();
}

void NewsPanel::loadReviews()
{
    m_articleGrid->showRows(
        articlelist::parse(m_state.reviewsData(), m_options.clock.now(), m_options.locale));
    m_updatingStrip->hide();
}

void NewsPanel::chooseTab(Tab tab)
{
    m_activeTab = tab;
    const bool calendarTab = tab == Tab::Calendar;
    for (QWidget *selectorPart :
         {static_cast<QWidget *>(m_zoneCaption), static_cast<QWidget *>(m_zoneBox),
          static_cast<QWidget *>(m_importanceCaption), static_cast<QWidget *>(m_importanceBox)})
        selectorPart->setVisible(calendarTab);
    const char *titles[] = {newstexts::kCalendarTitle, newstexts::kFeedTab, newstexts::kReviewTab};
    m_title->setText(QLatin1String(titles[int(tab)]));
    for (int t = 0; t < int(m_tabs.size()); ++t)
        m_tabs[t]->setActive(Tab(t) == tab);

    switch (tab) {
    case Tab::Calendar:
        loadNews();
        break;
    case Tab::Feed:
        loadFeed();
        break;
    case Tab::Review:
        loadReviews();
        break;
    }
    m_calendarGrid->setVisible(calendarTab);
    m_articleGrid->setVisible(!calendarTab);
}

void NewsPanel::redrawVisible()
{
    // Whether a grid is shown in the panel, also while the window itself is hidden.
    if (!m_calendarGrid->isHidden())
        loadNews();
    if (!m_articleGrid->isHidden()) {
        if (m_activeTab == Tab::Review)
            loadReviews();
        else if (m_activeTab == Tab::Feed)
            loadFeed();
    }
}

void NewsPanel::openArticle(int number)
{
    if (m_activeTab == Tab::Calendar)
        return;
    const auto kind =
        m_activeTab == Tab::Review ? articlelist::Kind::Reviews : articlelist::Kind::News;
    m_options.openArticle(articlelist::articleUrl(m_options.siteAddress, kind, number));
}
