#include "signals/journalwindow.h"

#include "app/catalogue.h"
#include "signals/journalcsv.h"
#include "signals/journaltablemodel.h"
#include "signals/journaltexts.h"
#include "signals/signal.h"
#include "ui/artwork.h"
#include "ui/dragbar.h"
#include "ui/hoverbutton.h"
#include "ui/look.h"
#include "ui/twips.h"
#include "ui/windowframe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

#include <QCoroTimer>

namespace {

constexpr int kWidthTwips = 12900;
constexpr int kHeightTwips = 9300;
constexpr int kTitleBarTwips = 555;
constexpr int kMargin = 10; // pixels around the window's parts
constexpr char kDateFormat[] = "yyyy-MM-dd";

// Column widths in pixels; the instrument column takes what is left.
constexpr std::array<int, JournalTableModel::ColumnCount> kColumnWidths{130, 70, 0,  55,
                                                                        90,  90, 90, 90};

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QLabel *stripLabel(const char *caption, QWidget *parent)
{
    auto *label = new QLabel(text(caption), parent);
    label->setFont(look::textFont());
    look::setTextColor(label, Qt::white);
    return label;
}

QComboBox *selector(const char *name, const QStringList &entries, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(look::textFont());
    box->addItems(entries);
    return box;
}

QDateEdit *dayEdit(const char *name, QWidget *parent)
{
    auto *edit = new QDateEdit(QDate::currentDate(), parent);
    edit->setObjectName(QLatin1String(name));
    edit->setFont(look::textFont());
    edit->setDisplayFormat(QLatin1String(kDateFormat));
    edit->setCalendarPopup(true);
    edit->setEnabled(false);
    return edit;
}

QCheckBox *dayBox(const char *name, const char *caption, QWidget *parent)
{
    auto *box = new QCheckBox(text(caption), parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(look::textFont());
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    box->setPalette(palette);
    return box;
}

QString shareText(const OutcomeSummary &summary)
{
    const std::optional<double> share = summary.share();
    if (!share)
        return text(journaltexts::kSummaryNone);
    return text(journaltexts::kSummaryShare)
        .arg(summary.wentTheirWay)
        .arg(summary.withOutcome)
        .arg(*share * 100, 0, 'f', 1);
}

} // namespace

JournalWindow::JournalWindow(const JournalReader &reader, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_reader(reader)
    , m_model(new JournalTableModel(reader, this))
{
    setObjectName(QStringLiteral("journalform"));
    setWindowTitle(text(journaltexts::kWindowTitle));
    setFixedSize(twips::size(kWidthTwips, kHeightTwips));
    setFont(look::textFont());
    look::fill(this, Qt::white, Qt::black);
    buildTitleBar();

    auto *body = new QWidget(this);
    body->setGeometry(
        QRect(QPoint(0, twips::toPixels(kTitleBarTwips)), QPoint(width() - 1, height() - 1)));
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kMargin);
    layout->addWidget(buildFilters());

    m_table = new QTableView(body);
    m_table->setObjectName(QStringLiteral("journalgrid"));
    m_table->setModel(m_model);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 4);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setWordWrap(false);
    QHeaderView *header = m_table->horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    for (int column = 0; column < JournalTableModel::ColumnCount; ++column) {
        if (kColumnWidths.at(column) == 0) {
            header->setSectionResizeMode(column, QHeaderView::Stretch);
            continue;
        }
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(column, kColumnWidths.at(column));
    }
    connect(m_table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (const std::optional<JournalRow> row = m_model->journalRow(index.row()))
            Q_EMIT instrumentChosen(row->instrument);
    });
    layout->addWidget(m_table, 1);
    layout->addWidget(buildSummary());

    auto *bottom = new QHBoxLayout;
    m_notice = new QLabel(text(journaltexts::kJournalOff), body);
    m_notice->setObjectName(QStringLiteral("journalNotice"));
    look::setTextColor(m_notice, look::kAlarmRed);
    bottom->addWidget(m_notice);
    bottom->addStretch(1);
    m_export = new QPushButton(text(journaltexts::kExportButton), body);
    m_export->setObjectName(QStringLiteral("journalExport"));
    connect(m_export, &QPushButton::clicked, this, &JournalWindow::chooseExportFile);
    bottom->addWidget(m_export);
    layout->addLayout(bottom);

    auto *frame = new WindowFrame(this, QStringLiteral("journalframe"), look::kPanelBlue);
    frame->setGeometry(rect());
    frame->raise();
    showJournalState();
    sumUp();
}

