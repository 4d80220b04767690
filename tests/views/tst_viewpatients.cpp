// The patients list screen: what each control asks the service for, the
// search delay, the busy state and the patient form round trips.
#include "api/Controller.h"
#include "api/PatientManager.h"
#include "app/Application.h"
#include "base/Language.h"
#include "data/PatientModel.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/ServiceTestEnvironment.h"
#include "views/ViewPatients.h"
#include "widgets/QPagination.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTranslator>
#include <QtTest>

#include <functional>
#include <memory>

using ScreenAction = std::function<void(ViewPatients&)>;
Q_DECLARE_METATYPE(ScreenAction)

namespace {

QTableView* table(ViewPatients& view)
{
    return view.findChild<QTableView*>(QStringLiteral("tableView"));
}

void clickHeader(ViewPatients& view, int section)
{
    QHeaderView* header = table(view)->horizontalHeader();
    const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

QLineEdit* searchField(ViewPatients& view)
{
    return view.findChild<QLineEdit*>(QStringLiteral("searchField"));
}

void clickPage(ViewPatients& view, int page)
{
    for (QPushButton* button : view.pagination()->findChildren<QPushButton*>())
        if (button->property("page").toInt() == page && button->isVisible()) {
            button->click();
            return;
        }
    QFAIL(qPrintable(QStringLiteral("no button for page %1").arg(page)));
}

QList<QJsonObject> patients(int count)
{
    QList<QJsonObject> list;
    for (int i = 1; i <= count; ++i)
        list << FakePatientService::patient(QStringLiteral("p%1").arg(i), QStringLiteral("Patient %1").arg(i));
    return list;
}

// The centre of one cell in the coordinates of the screen's window, where
// the mouse goes as a practitioner's would.
QPoint cellCentre(ViewPatients& view, int row, int column)
{
    QWidget* viewport = table(view)->viewport();
    const QPoint centre = table(view)->visualRect(table(view)->model()->index(row, column)).center();
    return viewport->mapTo(viewport->window(), centre);
}

void clickCell(ViewPatients& view, int row, int column)
{
    QTest::mouseClick(view.windowHandle(), Qt::LeftButton, {}, cellCentre(view, row, column));
}

void doubleClickCell(ViewPatients& view, int row, int column)
{
    QTest::mouseDClick(view.windowHandle(), Qt::LeftButton, {}, cellCentre(view, row, column));
}

} // namespace

class ViewPatientsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstPageIsAskedAtOnce();
    void reloadAsksWhatTheControlsShow_data();
    void reloadAsksWhatTheControlsShow();
    void numberAndPictureColumnsDoNotReload();
    void searchGoesOut800MsAfterTheLastKey();
    void searchFieldIsReadOnlyWhileLoading();
    void pageCountFollowsTheAnswers();
    void newPatientThroughTheForm();
    void editThroughTheForm();
    void enterWhileSavingSendsNothingMore();
    void removePictureAsksThenDeletes();
    void doubleClickChoosesThePatient();

private:
    std::unique_ptr<ViewPatients> openScreen();
    QUrlQuery lastListQuery() const;
    int listRequestCount() const;

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    QTranslator m_translator;
};

void ViewPatientsTest::initTestCase()
{
    // Pictures, style sheet and identity, as the program has them.
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
}

void ViewPatientsTest::init()
{
    m_service = std::make_unique<FakePatientService>();
    m_service->setPage(12, patients(20));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
}

void ViewPatientsTest::cleanup()
{
    m_environment.reset();
    m_service.reset();
}

std::unique_ptr<ViewPatients> ViewPatientsTest::openScreen()
{
    auto view = std::make_unique<ViewPatients>();
    view->resize(1280, 800);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    // Wait for the first page so later requests are the test's own.
    if (!QTest::qWaitFor([this] { return listRequestCount() == 1; }) ||
        !QTest::qWaitFor([&view] { return !view->findChild<QWidget*>(QStringLiteral("LoadingWindow")); }))
        return nullptr;
    return view;
}

