#include "sources/httpdate.h"

QDateTime httpDate(const QByteArray &value)
{
    QString text = QString::fromLatin1(value.trimmed());
    // Qt reads the numeric zone of RFC 2822, not the "GMT" every HTTP date ends with.
    if (text.endsWith(QLatin1String(" GMT")))
        text = text.chopped(4) + QStringLiteral(" +0000");
    return QDateTime::fromString(text, Qt::RFC2822Date);
}