void JournalWindow::buildTitleBar()
{
    auto *titleBar = new DragBar(this);
    titleBar->setObjectName(QStringLiteral("journalTitleBar"));
    titleBar->setGeometry(twips::rect(0, 0, kWidthTwips, kTitleBarTwips));
    look::fill(titleBar, look::kTitleBlue, Qt::white);
    look::addLabel(titleBar, QStringLiteral("journalTitle"), windowTitle(),
                   twips::rect(150, 105, 6000, 345), look::arial(12, true), Qt::white,
                   Qt::AlignLeft | Qt::AlignVCenter)
        ->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *close = new HoverButton(artwork::kCloseButton, titleBar);
    close->setObjectName(QStringLiteral("journalClose"));
    close->setGeometry(twips::rect(kWidthTwips - 315 - 120, 105, 315, 345));
    connect(close, &HoverButton::clicked, this, &QWidget::close);
}

QWidget *JournalWindow::buildFilters()
{
    auto *strip = new QWidget;
    strip->setObjectName(QStringLiteral("journalFilters"));
    look::fill(strip, look::kPanelBlue, Qt::white);
    auto *layout = new QHBoxLayout(strip);
    layout->setContentsMargins(8, 5, 8, 5);
    layout->setSpacing(6);

    QStringList instruments{text(journaltexts::kAllInstruments)};
    for (int index = 0; index < catalogue::kInstrumentCount; ++index)
        instruments << catalogue::signalName(index);
    m_instrument = selector("journalInstrument", instruments, strip);
    m_instrument->setMaxVisibleItems(20);
    m_option = selector("journalOption",
                        {text(journaltexts::kAllOptions), QStringLiteral("1"), QStringLiteral("2"),
                         QStringLiteral("3")},
                        strip);
    m_direction = selector("journalDirection",
                           {text(journaltexts::kAllDirections), QLatin1String(direction::kBuy),
                            QLatin1String(direction::kSell)},
                           strip);
    m_fromOn = dayBox("journalFromOn", journaltexts::kFromLabel, strip);
    m_from = dayEdit("journalFrom", strip);
    m_toOn = dayBox("journalToOn", journaltexts::kToLabel, strip);
    m_to = dayEdit("journalTo", strip);

    layout->addWidget(stripLabel(journaltexts::kInstrumentLabel, strip));
    layout->addWidget(m_instrument);
    layout->addSpacing(kMargin);
    layout->addWidget(stripLabel(journaltexts::kOptionLabel, strip));
    layout->addWidget(m_option);
    layout->addSpacing(kMargin);
    layout->addWidget(stripLabel(journaltexts::kDirectionLabel, strip));
    layout->addWidget(m_direction);
    layout->addStretch(1);
    layout->addWidget(m_fromOn);
    layout->addWidget(m_from);
    layout->addWidget(m_toOn);
    layout->addWidget(m_to);

    for (QComboBox *box : {m_instrument, m_option, m_direction})
        connect(box, &QComboBox::currentIndexChanged, this, &JournalWindow::applyFilter);
    for (QDateEdit *edit : {m_from, m_to})
        connect(edit, &QDateEdit::dateChanged, this, &JournalWindow::applyFilter);
    connect(m_fromOn, &QCheckBox::toggled, m_from, &QWidget::setEnabled);
    connect(m_toOn, &QCheckBox::toggled, m_to, &QWidget::setEnabled);
    for (QCheckBox *box : {m_fromOn, m_toOn})
        connect(box, &QCheckBox::toggled, this, &JournalWindow::applyFilter);
    return strip;
}

