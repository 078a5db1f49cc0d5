#include "market/serverpaths.h"

namespace serverpaths {

QString documentUrl(const QString &baseAddress, const Document &document)
{
    return (baseAddress + QLatin1String(document.path)).trimmed();
}

QString fileName(const Document &document)
{
    return QLatin1String(document.fileName);
}

QString instrumentUrl(const QString &baseAddress, const QString &serverCode)
{
    return baseAddress + QStringLiteral("signals/") + serverCode + QStringLiteral(".xml");
}

QString instrumentFileName(const QString &serverCode)
{
    return serverCode + QStringLiteral(".xml");
}

} // namespace serverpaths
