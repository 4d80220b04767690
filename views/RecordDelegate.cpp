#include "views/RecordDelegate.h"

#include "data/RecordModel.h"

namespace {

const QString trashPicture = QStringLiteral(":/images/trash.png");

} // namespace

RecordDelegate::RecordDelegate(QObject* parent)
    : PictureActionDelegate(QPixmap(trashPicture).size(), parent)
    , m_trash(trashPicture)
    , m_trashHover(QStringLiteral(":/images/trash-hover.png"))
{}

void RecordDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() == RecordModel::NotesColumn)
        drawCentred(painter, option.rect, qvariant_cast<QPixmap>(index.data(Qt::DisplayRole)));
    else if (index.column() == RecordModel::RemoveColumn)
        drawCentred(painter, option.rect, isHoverCell(index) ? m_trashHover : m_trash);
}

void RecordDelegate::picturePressed(const QModelIndex& index)
{
    if (index.column() == RecordModel::RemoveColumn)
        emit removePress(index);
}
