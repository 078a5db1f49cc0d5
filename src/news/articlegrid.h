#pragma once

#include "news/articlelist.h"

#include <QTableWidget>

// "nrgrid": the headlines of the news feed or the market reviews, each with a "Read more >>>"
// link. A click opens the article only over the link column; a double-click anywhere on a row
// opens it too.
class ArticleGrid final : public QTableWidget
{
    Q_OBJECT
public:
    static constexpr int kLinkColumn = 2;

    explicit ArticleGrid(QWidget *parent);
    Q_DISABLE_COPY_MOVE(ArticleGrid)

    void showRows(const QList<articlelist::Row> &rows);

    // Whether the pointer is over the link column: only then does a click open the article.
    bool pointerOverLink() const { return m_overLink; }

Q_SIGNALS:
    // The user asked for the article with this number in the shown list.
    void articleRequested(int number);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void trackPointer(const QPoint &viewportPosition);
    void requestArticle(int row);

    bool m_overLink = false;
};
