#include "data/Category.h"

#include "base/JsonFields.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

Category::Category(const QJsonObject& object) : m_title(JsonFields::text(object, QLatin1String("title")))
{
    // A missing or non-array member gives an empty array, so no storages.
    const QJsonArray storages = object.value(QLatin1String("storages")).toArray();
    m_storages.reserve(storages.size());
    for (const QJsonValue& storage : storages)
        m_storages.append(Storage(storage.toObject()));
}

void registerDomainMetaTypes()
{
    // The toolkit keeps one id per name, so registering again is harmless.
    qRegisterMetaType<Storage>("Storage");
    qRegisterMetaType<Category>("Category");
}