QUrlQuery ViewPatientsTest::lastListQuery() const
{
    const QList<RecordedRequest> requests = m_service->requests("GET", QStringLiteral("/patient/filter"));
    return requests.isEmpty() ? QUrlQuery() : requests.last().query();
}

int ViewPatientsTest::listRequestCount() const
{
    return m_service->requests("GET", QStringLiteral("/patient/filter")).size();
}

void ViewPatientsTest::firstPageIsAskedAtOnce()
{
    const auto view = openScreen();
    QVERIFY(view);
    const QUrlQuery query = lastListQuery();
    QCOMPARE(query.queryItemValue(QStringLiteral("sortby")), QStringLiteral("name"));
    QCOMPARE(query.queryItemValue(QStringLiteral("direction")), QStringLiteral("asc"));
    QCOMPARE(query.queryItemValue(QStringLiteral("size")), QStringLiteral("20"));
    QCOMPARE(query.queryItemValue(QStringLiteral("current")), QStringLiteral("0"));
    QCOMPARE(query.queryItemValue(QStringLiteral("searchby")), QStringLiteral("name"));
    QCOMPARE(query.queryItemValue(QStringLiteral("needle")), QString());
    QCOMPARE(table(*view)->model()->rowCount(), 20);
    QCOMPARE(view->pagination()->pageCount(), 12);
    QCOMPARE(table(*view)->horizontalHeader()->sortIndicatorSection(), int(PatientModel::NameColumn));
}

void ViewPatientsTest::reloadAsksWhatTheControlsShow_data()
{
    QTest::addColumn<ScreenAction>("action");
    QTest::addColumn<QString>("sortby");
    QTest::addColumn<QString>("direction");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("searchby");
    QTest::addColumn<QString>("needle");

    const auto header = [](int section) {
        return ScreenAction([section](ViewPatients& v) { clickHeader(v, section); });
    };
    const auto refresh = ScreenAction([](ViewPatients& v) { v.onRefresh(); });
    const auto search = [](int field, const QString& text) {
        return ScreenAction([field, text](ViewPatients& v) {
            searchField(v)->setText(text);
            v.findChild<QComboBox*>(QStringLiteral("comboBox"))->setCurrentIndex(field);
            v.onRefresh();
        });
    };
    const QString an = Controller::needle(QStringLiteral("an"));

    QTest::newRow("refresh") << refresh << "name"
                             << "asc"
                             << "0"
                             << "name" << QString();
    QTest::newRow("name header again turns the order") << header(PatientModel::NameColumn) << "name"
                                                       << "desc"
                                                       << "0"
                                                       << "name" << QString();
    QTest::newRow("age") << header(PatientModel::AgeColumn) << "age"
                         << "asc"
                         << "0"
                         << "name" << QString();
    QTest::newRow("age twice") << ScreenAction([](ViewPatients& v) {
        clickHeader(v, PatientModel::AgeColumn);
        clickHeader(v, PatientModel::AgeColumn);
    }) << "age"
                               << "desc"
                               << "0"
                               << "name" << QString();
    QTest::newRow("gender") << header(PatientModel::GenderColumn) << "gender"
                            << "asc"
                            << "0"
                            << "name" << QString();
    QTest::newRow("last record") << header(PatientModel::LastRecordColumn) << "record"
                                 << "asc"
                                 << "0"
                                 << "name" << QString();
    QTest::newRow("notes") << header(PatientModel::NotesColumn) << "notes"
                           << "asc"
                           << "0"
                           << "name" << QString();
    QTest::newRow("phone has no sort key") << header(PatientModel::PhoneColumn) << QString() << QString() << "0"
                                           << "name" << QString();
    QTest::newRow("name search trimmed") << search(0, QStringLiteral("  an \t")) << "name"
                                         << "asc"
                                         << "0"
                                         << "name" << an;
    QTest::newRow("notes search") << search(1, QStringLiteral("an")) << "name"
                                  << "asc"
                                  << "0"
                                  << "notes" << an;
    QTest::newRow("spaces only") << search(0, QStringLiteral("   ")) << "name"
                                 << "asc"
                                 << "0"
                                 << "name" << QString();
    QTest::newRow("page 3") << ScreenAction([](ViewPatients& v) { clickPage(v, 3); }) << "name"
                            << "asc"
                            << "2"
                            << "name" << QString();
    QTest::newRow("page 3 then search keeps the page") << ScreenAction([](ViewPatients& v) {
        clickPage(v, 3);
        searchField(v)->setText(QStringLiteral("an"));
        v.onRefresh();
    }) << "name"
                                                       << "asc"
                                                       << "2"
                                                       << "name" << an;
}

