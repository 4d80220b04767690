#pragma once

#include "data/Marker.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QJsonArray>
#include <QList>

class Recipe;

// The markers of the last analysis on the recipe screen, in the service's
// order, each with a tick that puts it into the recipe or takes it out.
// Display and sort (the user role) give the same values; the notes column,
// which shows a picture, sorts by the description.
class ReceiptModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        MarkerColumn,
        PercentColumn,
        FrequenciesColumn,
        // Nothing: the delegate draws the notes picture.
        NotesColumn,
        ColumnCount
    };
    // The marker's description, in every column of its row.
    enum Role
    {
        DescriptionRole = Qt::UserRole + 1,
    };

    explicit ReceiptModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    // No columns while there are no rows.
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Only the tick of the marker column: whatever the value, it toggles the
    // marker's selected flag and reports it with onSelect.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Replaces every row by the "rows" of an analysis reply, ticking the
    // markers that the recipe holds.
    void setAnalysis(const QByteArray& bytes, const Recipe& recipe);
    void setAnalysis(const QJsonArray& rows, const Recipe& recipe);
    // Replaces every row by these markers, ticking those the recipe holds.
    void setMarkers(const QList<Marker>& markers, const Recipe& recipe);
    // Ticks exactly the rows whose markers the recipe holds.
    void tick(const Recipe& recipe);
    // Removes the first row with that marker id, if any.
    void removeMarker(const QString& id);

    Marker markerAt(int row) const;

signals:
    void onSelect(Marker& marker);

private:
    bool holds(const QModelIndex& index) const;

    QList<Marker> m_markers;
};
