#pragma once

#include "data/Storage.h"

#include <QList>
#include <QMetaType>
#include <QString>

class QJsonObject;

// The outer level of the analysis catalogue: a titled group of storages. It
// has no identifier of its own.
class Category
{
public:
    Category() = default;
    explicit Category(const QJsonObject& object);

    QString title() const { return m_title; }
    // In the order the service sent them.
    QList<Storage> storages() const { return m_storages; }

private:
    QString m_title;
    QList<Storage> m_storages;
};

Q_DECLARE_METATYPE(Category)

// Registers Storage and Category under the names "Storage" and "Category", so
// that the toolkit finds them by name as well as by type. Safe to call again.
void registerDomainMetaTypes();
