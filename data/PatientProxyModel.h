#pragma once

#include <QSortFilterProxyModel>

// A sort proxy that keeps the alternating row colours of the patient tables
// after sorting: the colour follows the row as shown, not the source row.
class PatientProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit PatientProxyModel(QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;
};
