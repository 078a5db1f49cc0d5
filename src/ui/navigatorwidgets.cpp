#include "ui/navigatorwidgets.h"

#include "app/catalogue.h"
#include "ui/artwork.h"
#include "ui/clicklabel.h"
#include "ui/glyphlabel.h"
#include "ui/look.h"
#include "ui/svgpicture.h"
#include "ui/twips.h"

#include <QKeyEvent>
#include <QPainter>

#include <optional>

namespace {

std::optional<navigatorrules::Key> navigatorKey(int key)
{
    switch (key) {
    case Qt::Key_Space:
        return navigatorrules::Key::Space;
    case Qt::Key_PageUp:
        return navigatorrules::Key::PageUp;
    case Qt::Key_PageDown:
        return navigatorrules::Key::PageDown;
    case Qt::Key_Up:
        return navigatorrules::Key::Up;
    case Qt::Key_Down:
        return navigatorrules::Key::Down;
    default:
        return std::nullopt;
    }
}

} // namespace

EnableSquare::EnableSquare(QWidget *parent)
    : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void EnableSquare::setOn(bool on)
{
    m_on = on;
    update();
}

QColor EnableSquare::color() const
{
    return m_on ? look::kEnabledGreen : QColor(Qt::white);
}

void EnableSquare::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), color());
    look::drawFrame(painter, rect(), m_on ? look::kEnabledGreen.darker(125) : look::kSquareBorder);
}

void EnableSquare::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void EnableSquare::mouseReleaseEvent(QMouseEvent *event)
{
    if (isClickRelease(event, this))
        Q_EMIT clicked();
}

NavigatorRow::NavigatorRow(int index, QWidget *parent)
    : QWidget(parent)
    , m_index(index)
    , m_bar(new QWidget(this))
    , m_square(new EnableSquare(this))
    , m_title(new QLabel(this))
{
    const QString n = QString::number(index);
    setObjectName(QStringLiteral("el_") + n);
    m_bar->setObjectName(QStringLiteral("el_sel_") + n);
    m_square->setObjectName(QStringLiteral("el_toggle_") + n);
    m_title->setObjectName(QStringLiteral("el_title_") + n);

    setGeometry(twips::rect(0, 0, 2625, navigatorrules::kRowHeight));
    setFocusPolicy(Qt::ClickFocus);
    look::fill(this, Qt::white);
    m_bar->setGeometry(twips::rect(0, 0, 45, 405));
    look::fill(m_bar, look::kAccentOrange);
    m_bar->hide();
    m_square->setGeometry(twips::rect(480, 45, 180, 180));
    m_title->move(twips::point(750, 30));
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_title->setFont(look::textFont());
    look::setTextColor(m_title, Qt::black);
}

void NavigatorRow::setCaption(const QString &caption)
{
    m_title->setText(caption);
    m_title->adjustSize();
    m_title->resize(m_title->width(), twips::toPixels(210));
}

void NavigatorRow::setHighlighted(bool highlighted)
{
    look::fill(this, highlighted ? look::kPanelBlue : QColor(Qt::white));
    look::setTextColor(m_title, highlighted ? Qt::white : Qt::black);
    QFont font = m_title->font();
    font.setBold(highlighted);
    m_title->setFont(font);
    m_title->adjustSize();
    m_title->resize(m_title->width(), twips::toPixels(210));
    m_bar->setVisible(highlighted);
}

void NavigatorRow::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void NavigatorRow::mouseReleaseEvent(QMouseEvent *event)
{
    if (isClickRelease(event, this))
        Q_EMIT clicked(m_index);
}

void NavigatorRow::keyPressEvent(QKeyEvent *event)
{
    const std::optional<navigatorrules::Key> key = navigatorKey(event->key());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    Q_EMIT keyMove(*key);
}

GroupHeader::GroupHeader(int group, QWidget *parent)
    : QWidget(parent)
    , m_group(group)
    , m_marker(new GlyphLabel(QStringLiteral("4"), this))
{
    const QString n = QString::number(group);
    setObjectName(QStringLiteral("gr_header_") + n);
    const bool last = group == catalogue::kGroupCount - 1;
    setGeometry(twips::rect(
        0, 0, 2655, last ? navigatorrules::kLastHeaderHeight : navigatorrules::kHeaderHeight));
    look::fill(this, Qt::white);
    setCursor(Qt::PointingHandCursor);

    auto *icon = new SvgPicture(this);
    icon->setObjectName(QStringLiteral("gr_icon_") + n);
    icon->setGeometry(twips::rect(120, 90, 240, 240));
    icon->setSource(artwork::groupIcon(group));
    icon->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto *title = new QLabel(catalogue::groupTitle(group), this);
    title->setObjectName(QStringLiteral("gr_title_") + n);
    const QFont font = look::captionFont();
    title->setFont(font);
    title->move(twips::point(480, 90));
    title->adjustSize();
    title->setAttribute(Qt::WA_TransparentForMouseEvents);
    look::setTextColor(title, Qt::black);

    m_marker->setObjectName(QStringLiteral("gr_slide_") + n);
    m_marker->setFont(font);
    m_marker->setGeometry(twips::rect(2250, 60, 195, 225));
    m_marker->setGlyphSize(twips::toPixels(135));
    // Level with the title, as the symbol font's triangle stood on the title's line.
    m_marker->setGlyphMiddle(title->geometry().center().y() - m_marker->y());
    look::setTextColor(m_marker, Qt::black);
    m_marker->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void GroupHeader::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, height() - 1, width(), 1), look::kHeaderRule);
}

void GroupHeader::mousePressEvent(QMouseEvent *event)
{
    event->setAccepted(event->button() == Qt::LeftButton);
}

void GroupHeader::mouseReleaseEvent(QMouseEvent *event)
{
    if (isClickRelease(event, this))
        Q_EMIT clicked(m_group);
}
