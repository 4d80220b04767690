#include "data/PatientProxyModel.h"

#include "data/PatientModel.h"

PatientProxyModel::PatientProxyModel(QObject* parent) : QSortFilterProxyModel(parent) {}

QVariant PatientProxyModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::BackgroundRole && index.isValid())
        return PatientModel::rowBackground(index.row());
    return QSortFilterProxyModel::data(index, role);
}
