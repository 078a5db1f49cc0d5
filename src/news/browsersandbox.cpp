#include "news/browsersandbox.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace browsersandbox {

bool canStart(bool superuser, const QProcessEnvironment &environment)
{
    if (!superuser || environment.contains(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX")))
        return true;
    const QStringList flags = environment.value(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"))
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return flags.contains(QStringLiteral("--no-sandbox"));
}

bool canStart()
{
#ifdef Q_OS_LINUX
    return canStart(::getuid() == 0, QProcessEnvironment::systemEnvironment());
#else
    return true; // the superuser rule is Chromium's on Linux only
#endif
}

} // namespace browsersandbox