void ViewPatientsTest::reloadAsksWhatTheControlsShow()
{
    QFETCH(ScreenAction, action);
    QFETCH(QString, sortby);
    QFETCH(QString, direction);
    QFETCH(QString, current);
    QFETCH(QString, searchby);
    QFETCH(QString, needle);
    const auto view = openScreen();
    QVERIFY(view);

    action(*view);
    QTRY_VERIFY(listRequestCount() > 1);
    QTRY_VERIFY(!view->findChild<QWidget*>(QStringLiteral("LoadingWindow")));
    const QUrlQuery query = lastListQuery();
    QCOMPARE(query.queryItemValue(QStringLiteral("sortby")), sortby);
    QCOMPARE(query.queryItemValue(QStringLiteral("direction")), direction);
    QCOMPARE(query.queryItemValue(QStringLiteral("current")), current);
    QCOMPARE(query.queryItemValue(QStringLiteral("searchby")), searchby);
    QCOMPARE(query.queryItemValue(QStringLiteral("needle"), QUrl::FullyDecoded), needle);
    QCOMPARE(query.queryItemValue(QStringLiteral("size")), QStringLiteral("20"));
}

void ViewPatientsTest::numberAndPictureColumnsDoNotReload()
{
    const auto view = openScreen();
    QVERIFY(view);
    clickHeader(*view, PatientModel::AgeColumn);
    QTRY_COMPARE(listRequestCount(), 2);

    for (int section :
         {PatientModel::NumberColumn, PatientModel::DeviceColumn, PatientModel::EditColumn, PatientModel::RemoveColumn})
        clickHeader(*view, section);
    // The refresh is the only request after the clicks, and the indicator is
    // still on the column the rows are sorted by.
    view->onRefresh();
    QTRY_COMPARE(listRequestCount(), 3);
    QCOMPARE(lastListQuery().queryItemValue(QStringLiteral("sortby")), QStringLiteral("age"));
    QCOMPARE(lastListQuery().queryItemValue(QStringLiteral("direction")), QStringLiteral("asc"));
    QCOMPARE(table(*view)->horizontalHeader()->sortIndicatorSection(), int(PatientModel::AgeColumn));
}

void ViewPatientsTest::searchGoesOut800MsAfterTheLastKey()
{
    const auto view = openScreen();
    QVERIFY(view);
    QElapsedTimer sinceLastKey;
    qint64 waited = -1;
    QObject listening;
    connect(&m_service->server(), &TestHttpServer::requestReceived, &listening,
            [&](const RecordedRequest&) { waited = sinceLastKey.elapsed(); });

    searchField(*view)->setFocus();
    QTest::keyClick(searchField(*view), Qt::Key_A);
    QTest::qWait(300);
    QTest::keyClick(searchField(*view), Qt::Key_N);
    sinceLastKey.start();
    QTRY_COMPARE_WITH_TIMEOUT(listRequestCount(), 2, 3000);
    QVERIFY2(waited >= 795, qPrintable(QStringLiteral("sent %1 ms after the last key").arg(waited)));
    QCOMPARE(lastListQuery().queryItemValue(QStringLiteral("needle"), QUrl::FullyDecoded),
             Controller::needle(QStringLiteral("an")));
    QCOMPARE(lastListQuery().queryItemValue(QStringLiteral("searchby")), QStringLiteral("name"));
    // One request, not one per key or per timer tick.
    QTest::qWait(1000);
    QCOMPARE(listRequestCount(), 2);
}

