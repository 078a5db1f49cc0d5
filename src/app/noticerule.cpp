#include "app/noticerule.h"

#include "app/version.h"

bool noticePasses(const QString &notice)
{
    if (notice.isEmpty())
        return false;
    // An occurrence at the very first character does not reject; any later one does.
    if (notice.indexOf(QLatin1String(product::kVersion), 1) >= 0)
        return false;
    if (notice.indexOf(QLatin1String(kNoticeSuppressionMarker), 1) >= 0)
        return false;
    return true;
}
