#include "documents/xmldocument.h"

namespace {

// The escape of a character, an empty view for one to drop, or nullptr for one kept as it is.
const char *escapeOf(char16_t c)
{
    switch (c) {
    case u'&':
        return "&amp;";
    case u'<':
        return "&lt;";
    case u'>':
        return "&gt;";
    case u'"':
        return "&quot;";
    case u'\'':
        return "&apos;";
    case u'\r':
        return "&#13;"; // a reader turns a carriage return written as it is into a line feed
    case u'\t':
    case u'\n':
        return nullptr;
    case 0xFFFE:
    case 0xFFFF:
        return "";
    default:
        return c < 0x20 ? "" : nullptr;
    }
}

} // namespace

QString xmlEscaped(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size() + 16);
    qsizetype runStart = 0; // characters kept as they are are copied a run at a time
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char *escape = escapeOf(text[i].unicode());
        if (!escape)
            continue;
        escaped += QStringView(text).sliced(runStart, i - runStart);
        escaped += QLatin1String(escape);
        runStart = i + 1;
    }
    escaped += QStringView(text).sliced(runStart);
    return escaped;
}

QByteArray dataDocument(const QString &payload)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<document><data>" +
           xmlEscaped(payload).toUtf8() + "</data></document>\n";
}
