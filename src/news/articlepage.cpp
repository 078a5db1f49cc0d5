#include "news/articlepage.h"

#include "news/readerlinks.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>

ArticlePage::ArticlePage(QWebEngineProfile *profile, ExternalOpener openExternally, QObject *parent)
    : QWebEnginePage(profile, parent)
    , m_openExternally(std::move(openExternally))
{
    // The browser would otherwise hand addresses of schemes it does not know to the desktop.
    settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    // A link that asks for a new window never opens one here: it goes where a link would.
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest &request) {
                const bool clicked = request.isUserInitiated() && takeUserGesture();
                const QUrl url = request.requestedUrl();
                switch (readerlinks::route(url, m_article, clicked)) {
                case readerlinks::Route::Stay:
                    load(url);
                    break;
                case readerlinks::Route::HandOver:
                    m_openExternally(url);
                    break;
                case readerlinks::Route::Drop:
                    break;
                }
            });
}

void ArticlePage::showArticle(const QUrl &address)
{
    m_article = address;
    load(address);
}

void ArticlePage::noteUserGesture()
{
    m_gesture.setRemainingTime(kGestureWindow);
    m_gesturePending = true;
}

bool ArticlePage::takeUserGesture()
{
    const bool pending = m_gesturePending && !m_gesture.hasExpired();
    m_gesturePending = false;
    return pending;
}

bool ArticlePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (!isMainFrame)
        return true; // pictures and players embedded in the article
    // Chromium reports a script's navigation as a link click too; the gesture tells them apart.
    const bool mayBeClick = type == NavigationTypeLinkClicked;
    const readerlinks::Route route = readerlinks::route(url, m_article, mayBeClick);
    if (route == readerlinks::Route::Stay) {
        if (mayBeClick)
            takeUserGesture(); // the click has been followed; the next page gets none of it
        return true;
    }
    if (route == readerlinks::Route::HandOver && takeUserGesture())
        m_openExternally(url);
    return false;
}
