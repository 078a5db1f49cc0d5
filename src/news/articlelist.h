#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QUrl>

// The site's news feed and market reviews: headline lists from the server and the article
// pages they lead to.
namespace articlelist {

enum class Kind
{
    News,
    Reviews,
};

struct Row
{
    QString when; // publication date and time, "12 Jan 10:00", as published (no zone shift)
    QString headline;
    int number = 0; // the article's page: the line's position in the list, counted from 1
};

// One row per line ended by a line feed; the piece after the last line feed is not an item.
// Lines with fewer than two fields or without a valid date are left out, and the rows after
// them keep their own article numbers.
QList<Row> parse(const QString &text, const QDateTime &now, const QLocale &locale);

// The article's page on the product site: site + "signals/news_eng/" or
// "signals/reviews_eng/" + number + ".html".
QUrl articleUrl(const QString &siteAddress, Kind kind, int number);

} // namespace articlelist
