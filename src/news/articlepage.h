#pragma once

#include <QDeadlineTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <chrono>
#include <functional>

// The page of the news window. It shows the article it was given and the rest of the article's
// site, as a plain browser would; an address off the site that the user clicked opens in the
// default browser, and nothing else leaves the reader (see readerlinks).
class ArticlePage final : public QWebEnginePage
{
    Q_OBJECT
public:
    using ExternalOpener = std::function<void(const QUrl &address)>;

    // How long after the user's click a navigation still counts as the one the click asked for.
    static constexpr std::chrono::milliseconds kGestureWindow{1000};

    ArticlePage(QWebEngineProfile *profile, ExternalOpener openExternally,
                QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ArticlePage)

    void showArticle(const QUrl &address);

    // The user clicked, or pressed Enter or Space, in the page. One address may then be handed
    // to the default browser; a page's own script cannot make such a gesture.
    void noteUserGesture();

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    // Whether a gesture is pending; a hand-over uses it up.
    bool takeUserGesture();

    ExternalOpener m_openExternally;
    QUrl m_article;
    QDeadlineTimer m_gesture{QDeadlineTimer::Forever};
    bool m_gesturePending = false;
};
