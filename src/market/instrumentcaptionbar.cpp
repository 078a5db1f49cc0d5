#include "market/instrumentcaptionbar.h"

#include "market/markettexts.h"
#include "market/svgpicture.h"
#include "market/widgetstyle.h"
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
    Rgb colour;
};

StatusLook lookOf(ConnectionStatus status)
{
    switch (status) {
    case ConnectionStatus::Connecting:
        return {":/market/connecting.svg", markettexts::kConnecting, widgetstyle::kLinkBlue};
    case ConnectionStatus::Online:
        return {":/market/online.svg", markettexts::kOnline, widgetstyle::kLinkBlue};
    case ConnectionStatus::Offline:
        break;
    }
    return {":/market/offline.svg", markettexts::kOffline, widgetstyle::kAlarmRed};
}

} // namespace

InstrumentCaptionBar::InstrumentCaptionBar(QWidget *window, MarketView &view)
    : QWidget(window)
{
    using namespace widgetstyle;
    setObjectName(QStringLiteral("Picture1"));
    setGeometry(twips::rect(kLeft, kTop, kWidth, kHeight));
    setBackground(this, kPanelBlue);
    m_caption = addLabel(this, QStringLiteral("Label1"), view.caption(),
                         twips::rect(120, 75, kWidth - kPlateWidth - 360, 255), arial(9.75, true),
                         rgb::kWhite);

    auto *plate = new QWidget(this);
    plate->setGeometry(twips::rect(kWidth - kPlateWidth - 90, (kHeight - kPlateHeight) / 2,
                                   kPlateWidth, kPlateHeight));
    setBackground(plate, rgb::kWhite);
    m_statusIcon = new SvgPicture(plate);
    m_statusIcon->setObjectName(QStringLiteral("progress"));
    m_statusIcon->setGeometry(twips::rect(90, 22, 240, 240));
    m_statusText = addLabel(plate, QStringLiteral("progress_label"), QString(),
                            twips::rect(405, 22, kPlateWidth - 450, 240), arial(8.25, true),
                            rgb::kBlack, Qt::AlignLeft | Qt::AlignVCenter);
    showStatus(view.status());

    connect(&view, &MarketView::captionChanged, m_caption, &QLabel::setText);
    connect(&view, &MarketView::statusChanged, this, &InstrumentCaptionBar::showStatus);
}

void InstrumentCaptionBar::showStatus(ConnectionStatus status)
{
    const StatusLook look = lookOf(status);
    m_statusIcon->setSource(QLatin1String(look.icon));
    m_statusText->setText(QLatin1String(look.text));
    QPalette palette = m_statusText->palette();
    palette.setColor(QPalette::WindowText, widgetstyle::colour(look.colour));
    m_statusText->setPalette(palette);
}
