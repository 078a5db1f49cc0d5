#pragma once

#include <QString>

// The forex week: open from Sunday 22:00 GMT to Friday 22:00 GMT. Every instrument but the
// cryptocurrencies trades only then.
bool forexOpen(qint64 minute);

// The trading flag document's text: "yes" or "no" first, then a word for people.
QString tradingFlagText(qint64 minute);

// 0 Monday .. 6 Sunday, in GMT.
int weekdayOf(qint64 minute);
