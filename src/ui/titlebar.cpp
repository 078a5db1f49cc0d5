#include "ui/titlebar.h"

#include "ui/artwork.h"
#include "ui/clicklabel.h"
#include "ui/hoverbutton.h"
#include "ui/look.h"
#include "ui/svgpicture.h"
#include "ui/twips.h"

namespace {

ClickLabel *makeLink(const QString &text, const QString &name, QRect geometry, QWidget *parent)
{
    auto *link = new ClickLabel(text, parent);
    link->setObjectName(name);
    link->setFont(look::arial(9));
    link->setLinkColor(Qt::white);
    link->setHoverColor(look::kHoverOrange);
    link->setGeometry(geometry);
    return link;
}

HoverButton *makeButton(artwork::ButtonImages images, const QString &name, const QString &tip,
                        QRect geometry, QWidget *parent)
{
    auto *button = new HoverButton(images, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setGeometry(geometry);
    return button;
}

} // namespace

TitleBar::TitleBar(QWidget *parent)
    : DragBar(parent)
{
    setObjectName(QStringLiteral("Picture9"));
    setGeometry(twips::rect(0, 0, 16245, 555));
    look::fill(this, look::kTitleBlue, Qt::white);

    auto *logo = new SvgPicture(this);
    logo->setObjectName(QStringLiteral("Picture26"));
    logo->setGeometry(twips::rect(90, 60, 2205, 405));
    logo->setSource(QString::fromLatin1(artwork::kLogo));
    // Presses and double-clicks on the logo move the window and switch the layout as the bar does.
    logo->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto *hotSpot = new ClickLabel(QString(), this);
    hotSpot->setObjectName(QStringLiteral("Label4"));
    hotSpot->setGeometry(twips::rect(0, 0, 465, 405));
    connect(hotSpot, &ClickLabel::clicked, this, [this] { Q_EMIT optionsRequested(true); });

    m_aboutLink = makeLink(QStringLiteral("About"), QStringLiteral("Label29"),
                           twips::rect(13320, 210, 495, 225), this);
    m_optionsLink = makeLink(QStringLiteral("Options"), QStringLiteral("Label19"),
                             twips::rect(13950, 210, 615, 225), this);
    connect(m_aboutLink, &ClickLabel::clicked, this, [this] {
        m_aboutLink->showNormal();
        Q_EMIT aboutRequested(true);
    });
    connect(m_optionsLink, &ClickLabel::clicked, this, [this] {
        m_optionsLink->showNormal();
        Q_EMIT optionsRequested(false);
    });

    auto *about = makeButton(artwork::kAboutButton, QStringLiteral("Picture19"), QString(),
                             twips::rect(14640, 90, 375, 375), this);
    m_minimise = makeButton(artwork::kMinimiseButton, QStringLiteral("Picture20"),
                            QStringLiteral("Свернуть"), twips::rect(15000, 90, 345, 345), this);
    m_compact = makeButton(artwork::kCompactButton, QStringLiteral("Picture23"),
                           QStringLiteral("Вкл/выкл компактный режим"),
                           twips::rect(15420, 90, 345, 345), this);
    auto *close = makeButton(artwork::kCloseButton, QStringLiteral("Picture21"),
                             QStringLiteral("Закрыть"), twips::rect(15780, 60, 315, 345), this);
    connect(about, &HoverButton::clicked, this, [this] { Q_EMIT aboutRequested(false); });
    connect(m_minimise, &HoverButton::clicked, this, [this] {
        Q_EMIT minimiseRequested();
        m_minimise->showNormal();
    });
    connect(m_compact, &HoverButton::clicked, this, &TitleBar::compactRequested);
    connect(close, &HoverButton::clicked, this, &TitleBar::closeRequested);
    connect(this, &DragBar::doubleClicked, this, &TitleBar::compactRequested);
}
