#include "data/Marker.h"

#include "base/JsonFields.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

Marker::Marker(const QJsonObject& object)
    : m_id(JsonFields::text(object, QLatin1String("id")))
    , m_title(JsonFields::text(object, QLatin1String("title")))
    , m_amount(JsonFields::integer(object, QLatin1String("amount")))
{
    // The service sends null for a marker without a description.
    const QJsonValue description = object.value(QLatin1String("description"));
    if (!description.isNull())
        m_description = description.toString();

    // Only the first value is shown; the others are ignored.
    const QJsonArray values = object.value(QLatin1String("values")).toArray();
    if (!values.isEmpty())
        m_value = JsonFields::integer(values.first());
}
