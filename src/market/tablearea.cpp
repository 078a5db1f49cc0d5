#include "market/tablearea.h"

#include "market/indicatortable.h"
#include "market/markettexts.h"
#include "market/marketview.h"
#include "market/pivotpanel.h"
#include "ui/look.h"
#include "ui/twips.h"

#include <QLabel>

namespace {

constexpr int kLeft = 2880;
constexpr int kTop = 1440;
constexpr int kWidth = 13245;
constexpr int kHeight = 5265;

QWidget *makeDataMissingPanel(QWidget *area, const QString &questionsAddress)
{
    auto *panel = new QWidget(area);
    panel->setObjectName(QStringLiteral("errpic"));
    panel->setGeometry(twips::rect(60, 60, 13125, 5145));
    look::fill(panel, Qt::white);

    constexpr int kTextLeft = 1560;
    constexpr int kTextWidth = 10000;
    QLabel *first =
        look::addLabel(panel, QString(), QString::fromUtf8(markettexts::kDataMissingLine1),
                       twips::rect(kTextLeft, 1650, kTextWidth, 300), look::captionFont(),
                       look::kTextGrey, Qt::AlignHCenter | Qt::AlignTop);
    first->setWordWrap(true);
    look::addLabel(panel, QString(), QString::fromUtf8(markettexts::kDataMissingLine2),
                   twips::rect(kTextLeft, 2070, kTextWidth, 300), look::arial(9.75),
                   look::kTextGrey, Qt::AlignHCenter | Qt::AlignTop);

    // The last line links the questions-and-answers section.
    QLabel *third =
        look::addLabel(panel, QString(), QString(), twips::rect(kTextLeft, 2640, kTextWidth, 600),
                       look::textFont(), look::kInactiveGrey, Qt::AlignHCenter | Qt::AlignTop);
    third->setTextFormat(Qt::RichText);
    third->setWordWrap(true);
    third->setOpenExternalLinks(true);
    third->setText(QString::fromUtf8(markettexts::kDataMissingLine3).toHtmlEscaped() +
                   QStringLiteral("<a href=\"%1\">%2</a>")
                       .arg(questionsAddress.toHtmlEscaped(), questionsAddress.toHtmlEscaped()));
    panel->hide();
    return panel;
}

QWidget *makeRefreshPanel(QWidget *area)
{
    auto *panel = new QWidget(area);
    panel->setObjectName(QStringLiteral("RefreshPivots"));
    // As placed over the window, where the table area's corner is (2880, 1440).
    panel->setGeometry(twips::rect(2910 - kLeft, 1500 - kTop, 13155, 5115));
    look::fill(panel, Qt::white);
    look::addLabel(panel, QStringLiteral("Label18"), QLatin1String(markettexts::kUpdatingLevels),
                   panel->rect(), look::captionFont(), look::kInactiveGrey, Qt::AlignCenter);
    panel->hide();
    return panel;
}

} // namespace

TableArea::TableArea(QWidget *window, MarketView &view, const QString &questionsAddress)
    : QWidget(window)
{
    setObjectName(QStringLiteral("Picture3"));
    setGeometry(twips::rect(kLeft, kTop, kWidth, kHeight));
    look::fill(this, Qt::white);

    new IndicatorTable(this, view);
    new PivotPanel(this, view);
    QWidget *dataMissing = makeDataMissingPanel(this, questionsAddress);
    QWidget *refresh = makeRefreshPanel(this);
    dataMissing->setVisible(view.isDataMissingVisible());
    refresh->setVisible(view.isRefreshPanelVisible());
    connect(&view, &MarketView::dataMissingVisibleChanged, dataMissing, &QWidget::setVisible);
    connect(&view, &MarketView::refreshPanelVisibleChanged, refresh, &QWidget::setVisible);
}
