#include "views/ImpactDelegate.h"

#include "data/ImpactModel.h"
#include "widgets/KeyboardAccess.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>

namespace {

QPixmap arrow(const QString& path)
{
    return QPixmap(path).scaled(20, 20, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

void drawCentred(QPainter* painter, const QRect& cell, const QPixmap& picture)
{
    const QRect icon = picture.rect();
    painter->drawPixmap((cell.left() + cell.right()) / 2 - (icon.left() + icon.right()) / 2,
                        (cell.top() + cell.bottom()) / 2 - (icon.top() + icon.bottom()) / 2, picture);
}

} // namespace

ImpactDelegate::ImpactDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_trash(QStringLiteral(":/images/trash.png"))
    , m_up(arrow(QStringLiteral(":/images/table-arrow-up.png")))
    , m_down(arrow(QStringLiteral(":/images/table-arrow-down.png")))
{}

QPixmap ImpactDelegate::picture(int column) const
{
    switch (column) {
    case ImpactModel::UpColumn:
        return m_up;
    case ImpactModel::DownColumn:
        return m_down;
    case ImpactModel::RemoveColumn:
        return m_trash;
    default:
        return {};
    }
}

void ImpactDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const int lastRow = index.model()->rowCount(index.parent()) - 1;
    // No arrow where the row can't move that way.
    if ((index.column() == ImpactModel::UpColumn && index.row() == 0) ||
        (index.column() == ImpactModel::DownColumn && index.row() == lastRow))
        return;
    const QPixmap shown = picture(index.column());
    if (!shown.isNull())
        drawCentred(painter, option.rect, shown);
}

bool ImpactDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                 const QModelIndex& index)
{
    // The default handling comes first: acting resets the model and leaves
    // the index behind.
    QStyledItemDelegate::editorEvent(event, model, option, index);
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (press || release) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool inCell = index.isValid() && option.rect.contains(mouse->pos());
        if (!inCell) {
            m_pressRow = m_pressColumn = -1;
        } else if (press) {
            m_pressRow = index.row();
            m_pressColumn = index.column();
        } else {
            const bool sameCell = index.row() == m_pressRow && index.column() == m_pressColumn;
            m_pressRow = m_pressColumn = -1;
            if (sameCell)
                act(model, index);
        }
    }
    return false;
}

void ImpactDelegate::actByKeys(QAbstractItemView* table, ImpactModel* model)
{
    const auto moveBy = [table, model](int step) {
        return [table, model, step](const QModelIndex& row) {
            model->moveMarker(row.row(), row.row() + step);
            const int now = qBound(0, row.row() + step, model->rowCount() - 1);
            table->setCurrentIndex(model->index(now, ImpactModel::TitleColumn));
        };
    };
    keepFocusedRow(table);
    actOnFocusedRow(table, {QKeySequence(Qt::CTRL | Qt::Key_Up)}, moveBy(-1));
    actOnFocusedRow(table, {QKeySequence(Qt::CTRL | Qt::Key_Down)}, moveBy(1));
    actOnFocusedRow(table, {QKeySequence::Delete},
                    [model](const QModelIndex& row) { model->removeMarkerAt(row.row()); });
}

void ImpactDelegate::act(QAbstractItemModel* model, const QModelIndex& index)
{
    auto* impact = qobject_cast<ImpactModel*>(model);
    if (!impact)
        return;
    const int row = index.row();
    switch (index.column()) {
    case ImpactModel::UpColumn:
        impact->moveMarker(row, row - 1);
        break;
    case ImpactModel::DownColumn:
        impact->moveMarker(row, row + 1);
        break;
    case ImpactModel::RemoveColumn:
        impact->removeMarkerAt(row);
        break;
    default:
        break;
    }
}
