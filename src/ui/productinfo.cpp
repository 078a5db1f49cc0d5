#include "ui/productinfo.h"

#include "app/version.h"
#include "ui/clicklabel.h"
#include "ui/look.h"
#include "ui/svgpicture.h"
#include "ui/twips.h"

#include <QDesktopServices>

namespace productinfo {

QUrl productSite()
{
    return QUrl(QLatin1String(product::kSiteAddress));
}

QUrl makerSite()
{
    return QUrl(QLatin1String(product::kMakerAddress));
}

ClickLabel *makeLink(const QString &text, const QUrl &url, QWidget *parent)
{
    auto *link = new ClickLabel(text, parent);
    link->setLinkColor(look::kTitleBlue);
    link->setToolTip(url.toString());
    QObject::connect(link, &ClickLabel::clicked, link, [url] { QDesktopServices::openUrl(url); });
    return link;
}

ClickLabel *makePictureLink(const QString &resource, const QUrl &url, const QRect &geometry,
                            QWidget *parent)
{
    ClickLabel *link = makeLink(QString(), url, parent);
    link->setGeometry(geometry);
    auto *picture = new SvgPicture(link);
    picture->setGeometry(link->rect());
    picture->setSource(resource);
    picture->setAttribute(Qt::WA_TransparentForMouseEvents); // the link takes the click
    return link;
}

void addLines(QWidget *parent, QPoint origin)
{
    const QString version = QLatin1String(product::kVersion);
    auto *name = new QLabel(QLatin1String(product::kName) + QLatin1Char(' ') + version, parent);
    name->setObjectName(QStringLiteral("productName"));
    name->setFont(look::arial(12, true));
    name->move(origin);
    name->adjustSize();

    auto *versionLine = new QLabel(QStringLiteral("Version ") + version, parent);
    versionLine->setObjectName(QStringLiteral("versionLine"));
    versionLine->setFont(look::textFont());
    versionLine->move(origin + twips::point(0, 420));
    versionLine->adjustSize();

    auto *maker = makeLink(QLatin1String(product::kMaker), makerSite(), parent);
    maker->setObjectName(QStringLiteral("makerLink"));
    maker->setFont(look::textFont());
    maker->move(origin + twips::point(0, 720));
    maker->adjustSize();

    const QUrl site = productSite();
    // The address as a person types it, with and without "www.".
    const QStringList shown{site.host(), QStringLiteral("www.") + site.host()};
    for (int i = 0; i < shown.size(); ++i) {
        auto *address = makeLink(shown[i], site, parent);
        address->setObjectName(QStringLiteral("siteLink%1").arg(i + 1));
        address->setFont(look::textFont());
        address->move(origin + twips::point(0, 1170 + 270 * i));
        address->adjustSize();
    }
}

} // namespace productinfo
