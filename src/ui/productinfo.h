#pragma once

#include <QPoint>
#include <QRect>
#include <QUrl>

class ClickLabel;
class QWidget;

// What the splash and the About window tell about the program: name and version, the maker as
// a link to the maker's site, and two links to the product's site. Links open with the
// desktop's handler for web addresses.
namespace productinfo {

QUrl productSite();
QUrl makerSite();

// A label in link colour with a hand pointer that opens `url` when clicked.
ClickLabel *makeLink(const QString &text, const QUrl &url, QWidget *parent);
// The same link showing one of the program's drawings.
ClickLabel *makePictureLink(const QString &resource, const QUrl &url, const QRect &geometry,
                            QWidget *parent);

// Places the lines at `origin` (pixels, twips::point gives them) in `parent`.
void addLines(QWidget *parent, QPoint origin);

} // namespace productinfo
