#include "views/AnalysisDelegate.h"

#include <QPainter>

#include <algorithm>

namespace {

const QColor cellColour(234, 239, 242);
const QColor selectionColour(13, 180, 150, 80);

} // namespace

AnalysisDelegate::AnalysisDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_gradient(QImage(QStringLiteral(":/images/gradient.png")).convertToFormat(QImage::Format_ARGB32_Premultiplied))
{}

void AnalysisDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() == 0)
        return;

    const int value = index.data(Qt::DisplayRole).toInt();
    const QPen pen = painter->pen();
    const QRect& cell = option.rect;
    // Filled rather than outlined: an outline would reach a pixel into the
    // neighbouring cells.
    painter->fillRect(cell, cellColour);

    // The service sends percentages; anything outside 0..100 is drawn as the
    // nearest end so that the bar stays inside its cell. The text keeps the value.
    const float share = float(std::clamp(value, 0, 100));
    const QRect source(0, 0, int(float(m_gradient.width()) / 100 * share), m_gradient.height());
    const QRect target(cell.x(), cell.y(), int(float(cell.width()) / 100 * share), cell.height());
    if (target.width() > 0)
        painter->drawImage(target, m_gradient, source);

    if (option.state & QStyle::State_Selected)
        painter->fillRect(cell, selectionColour);
    painter->setPen(pen);
    painter->drawText(cell, Qt::AlignCenter, QString::number(value) + QLatin1Char('%'));
}
