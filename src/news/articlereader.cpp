#include "news/articlereader.h"

#include "news/browsersandbox.h"
#include "news/newswindow.h"

ArticleReader::ArticleReader(QWidget *list, ArticlePage::ExternalOpener openExternally,
                             QObject *parent)
    : QObject(parent)
    , m_list(list)
    , m_openExternally(std::move(openExternally))
{}

ArticleReader::~ArticleReader()
{
    delete m_window; // not a child of anything: it goes with the panel that opened it
}

NewsWindow *ArticleReader::window() const
{
    return m_window;
}

void ArticleReader::open(const QUrl &address)
{
    if (m_window) {
        // Normally gone already: it closed when the click in the main window took the focus.
        m_window->close();
        delete m_window;
    }
    if (!browsersandbox::canStart()) {
        m_openExternally(address);
        return;
    }
    m_window = new NewsWindow(m_list, m_openExternally);
    connect(m_window, &NewsWindow::unusable, this,
            [this](const QUrl &article) { m_openExternally(article); });
    m_window->navigate(address);
    m_window->showOnTop(m_list);
}
