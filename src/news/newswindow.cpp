#include "news/newswindow.h"

#include "news/newstexts.h"
#include "ui/artwork.h"
#include "ui/dragbar.h"
#include "ui/hoverbutton.h"
#include "ui/look.h"
#include "ui/twips.h"
#include "ui/windowframe.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

constexpr int kClientWidthTwips = 12495;
constexpr int kClientHeightTwips = 7710;
constexpr int kTitleBarHeightTwips = 555;

// A release of a mouse button, or a key that follows a link or presses a button.
bool isUserGesture(const QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease)
        return true;
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace

NewsWindow::NewsWindow(ArticlePage::ExternalOpener openExternally)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_profile(new QWebEngineProfile(this)) // off the record: nothing is written to disk
    , m_page(new ArticlePage(m_profile, std::move(openExternally), this))
{
    setObjectName(QStringLiteral("newsform"));
    setWindowTitle(QString::fromUtf8(newstexts::kReaderCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips::size(kClientWidthTwips, kClientHeightTwips));
    look::fill(this, Qt::white);

    look::addLabel(this, QStringLiteral("Label3"), QLatin1String(newstexts::kReaderLoading),
                   twips::rect(60, 3660, 12405, 225), look::arial(8.25, true), look::kPanelBlue,
                   Qt::AlignCenter);

    m_browser = new QWebEngineView(this);
    m_browser->setObjectName(QStringLiteral("WebBrowser1"));
    m_browser->setPage(m_page);
    m_browser->setGeometry(twips::rect(30, 570, 12435, 7095));
    m_browser->hide(); // "Loading" shows until the page is there
    connect(m_page, &QWebEnginePage::loadFinished, m_browser, &QWidget::show);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                Q_EMIT unusable(m_address);
                close();
            });

    buildTitleBar();
    auto *frame = new WindowFrame(this, QStringLiteral("Shape4"), look::kPanelBlue);
    frame->setGeometry(twips::rect(0, 0, kClientWidthTwips, 7695));
    frame->raise();

    // The user's clicks and keys reach the page through widgets the browser makes as it goes.
    qApp->installEventFilter(this);
}

NewsWindow::~NewsWindow()
{
    // The page goes before its profile, which the window's children would otherwise free first.
    delete m_browser;
    delete m_page;
}

void NewsWindow::buildTitleBar()
{
    auto *titleBar = new DragBar(this);
    titleBar->setObjectName(QStringLiteral("Picture9"));
    look::fill(titleBar, look::kTitleBlue);
    titleBar->setGeometry(twips::rect(0, 0, kClientWidthTwips, kTitleBarHeightTwips));
    look::addLabel(titleBar, QStringLiteral("Label1"), QLatin1String(newstexts::kReaderTitle),
                   twips::rect(150, 150, 11505, 345), look::arial(12, true), Qt::white,
                   Qt::AlignLeft | Qt::AlignVCenter);

    m_closeButton = new HoverButton(artwork::kCloseButton, titleBar);
    m_closeButton->setObjectName(QStringLiteral("Picture21"));
    m_closeButton->setGeometry(twips::rect(12030, 60, 315, 345));
    connect(m_closeButton, &HoverButton::clicked, this, &NewsWindow::closeByButton);
}

void NewsWindow::navigate(const QUrl &address)
{
    m_address = address;
    m_page->showArticle(address);
}

void NewsWindow::showOnTop(std::optional<QPoint> centre)
{
    if (!centre && screen())
        centre = screen()->availableGeometry().center();
    if (centre)
        move(*centre - rect().center());
    show();
    raise();
    activateWindow();
}

void NewsWindow::openInDefaultBrowser(const QUrl &address)
{
    QDesktopServices::openUrl(address);
}

void NewsWindow::closeByButton()
{
    Q_EMIT closedByButton();
    close();
}

bool NewsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserGesture(event) || !m_browser)
        return false;
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (widget && (widget == m_browser || m_browser->isAncestorOf(widget)))
        m_page->noteUserGesture();
    return false;
}

void NewsWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        m_wasActive = true;
    else if (m_wasActive)
        close(); // the user went elsewhere: a reader that pops up, not a window to manage
}
