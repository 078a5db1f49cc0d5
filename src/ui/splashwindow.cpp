#include "ui/splashwindow.h"

#include "ui/artwork.h"
#include "ui/clicklabel.h"
#include "ui/productinfo.h"
#include "ui/twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace {

constexpr QColor kFrame(0x00, 0x67, 0xC4);

} // namespace

SplashWindow::SplashWindow(QWidget *mainWindow)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips::size(6645, 3915));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setAutoFillBackground(true);

    auto *picture = productinfo::makeLink(QString(), productinfo::makerSite(), this);
    picture->setObjectName(QStringLiteral("splashPicture"));
    picture->setGeometry(0, 0, width(), 120);
    picture->setPixmap(artwork::pixmap(QString::fromLatin1(artwork::kSplash), picture->size(),
                                       devicePixelRatioF()));
    productinfo::addLines(this, QPoint(24, 132));

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_mainWindow)
        m_mainWindow->setWindowState(m_mainWindow->windowState() & ~Qt::WindowMinimized);
    QWidget::changeEvent(event);
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(kFrame);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
