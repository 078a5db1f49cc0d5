#include "market/systemproxy.h"

#include <QNetworkProxyFactory>

void useSystemProxy()
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}
