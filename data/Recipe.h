#pragma once

#include "data/Marker.h"

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QString>

// The markers of a recipe in the order they were loaded or ticked: the order
// in which they are saved and handed to the impact.
class Recipe
{
public:
    // The service's saved recipe: a JSON array of marker objects.
    static Recipe fromJson(const QByteArray& bytes);
    static Recipe fromArray(const QJsonArray& markers);

    void append(const Marker& marker) { m_markers.append(marker); }
    // Removes the first marker with that id; false when there is none.
    bool removeFirst(const QString& id);
    bool contains(const QString& id) const;

    bool isEmpty() const { return m_markers.isEmpty(); }
    int size() const { return m_markers.size(); }
    const QList<Marker>& markers() const { return m_markers; }

private:
    QList<Marker> m_markers;
};