void ViewPatientsTest::searchFieldIsReadOnlyWhileLoading()
{
    const auto view = openScreen();
    QVERIFY(view);
    QLineEdit* field = searchField(*view);
    QVERIFY(!field->isReadOnly());
    ScriptedResponse slow = ScriptedResponse::json(200, R"({"pages":1,"data":[]})");
    slow.delayBeforeHeadersMs = 500;
    m_service->answer("GET", QStringLiteral("/patient/filter"), slow);

    view->onRefresh();
    QTRY_VERIFY(field->isReadOnly());
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("xyz"));
    QCOMPARE(field->text(), QString());
    QTRY_VERIFY(!field->isReadOnly());
    QTest::keyClicks(field, QStringLiteral("ok"));
    QCOMPARE(field->text(), QStringLiteral("ok"));
}

void ViewPatientsTest::pageCountFollowsTheAnswers()
{
    const auto view = openScreen();
    QVERIFY(view);
    clickPage(*view, 12);
    QTRY_COMPARE(listRequestCount(), 2);
    QCOMPARE(view->pagination()->currentPage(), 12);
    QTRY_COMPARE(table(*view)->model()->data(table(*view)->model()->index(0, 0)).toInt(), 221);

    // A narrower search has fewer pages than the one shown: the pagination
    // starts again at 1, and page 1 is asked for and numbered from 1.
    m_service->setPage(2, patients(3));
    view->onRefresh();
    QTRY_COMPARE(view->pagination()->pageCount(), 2);
    QCOMPARE(view->pagination()->currentPage(), 1);
    QTRY_COMPARE(listRequestCount(), 4);
    QCOMPARE(lastListQuery().queryItemValue(QStringLiteral("current")), QStringLiteral("0"));
    QTRY_COMPARE(table(*view)->model()->rowCount(), 3);
    QCOMPARE(table(*view)->model()->data(table(*view)->model()->index(0, 0)).toInt(), 1);
    QTest::qWait(100);
    QCOMPARE(listRequestCount(), 4);
}

void ViewPatientsTest::newPatientThroughTheForm()
{
    const auto view = openScreen();
    QVERIFY(view);
    QPointer<QWidget> form;
    whenModalAppears([&form](QWidget* dialog) {
        form = dialog;
        dialog->findChild<QLineEdit*>(QStringLiteral("nameField"))->setText(QStringLiteral("Nadia New"));
        dialog->findChild<QLineEdit*>(QStringLiteral("birthDateDayField"))->setText(QStringLiteral("14"));
        dialog->findChild<QComboBox*>(QStringLiteral("birthDateMonthBox"))->setCurrentIndex(2);
        dialog->findChild<QLineEdit*>(QStringLiteral("birthDateYearField"))->setText(QStringLiteral("1985"));
        dialog->findChild<QCheckBox*>(QStringLiteral("agreement"))->setChecked(true);
        dialog->findChild<QPushButton*>(QStringLiteral("buttonSave"))->click();
    });
    view->findChild<QPushButton*>(QStringLiteral("buttonNewPatient"))->click();

    QVERIFY(form);
    QCOMPARE(form->metaObject()->className(), "FormPatient");
    QTRY_VERIFY(form.isNull());
    const QJsonObject sent =
        QJsonDocument::fromJson(m_service->requests("POST", QStringLiteral("/patient")).first().body).object();
    QCOMPARE(sent.value(QStringLiteral("name")).toString(), QStringLiteral("Nadia New"));
    QCOMPARE(sent.value(QStringLiteral("birthDate")).toString(), QStringLiteral("1985-03-14"));
    QAbstractItemModel* model = table(*view)->model();
    QCOMPARE(model->rowCount(), 21);
    QCOMPARE(PatientManager::instance().patientAt(model->index(20, 0)).name(), QStringLiteral("Nadia New"));
}

