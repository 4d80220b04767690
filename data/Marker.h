#pragma once

#include <QString>

class QJsonObject;

// One line of an analysis or of a recipe.
class Marker
{
public:
    Marker() = default;
    explicit Marker(const QJsonObject& object);

    QString id() const { return m_id; }
    QString title() const { return m_title; }
    QString description() const { return m_description; }
    // The tick in the recipe table; never sent or received.
    bool selected() const { return m_selected; }
    // The match percentage: the first of the service's "values".
    int value() const { return m_value; }
    // The number of frequencies, shown instead of the percentage for some storages.
    int amount() const { return m_amount; }

    void setSelected(bool selected) { m_selected = selected; }
    void toggleSelected() { m_selected = !m_selected; }

private:
    QString m_id;
    QString m_title;
    QString m_description;
    bool m_selected = false;
    int m_value = 0;
    int m_amount = 0;
};
