// The patient directory against a scripted service: list answers, create,
// edit and delete, and which answer wins when requests overlap.
#include "api/Controller.h"
#include "api/PatientManager.h"
#include "data/PatientModel.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/ServiceTestEnvironment.h"

#include <QDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QtTest>

#include <memory>

namespace {

QJsonObject patientJson(const QString& id, const QString& name)
{
    return FakePatientService::patient(id, name);
}

QByteArray page(int pages, const QList<QJsonObject>& patients)
{
    QJsonArray data;
    for (const QJsonObject& patient : patients)
        data.append(patient);
    return QJsonDocument(QJsonObject{{QStringLiteral("pages"), pages}, {QStringLiteral("data"), data}}).toJson();
}

QStringList names(const PatientModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.patientAt(model.index(row, 0)).name();
    return names;
}

QString translated(const char* key)
{
    return QCoreApplication::translate("PatientManager", key);
}

Patient newPatient(const QString& name, int day, int month, int year)
{
    Patient patient;
    patient.setName(name);
    patient.setGender(QStringLiteral("MALE"));
    patient.setBirthDate(day, month, year);
    return patient;
}

} // namespace

class PatientManagerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listAnswerSetsPageCountThenRows();
    void listAnswerWithoutMembers();
    void listRequestCarriesThePageSizeAndSearch();
    void onlyTheLatestListAnswerIsShown();
    void supersededListErrorIsNotShown();
    void formIsCheckedBeforeSending_data();
    void formIsCheckedBeforeSending();
    void createdPatientBecomesTheLastRow();
    void refusedCreateKeepsTheFormOpen();
    void editReplacesTheRowOfThatId();
    void deletionRemovesThePatientsRowWhenConfirmed();
    void refusedDeletionKeepsTheRow();
    void replacePatientOnlyTouchesItsRow();

private:
    void loadPage(const QList<QJsonObject>& patients, int pages = 1);

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    PatientManager& m_directory = PatientManager::instance();
    PatientModel& m_model = *PatientManager::instance().model();
    QWidget m_view;
};

void PatientManagerTest::init()
{
    m_service = std::make_unique<FakePatientService>();
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
    m_directory.setPageSize(20);
    m_model.setCurrentPage(1);
    m_directory.onSuccess(page(0, {}));
}

void PatientManagerTest::cleanup()
{
    m_environment.reset();
    m_service.reset();
}

void PatientManagerTest::loadPage(const QList<QJsonObject>& patients, int pages)
{
    m_directory.onSuccess(page(pages, patients));
}

void PatientManagerTest::listAnswerSetsPageCountThenRows()
{
    loadPage({patientJson(QStringLiteral("a"), QStringLiteral("Old"))}, 2);
    // Whoever follows the page count sees it change before the rows do.
    int rowsWhenCountChanged = -1;
    QObject listening;
    connect(&m_model, &PatientModel::pageCountChanghed, &listening,
            [this, &rowsWhenCountChanged] { rowsWhenCountChanged = m_model.rowCount(); });

    m_service->setPage(5, {patientJson(QStringLiteral("p1"), QStringLiteral("Anna")),
                           patientJson(QStringLiteral("p2"), QStringLiteral("Boris")),
                           patientJson(QStringLiteral("p3"), QStringLiteral("Clara"))});
    m_directory.loadFirstPage(&m_view);
    QTRY_COMPARE(m_model.rowCount(), 3);
    QCOMPARE(m_model.pageCount(), 5);
    QCOMPARE(rowsWhenCountChanged, 1);
    QCOMPARE(names(m_model), (QStringList{"Anna", "Boris", "Clara"}));
    QCOMPARE(m_directory.patientAt(m_model.index(1, 0)).id(), QStringLiteral("p2"));
}

void PatientManagerTest::listAnswerWithoutMembers()
{
    loadPage({patientJson(QStringLiteral("a"), QStringLiteral("Old"))}, 3);
    m_directory.onSuccess(R"({"data":[]})");
    QCOMPARE(m_model.pageCount(), 0);
    loadPage({patientJson(QStringLiteral("a"), QStringLiteral("Old"))}, 3);
    // Without rows the answer can't be read: the page shown stays.
    MessageBoxRecorder boxes;
    m_directory.onSuccess(R"({"pages":2})");
    m_directory.onSuccess("not json at all");
    QCOMPARE(boxes.boxes.size(), 2);
    QCOMPARE(boxes.boxes.first().text, QStringLiteral("Text.unreadableAnswer"));
    QCOMPARE(m_model.pageCount(), 3);
    QCOMPARE(m_model.rowCount(), 1);
}

