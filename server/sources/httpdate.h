#pragma once

#include <QByteArray>
#include <QDateTime>

// A time as HTTP headers carry it (Date, Retry-After): "Tue, 14 May 2024 10:06:03 GMT". Invalid
// for anything else.
QDateTime httpDate(const QByteArray &value);
