#include "widgets/PrintedTable.h"

#include "widgets/ReportPageFrame.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

constexpr qreal cellFontSize = 10;
constexpr qreal captionFontSize = 12;
constexpr qreal padding = 6;
constexpr qreal minimumColumnWidth = 48;
// The label column never takes more than this share of the page.
constexpr qreal labelShare = 0.4;
const QColor gridColour(208, 215, 222);
const QColor headerColour(238, 241, 245);
const QColor textColour(65, 65, 65);

QFont cellFont()
{
    return ReportPageFrame::font(cellFontSize);
}

QFont headerFont()
{
    return ReportPageFrame::font(cellFontSize, true);
}

// Headings such as dates wrap at their blank, so a column is as wide as the
// longest word of its heading.
qreal widestWord(const QFontMetricsF& metrics, const QString& text)
{
    qreal widest = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

} // namespace

PrintedTable::PrintedTable(QString caption, const QAbstractItemModel& model, QAbstractItemDelegate* delegate)
    : m_caption(std::move(caption)), m_model(&model), m_delegate(delegate)
{
    measure();
}

QString PrintedTable::headerText(int column) const
{
    return m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void PrintedTable::measure()
{
    const QFontMetricsF cells(cellFont());
    const QFontMetricsF headers(headerFont());
    const int columns = m_model->columnCount();
    const int rows = m_model->rowCount();
    m_widths.fill(0, columns);
    for (int column = 0; column < columns; ++column) {
        qreal width =
            column == 0 ? headers.horizontalAdvance(headerText(column)) : widestWord(headers, headerText(column));
        for (int row = 0; row < rows; ++row)
            width = std::max(width, cells.horizontalAdvance(m_model->index(row, column).data().toString()));
        // Value cells hold "100%" at most; the bars need some room around it.
        m_widths[column] = std::max(minimumColumnWidth, width + 2 * padding + (column == 0 ? 0 : padding));
    }
}

int PrintedTable::rowCount() const
{
    return m_model ? m_model->rowCount() : 0;
}

qreal PrintedTable::captionHeight() const
{
    return m_caption.isEmpty() ? 0 : QFontMetricsF(ReportPageFrame::font(captionFontSize, true)).height() + padding;
}

QVector<qreal> PrintedTable::widthsOn(const QVector<int>& columns, qreal bodyWidth) const
{
    QVector<qreal> widths;
    qreal used = 0;
    for (int column : columns) {
        widths.append(column == 0 ? std::min(m_widths.at(0), bodyWidth * labelShare) : m_widths.at(column));
        used += widths.last();
    }
    const int values = int(columns.size()) - 1;
    const qreal spare = bodyWidth - used;
    if (spare <= 0)
        return widths;
    if (values == 0) {
        widths[0] = bodyWidth;
    } else {
        for (int i = 1; i < widths.size(); ++i)
            widths[i] += spare / values;
    }
    return widths;
}

qreal PrintedTable::headerHeight(const QVector<int>& columns, qreal bodyWidth) const
{
    const QFontMetricsF headers(headerFont());
    const QVector<qreal> widths = widthsOn(columns, bodyWidth);
    qreal height = headers.height();
    for (int i = 0; i < columns.size(); ++i) {
        const QRectF bounds(0, 0, widths.at(i) - 2 * padding, 1000);
        height = std::max(height, headers.boundingRect(bounds, Qt::TextWordWrap, headerText(columns.at(i))).height());
    }
    return height + 2 * padding;
}

qreal PrintedTable::height(const Slice& slice, qreal bodyWidth) const
{
    return captionHeight() + headerHeight(slice.columns, bodyWidth) + slice.rowCount * rowHeight;
}

QVector<PrintedTable::Slice> PrintedTable::slices(const QSizeF& body, qreal firstHeight) const
{
    QVector<Slice> slices;
    if (m_widths.isEmpty())
        return slices;
    const qreal labelWidth = std::min(m_widths.at(0), body.width() * labelShare);

    // Column groups: the label column, then as many as fit beside it (one at least).
    QVector<QVector<int>> groups;
    for (int column = 1; column < m_widths.size() || groups.isEmpty();) {
        QVector<int> group{0};
        qreal used = labelWidth;
        while (column < m_widths.size() && (group.size() == 1 || used + m_widths.at(column) <= body.width())) {
            used += m_widths.at(column);
            group.append(column++);
        }
        groups.append(group);
    }

    const int rows = m_model->rowCount();
    for (const QVector<int>& group : groups) {
        const qreal headings = captionHeight() + headerHeight(group, body.width());
        const int perPage = std::max(1, int((body.height() - headings) / rowHeight));
        int first = 0;
        if (slices.isEmpty() && firstHeight >= 0) {
            const int fitting = std::clamp(int((firstHeight - headings) / rowHeight), 0, rows);
            slices.append({0, fitting, group});
            first = fitting;
            if (first >= rows)
                continue;
        }
        do {
            slices.append({first, std::min(perPage, rows - first), group});
            first += perPage;
        } while (first < rows);
    }
    return slices;
}

void PrintedTable::paint(QPainter& painter, const QRectF& body, const Slice& slice) const
{
    if (!m_model)
        return;
    painter.save();
    painter.setPen(textColour);
    painter.setFont(ReportPageFrame::font(captionFontSize, true));
    painter.drawText(QRectF(body.left(), body.top(), body.width(), captionHeight()), Qt::AlignLeft | Qt::AlignTop,
                     m_caption);

    QVector<QRectF> columns;
    qreal x = body.left();
    for (qreal width : widthsOn(slice.columns, body.width())) {
        columns.append(QRectF(x, 0, width, 0));
        x += width;
    }

    // Headings.
    const qreal headerTop = body.top() + captionHeight();
    const qreal headerBottom = headerTop + headerHeight(slice.columns, body.width());
    painter.setFont(headerFont());
    for (int i = 0; i < slice.columns.size(); ++i) {
        const QRectF cell(columns.at(i).left(), headerTop, columns.at(i).width(), headerBottom - headerTop);
        painter.fillRect(cell, headerColour);
        painter.setPen(gridColour);
        painter.drawRect(cell);
        painter.setPen(textColour);
        const int alignment = slice.columns.at(i) == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter;
        painter.drawText(cell.adjusted(padding, padding, -padding, -padding), alignment | Qt::TextWordWrap,
                         headerText(slice.columns.at(i)));
    }

    // Cells, through the delegate as on screen; the style draws for no widget.
    QStyledItemDelegate plain;
    QAbstractItemDelegate* delegate = m_delegate ? m_delegate : &plain;
    for (int r = 0; r < slice.rowCount; ++r) {
        const int row = slice.firstRow + r;
        const qreal top = headerBottom + r * rowHeight;
        for (int i = 0; i < slice.columns.size(); ++i) {
            const QModelIndex index = m_model->index(row, slice.columns.at(i));
            QStyleOptionViewItem option;
            option.rect = QRectF(columns.at(i).left(), top, columns.at(i).width(), rowHeight).toRect();
            option.font = cellFont();
            option.fontMetrics = QFontMetrics(option.font);
            option.state = QStyle::State_Enabled;
            painter.setFont(option.font);
            painter.setPen(textColour);
            QStyleOptionViewItem labelled = option;
            // Labels keep off the grid line, as on screen.
            if (slice.columns.at(i) == 0)
                labelled.rect.adjust(int(padding) / 2, 0, 0, 0);
            delegate->paint(&painter, labelled, index);
            painter.setPen(gridColour);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(option.rect));
        }
    }
    painter.restore();
}
