#pragma once

#include "documents/articles.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Articles of our own, from a folder with the subfolders "news" and "reviews" (either may be
// missing: its list is then empty). Each article is a UTF-8 text file *.txt: the first line is
// its publication time in GMT ("2024-05-14 09:30"), the second its headline (no ";"), then after
// a blank line its paragraphs, separated by blank lines.
struct ArticleFolder
{
    QList<Article> news;
    QList<Article> reviews;
    QString error; // empty when every file was read; otherwise the first fault, file and line
};

ArticleFolder readArticleFolder(const QString &folder);

// One article file's content; on failure returns nothing and sets `error`, naming the file
// (`path`) and the line.
std::optional<Article> parseArticle(const QString &path, const QByteArray &content, QString *error);
