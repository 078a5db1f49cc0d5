#pragma once

#include "documents/calendar.h"

// The built-in calendar: a realistic week of economic releases, the regular ones every week and
// the monthly ones in the week of the month they usually fall in, at their local release times
// turned into GMT (summer time included).
QList<CalendarEvent> scheduledWeek(qint64 week);
