#include "data/Storage.h"

#include "base/JsonFields.h"

#include <QJsonObject>

Storage::Storage(const QJsonObject& object)
    : m_id(JsonFields::text(object, QLatin1String("id")))
    , m_title(JsonFields::text(object, QLatin1String("title")))
    , m_frequencies(JsonFields::flag(object, QLatin1String("frequencies")))
{}
