#pragma once

#include "data/Marker.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QWidget>

// What the tests of the recipe and impact screens share: markers as the
// service sends them, a look at a screen's children, the files they write.
namespace RecipeFixtures {

inline QJsonObject markerJson(const QString& id, int value = 50, int amount = 1)
{
    return {{"id", id},
            {"title", "Marker " + id},
            {"description", "About " + id},
            {"values", QJsonArray{value}},
            {"amount", amount}};
}

inline QByteArray compact(const QJsonArray& array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

inline QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

inline QStringList idsOf(const QList<Marker>& markers)
{
    QStringList ids;
    for (const Marker& marker : markers)
        ids << marker.id();
    return ids;
}

template <typename Widget> Widget* child(QWidget& screen, const char* name)
{
    return screen.findChild<Widget*>(QLatin1String(name));
}

// No service call of the screen's is running.
inline bool overlayGone(QWidget& screen)
{
    return !screen.findChild<QWidget*>(QStringLiteral("LoadingWindow"));
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace RecipeFixtures