QWidget *JournalWindow::buildSummary()
{
    auto *summary = new QWidget;
    summary->setObjectName(QStringLiteral("journalSummary"));
    auto *grid = new QGridLayout(summary);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(2);
    const QFont bold = look::arial(8.25, true);
    const char *const headings[] = {journaltexts::kSummarySignals, journaltexts::kSummaryWent,
                                    journaltexts::kSummaryMean};
    for (int column = 0; column < 3; ++column) {
        auto *heading = new QLabel(text(headings[column]), summary);
        heading->setFont(bold);
        grid->addWidget(heading, 0, column + 1, Qt::AlignRight);
    }
    for (int row = 0; row < int(m_summary.size()); ++row) {
        auto *name = new QLabel(row == 0 ? text(journaltexts::kSummaryAll)
                                         : text(journaltexts::kSummaryOption).arg(row),
                                summary);
        name->setFont(row == 0 ? bold : look::textFont());
        if (row > 0)
            look::setTextColor(name, look::kTitleBlue);
        grid->addWidget(name, row + 1, 0);
        for (int column = 0; column < 3; ++column) {
            auto *figure = new QLabel(summary);
            figure->setObjectName(QStringLiteral("journalSummary_%1_%2").arg(row).arg(column));
            if (row == 0)
                figure->setFont(bold);
            grid->addWidget(figure, row + 1, column + 1, Qt::AlignRight);
            m_summary.at(row).at(column) = figure;
        }
    }
    grid->setColumnStretch(4, 1);
    return summary;
}

JournalFilter JournalWindow::filter() const
{
    JournalFilter filter;
    if (m_instrument->currentIndex() > 0)
        filter.instrument = m_instrument->currentText();
    filter.option = std::max(0, m_option->currentIndex());
    if (m_direction->currentIndex() > 0)
        filter.direction = m_direction->currentText();
    if (m_fromOn->isChecked())
        filter.from = m_from->date();
    if (m_toOn->isChecked())
        filter.to = m_to->date();
    return filter;
}

void JournalWindow::applyFilter()
{
    m_model->setFilter(filter());
    sumUp();
}

void JournalWindow::showJournalState()
{
    m_notice->setVisible(!m_reader.isOn());
    m_export->setEnabled(m_reader.isOn());
}

void JournalWindow::refresh()
{
    showJournalState();
    const std::optional<JournalRow> selected = m_model->journalRow(m_table->currentIndex().row());
    m_model->reload();
    if (selected) {
        const int row = m_reader.positionOf(m_model->filter(), selected->id);
        if (row >= 0)
            m_table->selectionModel()->setCurrentIndex(m_model->index(row, 0),
                                                       QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
    }
    sumUp();
}

QCoro::Task<> JournalWindow::sumUp()
{
    QPointer<JournalWindow> self(this);
    const quint64 generation = ++m_summaryGeneration;
    m_summaryReady = false;
    const JournalFilter filter = m_model->filter();
    const qint64 lastId = m_reader.lastId();
    JournalTotals totals;
    for (qint64 after = 0; after < lastId; after += kSummaryPart) {
        totals.add(m_reader.totals(filter, after, std::min(after + kSummaryPart, lastId)));
        co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        if (!self || generation != m_summaryGeneration)
            co_return;
    }
    showSummary(totals.summary());
    m_summaryReady = true;
    Q_EMIT summaryReady();
}

void JournalWindow::showSummary(const JournalSummary &summary)
{
    for (int row = 0; row < int(m_summary.size()); ++row) {
        const OutcomeSummary &figures = row == 0 ? summary.all : summary.options.at(row - 1);
        m_summary.at(row).at(0)->setText(QString::number(figures.signals));
        m_summary.at(row).at(1)->setText(shareText(figures));
        m_summary.at(row).at(2)->setText(figures.meanMove ? signalmoves::moveText(*figures.meanMove)
                                                          : text(journaltexts::kSummaryNone));
        if (row == 0)
            continue;
        // An option the filter leaves out has nothing to say.
        for (QLabel *label : m_summary.at(row))
            label->setEnabled(figures.signals > 0);
    }
}

void JournalWindow::chooseExportFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    auto *dialog = new QFileDialog(this, text(journaltexts::kExportTitle),
                                   QDir(folder).filePath(text(journaltexts::kExportFileName)),
                                   text(journaltexts::kExportFilter));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QFileDialog::fileSelected, this, &JournalWindow::exportTo);
    dialog->open();
}

bool JournalWindow::exportTo(const QString &path)
{
    const QString reason = journalcsv::exportRows(m_reader, filter(), path);
    if (reason.isEmpty())
        return true;
    auto *box = new QMessageBox(
        QMessageBox::Warning, windowTitle(),
        text(journaltexts::kExportFailed).arg(QDir::toNativeSeparators(path), reason),
        QMessageBox::Ok, this);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return false;
}
