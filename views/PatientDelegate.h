#pragma once

#include "views/PictureActionDelegate.h"

// Draws the pictures of the patient table (device, gender and the edit and
// remove actions) and turns presses on the action pictures into signals. The
// action picture under the mouse is drawn in its hover form.
class PatientDelegate : public PictureActionDelegate
{
    Q_OBJECT

public:
    explicit PatientDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

signals:
    void editPress(QModelIndex index);
    void removePress(QModelIndex index);

protected:
    void picturePressed(const QModelIndex& index) override;

private:
    const QPixmap m_edit;
    const QPixmap m_editHover;
    const QPixmap m_trash;
    const QPixmap m_trashHover;
};