void PatientManagerTest::listRequestCarriesThePageSizeAndSearch()
{
    m_directory.loadFirstPage(&m_view);
    m_directory.search(&m_view, QStringLiteral("age"), QStringLiteral("desc"), 2, QStringLiteral("notes"),
                       QStringLiteral("back pain"));
    QTRY_COMPARE(m_service->requests("GET", QStringLiteral("/patient/filter")).size(), 2);
    // Both are on their way at once, on connections of their own: the
    // service may see them in either order.
    QList<QList<QPair<QString, QString>>> received;
    for (const RecordedRequest& request : m_service->requests("GET", QStringLiteral("/patient/filter")))
        received.append(request.query().queryItems(QUrl::FullyDecoded));
    const QList<QPair<QString, QString>> expectedFirst{{"sortby", "name"}, {"direction", "asc"}, {"size", "20"},
                                                       {"current", "0"},   {"searchby", "name"}, {"needle", ""}};
    const QList<QPair<QString, QString>> expectedSecond{
        {"sortby", "age"}, {"direction", "desc"}, {"size", "20"},
        {"current", "2"},  {"searchby", "notes"}, {"needle", Controller::needle(QStringLiteral("back pain"))}};
    QVERIFY(received.contains(expectedFirst));
    QVERIFY(received.contains(expectedSecond));
}

void PatientManagerTest::onlyTheLatestListAnswerIsShown()
{
    // The first search is answered last: its rows must not replace those of
    // the second.
    ScriptedResponse slow =
        ScriptedResponse::json(200, page(7, {patientJson(QStringLiteral("o1"), QStringLiteral("Older search"))}));
    slow.delayBeforeHeadersMs = 400;
    m_service->server().enqueue(slow);
    m_service->server().enqueue(
        ScriptedResponse::json(200, page(2, {patientJson(QStringLiteral("n1"), QStringLiteral("Newer search"))})));

    m_directory.search(&m_view, QStringLiteral("name"), QStringLiteral("asc"), 0, QStringLiteral("name"),
                       QStringLiteral("o"));
    QTRY_COMPARE(m_service->server().requests().size(), 1);
    m_directory.search(&m_view, QStringLiteral("name"), QStringLiteral("asc"), 0, QStringLiteral("name"),
                       QStringLiteral("ne"));
    QTRY_COMPARE(names(m_model), QStringList{QStringLiteral("Newer search")});
    // Both calls are over once neither overlay is left.
    QTRY_VERIFY(!m_view.findChild<QWidget*>(QStringLiteral("LoadingWindow")));
    QCOMPARE(names(m_model), QStringList{QStringLiteral("Newer search")});
    QCOMPARE(m_model.pageCount(), 2);
}

void PatientManagerTest::supersededListErrorIsNotShown()
{
    ScriptedResponse slowFailure = ScriptedResponse::json(500, R"({"message":"Old request failed"})");
    slowFailure.delayBeforeHeadersMs = 300;
    m_service->server().enqueue(slowFailure);
    m_service->server().enqueue(ScriptedResponse::json(500, R"({"message":"New request failed"})"));
    MessageBoxRecorder boxes;

    m_directory.search(&m_view, {}, {}, 0, {}, {});
    QTRY_COMPARE(m_service->server().requests().size(), 1);
    m_directory.search(&m_view, {}, {}, 1, {}, {});
    QTRY_VERIFY(!m_view.findChild<QWidget*>(QStringLiteral("LoadingWindow")));
    QCOMPARE(boxes.texts(),
             QStringList{
                 QStringLiteral("%1: New request failed").arg(QCoreApplication::translate("QObject", "Text.error"))});
}

void PatientManagerTest::formIsCheckedBeforeSending_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("message"); // empty: sent

    const struct
    {
        const char* row;
        const char* name;
        int day, month, year;
        const char* message;
        bool edit; // checked on an edit too
    } rows[] = {
        {"empty name", "", 1, 1, 1990, "Text.invalidName", false},
        {"empty name and bad date", "", 31, 2, 1990, "Text.invalidName", false},
        {"30 February", "Anna", 30, 2, 2000, "Text.invalidBirthDate", true},
        {"year 0", "Anna", 1, 1, 0, "Text.invalidBirthDate", true},
        {"day 0", "Anna", 0, 5, 1990, "Text.invalidBirthDate", true},
        {"29 February of a leap year", "Anna", 29, 2, 2000, nullptr, true},
        {"name of spaces", "   ", 1, 1, 1990, nullptr, true},
        {"empty name, edited", "", 1, 1, 1990, nullptr, true},
        {"empty name and bad date, edited", "", 31, 2, 1990, "Text.invalidBirthDate", true},
    };
    // An edit's birth date is checked as a new patient's: an invalid one
    // would be sent as an empty "birthDate". Its name goes as it is.
    for (bool edit : {false, true})
        for (const auto& row : rows)
            if (edit ? row.edit : !QByteArray(row.row).endsWith("edited"))
                QTest::addRow("%s, %s", edit ? "edit" : "new", row.row)
                    << edit << QString::fromUtf8(row.name) << row.day << row.month << row.year
                    << (row.message ? translated(row.message) : QString());
}

