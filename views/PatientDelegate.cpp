#include "views/PatientDelegate.h"

#include "data/PatientModel.h"

#include <QPainter>

namespace {

const QString editPicture = QStringLiteral(":/images/edit.png");

} // namespace

// The edit picture's rectangle serves as the hit area of both action columns.
PatientDelegate::PatientDelegate(QObject* parent)
    : PictureActionDelegate(QPixmap(editPicture).size(), parent)
    , m_edit(editPicture)
    , m_editHover(QStringLiteral(":/images/edit-hover.png"))
    , m_trash(QStringLiteral(":/images/trash.png"))
    , m_trashHover(QStringLiteral(":/images/trash-hover.png"))
{}

void PatientDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    switch (index.column()) {
    case PatientModel::DeviceColumn: {
        // The device pictures are large artwork shown small, a little off the
        // centre of where the full-size picture would sit.
        const QPixmap picture = qvariant_cast<QPixmap>(index.data(Qt::DisplayRole));
        const QPoint topLeft = centredTopLeft(option.rect, picture.rect()) + QPoint(20, 20);
        painter->drawPixmap(QRect(topLeft, QSize(24, 24)), picture);
        break;
    }
    case PatientModel::GenderColumn:
        drawCentred(painter, option.rect, qvariant_cast<QPixmap>(index.data(Qt::DisplayRole)));
        break;
    case PatientModel::EditColumn:
        drawCentred(painter, option.rect, isHoverCell(index) ? m_editHover : m_edit);
        break;
    case PatientModel::RemoveColumn:
        drawCentred(painter, option.rect, isHoverCell(index) ? m_trashHover : m_trash);
        break;
    default:
        break;
    }
}

void PatientDelegate::picturePressed(const QModelIndex& index)
{
    if (index.column() == PatientModel::EditColumn)
        emit editPress(index);
    else if (index.column() == PatientModel::RemoveColumn)
        emit removePress(index);
}
