#include "widgets/CheckBoxHeader.h"

#include <QAbstractItemView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionViewItem>

namespace {

constexpr int checkBoxSection = 0;

} // namespace

CheckBoxHeader::CheckBoxHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {}

void CheckBoxHeader::setChecked(bool checked)
{
    if (checked == m_checked)
        return;
    m_checked = checked;
    viewport()->update();
}

void CheckBoxHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex != checkBoxSection)
        return;
    // Drawn by the view's style as the view draws the boxes of its rows, in
    // a cell as wide as the section: the same box, at the same distance from
    // the left, centred in the header's height as theirs are in a row's.
    QWidget* view = qobject_cast<QAbstractItemView*>(parentWidget());
    QWidget* drawnFor = view ? view : const_cast<CheckBoxHeader*>(this);
    QStyleOptionViewItem option;
    option.initFrom(drawnFor);
    option.rect = rect;
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.checkState = m_checked ? Qt::Checked : Qt::Unchecked;
    option.state = QStyle::State_Enabled | (m_checked ? QStyle::State_On : QStyle::State_Off);
    option.rect = drawnFor->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, drawnFor);
    drawnFor->style()->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &option, painter, drawnFor);
}

void CheckBoxHeader::mousePressEvent(QMouseEvent* event)
{
    if (logicalIndexAt(event->pos()) == checkBoxSection) {
        m_checked = !m_checked;
        viewport()->update();
        emit checkBoxClicked(m_checked);
    } else {
        setSectionsClickable(true);
    }
    QHeaderView::mousePressEvent(event);
}

void CheckBoxHeader::mouseReleaseEvent(QMouseEvent* event)
{
    // A header that is not clickable neither sorts nor reports the click.
    setSectionsClickable(logicalIndexAt(event->pos()) != checkBoxSection);
    QHeaderView::mouseReleaseEvent(event);
}
