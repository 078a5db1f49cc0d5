#include "market/pivotpanel.h"

#include "market/marketview.h"
#include "ui/artwork.h"
#include "ui/look.h"
#include "ui/svgpicture.h"
#include "ui/twips.h"

#include <QLabel>
#include <QPainter>

namespace {

using Level = PivotColumnState::Level;

struct ColumnPlace
{
    int left;
    int width;
    int heading; // element of PPtimeframe
    const char *caption;
    int headingLeft;
};

constexpr std::array<ColumnPlace, PivotPanelState::kColumns> kColumnPlaces{{
    {120, 1875, 0, "M5", 960},
    {2280, 1935, 2, "M15", 3150},
    {4350, 1905, 3, "M30", 5220},
    {6420, 1905, 4, "H1", 7290},
    {8520, 1905, 5, "H4", 9390},
    {10650, 1905, 6, "D1", 11520},
}};

constexpr std::array<const char *, PivotColumnState::kLevelCount> kLevelNames{"r3", "r2", "r1", "p",
                                                                              "s1", "s2", "s3"};
constexpr std::array<const char *, PivotColumnState::kLevelCount> kLevelCaptions{
    "R3", "R2", "R1", "P", "S1", "S2", "S3"};

constexpr int kColumnTop = 450;
constexpr int kColumnHeight = 4815;
constexpr int kScaleX = 870;
constexpr int kScaleHeight = 4370;
constexpr int kMarkerLeft = 880;
constexpr int kMarkerWidth = 1170;
constexpr int kMarkerHeight = 225;
// A level's tick runs from 90 twips left of its marker, across the scale, to 110 inside it.
constexpr int kTickStart = -90;
constexpr int kTickEnd = 110;
constexpr int kPriceMarkerLeft = 45;
constexpr int kPriceMarkerWidth = 825;
constexpr int kPriceMarkerHeight = 315;
constexpr qreal kSmallPoints = 6.75;

QString indexed(const char *name, int index)
{
    return QLatin1String(name) + u'_' + QString::number(index);
}

} // namespace

PivotLevelMarker::PivotLevelMarker(QWidget *column, Level level, int columnNumber)
    : QWidget(column)
{
    const char *name = kLevelNames.at(level);
    setObjectName(indexed(name, columnNumber));
    look::fill(this, Qt::white);
    look::addLabel(this, QString(), QLatin1String(kLevelCaptions.at(level)),
                   twips::rect(90, 30, 225, 180), look::arial(kSmallPoints), look::kInactiveGrey,
                   Qt::AlignHCenter);
    const bool pivot = level == Level::P;
    // r3price ... s3price; the pivot's own is pprice.
    m_price = look::addLabel(
        this, QLatin1String(name) + QStringLiteral("price_") + QString::number(columnNumber),
        QString(), twips::rect(360, 30, 585, kMarkerHeight), look::arial(kSmallPoints, pivot),
        pivot ? QColor(Qt::black) : look::kInactiveGrey);
    place(QString(), PivotColumnState::kInitialTops.at(level));
}

void PivotLevelMarker::place(const QString &price, int topTwips)
{
    m_price->setText(price);
    setGeometry(twips::rect(kMarkerLeft, topTwips, kMarkerWidth, kMarkerHeight));
}

void PivotLevelMarker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    look::drawFrame(painter, twips::rect(60, 0, 285, kMarkerHeight), look::kLightGrey);
    // The tick's part inside the marker.
    painter.fillRect(QRect(0, 0, twips::toPixels(kTickEnd) + 1, 1), look::kLightGrey);
}

PivotColumnView::PivotColumnView(QWidget *panel, int column, int leftTwips, int widthTwips)
    : QWidget(panel)
{
    setObjectName(indexed("Picture34", column));
    setGeometry(twips::rect(leftTwips, kColumnTop, widthTwips, kColumnHeight));
    look::fill(this, Qt::white);

    auto *scale = new QWidget(this);
    scale->setObjectName(indexed("Line2", column));
    scale->setGeometry(QRect(twips::point(kScaleX, 0), QSize(1, twips::toPixels(kScaleHeight))));
    look::fill(scale, look::kLightGrey);

    for (int level = 0; level < PivotColumnState::kLevelCount; ++level)
        m_markers.at(level) = new PivotLevelMarker(this, static_cast<Level>(level), column);

    m_priceMarker = new SvgPicture(this);
    m_priceMarker->setObjectName(indexed("price", column));
    m_priceMarker->setSource(QLatin1String(artwork::kPriceMarker));
    m_priceCaption = look::addLabel(m_priceMarker, indexed("pricecaption", column), QString(),
                                    twips::rect(0, 60, 675, 225), look::arial(kSmallPoints),
                                    Qt::white, Qt::AlignHCenter | Qt::AlignTop);
    showState(PivotColumnState());
}

void PivotColumnView::showState(const PivotColumnState &state)
{
    for (int level = 0; level < PivotColumnState::kLevelCount; ++level)
        m_markers.at(level)->place(state.levelTexts.at(level), state.levelTops.at(level));
    m_priceCaption->setText(state.priceCaption);
    m_priceMarker->setGeometry(
        twips::rect(kPriceMarkerLeft, state.priceTop, kPriceMarkerWidth, kPriceMarkerHeight));
    update(); // the ticks' parts left of the markers move with them
}

void PivotColumnView::paintEvent(QPaintEvent *)
{
    // The marker draws its own part of the tick; the part that crosses the scale lies outside it.
    QPainter painter(this);
    const int start = twips::toPixels(kMarkerLeft + kTickStart);
    for (const PivotLevelMarker *marker : m_markers)
        painter.fillRect(QRect(start, marker->y(), marker->x() - start + 1, 1), look::kLightGrey);
}

PivotPanel::PivotPanel(QWidget *tableArea, MarketView &view)
    : QWidget(tableArea)
    , m_view(view)
{
    setObjectName(QStringLiteral("pivotpic"));
    setGeometry(twips::rect(60, 60, 13125, 5145));
    look::fill(this, Qt::white);
    for (int column = 1; column <= PivotPanelState::kColumns; ++column) {
        const ColumnPlace &place = kColumnPlaces.at(column - 1);
        look::addLabel(this, indexed("PPtimeframe", place.heading), QLatin1String(place.caption),
                       twips::rect(place.headingLeft, 60, 585, 225), look::captionFont(), Qt::black,
                       Qt::AlignHCenter | Qt::AlignTop);
        m_columns.at(column - 1) = new PivotColumnView(this, column, place.left, place.width);
    }
    showLevels();
    setVisible(view.isPivotPanelVisible());

    connect(&view, &MarketView::pivotsChanged, this, &PivotPanel::showLevels);
    connect(&view, &MarketView::pivotPanelVisibleChanged, this, &QWidget::setVisible);
}

void PivotPanel::showLevels()
{
    for (int column = 1; column <= PivotPanelState::kColumns; ++column)
        m_columns.at(column - 1)->showState(m_view.pivots().column(column));
}
