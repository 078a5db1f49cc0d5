#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// An article of the news feed or the market review: the list document shows its time and
// headline, its page the whole text.
struct Article
{
    qint64 minute = 0; // published, GMT
    QString headline;
    QStringList paragraphs;
};

// The list document's text: one line "May, 14 09:30;headline" per article, in the given order,
// each ended by LF; article n (from 1) is line n and has the page n.html.
QString articleListText(const QList<Article> &articles);

// A readable page of the article, XHTML so that any XML reader takes it as well as a browser.
// `section` names the list ("News feed", "Market review").
QByteArray articlePage(const Article &article, const QString &section);

// Newest first; articles of the same minute keep their order.
void sortNewestFirst(QList<Article> &articles);
