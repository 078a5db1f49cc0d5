#include "documents/articlefolder.h"

#include "market/csvfields.h"
#include "market/minutes.h"

#include <QDir>

namespace {

std::optional<Article> readArticle(const QString &path, QString *error)
{
    const std::optional<QByteArray> content = readInputFile(path, error);
    return content ? parseArticle(path, *content, error) : std::nullopt;
}

QList<Article> readSection(const QDir &dir, const QString &name, QString *error)
{
    QList<Article> articles;
    if (!dir.exists(name))
        return articles;
    const QDir section(dir.filePath(name));
    for (const QFileInfo &entry :
         section.entryInfoList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        std::optional<Article> article = readArticle(entry.filePath(), error);
        if (!article)
            return {};
        articles << *article;
    }
    sortNewestFirst(articles);
    return articles;
}

} // namespace

ArticleFolder readArticleFolder(const QString &folder)
{
    ArticleFolder result;
    const QDir dir(folder);
    if (!dir.exists()) {
        result.error = QStringLiteral("%1: no such folder").arg(QDir::toNativeSeparators(folder));
        return result;
    }
    result.news = readSection(dir, QStringLiteral("news"), &result.error);
    if (result.error.isEmpty())
        result.reviews = readSection(dir, QStringLiteral("reviews"), &result.error);
    return result;
}

std::optional<Article> parseArticle(const QString &path, const QByteArray &content, QString *error)
{
    const QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'));
    const auto line = [&lines](int index) {
        return index < lines.size() ? lines[index].trimmed() : QString();
    };
    Article article;
    const std::optional<qint64> minute = parseGmtMinute(line(0));
    if (!minute) {
        *error =
            fileLineError(path, 1,
                          QStringLiteral("the first line must be the publication time, such as "
                                         "2024-05-14 09:30"));
        return std::nullopt;
    }
    article.minute = *minute;
    article.headline = line(1);
    if (article.headline.isEmpty() || article.headline.contains(QLatin1Char(';'))) {
        *error = fileLineError(
            path, 2, QStringLiteral("the second line must be the headline, without \";\""));
        return std::nullopt;
    }
    QString paragraph;
    for (int index = 2; index <= lines.size(); ++index) {
        const QString text = line(index);
        if (text.isEmpty()) {
            if (!paragraph.isEmpty())
                article.paragraphs << paragraph;
            paragraph.clear();
        } else {
            paragraph += (paragraph.isEmpty() ? QString() : QStringLiteral(" ")) + text;
        }
    }
    return article;
}