void PatientManagerTest::formIsCheckedBeforeSending()
{
    QFETCH(bool, edit);
    QFETCH(QString, name);
    QFETCH(int, day);
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(QString, message);
    MessageBoxRecorder boxes;
    // A stored patient disposes of the form, so it lives on the heap.
    QPointer<QDialog> form = new QDialog;
    const auto disposeForm = qScopeGuard([&form] { delete form; });
    const QByteArray method = edit ? "PUT" : "POST";
    m_service->answer("PUT", QStringLiteral("/patient"),
                      ScriptedResponse::json(200, QJsonDocument(patientJson("p1", name)).toJson()));

    if (edit)
        m_directory.editPatient(&m_view, form, newPatient(name, day, month, year));
    else
        m_directory.createPatient(&m_view, form, newPatient(name, day, month, year));
    if (!message.isEmpty()) {
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes.first().text, message);
        QCOMPARE(boxes.boxes.first().parent, &m_view);
        QTest::qWait(50);
        QVERIFY(m_service->server().requests().isEmpty());
    } else {
        QTRY_COMPARE(m_service->requests(method, QStringLiteral("/patient")).size(), 1);
        QTRY_VERIFY(!form || form->result() == QDialog::Accepted);
        QVERIFY(boxes.boxes.isEmpty());
    }
}

void PatientManagerTest::createdPatientBecomesTheLastRow()
{
    loadPage({patientJson(QStringLiteral("p1"), QStringLiteral("Zoe"))}, 4);
    m_model.setCurrentPage(2);
    QSignalSpy pageCount(&m_model, &PatientModel::pageCountChanghed);
    QPointer<QDialog> form = new QDialog;
    QSignalSpy accepted(form.data(), &QDialog::accepted);
    ScriptedResponse slow =
        ScriptedResponse::json(201, QJsonDocument(patientJson(QStringLiteral("p9"), QStringLiteral("Anna"))).toJson());
    slow.delayBeforeHeadersMs = 200;
    m_service->answer("POST", QStringLiteral("/patient"), slow);

    m_directory.createPatient(&m_view, form, newPatient(QStringLiteral("Anna"), 14, 3, 1985));
    // The form is covered while the service stores the patient.
    QVERIFY(form->findChild<QWidget*>(QStringLiteral("LoadingWindow")));
    QTRY_COMPARE(m_model.rowCount(), 2);
    QCOMPARE(names(m_model), (QStringList{"Zoe", "Anna"}));
    QCOMPARE(m_model.patientAt(m_model.index(1, 0)).id(), QStringLiteral("p9"));
    QCOMPARE(m_model.data(m_model.index(1, 0), Qt::DisplayRole).toInt(), 22);
    QCOMPARE(m_model.pageCount(), 4);
    QCOMPARE(pageCount.size(), 0);
    QCOMPARE(accepted.size(), 1);
    QTRY_VERIFY(form.isNull());

    const QJsonObject sent =
        QJsonDocument::fromJson(m_service->requests("POST", QStringLiteral("/patient")).first().body).object();
    QCOMPARE(sent.value(QStringLiteral("name")).toString(), QStringLiteral("Anna"));
    QVERIFY(!sent.contains(QStringLiteral("id")));
}

void PatientManagerTest::refusedCreateKeepsTheFormOpen()
{
    loadPage({patientJson(QStringLiteral("p1"), QStringLiteral("Zoe"))});
    m_service->answer("POST", QStringLiteral("/patient"),
                      ScriptedResponse::json(400, R"({"message":null,"errors":[{"name":"is required"}]})"));
    MessageBoxRecorder boxes;
    QDialog form;
    QSignalSpy accepted(&form, &QDialog::accepted);

    m_directory.createPatient(&m_view, &form, newPatient(QStringLiteral("Anna"), 1, 1, 1990));
    QTRY_COMPARE(boxes.boxes.size(), 1);
    QVERIFY2(boxes.boxes.first().text.contains(QStringLiteral("name is required")),
             qPrintable(boxes.boxes.first().text));
    QCOMPARE(boxes.boxes.first().parent, &m_view);
    QCOMPARE(accepted.size(), 0);
    QCOMPARE(names(m_model), QStringList{QStringLiteral("Zoe")});
}

