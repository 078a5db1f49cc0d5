#pragma once

#include <QString>
#include <QStringList>

// Reads an instrument data record the way the program does (lines at LF, fields at ";", nothing
// trimmed) and lists every way it would mislead the program: a field the program reads missing
// or outside its vocabulary, a summary that does not follow from the record's own votes, a price
// or pivot level the pivot panel cannot place. Timeframe t (0 M1 .. 6 D1) is expected complete
// when bit t of `complete` is set, and expected empty in every field the program reads otherwise.
QStringList recordFaults(const QString &record, int complete = 0x7F);

// The indicator states the program recognises, in lower case as it compares them.
QStringList programIndicatorStates();

// Field `field` of line `line`, empty when either is missing.
QString recordField(const QString &record, int line, int field);
