#pragma once

#include "news/articlepage.h"

#include <QObject>
#include <QPointer>
#include <QUrl>

class NewsWindow;
class QWidget;

// Opens articles in the news window: a new window for each article, after the one shown before
// has closed; in the default browser when the news window cannot show it.
class ArticleReader final : public QObject
{
    Q_OBJECT
public:
    // `list` is the grid the articles are chosen from; it gets the focus back when the reader
    // is closed by its button. `openExternally` opens an address in the default browser.
    ArticleReader(QWidget *list, ArticlePage::ExternalOpener openExternally,
                  QObject *parent = nullptr);
    ~ArticleReader() override;
    Q_DISABLE_COPY_MOVE(ArticleReader)

    void open(const QUrl &address);

    // The window shown now, if any.
    NewsWindow *window() const;

private:
    QPointer<QWidget> m_list;
    ArticlePage::ExternalOpener m_openExternally;
    QPointer<NewsWindow> m_window;
};
