#include "widgets/CheckBoxHeader.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace {

constexpr int checkBoxSection = 0;
// Where the box sits in its section.
const QRect checkBoxArea(1, 3, 20, 20);

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
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = checkBoxArea.translated(rect.topLeft());
    option.state = QStyle::State_Enabled | (m_checked ? QStyle::State_On : QStyle::State_Off);
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, painter, this);
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
