#include "app/noticerule.h"

#include "app/version.h"

bool noticePasses(const QString &notice)
{
    if (notice.isEmpty())
        return false;
    // Only the first occurrence counts, and one at the very first character does not reject.
    if (notice.indexOf(QLatin1String(product::kVersion)) > 0)
        return false;
    if (notice.indexOf(QLatin1String(kNoticeSuppressionMarker)) > 0)
        return false;
    return true;
}
