#include "news/articlelist.h"

#include "news/newsdate.h"

#include <QStringList>

namespace articlelist {

namespace {

constexpr char kNewsFolder[] = "signals/news_eng/";
constexpr char kReviewsFolder[] = "signals/reviews_eng/";

} // namespace

QList<Row> parse(const QString &text, const QDateTime &now, const QLocale &locale)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    lines.removeLast(); // not ended by a line feed
    QList<Row> rows;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QStringList fields = lines.at(index).split(QLatin1Char(';'));
        if (fields.size() < 2)
            continue;
        const std::optional<QDateTime> published = newsdate::parse(fields.at(0), now);
        if (!published)
            continue;
        rows << Row{newsdate::format(*published, locale), fields.at(1), int(index) + 1};
    }
    return rows;
}

QUrl articleUrl(const QString &siteAddress, Kind kind, int number)
{
    const char *folder = kind == Kind::News ? kNewsFolder : kReviewsFolder;
    return QUrl(siteAddress + QLatin1String(folder) + QString::number(number) +
                QStringLiteral(".html"));
}

} // namespace articlelist
