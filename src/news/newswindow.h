#pragma once

#include "news/articlepage.h"

#include <QPoint>
#include <QUrl>
#include <QWidget>

#include <optional>

class HoverButton;
class QWebEngineProfile;
class QWebEngineView;

// "newsform": the small borderless reader in which one article page is shown. It stays on top,
// is dragged by its title bar, and closes as soon as it loses the focus; it is created for each
// opening and destroyed when it closes. Nothing of it is kept: its browser profile lives and
// dies with it.
class NewsWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit NewsWindow(ArticlePage::ExternalOpener openExternally = openInDefaultBrowser);
    ~NewsWindow() override;
    Q_DISABLE_COPY_MOVE(NewsWindow)

    void navigate(const QUrl &address);
    // Shows the window on top of the others, centred on `centre` (the middle of the window the
    // article was chosen in), or of the screen.
    void showOnTop(std::optional<QPoint> centre = std::nullopt);

    QWebEngineView *browser() const { return m_browser; }

    static void openInDefaultBrowser(const QUrl &address);

Q_SIGNALS:
    // The browser cannot show the page (its process failed): the caller opens it elsewhere.
    void unusable(const QUrl &address);
    // The close button closed the window: the list the article came from takes the focus back.
    void closedByButton();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildTitleBar();
    void closeByButton();

    QWebEngineProfile *m_profile;
    ArticlePage *m_page;
    QWebEngineView *m_browser = nullptr;
    HoverButton *m_closeButton = nullptr;
    QUrl m_address;
    bool m_wasActive = false;
};
