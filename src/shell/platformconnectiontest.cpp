#include "shell/platformconnectiontest.h"

#include <QNetworkInformation>

bool PlatformConnectionTest::IsConnected()
{
    if (!QNetworkInformation::instance() &&
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return true;
    return QNetworkInformation::instance()->reachability() != QNetworkInformation::Reachability::Disconnected;
}
