#pragma once

#include "data/Patient.h"

#include <QObject>
#include <QPointer>

class PatientModel;
class QDialog;
class QModelIndex;
class QWidget;

// The one patient directory of the process: asks the service for pages of
// patients, creates, edits and deletes them, and keeps the page shown in the
// patients list in its model. Screens that change a patient elsewhere push it
// back with replacePatient so that the list row stays current.
class PatientManager : public QObject
{
    Q_OBJECT

public:
    static PatientManager& instance();

    PatientModel* model() const { return m_model; }

    int pageSize() const { return m_pageSize; }
    void setPageSize(int size);

    // The first page sorted by name, nothing searched. The view shows the
    // loading overlay and any error.
    void loadFirstPage(QWidget* view);
    // One page; pageIndex starts at 0.
    void search(QWidget* view, const QString& sortBy, const QString& direction, int pageIndex, const QString& searchBy,
                const QString& searchText);

    // Checks the name and birth date, then stores the new patient; on success
    // the patient becomes the last row of the page and the form is accepted
    // and disposed of. The form stays open on any refusal.
    void createPatient(QWidget* view, QDialog* form, const Patient& patient);
    // Checks the birth date as for a new patient, then stores the edited
    // patient; on success its row is replaced and the form accepted.
    void editPatient(QWidget* view, QDialog* form, const Patient& patient);
    // Deletes the patient; once the service confirms, that patient's row goes
    // and onPatientDeleted() follows.
    void removePatient(QWidget* widget, const Patient& patient);
    void removePatient(QWidget* widget, const QModelIndex& index);

    Patient patientAt(const QModelIndex& index) const;
    Patient patientById(const Patient& patient) const;
    // Replaces the row with the same id; nothing when that patient is not on
    // the page.
    void replacePatient(const Patient& patient);

signals:
    void onPatientDeleted();

public slots:
    // A page of patients: the page count first, then the rows.
    void onSuccess(QByteArray bytes);
    void onError(QString message);

private:
    PatientManager();

    QWidget* messageParent() const { return m_messageParent.data(); }
    // Shows why a form's patient can't be sent; false when it can.
    bool refusesForm(QWidget* view, const Patient& patient, bool nameRequired);

    PatientModel* m_model;
    QPointer<QWidget> m_messageParent;
    int m_pageSize = 0;
    // Each list request gets the next number; only the answer to the latest
    // one is shown, so a slow answer to an older search or page can't replace
    // the rows of a newer one.
    quint64 m_latestListRequest = 0;
};
