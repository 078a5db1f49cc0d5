#pragma once

#include "documents/articles.h"

// The built-in news feed: articles of our own writing, dated in the hours before `minute` (the
// moment the server starts), newest first.
QList<Article> builtInNews(qint64 minute);
