#include "views/ReceiptDelegate.h"

#include "data/ReceiptModel.h"
#include "views/ReceiptDescriptionPopup.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>

ReceiptDelegate::ReceiptDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view)
    , m_notes(QStringLiteral(":/images/notes.png"))
    , m_gradient(QStringLiteral(":/images/gradient.png"))
    , m_view(view)
    , m_popup(new ReceiptDescriptionPopup(view))
{}

ReceiptDescriptionPopup* ReceiptDelegate::popup() const
{
    return m_popup;
}

void ReceiptDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() == ReceiptModel::PercentColumn) {
        paintPercent(painter, option, index);
    } else if (index.column() == ReceiptModel::NotesColumn) {
        const QRect& cell = option.rect;
        const QRect icon = m_notes.rect();
        painter->drawPixmap((cell.left() + cell.right()) / 2 - (icon.left() + icon.right()) / 2,
                            (cell.top() + cell.bottom()) / 2 - (icon.top() + icon.bottom()) / 2, m_notes);
    }
}

// A bar of the gradient's first d percent over d percent of the cell, then
// the percentage on top.
void ReceiptDelegate::paintPercent(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    const int percent = index.data(Qt::DisplayRole).toInt();
    const int bar = qBound(0, percent, 100);
    const QRect& cell = option.rect;
    const QPen textPen = painter->pen();
    painter->save();
    painter->fillRect(cell, QColor(234, 239, 242));
    const int barWidth = int(float(cell.width()) / 100 * float(bar));
    const int sourceWidth = int(float(m_gradient.width()) / 100 * float(bar));
    if (barWidth > 0 && sourceWidth > 0)
        painter->drawImage(QRect(cell.topLeft(), QSize(barWidth, cell.height())), m_gradient,
                           QRect(0, 0, sourceWidth, m_gradient.height()));
    if (option.state & QStyle::State_Selected)
        painter->fillRect(cell, QColor(13, 180, 150, 80));
    painter->setPen(textPen);
    painter->drawText(cell, Qt::AlignCenter, QString::number(percent) + QLatin1Char('%'));
    painter->restore();
}

bool ReceiptDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                  const QModelIndex& index)
{
    if (event->type() == QEvent::MouseMove && index.isValid() && index.column() == ReceiptModel::NotesColumn)
        hover(static_cast<QMouseEvent*>(event)->pos(), option, index);
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

void ReceiptDelegate::hover(const QPoint& position, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (!m_popup || !m_view)
        return;
    const QRect& cell = option.rect;
    if (!cell.contains(position)) {
        if (m_popup->isVisible())
            m_popup->restartHideTimer();
        return;
    }
    if (m_popup->isVisible() && m_popup->row() == index.row()) {
        m_popup->restartHideTimer();
        return;
    }
    // The cell is in the viewport's coordinates: below the header and inside
    // the table's frame.
    const QWidget* viewport = m_view->viewport();
    const QPoint cellOrigin = viewport->mapToGlobal(cell.topLeft());
    m_popup->setAnchor(cellOrigin + QPoint(0, cell.height() / 2));
    m_popup->setHoverRect(QRect(cellOrigin, cell.size()));
    // Through the sort proxy, to the row's own title and description.
    m_popup->setMarker(index.row(), index.siblingAtColumn(ReceiptModel::MarkerColumn).data().toString(),
                       index.data(ReceiptModel::DescriptionRole).toString());
    m_popup->show();
}
