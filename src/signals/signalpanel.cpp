#include "signals/signalpanel.h"

#include "app/appstate.h"
#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "signals/journaltexts.h"
#include "signals/signallistmodel.h"
#include "ui/helplabel.h"
#include "ui/look.h"
#include "ui/twips.h"
#include "ui/wheelscroll.h"

#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>

namespace {

constexpr int kSignalColumnTwips = 2200;
constexpr int kOptionColumnTwips = 1400;

// Boxes left to right "1", "2", "3": options 1, 2 and 3, kept by "Filter3", "Filter2", "Filter1".
struct BoxDesign
{
    const char *name;
    const char *caption;
    const char *toolTip;
    TrayOptions::Tick tick;
    const char *key;
    int left; // twips inside the title bar
};
constexpr BoxDesign kBoxDesigns[] = {
    {"Filter3", "1", "Слабые", TrayOptions::Filter3, settingskeys::kFilter3, 3510},
    {"Filter2", "2", "Средний", TrayOptions::Filter2, settingskeys::kFilter2, 3930},
    {"Filter1", "3", "Сильные", TrayOptions::Filter1, settingskeys::kFilter1, 4350},
};

// The title and the "?" label are a little larger than the captions of the other panels.
constexpr qreal kTitlePoints = 10;
constexpr qreal kOptionPoints = 8;

} // namespace

SignalPanel::SignalPanel(QWidget *window, TrayOptions &options, const AppState &state)
    : QObject(window)
    , m_window(window)
    , m_options(options)
    , m_state(state)
{
    buildTitleBar();
    buildList();
    // The boxes show the same ticks as the option menu.
    connect(&m_options, &TrayOptions::tickChanged, this, [this](TrayOptions::Tick tick, bool on) {
        for (std::size_t i = 0; i < m_boxes.size(); ++i) {
            if (kBoxDesigns[i].tick == tick)
                m_boxes[i]->setChecked(on);
        }
    });
}

void SignalPanel::buildTitleBar()
{
    m_titleBar = new QWidget(m_window);
    m_titleBar->setObjectName(QStringLiteral("Picture5"));
    m_titleBar->setGeometry(twips::rect(11130, 6900, 4995, 375));
    look::fill(m_titleBar, look::kPanelBlue, Qt::white);
    QPalette palette = m_titleBar->palette();
    palette.setColor(QPalette::ButtonText, Qt::white); // the option boxes' captions
    m_titleBar->setPalette(palette);
    // Focus falls back here when the navigator cannot take it.
    m_titleBar->setFocusPolicy(Qt::ClickFocus);

    look::addLabel(m_titleBar, QString(), QStringLiteral("Signals"), twips::rect(120, 0, 1500, 375),
                   look::arial(kTitlePoints, true), Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
    look::addLabel(m_titleBar, QStringLiteral("Label26"), QStringLiteral("Signal option:"),
                   twips::rect(2250, 0, 1200, 375), look::arial(kOptionPoints), Qt::white,
                   Qt::AlignRight | Qt::AlignVCenter);

    for (std::size_t i = 0; i < std::size(kBoxDesigns); ++i) {
        const BoxDesign &design = kBoxDesigns[i];
        auto *box = new QCheckBox(QString::fromUtf8(design.caption), m_titleBar);
        box->setObjectName(QLatin1String(design.name));
        box->setToolTip(QString::fromUtf8(design.toolTip));
        box->setFont(look::arial(kOptionPoints));
        box->setGeometry(twips::rect(design.left, 0, 405, 375));
        box->setChecked(m_options.isTicked(design.tick));
        box->installEventFilter(this);
        connect(box, &QCheckBox::clicked, this,
                [this, tick = design.tick](bool checked) { m_options.choose(tick, checked); });
        m_boxes[i] = box;
    }

    QLabel *help = makeHelpLabel(4, m_titleBar);
    help->setFont(look::arial(kTitlePoints, true));
    help->setGeometry(twips::rect(4800, 0, 150, 375));
}

void SignalPanel::buildList()
{
    m_listArea = new QWidget(m_window);
    m_listArea->setObjectName(QStringLiteral("Picture8"));
    m_listArea->setGeometry(twips::rect(11130, 7260, 4995, 3315));

    m_model = new SignalListModel(this);
    m_list = new QTableView(m_listArea);
    m_list->setObjectName(QStringLiteral("signalgrid"));
    m_list->setModel(m_model);
    m_list->setGeometry(m_listArea->rect());
    m_list->verticalHeader()->hide();
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->horizontalHeader()->setSectionsClickable(false);
    WheelScroll::install(m_list);

    m_listMenu = new QMenu(m_list);
    m_listMenu->setObjectName(QStringLiteral("signalgridMenu"));
    QAction *journal = m_listMenu->addAction(QString::fromUtf8(journaltexts::kMenuItem));
    journal->setObjectName(QStringLiteral("mnuListJournal"));
    connect(journal, &QAction::triggered, this, &SignalPanel::journalRequested);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        m_listMenu->popup(m_list->viewport()->mapToGlobal(position));
    });
}

void SignalPanel::buildHeader()
{
    m_model->buildHeader();
    QHeaderView *header = m_list->horizontalHeader();
    header->setSectionResizeMode(SignalListModel::TimeColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(SignalListModel::SignalColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(SignalListModel::OptionColumn, QHeaderView::Fixed);
    header->resizeSection(SignalListModel::SignalColumn, twips::toPixels(kSignalColumnTwips));
    header->resizeSection(SignalListModel::OptionColumn, twips::toPixels(kOptionColumnTwips));
    // The header and the empty band under it stay in place while the signals scroll.
    header->setFixedHeight(2 * m_list->verticalHeader()->defaultSectionSize());
}

void SignalPanel::loadFilters(const SettingsStore &settings)
{
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        const bool ticked = settings.readBool(kBoxDesigns[i].key, true);
        if (m_boxes[i]->isChecked() != ticked) {
            m_boxes[i]->setChecked(ticked);
            m_options.choose(kBoxDesigns[i].tick, ticked);
        }
    }
}

void SignalPanel::addSignal(const QString &time, const Signal &signal)
{
    m_model->insertSignal(time, signal);
    // The newest signal becomes the current row, as a double click on the list expects.
    m_list->selectionModel()->setCurrentIndex(m_model->index(0, SignalListModel::SignalColumn),
                                              QItemSelectionModel::Clear);
}

bool SignalPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Once the box has taken the click: taking its focus earlier would swallow the click.
    if (event->type() == QEvent::MouseButtonRelease)
        QMetaObject::invokeMethod(this, &SignalPanel::returnFocus, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

// After a click on an option box the keys belong to the navigator again.
void SignalPanel::returnFocus()
{
    auto *entry = m_window->findChild<QWidget *>(QStringLiteral("el_") +
                                                 QString::number(m_state.selectedIndex()));
    if (entry && entry->isVisible())
        entry->setFocus(Qt::OtherFocusReason);
    else
        m_titleBar->setFocus(Qt::OtherFocusReason);
}
