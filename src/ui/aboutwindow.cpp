#include "ui/aboutwindow.h"

#include "ui/artwork.h"
#include "ui/clicklabel.h"
#include "ui/dragbar.h"
#include "ui/hoverbutton.h"
#include "ui/look.h"
#include "ui/productinfo.h"
#include "ui/twips.h"

#include <QEvent>
#include <QPainter>

namespace {

constexpr int kWidth = 6645;
constexpr int kTitleHeight = 555;

} // namespace

AboutWindow::AboutWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("О программе"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips::size(kWidth, kTitleHeight + 2700));
    look::fill(this, Qt::white, Qt::black);

    auto *titleBar = new DragBar(this);
    titleBar->setObjectName(QStringLiteral("aboutTitleBar"));
    titleBar->setGeometry(twips::rect(0, 0, kWidth, kTitleHeight));
    look::fill(titleBar, look::kTitleBlue, Qt::white);

    auto *title = new QLabel(windowTitle(), titleBar);
    title->setObjectName(QStringLiteral("aboutTitle"));
    title->setFont(look::textFont());
    title->move(twips::point(150, 135));
    title->adjustSize();
    title->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto *close = new HoverButton(artwork::kCloseButton, titleBar);
    close->setObjectName(QStringLiteral("aboutClose"));
    close->setToolTip(QStringLiteral("Закрыть"));
    close->setGeometry(twips::rect(kWidth - 315 - 120, 60, 315, 345));
    connect(close, &HoverButton::clicked, this, &QWidget::close);

    auto *logo = productinfo::makePictureLink(
        QString::fromLatin1(artwork::kAppIcon), productinfo::makerSite(),
        twips::rect(360, kTitleHeight + 420, 1440, 1440), this);
    logo->setObjectName(QStringLiteral("aboutLogo"));
    productinfo::addLines(this, twips::point(2160, kTitleHeight + 420));
}

void AboutWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
        close();
}

void AboutWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    look::drawFrame(painter, rect(), look::kTitleBlue);
}
