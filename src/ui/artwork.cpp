#include "ui/artwork.h"

#include <QPainter>
#include <QSvgRenderer>

#include <array>

namespace artwork {

QString groupIcon(int group)
{
    static constexpr std::array<const char *, 5> kIcons{
        ":/ui/group-currencies.svg", ":/ui/group-crypto.svg", ":/ui/group-commodities.svg",
        ":/ui/group-indices.svg", ":/ui/group-stocks.svg"};
    if (group < 0 || group >= static_cast<int>(kIcons.size()))
        return {};
    return QString::fromLatin1(kIcons[group]);
}

QPixmap pixmap(const QString &resource, QSize size, qreal ratio)
{
    QPixmap image(size * ratio);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    image.setDevicePixelRatio(ratio);
    return image;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int side : {16, 20, 24, 32, 40, 48, 64, 128, 256}) {
        const QString source = QString::fromLatin1(side <= 24 ? kAppIconSmall : kAppIcon);
        icon.addPixmap(pixmap(source, QSize(side, side)));
    }
    return icon;
}

} // namespace artwork
