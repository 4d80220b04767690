#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Draws the move arrows and the remove picture of the impact table, and turns
// a click on one of them (press and release on the same cell) into a move or
// a removal in the ImpactModel.
class ImpactDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ImpactDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Never consumes the event.
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The picture a column shows, for the column widths.
    QPixmap picture(int column) const;

private:
    void act(QAbstractItemModel* model, const QModelIndex& index);

    const QPixmap m_trash;
    const QPixmap m_up;
    const QPixmap m_down;
    // Where the last press landed; -1, -1 when none.
    int m_pressRow = -1;
    int m_pressColumn = -1;
};
