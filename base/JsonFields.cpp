#include "base/JsonFields.h"

#include <QDate>
#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <limits>

namespace JsonFields {

QString text(const QJsonObject& object, QLatin1String key)
{
    return object.value(key).toString();
}

bool flag(const QJsonObject& object, QLatin1String key)
{
    return object.value(key).toBool();
}

int integer(const QJsonObject& object, QLatin1String key)
{
    return integer(object.value(key));
}

int integer(const QJsonValue& value)
{
    if (!value.isDouble())
        return 0;
    // The service may send a percentage with a fraction; keep its whole part.
    // Converting a double outside the int range is undefined, hence the guard.
    const double number = std::trunc(value.toDouble());
    if (!(number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max()))
        return 0;
    return static_cast<int>(number);
}

QDate date(const QJsonObject& object, QLatin1String key)
{
    return QDate::fromString(text(object, key), Qt::ISODate);
}

QString dateTimeText(const QJsonObject& object, QLatin1String key)
{
    // An invalid date-time formats as empty text.
    return QDateTime::fromString(text(object, key), Qt::ISODate).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace JsonFields
