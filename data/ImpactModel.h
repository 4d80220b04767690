#pragma once

#include "data/Marker.h"

#include <QAbstractTableModel>
#include <QList>

// The markers of an impact in the order they will be played: a running
// number, the two move arrows, the title and the remove picture per row (the
// delegate draws the pictures). No cell is editable.
class ImpactModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        NumberColumn,
        UpColumn,
        DownColumn,
        TitleColumn,
        RemoveColumn,
        ColumnCount
    };

    explicit ImpactModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    // No columns while there are no markers.
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void setMarkers(const QList<Marker>& markers);
    const QList<Marker>& markers() const { return m_markers; }

    // Rows outside the list, and a move onto itself, do nothing and report nothing.
    void moveMarker(int from, int to);
    void removeMarkerAt(int row);

signals:
    void onMarkerRemove(QString id);
    void onChangeOrder();

private:
    bool holds(int row) const { return row >= 0 && row < m_markers.size(); }
    // What a screen reader says for a cell that shows a picture.
    static QString pictureText(int column);

    QList<Marker> m_markers;
};
