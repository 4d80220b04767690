#pragma once

#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemView;

// Draws the pictures of the patient table (device, gender and the edit and
// remove actions) and turns presses on the action pictures into signals. The
// action picture under the mouse is drawn in its hover form.
class PatientDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit PatientDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
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

signals:
    void editPress(QModelIndex index);
    void removePress(QModelIndex index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QRect hitArea(const QRect& cell) const;
    void hitTest(const QMouseEvent& event, const QStyleOptionViewItem& option, const QModelIndex& index);
    void setHoverCell(int row, int column, const QAbstractItemView* view);
    bool isHoverCell(const QModelIndex& index) const;

    const QPixmap m_edit;
    const QPixmap m_editHover;
    const QPixmap m_trash;
    const QPixmap m_trashHover;
    int m_hoverRow = -1;
    int m_hoverColumn = -1;
    QPointer<QAbstractItemView> m_view;
};
