#pragma once

#include <QMetaType>
#include <QString>

class QJsonObject;

// An analysis storage, the inner level of the analysis catalogue. Combo boxes
// carry it as item data, hence the meta-type.
class Storage
{
public:
    Storage() = default;
    explicit Storage(const QJsonObject& object);

    QString id() const { return m_id; }
    QString title() const { return m_title; }
    // Whether its markers are shown by amount of frequencies rather than by percentage.
    bool frequencies() const { return m_frequencies; }

private:
    QString m_id;
    QString m_title;
    bool m_frequencies = false;
};

Q_DECLARE_METATYPE(Storage)
