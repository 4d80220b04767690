#include "net/ServiceUrl.h"

#include <QHostAddress>
#include <QSet>
#include <QUrl>
#include <QtDebug>

#ifndef SONVERA_DEFAULT_SERVICE_URL
#error "SONVERA_DEFAULT_SERVICE_URL must be defined by the build"
#endif

namespace ServiceUrl {

QString base()
{
    QString url = qEnvironmentVariable(environmentVariable).trimmed();
    if (url.isEmpty())
        url = QStringLiteral(SONVERA_DEFAULT_SERVICE_URL);
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}

bool isAllowed(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    if (scheme != QLatin1String("http"))
        return false;
    const QString host = url.host().toLower();
    return host == QLatin1String("localhost") || QHostAddress(host).isLoopback();
}

QString checkedBase()
{
    const QString url = base();
    if (isAllowed(QUrl(url)))
        return url;
    static QSet<QString> reported;
    if (!reported.contains(url)) {
        reported.insert(url);
        qWarning() << "The service address" << QUrl(url).toDisplayString(QUrl::RemoveUserInfo)
                   << "is refused: only https, or plain http to this machine, is allowed";
    }
    return {};
}

} // namespace ServiceUrl
