#include "market/indicatortab.h"

#include "market/markettexts.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QLabel>
#include <QMouseEvent>

namespace {

constexpr int kTop = 690;
constexpr int kWidth = 2115;
constexpr int kActiveHeight = 375;
constexpr int kInactiveHeight = 345;

} // namespace

IndicatorTab::IndicatorTab(QWidget *window, const Names &names, const QString &caption,
                           int leftTwips)
    : QWidget(window)
{
    setObjectName(names.tab);
    setGeometry(twips::rect(leftTwips, kTop, kWidth, kInactiveHeight));
    look::addLabel(this, names.caption, caption, twips::rect(0, 60, kWidth, 240),
                   look::captionFont(), Qt::white, Qt::AlignHCenter | Qt::AlignTop);
    m_help = look::addLabel(this, names.help, QLatin1String(markettexts::kHelpMark),
                            twips::rect(kWidth - 255, 60, 195, 240), look::captionFont(), Qt::white,
                            Qt::AlignHCenter | Qt::AlignTop);
    m_help->setToolTip(QString::fromUtf8(markettexts::kHelpToolTip));
    m_help->setCursor(Qt::PointingHandCursor);
    setActive(false);
}

void IndicatorTab::setActive(bool active)
{
    m_active = active;
    look::fill(this, active ? look::kPanelBlue : look::kInactiveGrey);
    // Only the height changes: the window's layouts decide where the tab stands.
    resize(width(), twips::toPixels(active ? kActiveHeight : kInactiveHeight));
}

void IndicatorTab::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton && childAt(event->position().toPoint()) != m_help;
    event->accept();
}

void IndicatorTab::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        Q_EMIT clicked();
}
