#include "signals/signalalert.h"

#include "app/version.h"
#include "signals/signal.h"
#include "ui/look.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace {

constexpr QSize kPopupSize(250, 66);
constexpr int kMargin = 12;
constexpr int kSpacing = 6;
constexpr int kBandHeight = 22;

} // namespace

AlertPopup::AlertPopup(const QString &text, const QString &option,
                       std::chrono::milliseconds lifetime)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus)
    , m_text(text)
    , m_option(option)
{
    setObjectName(QStringLiteral("signalAlert"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kPopupSize);
    setToolTip(text);
    QTimer::singleShot(lifetime, this, &QWidget::close);
}

void AlertPopup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const QRect band(0, 0, width(), kBandHeight);
    painter.fillRect(band, look::kPanelBlue);

    QFont font = look::arial(9, true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(band.adjusted(8, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QLatin1String(product::kName));
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(band.adjusted(8, 0, -8, 0), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Signal option ") + m_option);

    font.setPointSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(m_text.startsWith(QLatin1String(direction::kSell)) ? look::kSellRed
                                                                      : look::kBuyBlue);
    painter.drawText(rect().adjusted(10, kBandHeight, -10, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     m_text);

    look::drawFrame(painter, rect(), look::kTitleBlue);
}

void AlertPopup::mousePressEvent(QMouseEvent *)
{
    close();
}

SignalAlert::SignalAlert(std::chrono::milliseconds lifetime, QObject *parent)
    : QObject(parent)
    , m_lifetime(lifetime)
{}

SignalAlert::~SignalAlert()
{
    const QList<QPointer<AlertPopup>> open = std::exchange(m_popups, {});
    for (const QPointer<AlertPopup> &popup : open)
        delete popup.data();
}

void SignalAlert::show(const QString &text, const QString &option)
{
    auto *popup = new AlertPopup(text, option, m_lifetime);
    connect(popup, &QObject::destroyed, this, &SignalAlert::restack);
    m_popups.append(popup);
    restack();
    popup->show();
}

QList<AlertPopup *> SignalAlert::popups() const
{
    QList<AlertPopup *> live;
    for (const QPointer<AlertPopup> &popup : m_popups) {
        if (popup)
            live << popup.data();
    }
    return live;
}

// The oldest alert keeps the bottom of the corner and each newer one stands above the one
// before, so the column reads like the signal list.
void SignalAlert::restack()
{
    m_popups.removeIf([](const QPointer<AlertPopup> &popup) { return popup.isNull(); });
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const int step = kPopupSize.height() + kSpacing;
    const int fit = std::max(1, (area.height() - 2 * kMargin + kSpacing) / step);
    while (m_popups.size() > fit)
        m_popups.takeFirst()->close();
    int bottom = area.bottom() - kMargin;
    for (const QPointer<AlertPopup> &popup : std::as_const(m_popups)) {
        popup->move(area.right() - kMargin - popup->width() + 1, bottom - popup->height() + 1);
        bottom -= step;
    }
}
