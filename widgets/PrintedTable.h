#pragma once

#include <QPointer>
#include <QRectF>
#include <QString>
#include <QVector>

class QAbstractItemDelegate;
class QAbstractItemModel;
class QPainter;

// A table model printed on pages: the rows that fit one below the other, the
// columns that fit one beside the other, the first column and the headings
// repeated on every page. The value columns share the page's width left by
// the first one, as the screen's stretch. Cells are drawn by the screen's
// delegate, so they look as they do on screen. Sizes are in report units
// (1/96 inch).
class PrintedTable
{
public:
    // One page's share of the table.
    struct Slice
    {
        int firstRow = 0;
        int rowCount = 0;
        QVector<int> columns; // always starting with column 0
    };

    PrintedTable(QString caption, const QAbstractItemModel& model, QAbstractItemDelegate* delegate);

    // How the table divides over bodies of that size: column groups in order,
    // each down all its rows. With firstHeight, the first slice is what fits
    // in that height (the rest of a page another part of the report began),
    // possibly no row at all.
    QVector<Slice> slices(const QSizeF& body, qreal firstHeight = -1) const;
    int rowCount() const;
    // The height a slice takes on the page: caption, headings and rows.
    qreal height(const Slice& slice, qreal bodyWidth) const;
    void paint(QPainter& painter, const QRectF& body, const Slice& slice) const;

    static constexpr qreal rowHeight = 22;

private:
    void measure();
    qreal captionHeight() const;
    qreal headerHeight(const QVector<int>& columns, qreal bodyWidth) const;
    // The widths of a group's columns on a body that wide, filling it.
    QVector<qreal> widthsOn(const QVector<int>& columns, qreal bodyWidth) const;
    QString headerText(int column) const;

    QString m_caption;
    QPointer<const QAbstractItemModel> m_model;
    QAbstractItemDelegate* m_delegate;
    QVector<qreal> m_widths; // per column, before the first one is capped to the body
};
