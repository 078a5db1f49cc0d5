#include "ui/tabstrip.h"

#include "ui/clicklabel.h"
#include "ui/helplabel.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>

namespace {

constexpr int kActiveHeight = 375;
constexpr int kInactiveHeight = 345;

// Centred captions: a line 240 twips high, 60 below the strip's top; "?" 195 wide, 60 in from
// the right end.
constexpr int kCentredTop = 60;
constexpr int kCentredHeight = 240;
constexpr int kCentredHelpWidth = 195;
constexpr int kCentredHelpInset = 60;

// Leading captions: 120 twips in from the left, "?" 90 twips after the caption, both centred
// on the inactive strip's height.
constexpr int kLeadingLeft = 120;
constexpr int kLeadingHelpGap = 90;

} // namespace

TabStrip::TabStrip(const Design &design, QWidget *window)
    : QWidget(window)
{
    setObjectName(QLatin1String(design.strip));
    setGeometry(twips::rect(design.left, design.top, design.width, kInactiveHeight));

    const bool centred = design.place == CaptionPlace::Centred;
    const Qt::Alignment alignment =
        centred ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter;
    const QString text = QString::fromUtf8(design.text);
    QLabel *caption = look::addLabel(this, QLatin1String(design.caption), text, QRect(),
                                     look::captionFont(), Qt::white, alignment);
    // Made after the caption, so that it lies above a caption as wide as the strip.
    m_help = makeHelpLabel(design.helpLabel, this);
    m_help->setAlignment(alignment);

    if (centred) {
        caption->setGeometry(twips::rect(0, kCentredTop, design.width, kCentredHeight));
        m_help->setGeometry(twips::rect(design.width - kCentredHelpWidth - kCentredHelpInset,
                                        kCentredTop, kCentredHelpWidth, kCentredHeight));
    } else {
        const int height = twips::toPixels(kInactiveHeight);
        const int left = twips::toPixels(kLeadingLeft);
        const QFontMetrics metrics(caption->font());
        const int captionWidth = metrics.horizontalAdvance(text) + 2;
        caption->setGeometry(left, 0, captionWidth, height);
        const int helpLeft = left + captionWidth + twips::toPixels(kLeadingHelpGap);
        m_help->setGeometry(
            helpLeft, 0, metrics.horizontalAdvance(m_help->text()) + twips::toPixels(60), height);
    }
    setActive(false);
}

void TabStrip::setActive(bool active)
{
    m_active = active;
    look::fill(this, active ? look::kPanelBlue : look::kInactiveGrey);
    // Only the height changes: the window's layouts decide where the tab stands.
    resize(width(), twips::toPixels(active ? kActiveHeight : kInactiveHeight));
}

void TabStrip::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton && childAt(event->position().toPoint()) != m_help;
    event->accept();
}

void TabStrip::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && isClickRelease(event, this);
    m_pressed = false;
    if (click)
        Q_EMIT clicked();
}
