#pragma once

#include "documents/articles.h"

class MarketData;

// Market reviews written from the market itself: for a few of the most followed instruments,
// the daily and four-hour verdicts, the daily pivot levels and what they mean for the next
// moves, dated `minute`, newest first. Instruments without enough daily history are left out.
QList<Article> marketReviews(const MarketData &market, qint64 minute);
