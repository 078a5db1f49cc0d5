#include "ui/splashwindow.h"

#include "ui/artwork.h"
#include "ui/clicklabel.h"
#include "ui/look.h"
#include "ui/productinfo.h"
#include "ui/twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

SplashWindow::SplashWindow(QWidget *mainWindow)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips::size(6645, 3915));
    look::fill(this, Qt::white, Qt::black);

    auto *picture =
        productinfo::makePictureLink(QString::fromLatin1(artwork::kSplash),
                                     productinfo::makerSite(), twips::rect(0, 0, 6645, 1800), this);
    picture->setObjectName(QStringLiteral("splashPicture"));
    productinfo::addLines(this, twips::point(360, 1980));

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
    look::drawFrame(painter, rect(), look::kTitleBlue);
}
