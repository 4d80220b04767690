// The first screens against the running local service, as a practitioner
// uses them: sign in as demo, page through, search and sort the seeded
// patients, then create, edit and delete one; the service's own API shows
// that the changes are stored.
#include "api/Controller.h"
#include "api/PatientManager.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "data/PatientModel.h"
#include "local-service/ServiceClient.h"
#include "support/LocalServiceProcess.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/ServiceTestEnvironment.h"
#include "support/SignInDriver.h"
#include "support/WorkingDirectory.h"
#include "views/ViewPatients.h"
#include "widgets/QPagination.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include <memory>

namespace {

QStringList names(const QJsonArray& patients)
{
    QStringList names;
    for (const QJsonValue& patient : patients)
        names << patient.toObject().value(QStringLiteral("name")).toString();
    return names;
}

QStringList shownNames()
{
    PatientModel* model = PatientManager::instance().model();
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->patientAt(model->index(row, 0)).name();
    return names;
}

QString query(const QString& sortBy, const QString& direction, int current, const QString& needle = QString())
{
    return QStringLiteral("sortby=%1&direction=%2&size=20&current=%3&searchby=name&needle=%4")
        .arg(sortBy, direction)
        .arg(current)
        .arg(needle.isEmpty() ? QString() : Controller::needle(needle));
}

} // namespace

class PatientsFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void signInShowsTheFirstTwentyPatients();
    void searchSortAndPage();
    void createEditAndDelete();

private:
    bool listIsIdle() const;
    QTableView* table() const { return m_window->patientsList()->findChild<QTableView*>(QStringLiteral("tableView")); }

    ScopedWorkingDirectory m_folder;
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceClient> m_client;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<MainWindow> m_window;
};

void PatientsFlowTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    m_client = std::make_unique<ServiceClient>(m_service.baseUrl());
    QCOMPARE(m_client->signIn(QStringLiteral("demo"), QStringLiteral("demo")).status, 200);

    signInWhenAsked(QStringLiteral("demo"), QStringLiteral("demo"));
    m_window = std::make_unique<MainWindow>();
    QVERIFY(m_window->isSignedIn());
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void PatientsFlowTest::cleanupTestCase()
{
    m_window.reset();
    m_environment.reset();
}

bool PatientsFlowTest::listIsIdle() const
{
    return !m_window->patientsList()->findChild<QWidget*>(QStringLiteral("LoadingWindow"));
}

void PatientsFlowTest::signInShowsTheFirstTwentyPatients()
{
    const QStringList expected = names(m_client->patients(query(QStringLiteral("name"), QStringLiteral("asc"), 0)));
    QCOMPARE(expected.size(), 20);
    QTRY_COMPARE(shownNames(), expected);
    // 60 seeded patients, 20 a page.
    QCOMPARE(m_window->patientsList()->pagination()->pageCount(), 3);
}

void PatientsFlowTest::searchSortAndPage()
{
    ViewPatients* list = m_window->patientsList();

    // Page 2 of the name order.
    for (QPushButton* button : list->pagination()->findChildren<QPushButton*>())
        if (button->property("page").toInt() == 2)
            button->click();
    const QStringList secondPage = names(m_client->patients(query(QStringLiteral("name"), QStringLiteral("asc"), 1)));
    QTRY_COMPARE(shownNames(), secondPage);
    QCOMPARE(table()->model()->data(table()->model()->index(0, 0)).toInt(), 21);

    // Back to page 1, sorted by age from the oldest.
    for (QPushButton* button : list->pagination()->findChildren<QPushButton*>())
        if (button->property("page").toInt() == 1)
            button->click();
    QHeaderView* header = table()->horizontalHeader();
    const auto clickAge = [header] {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(PatientModel::AgeColumn) + 10, header->height() / 2));
    };
    clickAge();
    clickAge();
    const QStringList byAgeDescending =
        names(m_client->patients(query(QStringLiteral("age"), QStringLiteral("desc"), 0)));
    QTRY_COMPARE(shownNames(), byAgeDescending);

    // A search narrows the list to the matching patients.
    const QString needle = shownNames().first().left(3);
    list->findChild<QLineEdit*>(QStringLiteral("searchField"))->setText(needle);
    const QStringList found =
        names(m_client->patients(query(QStringLiteral("age"), QStringLiteral("desc"), 0, needle)));
    QVERIFY(!found.isEmpty() && found.size() < 20);
    QTRY_COMPARE_WITH_TIMEOUT(shownNames(), found, 5000);
    for (const QString& name : found)
        QVERIFY2(name.contains(needle, Qt::CaseInsensitive), qPrintable(name));

    list->findChild<QLineEdit*>(QStringLiteral("searchField"))->clear();
    QTRY_COMPARE_WITH_TIMEOUT(shownNames().size(), 20, 5000);
    QTRY_VERIFY(listIsIdle());
}

