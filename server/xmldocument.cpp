#include "xmldocument.h"

QString xmlEscaped(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            escaped += QLatin1String("&amp;");
            break;
        case '<':
            escaped += QLatin1String("&lt;");
            break;
        case '>':
            escaped += QLatin1String("&gt;");
            break;
        case '"':
            escaped += QLatin1String("&quot;");
            break;
        case '\'':
            escaped += QLatin1String("&apos;");
            break;
        default:
            if (c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
                c == QLatin1Char('\r'))
                escaped += c;
            break;
        }
    }
    return escaped;
}

QByteArray dataDocument(const QString &payload)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<document><data>" +
           xmlEscaped(payload).toUtf8() + "</data></document>\n";
}
