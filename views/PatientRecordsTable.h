#pragma once

#include "api/RecordingUploader.h"
#include "data/Patient.h"
#include "data/Record.h"

#include <QList>
#include <QObject>

class CheckBoxHeader;
class PatientProxyModel;
class QModelIndex;
class QTableView;
class QWidget;
class RecordDelegate;
class RecordModel;

// The card's table of the patient's records: the model with the check marks,
// its sort proxy, the delegate of the pictures and the header with the
// check box, set up on the card's table view; and the requests that fill and
// change it (the list, an upload, a deletion).
class PatientRecordsTable : public QObject
{
    Q_OBJECT

public:
    // Requests show their overlay over the card.
    PatientRecordsTable(QWidget* card, QTableView* table, const Patient& patient);

    RecordModel* model() const { return m_model; }
    CheckBoxHeader* header() const { return m_header; }
    QList<Record> checkedRecords() const;

    // Whether the practitioner's check marks survive a new list: they do on
    // records that are still there when the card shows what changed elsewhere.
    enum class Checks
    {
        Cleared,
        Kept
    };

    // Asks the service for the records again.
    void load(Checks checks = Checks::Cleared);
    // The service's list of records replaces the rows; an answer that is no
    // list is reported as an error and changes nothing.
    void showRecords(const QByteArray& bytes, Checks checks = Checks::Cleared);
    // The recording goes to the service, kept on this computer until the
    // service confirms it; its answer becomes the first row, or the list is
    // loaded again when the answer names no record.
    void upload(const QByteArray& recording, const QString& sensorId);
    // The service's answer to an upload: the new record, as the first row.
    // False, and nothing shown, when the answer is no record.
    bool addUploaded(const QByteArray& bytes);
    // The record at that index of the table, after the practitioner agreed.
    void askToDelete(const QModelIndex& index);

    // The header's box follows the rows' marks; the table repaints.
    void showChecks();

signals:
    // The marks or the rows changed.
    void checksChanged();
    void error(const QString& message);

private:
    void setUpTable();
    void showUploaded(const QString& patientId, const QByteArray& bytes);
    void reportFailedUpload(const QString& patientId, const QString& message, RecordingUploader::Origin origin,
                            bool kept);

    QWidget* m_card;
    QTableView* m_table;
    const Patient m_patient;
    RecordModel* m_model = nullptr;
    PatientProxyModel* m_proxy = nullptr;
    RecordDelegate* m_delegate = nullptr;
    CheckBoxHeader* m_header = nullptr;
};
