#include "ui/mainwindow.h"

#include "app/settingskeys.h"
#include "app/settingsstore.h"
#include "app/version.h"
#include "ui/aboutwindow.h"
#include "ui/glyphlabel.h"
#include "ui/helplabel.h"
#include "ui/hoverbutton.h"
#include "ui/look.h"
#include "ui/navigator.h"
#include "ui/tips.h"
#include "ui/titlebar.h"
#include "ui/twips.h"
#include "ui/windowframe.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {

const QString kHelpLabelPrefix = QStringLiteral("Label20_");

// The number k of a "?" label `Label20_k` the widget is or lies on; -1 for any other widget.
int helpLabelOf(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        const QString name = widget->objectName();
        if (name.startsWith(kHelpLabelPrefix)) {
            bool ok = false;
            const int k = name.mid(kHelpLabelPrefix.size()).toInt(&ok);
            return ok ? k : -1;
        }
    }
    return -1;
}

} // namespace

MainWindow::MainWindow(AppState &state, SettingsStore &settings, QWidget *parent)
    // Without a frame, yet minimised and restored from the task bar like any window; never
    // maximised, since the layouts are fixed.
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint)
    , m_state(state)
    , m_settings(settings)
    , m_titleBar(new TitleBar(this))
    , m_splitter(new GlyphLabel(QStringLiteral("3"), this))
    , m_tips(new TipSet(*this, settings))
    , m_frame(new WindowFrame(this, QStringLiteral("Shape5"), look::kFrameBlue))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QLatin1String(product::kName));
    setFont(look::textFont());
    look::fill(this, look::kWindowGrey, Qt::black);

    buildNavigatorPanels();

    m_splitter->setObjectName(QStringLiteral("splitter"));
    m_splitter->setGeometry(twips::rect(2730, 5040, 165, 285));
    m_splitter->setGlyphSize(twips::toPixels(105));
    m_splitter->setCursor(Qt::PointingHandCursor);
    look::fill(m_splitter, look::kInactiveGrey, Qt::white);
    connect(m_splitter, &ClickLabel::clicked, this, &MainWindow::toggleFold);

    connect(m_titleBar, &TitleBar::compactRequested, this, &MainWindow::switchLayout);
    connect(m_titleBar, &TitleBar::aboutRequested, this, &MainWindow::showAbout);
    connect(m_titleBar, &TitleBar::optionsRequested, this, &MainWindow::requestOptionsMenu);
    connect(m_titleBar, &TitleBar::minimiseRequested, this, &MainWindow::minimiseRequested);
    connect(m_titleBar, &TitleBar::closeRequested, this, &MainWindow::closeRequested);
    // Every selection, by mouse, key or signal list, first closes an open tip.
    connect(m_navigator, &Navigator::selectRequested, m_tips, &TipSet::hideAll);

    qApp->installEventFilter(this);
    finishPanels();
}

void MainWindow::buildNavigatorPanels()
{
    auto *titleBar = new QWidget(this);
    titleBar->setObjectName(QStringLiteral("Picture2"));
    titleBar->setGeometry(twips::rect(120, 690, 2625, 375));
    look::fill(titleBar, look::kPanelBlue, Qt::white);
    auto *title = new QLabel(QStringLiteral("Instruments"), titleBar);
    title->setObjectName(QStringLiteral("Label2"));
    title->setFont(look::captionFont());
    title->move(twips::point(120, 75));
    title->adjustSize();
    QLabel *help = makeHelpLabel(0, titleBar);
    help->move(twips::point(2625 - 120, 75) - QPoint(help->width(), 0));

    auto *body = new QWidget(this);
    body->setObjectName(QStringLiteral("Picture4"));
    body->setGeometry(twips::rect(120, 1050, 2625, 9495));
    look::fill(body, Qt::white);
    m_navigator = new Navigator(m_state, body);
    m_navigator->setGeometry(body->rect());
}

void MainWindow::finishPanels()
{
    m_tips->raiseAll();
    m_frame->raise();
    if (auto *list = findChild<QAbstractItemView *>(QStringLiteral("signalgrid"));
        list && list != m_signalList) {
        m_signalList = list->viewport();
    }
    applyLayout();
}

void MainWindow::applyLayout()
{
    m_splitter->setText(splitterCaption());
    windowlayout::apply(*this, m_layout);
}

void MainWindow::switchLayout()
{
    m_tips->hideAll();
    m_titleBar->compactButton()->showNormal();
    m_layout.switched = true;
    if (!m_layout.compact) {
        m_layout.compact = true;
    } else {
        if (m_layout.folded) {
            m_layout.folded = false;
            m_settings.writeText(settingskeys::kSplit, QStringLiteral("0"));
        }
        m_layout.compact = false;
    }
    applyLayout();
}

void MainWindow::toggleFold()
{
    m_tips->hideAll();
    m_layout.folded = !m_layout.folded;
    m_settings.writeText(settingskeys::kSplit,
                         m_layout.folded ? QStringLiteral("1") : QStringLiteral("0"));
    applyLayout();
}

int MainWindow::heightTwips() const
{
    return twips::fromPixels(height());
}

QString MainWindow::splitterCaption() const
{
    return m_layout.folded ? QStringLiteral("4") : QStringLiteral("3");
}

void MainWindow::showAbout(bool topMost)
{
    if (!m_about) {
        m_about = new AboutWindow(this);
        m_about->move(geometry().center() - m_about->rect().center());
    }
    m_about->setWindowFlag(Qt::WindowStaysOnTopHint, topMost);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void MainWindow::requestOptionsMenu(bool fromLogo)
{
    const auto point = windowlayout::optionsMenuPoint(heightTwips(), fromLogo);
    if (point)
        Q_EMIT optionsMenuRequested(mapToGlobal(twips::point(point->x(), point->y())));
}

void MainWindow::openInstrumentOf(const QString &signalText)
{
    m_navigator->openInstrumentOf(signalText);
}

void MainWindow::openSignalOfCurrentRow()
{
    auto *list =
        m_signalList ? qobject_cast<QAbstractItemView *>(m_signalList->parentWidget()) : nullptr;
    if (!list || !list->model())
        return;
    const int row = list->currentIndex().row();
    if (row < 0)
        return;
    const QModelIndex signal = list->model()->index(row, 1);
    list->setCurrentIndex(signal);
    openInstrumentOf(signal.data().toString());
}

bool MainWindow::handlePress(QWidget *widget)
{
    if (m_tips->contains(widget))
        return false;
    if (const int label = helpLabelOf(widget); label >= 0) {
        m_tips->openForLabel(label);
        return true;
    }
    m_tips->hideAll();
    return false;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && watched == m_signalList) {
        openSignalOfCurrentRow();
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress || watched != pressedWidget(event))
        return false;
    return handlePress(static_cast<QWidget *>(watched));
}

QWidget *MainWindow::pressedWidget(QEvent *event) const
{
    // A press the pressed widget ignores travels on to its parents; only the first delivery
    // counts, to the widget under the pointer.
    const auto *press = static_cast<QMouseEvent *>(event);
    const QPoint position = mapFromGlobal(press->globalPosition().toPoint());
    if (!rect().contains(position) || !isVisible())
        return nullptr;
    QWidget *target = childAt(position);
    return target ? target : const_cast<MainWindow *>(this);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    Q_EMIT closeRequested();
}
