#include "views/PictureActionDelegate.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>

namespace {

void repaintCell(const QAbstractItemView* view, int row, int column)
{
    if (row < 0 || !view->model())
        return;
    const QModelIndex index = view->model()->index(row, column, view->rootIndex());
    view->viewport()->update(view->visualRect(index));
}

} // namespace

PictureActionDelegate::PictureActionDelegate(const QSize& hitSize, QObject* parent)
    : QStyledItemDelegate(parent), m_hitSize(hitSize)
{}

QPoint PictureActionDelegate::centredTopLeft(const QRect& cell, const QRect& picture)
{
    return QPoint((cell.left() + cell.right()) / 2 - (picture.left() + picture.right()) / 2,
                  (cell.top() + cell.bottom()) / 2 - (picture.top() + picture.bottom()) / 2);
}

void PictureActionDelegate::drawCentred(QPainter* painter, const QRect& cell, const QPixmap& picture)
{
    painter->drawPixmap(centredTopLeft(cell, picture.rect()), picture);
}

bool PictureActionDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                        const QModelIndex& index)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove)
        hitTest(*static_cast<QMouseEvent*>(event), option, index);
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

void PictureActionDelegate::watch(QAbstractItemView* view)
{
    if (m_viewport)
        m_viewport->removeEventFilter(this);
    m_viewport = view ? view->viewport() : nullptr;
    if (!view)
        return;
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
}

bool PictureActionDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_viewport || watched != m_viewport.data())
        return QStyledItemDelegate::eventFilter(watched, event);
    // Null while the view is being destroyed: its viewport's last events
    // end the hover, with no cell left to repaint.
    auto* view = qobject_cast<QAbstractItemView*>(m_viewport->parent());
    if (!view) {
        setHoverCell(-1, -1, nullptr);
        return false;
    }
    if (event->type() == QEvent::Leave) {
        setHoverCell(-1, -1, view);
    } else if (event->type() == QEvent::MouseMove) {
        // Moves over the cells this delegate serves reach editorEvent through
        // the view; a move anywhere else ends the hover here.
        const QModelIndex index = view->indexAt(static_cast<QMouseEvent*>(event)->localPos().toPoint());
        if (!index.isValid() || view->itemDelegate(index) != this)
            setHoverCell(-1, -1, view);
    }
    return false;
}

QRect PictureActionDelegate::hitArea(const QRect& cell) const
{
    return QRect(centredTopLeft(cell, QRect(QPoint(), m_hitSize)), m_hitSize);
}

void PictureActionDelegate::hitTest(const QMouseEvent& event, const QStyleOptionViewItem& option,
                                    const QModelIndex& index)
{
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    if (!hitArea(option.rect).contains(event.localPos().toPoint())) {
        setHoverCell(-1, -1, view);
        return;
    }
    setHoverCell(index.row(), index.column(), view);
    if (event.type() == QEvent::MouseButtonPress && index.isValid())
        picturePressed(index);
}

void PictureActionDelegate::setHoverCell(int row, int column, const QAbstractItemView* view)
{
    if (row == m_hoverRow && column == m_hoverColumn)
        return;
    const int oldRow = m_hoverRow;
    const int oldColumn = m_hoverColumn;
    m_hoverRow = row;
    m_hoverColumn = column;
    if (view) {
        repaintCell(view, oldRow, oldColumn);
        repaintCell(view, row, column);
    }
}

bool PictureActionDelegate::isHoverCell(const QModelIndex& index) const
{
    return index.row() == m_hoverRow && index.column() == m_hoverColumn;
}
