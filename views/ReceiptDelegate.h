#pragma once

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemView;
class ReceiptDescriptionPopup;

// Paints the recipe table's match percentages as bars and its notes
// pictures, and shows a marker's description in a popup while the pointer is
// over the notes picture. The popup belongs to the view's window and goes
// with it.
class ReceiptDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ReceiptDelegate(QAbstractItemView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Mouse moves over the notes column show the popup; never consumes the event.
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    ReceiptDescriptionPopup* popup() const;
    int notesWidth() const { return m_notes.width(); }

private:
    void paintPercent(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void hover(const QPoint& position, const QStyleOptionViewItem& option, const QModelIndex& index);

    const QPixmap m_notes;
    const QImage m_gradient;
    QPointer<QAbstractItemView> m_view;
    QPointer<ReceiptDescriptionPopup> m_popup;
};