void PatientManagerTest::editReplacesTheRowOfThatId()
{
    loadPage({patientJson(QStringLiteral("p1"), QStringLiteral("Anna")),
              patientJson(QStringLiteral("p2"), QStringLiteral("Boris"))});
    Patient boris = m_model.patientAt(m_model.index(1, 0));
    boris.setName(QString()); // an edit is sent as the form left it
    boris.setBirthDate(14, 3, 1985);
    QDialog form;
    QSignalSpy accepted(&form, &QDialog::accepted);
    QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);

    m_directory.editPatient(&m_view, &form, boris);
    QTRY_COMPARE(accepted.size(), 1);
    QCOMPARE(names(m_model), (QStringList{"Anna", ""}));
    QVERIFY(!changed.isEmpty());
    QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
    const QJsonObject sent =
        QJsonDocument::fromJson(m_service->requests("PUT", QStringLiteral("/patient")).first().body).object();
    QCOMPARE(sent.value(QStringLiteral("id")).toString(), QStringLiteral("p2"));
}

void PatientManagerTest::deletionRemovesThePatientsRowWhenConfirmed()
{
    loadPage({patientJson(QStringLiteral("p1"), QStringLiteral("Anna")),
              patientJson(QStringLiteral("p2"), QStringLiteral("Boris")),
              patientJson(QStringLiteral("p3"), QStringLiteral("Clara"))});
    const Patient boris = m_model.patientAt(m_model.index(1, 0));
    ScriptedResponse slow = ScriptedResponse::json(200, "{}");
    slow.delayBeforeHeadersMs = 300;
    m_service->answer("DELETE", QStringLiteral("/patient/p2"), slow);
    QSignalSpy deleted(&m_directory, &PatientManager::onPatientDeleted);

    m_directory.removePatient(&m_view, m_model.index(1, 0));
    // Meanwhile another answer reorders the page: Boris is now the last row.
    loadPage({patientJson(QStringLiteral("p3"), QStringLiteral("Clara")),
              patientJson(QStringLiteral("p1"), QStringLiteral("Anna")), patientJson(boris.id(), boris.name())});
    QTRY_COMPARE(deleted.size(), 1);
    QCOMPARE(names(m_model), (QStringList{"Clara", "Anna"}));
    QCOMPARE(m_service->requests("DELETE", QStringLiteral("/patient/p2")).size(), 1);
}

void PatientManagerTest::refusedDeletionKeepsTheRow()
{
    loadPage({patientJson(QStringLiteral("p1"), QStringLiteral("Anna"))});
    m_service->answer("DELETE", QStringLiteral("/patient/p1"),
                      ScriptedResponse::json(409, R"({"message":"The patient has a device"})"));
    MessageBoxRecorder boxes;
    QSignalSpy deleted(&m_directory, &PatientManager::onPatientDeleted);
    QWidget asker;

    m_directory.removePatient(&asker, m_model.patientAt(m_model.index(0, 0)));
    QTRY_COMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().text, QStringLiteral("The patient has a device"));
    QCOMPARE(boxes.boxes.first().parent, &asker);
    QCOMPARE(deleted.size(), 0);
    QCOMPARE(names(m_model), QStringList{QStringLiteral("Anna")});
}

void PatientManagerTest::replacePatientOnlyTouchesItsRow()
{
    loadPage({patientJson(QStringLiteral("p1"), QStringLiteral("Anna")),
              patientJson(QStringLiteral("p2"), QStringLiteral("Boris"))});
    QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);

    m_directory.replacePatient(Patient(patientJson(QStringLiteral("p9"), QStringLiteral("Stranger"))));
    QCOMPARE(changed.size(), 0);
    m_directory.replacePatient(Patient(patientJson(QStringLiteral("p2"), QStringLiteral("Boris Petrov"))));
    QCOMPARE(names(m_model), (QStringList{"Anna", "Boris Petrov"}));
    QCOMPARE(m_directory.patientById(Patient(patientJson(QStringLiteral("p2"), {}))).name(),
             QStringLiteral("Boris Petrov"));
    QVERIFY(m_directory.patientById(Patient(patientJson(QStringLiteral("p9"), {}))).id().isEmpty());
}

QTEST_MAIN(PatientManagerTest)
#include "tst_patientmanager.moc"
