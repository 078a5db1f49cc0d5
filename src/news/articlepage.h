#pragma once

#include <QUrl>
#include <QWebEnginePage>

#include <functional>

// The page of the news window. It shows the article it was given and pages of the same site;
// links the reader follows to other addresses, and links that ask for a new window, open in the
// default browser instead, and nothing else takes the reader away from the article's site.
class ArticlePage final : public QWebEnginePage
{
    Q_OBJECT
public:
    using ExternalOpener = std::function<void(const QUrl &address)>;

    ArticlePage(QWebEngineProfile *profile, ExternalOpener openExternally,
                QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ArticlePage)

    void showArticle(const QUrl &address);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;

private:
    bool onArticleSite(const QUrl &url) const;

    ExternalOpener m_openExternally;
    QUrl m_article;
};
