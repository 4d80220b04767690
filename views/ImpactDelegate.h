#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

class ImpactModel;
class QAbstractItemView;

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

    // The same moves and removal by keys on the table's focused row
    // (Ctrl+Up, Ctrl+Down, Delete), which the focus follows when it moves.
    static void actByKeys(QAbstractItemView* table, ImpactModel* model);

private:
    void act(QAbstractItemModel* model, const QModelIndex& index);

    const QPixmap m_trash;
    const QPixmap m_up;
    const QPixmap m_down;
    // Where the last press landed; -1, -1 when none.
    int m_pressRow = -1;
    int m_pressColumn = -1;
};
