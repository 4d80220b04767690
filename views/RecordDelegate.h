#pragma once

#include "views/PictureActionDelegate.h"

// Draws the pictures of the records table (the notes mark and the remove
// action) and turns a press on the remove picture into removePress. The
// remove picture under the mouse is drawn in its hover form.
class RecordDelegate : public PictureActionDelegate
{
    Q_OBJECT

public:
    explicit RecordDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    int trashWidth() const { return m_trash.width(); }

signals:
    void removePress(QModelIndex index);

protected:
    void picturePressed(const QModelIndex& index) override;

private:
    const QPixmap m_trash;
    const QPixmap m_trashHover;
};
