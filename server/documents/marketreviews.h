#pragma once

#include "documents/articles.h"

class Market;

// Market reviews written from the market itself: for a few of the most followed instruments,
// the daily and four-hour verdicts, the daily pivot levels and what they mean for the next
// moves, dated `minute`, newest first. Instruments without enough daily history are left out.
QList<Article> marketReviews(const Market &market, qint64 minute);
