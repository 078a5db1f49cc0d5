#include "market/instrumentcaptionbar.h"

#include "market/markettexts.h"
#include "ui/artwork.h"
#include "ui/look.h"
#include "ui/svgpicture.h"
#include "ui/twips.h"

#include <QLabel>

namespace {

constexpr int kLeft = 2880;
constexpr int kTop = 1050;
constexpr int kWidth = 13245;
constexpr int kHeight = 405;

// The status sits on a small white plate at the right end, where its blue and red read well.
constexpr int kPlateWidth = 1500;
constexpr int kPlateHeight = 285;

struct StatusLook
{
    const char *icon;
    const char *text;
    QColor colour;
};

StatusLook lookOf(ConnectionStatus status)
{
    switch (status) {
    case ConnectionStatus::Connecting:
        return {artwork::kConnecting, markettexts::kConnecting, look::kTitleBlue};
    case ConnectionStatus::Online:
        return {artwork::kOnline, markettexts::kOnline, look::kTitleBlue};
    case ConnectionStatus::Offline:
        break;
    }
    return {artwork::kOffline, markettexts::kOffline, look::kAlarmRed};
}

} // namespace

InstrumentCaptionBar::InstrumentCaptionBar(QWidget *window, MarketView &view)
    : QWidget(window)
{
    setObjectName(QStringLiteral("Picture1"));
    setGeometry(twips::rect(kLeft, kTop, kWidth, kHeight));
    look::fill(this, look::kPanelBlue);
    m_caption = look::addLabel(this, QStringLiteral("Label1"), view.caption(),
                               twips::rect(120, 75, kWidth - kPlateWidth - 360, 255),
                               look::captionFont(), Qt::white);

    auto *plate = new QWidget(this);
    plate->setGeometry(twips::rect(kWidth - kPlateWidth - 90, (kHeight - kPlateHeight) / 2,
                                   kPlateWidth, kPlateHeight));
    look::fill(plate, Qt::white);
    m_statusIcon = new SvgPicture(plate);
    m_statusIcon->setObjectName(QStringLiteral("progress"));
    m_statusIcon->setGeometry(twips::rect(90, 22, 240, 240));
    m_statusText =
        look::addLabel(plate, QStringLiteral("progress_label"), QString(),
                       twips::rect(405, 22, kPlateWidth - 450, 240), look::arial(8.25, true),
                       Qt::black, Qt::AlignLeft | Qt::AlignVCenter);
    showStatus(view.status());

    connect(&view, &MarketView::captionChanged, m_caption, &QLabel::setText);
    connect(&view, &MarketView::statusChanged, this, &InstrumentCaptionBar::showStatus);
}

void InstrumentCaptionBar::showStatus(ConnectionStatus status)
{
    const StatusLook shown = lookOf(status);
    m_statusIcon->setSource(QLatin1String(shown.icon));
    m_statusText->setText(QLatin1String(shown.text));
    look::setTextColor(m_statusText, shown.colour);
}
