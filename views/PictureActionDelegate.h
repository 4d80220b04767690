#pragma once

#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemView;

// What the delegates of the patient tables share: action pictures centred in
// their cells, a hit area of one picture's size centred the same way, and the
// hover cell, whose picture is drawn in its hover form. A press inside the
// hit area of a valid cell goes to picturePressed, which says what it means.
class PictureActionDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // Never consumes the event.
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The cell whose picture is under the mouse; -1, -1 when none.
    int hoverRow() const { return m_hoverRow; }
    int hoverColumn() const { return m_hoverColumn; }

    // Makes the hover pictures follow the mouse over the view. A view hands
    // the delegate mouse moves only with mouse tracking on, and only over its
    // cells, and it never repaints a cell because the delegate's hover changed;
    // watching its viewport fills those gaps. Call once the delegate is set.
    void watch(QAbstractItemView* view);

protected:
    // hitSize: the size of the picture whose rectangle is the hit area.
    PictureActionDelegate(const QSize& hitSize, QObject* parent);

    virtual void picturePressed(const QModelIndex& index) = 0;

    bool isHoverCell(const QModelIndex& index) const;
    // The top-left corner that centres a picture of this rectangle in the
    // cell, in integer arithmetic so that painting and hit test agree to the pixel.
    static QPoint centredTopLeft(const QRect& cell, const QRect& picture);
    static void drawCentred(QPainter* painter, const QRect& cell, const QPixmap& picture);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRect hitArea(const QRect& cell) const;
    void hitTest(const QMouseEvent& event, const QStyleOptionViewItem& option, const QModelIndex& index);
    void setHoverCell(int row, int column, const QAbstractItemView* view);

    QSize m_hitSize;
    int m_hoverRow = -1;
    int m_hoverColumn = -1;
    // The viewport, not the view: the viewport still gets events while the
    // view is being destroyed, when the view is no longer a QAbstractItemView.
    QPointer<QWidget> m_viewport;
};
