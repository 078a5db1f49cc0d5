#include "documents/articles.h"

#include "documents/calendar.h"
#include "documents/xmldocument.h"
#include "market/minutes.h"

#include <algorithm>

QString articleListText(const QList<Article> &articles)
{
    QString text;
    for (const Article &article : articles)
        text +=
            calendarTime(article.minute) + QLatin1Char(';') + article.headline + QLatin1Char('\n');
    return text;
}

QByteArray articlePage(const Article &article, const QString &section)
{
    QString body;
    for (const QString &paragraph : article.paragraphs)
        body += QStringLiteral("<p>%1</p>\n").arg(xmlEscaped(paragraph));
    const QString page =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE html>\n"
            "<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n"
            "<head>\n"
            "<meta charset=\"UTF-8\"/>\n"
            "<title>%1</title>\n"
            "<style>body{font-family:Arial,Helvetica,sans-serif;margin:16px 20px;color:#222;"
            "line-height:1.45}h1{font-size:20px;margin:0 0 6px}.when{color:#808080;font-size:12px;"
            "margin-bottom:14px}.section{color:#298FCC;font-size:12px;font-weight:bold;"
            "text-transform:uppercase}</style>\n"
            "</head>\n"
            "<body>\n"
            "<div class=\"section\">%2</div>\n"
            "<h1>%1</h1>\n"
            "<div class=\"when\">%3 GMT</div>\n"
            "%4"
            "</body>\n"
            "</html>\n")
            .arg(xmlEscaped(article.headline), xmlEscaped(section), minuteText(article.minute),
                 body);
    return page.toUtf8();
}

void sortNewestFirst(QList<Article> &articles)
{
    std::stable_sort(articles.begin(), articles.end(),
                     [](const Article &a, const Article &b) { return a.minute > b.minute; });
}
