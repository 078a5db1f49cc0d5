#include "news/newswindow.h"

#include "news/newstexts.h"
#include "ui/artwork.h"
#include "ui/hoverbutton.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWindow>

namespace {

constexpr int kClientWidthTwips = 12495;
constexpr int kClientHeightTwips = 7710;
constexpr int kTitleBarHeightTwips = 555;

// The one-pixel frame around the window ("Shape4"), drawn over everything else.
class Frame final : public QWidget
{
public:
    explicit Frame(QWidget *parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("Shape4"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(look::kPanelBlue);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

} // namespace

NewsWindow::NewsWindow(QWidget *focusReturn, ArticlePage::ExternalOpener openExternally)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_focusReturn(focusReturn)
    , m_profile(new QWebEngineProfile(this)) // off the record: nothing is written to disk
    , m_page(new ArticlePage(m_profile, std::move(openExternally), this))
{
    setObjectName(QStringLiteral("newsform"));
    setWindowTitle(QString::fromUtf8(newstexts::kReaderCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips::size(kClientWidthTwips, kClientHeightTwips));
    look::fill(this, Qt::white);

    m_loading = new QLabel(QLatin1String(newstexts::kReaderLoading), this);
    m_loading->setObjectName(QStringLiteral("Label3"));
    m_loading->setFont(look::arial(8.25, true));
    look::setTextColor(m_loading, look::kPanelBlue);
    m_loading->setAlignment(Qt::AlignCenter);
    m_loading->setGeometry(twips::rect(60, 3660, 12405, 225));

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
    auto *frame = new Frame(this);
    frame->setGeometry(twips::rect(0, 0, kClientWidthTwips, 7695));
    frame->raise();
}

NewsWindow::~NewsWindow()
{
    // The page goes before its profile, which the window's children would otherwise free first.
    delete m_browser;
    delete m_page;
}

void NewsWindow::buildTitleBar()
{
    m_titleBar = new QWidget(this);
    m_titleBar->setObjectName(QStringLiteral("Picture9"));
    look::fill(m_titleBar, look::kTitleBlue);
    m_titleBar->setGeometry(twips::rect(0, 0, kClientWidthTwips, kTitleBarHeightTwips));

    m_title = new QLabel(QLatin1String(newstexts::kReaderTitle), m_titleBar);
    m_title->setObjectName(QStringLiteral("Label1"));
    m_title->setFont(look::arial(12, true));
    look::setTextColor(m_title, Qt::white);
    m_title->setGeometry(twips::rect(150, 150, 11505, 345));

    m_closeButton = new HoverButton(artwork::kCloseButton, m_titleBar);
    m_closeButton->setObjectName(QStringLiteral("Picture21"));
    m_closeButton->setGeometry(twips::rect(12030, 60, 315, 345));
    connect(m_closeButton, &HoverButton::clicked, this, &NewsWindow::closeByButton);

    m_titleBar->installEventFilter(this);
    m_title->installEventFilter(this);
}

void NewsWindow::navigate(const QUrl &address)
{
    m_address = address;
    m_page->showArticle(address);
}

void NewsWindow::showOnTop(const QWidget *anchor)
{
    const QRect area = anchor && anchor->isVisible() ? anchor->window()->frameGeometry()
                       : screen()                    ? screen()->availableGeometry()
                                                     : QRect();
    if (area.isValid())
        move(area.center() - rect().center());
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
    if (m_focusReturn) {
        m_focusReturn->activateWindow();
        m_focusReturn->setFocus(Qt::OtherFocusReason);
    }
    close();
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

bool NewsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_titleBar && watched != m_title)
        return QWidget::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton)
            break;
        // Let the window system move the window; where it cannot, follow the pointer.
        m_dragging = !(windowHandle() && windowHandle()->startSystemMove());
        m_dragOffset = mouse->globalPosition().toPoint() - pos();
        return true;
    case QEvent::MouseMove:
        if (m_dragging && (mouse->buttons() & Qt::LeftButton))
            move(mouse->globalPosition().toPoint() - m_dragOffset);
        return m_dragging;
    case QEvent::MouseButtonRelease:
        m_dragging = false;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
