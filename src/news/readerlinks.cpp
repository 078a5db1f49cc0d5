#include "news/readerlinks.h"

namespace readerlinks {

namespace {

bool isWeb(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

bool sameHost(const QUrl &a, const QUrl &b)
{
    return a.host().compare(b.host(), Qt::CaseInsensitive) == 0;
}

} // namespace

Route route(const QUrl &target, const QUrl &article, bool userClicked)
{
    if (!target.isValid())
        return Route::Drop;
    if (target.adjusted(QUrl::RemoveFragment) == article.adjusted(QUrl::RemoveFragment))
        return Route::Stay; // an anchor within the article
    if (sameHost(target, article) && isWeb(target)) {
        // A plain-text address on a secure site would let anyone on the way change the page.
        if (article.scheme() == QLatin1String("https") && target.scheme() == QLatin1String("http"))
            return Route::Drop;
        if (target.scheme() == article.scheme() && target.port() == article.port())
            return Route::Stay;
    }
    return userClicked && isWeb(target) ? Route::HandOver : Route::Drop;
}

} // namespace readerlinks
