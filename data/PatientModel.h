#pragma once

#include "data/Patient.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>

// The patients of the page the practitioner is looking at, one row each, in
// the order the service sent them. The running number of a row depends on
// the page, so the model also keeps the paging state of the list.
class PatientModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        NumberColumn,
        DeviceColumn,
        NameColumn,
        AgeColumn,
        GenderColumn,
        LastRecordColumn,
        PhoneColumn,
        NotesColumn,
        EditColumn,
        RemoveColumn,
        ColumnCount
    };

    explicit PatientModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void clear();
    void append(const Patient& patient);
    // Rows outside the list are ignored.
    void removeAt(int row);
    // Replaces the patient of the index's row; an index outside the list is ignored.
    void updateAt(const QModelIndex& index, const Patient& patient);

    // Copies; a default patient when nothing matches.
    Patient patientAt(const QModelIndex& index) const;
    Patient patientById(const QString& id) const;
    // The first row holding a patient with the same id, or -1. An empty id
    // never matches: such a patient is not stored on the service yet.
    int indexOf(const Patient& patient) const;

    int pageCount() const { return m_pageCount; }
    void setPageCount(int count);
    // 1-based.
    int currentPage() const { return m_currentPage; }
    void setCurrentPage(int page);
    int pageSize() const { return m_pageSize; }
    void setPageSize(int size);

    // The look shared by the patient tables: white even rows, light blue-grey odd rows, dark grey text.
    static QColor rowBackground(int row);
    static QColor textColor();

signals:
    void pageCountChanghed();

private:
    bool holds(const QModelIndex& index) const;
    int rowOfId(const QString& id) const;
    QVariant displayValue(int row, int column) const;
    // What a screen reader says for a cell that shows a picture.
    QString pictureText(int row, int column) const;
    static Qt::Alignment alignment(int column);
    static QString headerText(int column);
    static QString statusText(DeviceState state);
    void numbersChanged();

    QList<Patient> m_patients;
    int m_pageCount = 0;
    int m_currentPage = 1;
    int m_pageSize = 0;
};
