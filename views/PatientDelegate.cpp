#include "views/PatientDelegate.h"

#include "data/PatientModel.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The top-left corner that centres a picture of this rectangle in the cell,
// in integer arithmetic so that painting and hit test agree to the pixel.
QPoint centredTopLeft(const QRect& cell, const QRect& picture)
{
    return QPoint((cell.left() + cell.right()) / 2 - (picture.left() + picture.right()) / 2,
                  (cell.top() + cell.bottom()) / 2 - (picture.top() + picture.bottom()) / 2);
}

void drawCentred(QPainter* painter, const QRect& cell, const QPixmap& picture)
{
    painter->drawPixmap(centredTopLeft(cell, picture.rect()), picture);
}

// The device pictures are large artwork shown small, a little off the centre
// of where the full-size picture would sit.
void drawDevicePicture(QPainter* painter, const QRect& cell, const QPixmap& picture)
{
    const QPoint topLeft = centredTopLeft(cell, picture.rect()) + QPoint(20, 20);
    painter->drawPixmap(QRect(topLeft, QSize(24, 24)), picture);
}

void repaintCell(const QAbstractItemView* view, int row, int column)
{
    if (row < 0 || !view->model())
        return;
    const QModelIndex index = view->model()->index(row, column, view->rootIndex());
    view->viewport()->update(view->visualRect(index));
}

} // namespace

PatientDelegate::PatientDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_edit(QStringLiteral(":/images/edit.png"))
    , m_editHover(QStringLiteral(":/images/edit-hover.png"))
    , m_trash(QStringLiteral(":/images/trash.png"))
    , m_trashHover(QStringLiteral(":/images/trash-hover.png"))
{}

void PatientDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    switch (index.column()) {
    case PatientModel::DeviceColumn:
        drawDevicePicture(painter, option.rect, qvariant_cast<QPixmap>(index.data(Qt::DisplayRole)));
        break;
    case PatientModel::GenderColumn:
        drawCentred(painter, option.rect, qvariant_cast<QPixmap>(index.data(Qt::DisplayRole)));
        break;
    case PatientModel::EditColumn:
        drawCentred(painter, option.rect, isHoverCell(index) ? m_editHover : m_edit);
        break;
    case PatientModel::RemoveColumn:
        drawCentred(painter, option.rect, isHoverCell(index) ? m_trashHover : m_trash);
        break;
    default:
        break;
    }
}

bool PatientDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                  const QModelIndex& index)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove)
        hitTest(*static_cast<QMouseEvent*>(event), option, index);
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

void PatientDelegate::watch(QAbstractItemView* view)
{
    if (m_view)
        m_view->viewport()->removeEventFilter(this);
    m_view = view;
    if (!view)
        return;
    view->viewport()->setMouseTracking(true);
    view->viewport()->installEventFilter(this);
}

bool PatientDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_view || watched != m_view->viewport())
        return QStyledItemDelegate::eventFilter(watched, event);
    if (event->type() == QEvent::Leave) {
        setHoverCell(-1, -1, m_view);
    } else if (event->type() == QEvent::MouseMove) {
        // Moves over the cells this delegate serves reach editorEvent through
        // the view; a move anywhere else ends the hover here.
        const QModelIndex index = m_view->indexAt(static_cast<QMouseEvent*>(event)->localPos().toPoint());
        if (!index.isValid() || m_view->itemDelegate(index) != this)
            setHoverCell(-1, -1, m_view);
    }
    return false;
}

// The edit picture's rectangle serves as the hit area of both action columns.
QRect PatientDelegate::hitArea(const QRect& cell) const
{
    return QRect(centredTopLeft(cell, m_edit.rect()), m_edit.size());
}

void PatientDelegate::hitTest(const QMouseEvent& event, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    if (!hitArea(option.rect).contains(event.localPos().toPoint())) {
        setHoverCell(-1, -1, view);
        return;
    }
    setHoverCell(index.row(), index.column(), view);
    if (event.type() != QEvent::MouseButtonPress || !index.isValid())
        return;
    if (index.column() == PatientModel::EditColumn)
        emit editPress(index);
    else if (index.column() == PatientModel::RemoveColumn)
        emit removePress(index);
}

void PatientDelegate::setHoverCell(int row, int column, const QAbstractItemView* view)
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

bool PatientDelegate::isHoverCell(const QModelIndex& index) const
{
    return index.row() == m_hoverRow && index.column() == m_hoverColumn;
}
