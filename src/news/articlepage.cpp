#include "news/articlepage.h"

#include <QWebEngineNewWindowRequest>

ArticlePage::ArticlePage(QWebEngineProfile *profile, ExternalOpener openExternally, QObject *parent)
    : QWebEnginePage(profile, parent)
    , m_openExternally(std::move(openExternally))
{
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest &request) {
                if (request.isUserInitiated())
                    m_openExternally(request.requestedUrl());
            });
}

void ArticlePage::showArticle(const QUrl &address)
{
    m_article = address;
    load(address);
}

bool ArticlePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (!isMainFrame)
        return true; // pictures and players embedded in the article
    const bool samePage =
        url.adjusted(QUrl::RemoveFragment) == m_article.adjusted(QUrl::RemoveFragment);
    if (samePage)
        return true;
    if (type == NavigationTypeLinkClicked) {
        m_openExternally(url);
        return false;
    }
    return onArticleSite(url);
}

bool ArticlePage::onArticleSite(const QUrl &url) const
{
    return url.host().compare(m_article.host(), Qt::CaseInsensitive) == 0 &&
           url.port() == m_article.port();
}
