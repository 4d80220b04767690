#include "data/Recipe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

Recipe Recipe::fromJson(const QByteArray& bytes)
{
    return fromArray(QJsonDocument::fromJson(bytes).array());
}

Recipe Recipe::fromArray(const QJsonArray& markers)
{
    Recipe recipe;
    for (const QJsonValue& value : markers)
        recipe.append(Marker(value.toObject()));
    return recipe;
}

bool Recipe::removeFirst(const QString& id)
{
    for (int index = 0; index < m_markers.size(); ++index) {
        if (m_markers.at(index).id() == id) {
            m_markers.removeAt(index);
            return true;
        }
    }
    return false;
}

bool Recipe::contains(const QString& id) const
{
    for (const Marker& marker : m_markers) {
        if (marker.id() == id)
            return true;
    }
    return false;
}
