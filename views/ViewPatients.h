#pragma once

#include "data/Patient.h"
#include "views/ReturnableScreen.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class FormPatient;
class PatientDelegate;
class QComboBox;
class QHeaderView;
class QLineEdit;
class QModelIndex;
class QPagination;
class QTableView;
class ScreenHeading;

// The first screen after sign-in: one page of the practitioner's patients.
// Searching, sorting and paging are done by the service; every change asks
// it for a page again.
class ViewPatients : public QWidget, public ReturnableScreen
{
    Q_OBJECT

public:
    explicit ViewPatients(QWidget* parent = nullptr);

    QPagination* pagination() const { return m_pagination; }
    // Back from the card: the page is asked for again, as the screens above
    // may have changed its patients (records, device, particulars).
    void screenReturned() override;

signals:
    void onChoosePatient(Patient& patient);

public slots:
    void onCreate(Patient* patient);
    void onDoubleClick(const QModelIndex& index);
    void onNewPatient();
    void onRefresh();
    void onSearchChanged(const QString& text);

protected:
    void changeEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void buildWidgets();
    void setUpTable();
    void setUpPagination();
    void setUpKeys();
    void retranslate();

    void reload();
    void onHeaderClicked(int section);
    void onEditPress(const QModelIndex& index);
    void onRemovePress(const QModelIndex& index);
    // Opens the form modally for the patient; submissions go to onSubmit.
    void runForm(Patient& patient, const std::function<void(Patient*)>& onSubmit);
    void updateBusyState();

    QString sortKey() const;
    QString searchField() const;

    ScreenHeading* m_heading = nullptr;
    QTableView* m_table = nullptr;
    QHeaderView* m_header = nullptr;
    QComboBox* m_searchFields = nullptr;
    QLineEdit* m_searchText = nullptr;
    PatientDelegate* m_delegate = nullptr;
    QPagination* m_pagination = nullptr;
    QTimer m_searchTimer;
    QPointer<FormPatient> m_form;
    // The sort column before the last header click; a click on a column the
    // service can't sort by puts the indicator back there.
    int m_sortSection = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