void PatientsFlowTest::createEditAndDelete()
{
    ViewPatients* list = m_window->patientsList();
    QTRY_VERIFY(listIsIdle());
    const QString name = QStringLiteral("Test Practitioner Patient");

    // Create through the form.
    whenModalAppears([name](QWidget* form) {
        form->findChild<QLineEdit*>(QStringLiteral("nameField"))->setText(name);
        form->findChild<QLineEdit*>(QStringLiteral("birthDateDayField"))->setText(QStringLiteral("9"));
        form->findChild<QComboBox*>(QStringLiteral("birthDateMonthBox"))->setCurrentIndex(10);
        form->findChild<QLineEdit*>(QStringLiteral("birthDateYearField"))->setText(QStringLiteral("1977"));
        form->findChild<QPushButton*>(QStringLiteral("buttonGenderFemale"))->click();
        form->findChild<QLineEdit*>(QStringLiteral("phoneField"))->setText(QStringLiteral("+7 900 000 00 00"));
        form->findChild<QCheckBox*>(QStringLiteral("agreement"))->setChecked(true);
        form->findChild<QPushButton*>(QStringLiteral("buttonSave"))->click();
    });
    list->findChild<QPushButton*>(QStringLiteral("buttonNewPatient"))->click();
    QTRY_COMPARE(shownNames().size(), 21);
    QCOMPARE(shownNames().last(), name);
    const QJsonArray stored = m_client->patients(
        QStringLiteral("sortby=name&direction=asc&size=10&current=0&searchby=name&needle=") + Controller::needle(name));
    QCOMPARE(stored.size(), 1);
    const QJsonObject created = stored.first().toObject();
    QCOMPARE(created.value(QStringLiteral("gender")).toString(), QStringLiteral("FEMALE"));
    QCOMPARE(created.value(QStringLiteral("birthDate")).toString().left(10), QStringLiteral("1977-11-09"));
    const QString id = created.value(QStringLiteral("id")).toString();

    // Edit it through the edit picture of its row.
    const QModelIndex edit = table()->model()->index(20, PatientModel::EditColumn);
    table()->scrollTo(edit);
    whenModalAppears([](QWidget* form) {
        form->findChild<QLineEdit*>(QStringLiteral("phoneField"))->setText(QStringLiteral("+7 900 111 22 33"));
        form->findChild<QPushButton*>(QStringLiteral("buttonSave"))->click();
    });
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, table()->visualRect(edit).center());
    QTRY_COMPARE(
        m_client
            ->get(QStringLiteral("/patient/filter?") + query(QStringLiteral("name"), QStringLiteral("asc"), 0, name))
            .object()
            .value(QStringLiteral("data"))
            .toArray()
            .first()
            .toObject()
            .value(QStringLiteral("phone"))
            .toString(),
        QStringLiteral("+7 900 111 22 33"));

    // Delete it through the remove picture, confirming the question.
    MessageBoxRecorder boxes(QMessageBox::Yes);
    const QModelIndex remove = table()->model()->index(20, PatientModel::RemoveColumn);
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, table()->visualRect(remove).center());
    QCOMPARE(boxes.boxes.size(), 1);
    QTRY_COMPARE(shownNames().size(), 20);
    QVERIFY(!shownNames().contains(name));
    QCOMPARE(m_client
                 ->patients(QStringLiteral("sortby=name&direction=asc&size=10&current=0&searchby=name&needle=") +
                            Controller::needle(name))
                 .size(),
             0);
    QCOMPARE(m_client->remove(QStringLiteral("/patient/") + id).status, 404);
}

QTEST_MAIN(PatientsFlowTest)
#include "tst_patientsflow.moc"