void ViewPatientsTest::enterWhileSavingSendsNothingMore()
{
    const auto view = openScreen();
    QVERIFY(view);
    ScriptedResponse slow = ScriptedResponse::json(
        200, R"({"id":"n1","name":"Nadia New","gender":"FEMALE","birthDate":"1985-03-14","age":40})");
    slow.delayBeforeHeadersMs = 600;
    m_service->answer("POST", QStringLiteral("/patient"), slow);
    QPointer<QWidget> form;
    whenModalAppears([this, &form](QWidget* dialog) {
        form = dialog;
        dialog->findChild<QLineEdit*>(QStringLiteral("nameField"))->setText(QStringLiteral("Nadia New"));
        dialog->findChild<QLineEdit*>(QStringLiteral("birthDateDayField"))->setText(QStringLiteral("14"));
        dialog->findChild<QLineEdit*>(QStringLiteral("birthDateYearField"))->setText(QStringLiteral("1985"));
        dialog->findChild<QCheckBox*>(QStringLiteral("agreement"))->setChecked(true);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("nameField"));
        name->setFocus();
        // Enter, where the keyboard is, while the first save runs: the
        // covered form does not hear it.
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_COMPARE(m_service->requests("POST", QStringLiteral("/patient")).size(), 1);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    });
    view->findChild<QPushButton*>(QStringLiteral("buttonNewPatient"))->click();

    QTRY_VERIFY(form.isNull());
    QCOMPARE(m_service->requests("POST", QStringLiteral("/patient")).size(), 1);
}

void ViewPatientsTest::editThroughTheForm()
{
    const auto view = openScreen();
    QVERIFY(view);
    QPointer<QWidget> form;
    QString formClass;
    whenModalAppears([&form, &formClass](QWidget* dialog) {
        form = dialog;
        formClass = QString::fromLatin1(dialog->metaObject()->className());
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("nameField"));
        name->setText(name->text() + QStringLiteral(" Edited"));
        dialog->findChild<QPushButton*>(QStringLiteral("buttonSave"))->click();
    });
    clickCell(*view, 1, PatientModel::EditColumn);

    QCOMPARE(formClass, QStringLiteral("FormPatient"));
    QTRY_VERIFY(form.isNull());
    const QJsonObject sent =
        QJsonDocument::fromJson(m_service->requests("PUT", QStringLiteral("/patient")).first().body).object();
    QCOMPARE(sent.value(QStringLiteral("id")).toString(), QStringLiteral("p2"));
    QCOMPARE(sent.value(QStringLiteral("name")).toString(), QStringLiteral("Patient 2 Edited"));
    QCOMPARE(PatientManager::instance().patientAt(table(*view)->model()->index(1, 0)).name(),
             QStringLiteral("Patient 2 Edited"));
}

void ViewPatientsTest::removePictureAsksThenDeletes()
{
    const auto view = openScreen();
    QVERIFY(view);
    MessageBoxRecorder boxes(QMessageBox::No);
    clickCell(*view, 2, PatientModel::RemoveColumn);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().title, QCoreApplication::translate("QObject", "Dialog.deletePatient"));
    QVERIFY(boxes.boxes.first().text.contains(QStringLiteral("Patient 3")));
    QTest::qWait(50);
    QVERIFY(m_service->requests("DELETE", QStringLiteral("/patient/p3")).isEmpty());

    boxes.setAnswer(QMessageBox::Yes);
    clickCell(*view, 2, PatientModel::RemoveColumn);
    QTRY_COMPARE(table(*view)->model()->rowCount(), 19);
    QCOMPARE(m_service->requests("DELETE", QStringLiteral("/patient/p3")).size(), 1);
    QCOMPARE(PatientManager::instance().patientAt(table(*view)->model()->index(2, 0)).id(), QStringLiteral("p4"));
}

void ViewPatientsTest::doubleClickChoosesThePatient()
{
    const auto view = openScreen();
    QVERIFY(view);
    QString chosen;
    connect(view.get(), &ViewPatients::onChoosePatient, this, [&chosen](Patient& patient) { chosen = patient.id(); });
    doubleClickCell(*view, 4, PatientModel::NameColumn);
    QCOMPARE(chosen, QStringLiteral("p5"));
}

QTEST_MAIN(ViewPatientsTest)
#include "tst_viewpatients.moc"
