#pragma once

#include "data/Record.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>

// The records of the patient open in the card, one row each, with the
// practitioner's check mark per record. The first source row carries the
// highest running number; the card shows the rows through a sorting proxy.
class RecordModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        CheckColumn,
        NumberColumn,
        NotesColumn,
        RecordedAtColumn,
        DoctorColumn,
        QuestionnaireColumn,
        RemoveColumn,
        ColumnCount
    };

    // What the card's table sorts on: the cell's value as such, numbers as
    // numbers and dates as dates, whatever the cell shows.
    static constexpr int SortRole = Qt::UserRole;

    explicit RecordModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The check column toggles its record whatever value is given.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Clears, then onUpdate().
    void clear();
    void append(const Record& record);
    // Adds all the records below the others in one insertion, as a reply's
    // worth of rows is added.
    void append(const QList<Record>& records);
    void prepend(const Record& record);
    // Rows outside the list are ignored; onUpdate() follows a removal.
    void removeAt(int row);
    void updateAt(const QModelIndex& index, const Record& record);

    // A default record when the index is outside the list.
    Record recordAt(const QModelIndex& index) const;
    // The first row holding a record with the same id, or -1; an empty id
    // never matches.
    int indexOf(const Record& record) const;
    // In row order.
    QList<Record> checkedRecords() const;
    // Sets every record's mark, then onUpdate().
    void setAllChecked(bool checked);

signals:
    // The check marks or the rows changed; not emitted by append or prepend.
    void onUpdate();

private:
    bool holds(const QModelIndex& index) const;
    QVariant displayValue(int row, int column) const;
    // What a screen reader says for a cell that shows a picture.
    QString pictureText(int row, int column) const;
    QVariant sortValue(int row, int column) const;
    static QVariant headerAlignment(int section);

    QList<Record> m_records;
    // Loaded on first use: the model itself needs no screen.
    mutable QPixmap m_notes;
};
