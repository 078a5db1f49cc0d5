#include "news/newstab.h"

#include "news/newstexts.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QFontMetrics>
#include <QMouseEvent>

namespace {

constexpr int kTopTwips = 6900;
constexpr int kActiveHeightTwips = 375;
constexpr int kInactiveHeightTwips = 345;
constexpr int kCaptionLeftTwips = 120;
constexpr int kHelpGapTwips = 90;

QLabel *whiteLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(look::captionFont());
    look::setTextColor(label, Qt::white);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

} // namespace

NewsTab::NewsTab(const Names &names, const QString &caption, int leftTwips, int widthTwips,
                 QWidget *window)
    : QWidget(window)
    , m_caption(whiteLabel(names.caption, caption, this))
    , m_help(whiteLabel(names.help, QString::fromUtf8(newstexts::kHelpCaption), this))
{
    setObjectName(QLatin1String(names.strip));
    setGeometry(twips::rect(leftTwips, kTopTwips, widthTwips, kInactiveHeightTwips));

    const int height = twips::toPixels(kInactiveHeightTwips);
    const int left = twips::toPixels(kCaptionLeftTwips);
    const QFontMetrics metrics(m_caption->font());
    const int captionWidth = metrics.horizontalAdvance(caption) + 2;
    m_caption->setGeometry(left, 0, captionWidth, height);
    const int helpLeft = left + captionWidth + twips::toPixels(kHelpGapTwips);
    m_help->setGeometry(helpLeft, 0, metrics.horizontalAdvance(m_help->text()) + 4, height);
    m_help->setToolTip(QString::fromUtf8(newstexts::kHelpToolTip));
    m_help->setAttribute(Qt::WA_NoMousePropagation); // "?" opens its tip, not the tab
    setActive(false);
}

void NewsTab::setActive(bool active)
{
    m_active = active;
    look::fill(this, active ? look::kPanelBlue : look::kInactiveGrey);
    resize(width(), twips::toPixels(active ? kActiveHeightTwips : kInactiveHeightTwips));
}

void NewsTab::mousePressEvent(QMouseEvent *event)
{
    event->accept(); // the release comes here, where the click is decided
}

void NewsTab::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT chosen();
}
