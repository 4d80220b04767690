// The patient card against a scripted service: its records, the selection
// rules, and what each action asks the service and shows.
#include "api/PatientManager.h"
#include "app/Application.h"
#include "audio/AudioRecorder.h"
#include "base/Language.h"
#include "data/PatientModel.h"
#include "data/RecordModel.h"
#include "net/GzipFixtures.h"
#include "support/FakeAudioCapture.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/SaveFileAnswer.h"
#include "support/ScopedSensor.h"
#include "support/ServiceTestEnvironment.h"
#include "views/ViewPatient.h"
#include "widgets/CheckBoxHeader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <functional>
#include <memory>

using CardAction = std::function<void()>;
Q_DECLARE_METATYPE(CardAction)

namespace {

const QString kSensor = QStringLiteral("1A2B3C4D-5E6F-7A8B-9C0D-1E2F3A4B5C6D");

QByteArray recordJson(const QString& id, const QString& recordedAt)
{
    const QJsonObject record{{"id", id}, {"patientId", "p1"}, {"recordedAt", recordedAt}};
    return QJsonDocument(record).toJson(QJsonDocument::Compact);
}

QString text(const char* context, const char* key)
{
    return QCoreApplication::translate(context, key);
}

// The service's autospectrum answer: a JSON array of Base64 blocks, gzipped,
// then Base64 again.
QByteArray packedAudio(const QList<QByteArray>& blocks)
{
    QJsonArray array;
    for (const QByteArray& block : blocks)
        array.append(QString::fromLatin1(block.toBase64()));
    return GzipFixtures::compress(QJsonDocument(array).toJson(QJsonDocument::Compact)).toBase64();
}

} // namespace

class ViewPatientTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void recordsNewestFirstThenTheUploadedOne();
    void recordsAnswerOfAnyShape_data();
    void recordsAnswerOfAnyShape();
    void selectionRules_data();
    void selectionRules();
    void everyColumnSortsByItsValue_data();
    void everyColumnSortsByItsValue();
    void returningShowsWhatChangedAbove();
    void deletionRemovesTheConfirmedRecord();
    void editWorksOnAScratchCopy_data();
    void editWorksOnAScratchCopy();
    void exportWorkbook_data();
    void exportWorkbook();
    void deviceActionsReachTheServiceAndTheList_data();
    void deviceActionsReachTheServiceAndTheList();
    void deviceDialogShowsTheAnswer_data();
    void deviceDialogShowsTheAnswer();
    void autospectrum_data();
    void autospectrum();
    void headerBoxStandsLikeTheRowBoxes();

private:
    static QPushButton* button(QWidget* parent, const char* name) { return parent->findChild<QPushButton*>(name); }
    QPushButton* button(const char* name) const { return button(m_card.get(), name); }
    QTableView* table() const { return m_card->findChild<QTableView*>(QStringLiteral("tableView")); }
    CheckBoxHeader* header() const { return qobject_cast<CheckBoxHeader*>(table()->horizontalHeader()); }
    bool idle() const { return !m_card->findChild<QWidget*>(QStringLiteral("LoadingWindow")); }
    QModelIndex cell(int shownRow, int column) const { return table()->model()->index(shownRow, column); }
    // As the view's check box does: the row's mark toggles.
    void toggle(int row) const
    {
        table()->model()->setData(cell(row, RecordModel::CheckColumn), Qt::Checked, Qt::CheckStateRole);
    }
    void clickHeaderBox() const { QTest::mouseClick(header()->viewport(), Qt::LeftButton, {}, {10, 10}); }
    void clickTrash(int shownRow) const;
    // The column's cells as the table shows them, top to bottom.
    QStringList shown(int column) const;
    QStringList shownIds() const;

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ViewPatient> m_card;
    QTranslator m_translator;
};

QStringList ViewPatientTest::shown(int column) const
{
    QStringList cells;
    for (int row = 0; row < table()->model()->rowCount(); ++row)
        cells << cell(row, column).data().toString();
    return cells;
}

QStringList ViewPatientTest::shownIds() const
{
    const auto* proxy = qobject_cast<QSortFilterProxyModel*>(table()->model());
    QStringList ids;
    for (int row = 0; row < proxy->rowCount(); ++row)
        ids << m_card->findChild<RecordModel*>()->recordAt(proxy->mapToSource(cell(row, 0))).id();
    return ids;
}

void ViewPatientTest::clickTrash(int shownRow) const
{
    const QPoint centre = table()->visualRect(cell(shownRow, RecordModel::RemoveColumn)).center();
    QTest::mouseClick(m_card->windowHandle(), Qt::LeftButton, {}, table()->viewport()->mapTo(m_card.get(), centre));
}

void ViewPatientTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
}

void ViewPatientTest::init()
{
    // The service lists A, B, C, oldest id first but not in date order.
    m_service = std::make_unique<FakePatientService>();
    m_service->answer("GET", "/record/p1",
                      ScriptedResponse::json(200, "[" + recordJson("a", "2021-01-01T10:00:00") + "," +
                                                      recordJson("b", "2021-03-01T10:00:00") + "," +
                                                      recordJson("c", "2021-02-01T10:00:00") + "]"));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
    // A patient with a blocked device and a recipe waiting for it, on the
    // list's page as when the card is opened from it.
    QJsonObject patient = FakePatientService::patient("p1", "Anna");
    patient.insert("hasDevices", true);
    patient.insert("command", "RECIPE");
    PatientManager::instance().model()->clear();
    PatientManager::instance().model()->append(Patient(patient));
    m_card = std::make_unique<ViewPatient>(Patient(patient));
    m_card->resize(1280, 800);
    m_card->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_card.get()));
    QTRY_VERIFY(idle());
}

void ViewPatientTest::cleanup()
{
    m_card.reset();
    m_environment.reset();
    m_service.reset();
}

void ViewPatientTest::recordsNewestFirstThenTheUploadedOne()
{
    // Source rows C, B, A are numbered 3, 2, 1; the view sorts by date, newest first.
    QCOMPARE(shown(RecordModel::NumberColumn), (QStringList{"2", "3", "1"}));
    QCOMPARE(shown(RecordModel::RecordedAtColumn),
             (QStringList{"2021-03-01 10:00:00", "2021-02-01 10:00:00", "2021-01-01 10:00:00"}));

    clickHeaderBox();
    m_service->answer("POST", "/record", ScriptedResponse::json(200, recordJson("d", "2021-04-01T10:00:00")));
    ScopedFakeAudioCapture capture;
    whenModalAppears([](QWidget* dialog) {
        QByteArray file("RIFF recording");
        if (auto* recorder = qobject_cast<AudioRecorder*>(dialog))
            emit recorder->onSave(file, kSensor);
        dialog->close();
    });
    button("buttonNewRecord")->click();
    QTRY_COMPARE(shown(RecordModel::NumberColumn), (QStringList{"4", "2", "3", "1"}));
    QCOMPARE(shown(RecordModel::RecordedAtColumn).first(), QStringLiteral("2021-04-01 10:00:00"));
    // The new record is not ticked, so neither is the header.
    QVERIFY(!header()->isChecked());
}

void ViewPatientTest::recordsAnswerOfAnyShape_data()
{
    QTest::addColumn<bool>("upload"); // else a refresh
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("shown"); // record ids, newest first
    QTest::addColumn<bool>("unreadable");

    const QByteArray d = recordJson("d", "2021-05-01T10:00:00");
    // What can't be read leaves the rows shown and says so.
    QTest::newRow("empty") << false << QByteArray() << "b c a" << true;
    QTest::newRow("null") << false << QByteArray("null") << "b c a" << true;
    QTest::newRow("object") << false << QByteArray(R"({"records": [)" + d + "]}") << "b c a" << true;
    QTest::newRow("truncated") << false << QByteArray("[" + d.left(20)) << "b c a" << true;
    QTest::newRow("empty list") << false << QByteArray("[]") << "" << false;
    // Elements that are no record with an id are left out.
    QTest::newRow("mixed elements") << false << QByteArray("[1, \"d\", null, [], {\"recordedAt\": 5}, " + d + "]")
                                    << "d" << false;
    // The upload went through but its answer names no record: the list is read again.
    QTest::newRow("upload answered without a record") << true << QByteArray("{}") << "d b c a" << false;
}

void ViewPatientTest::recordsAnswerOfAnyShape()
{
    QFETCH(bool, upload);
    QFETCH(QByteArray, answer);
    QFETCH(QString, shown);
    QFETCH(bool, unreadable);

    const QByteArray list = "[" + recordJson("a", "2021-01-01T10:00:00") + "," +
                            recordJson("b", "2021-03-01T10:00:00") + "," + recordJson("c", "2021-02-01T10:00:00") +
                            "," + recordJson("d", "2021-05-01T10:00:00") + "]";
    m_service->answer("GET", "/record/p1", ScriptedResponse::json(200, upload ? list : answer));
    m_service->answer("POST", "/record", ScriptedResponse::json(200, answer));
    MessageBoxRecorder boxes;
    if (upload) {
        QByteArray recording("RIFF recording");
        m_card->onSaveRecord(recording, kSensor);
    } else {
        button("buttonRefresh")->click();
    }
    QTRY_COMPARE(m_service->requests("GET", "/record/p1").size(), 2);
    QTRY_VERIFY(idle());

    QCOMPARE(shownIds().join(' '), shown);
    QCOMPARE(boxes.texts(), unreadable ? QStringList{QObject::tr("Text.error") + ": " +
                                                     text("PatientRecordsTable", "Text.unreadableAnswer")}
                                       : QStringList());
}

void ViewPatientTest::selectionRules_data()
{
    QTest::addColumn<CardAction>("action");
    QTest::addColumn<QList<int>>("toggled"); // shown rows, after the action
    QTest::addColumn<QString>("enabled");    // analysis, recovery history, autospectrum, recipe, comparative
    QTest::addColumn<bool>("headerChecked");

    const CardAction tickAll = [this] { clickHeaderBox(); };
    QTest::newRow("none") << CardAction() << QList<int>{} << "00000" << false;
    QTest::newRow("one") << CardAction() << QList<int>{1} << "11110" << false;
    QTest::newRow("two") << CardAction() << QList<int>{0, 2} << "11000" << false;
    QTest::newRow("all three tick the header") << CardAction() << QList<int>{0, 1, 2} << "11001" << true;
    QTest::newRow("header ticks all") << tickAll << QList<int>{} << "11001" << true;
    QTest::newRow("unticking a row unticks the header") << tickAll << QList<int>{1} << "11000" << false;
    // The reloaded rows carry no marks: nor does the header.
    QTest::newRow("reload after ticking all") << CardAction([this] {
        clickHeaderBox();
        button("buttonRefresh")->click();
        QTRY_VERIFY(idle());
    }) << QList<int>{} << "00000" << false;
}

void ViewPatientTest::selectionRules()
{
    QFETCH(CardAction, action);
    QFETCH(QList<int>, toggled);
    QFETCH(QString, enabled);
    QFETCH(bool, headerChecked);

    if (action)
        action();
    for (int row : toggled)
        toggle(row);
    QString actual;
    for (const char* name : {"buttonAnalysis", "buttonRecoveryHistory", "buttonAutospectrum", "buttonReceipt",
                             "buttonComparativeAnalysis"})
        actual += button(name)->isEnabled() ? '1' : '0';
    QCOMPARE(actual, enabled);
    QCOMPARE(header()->isChecked(), headerChecked);
    // The check box section never sorts.
    QCOMPARE(header()->sortIndicatorSection(), int(RecordModel::RecordedAtColumn));
    QCOMPARE(header()->sortIndicatorOrder(), Qt::DescendingOrder);
}

void ViewPatientTest::everyColumnSortsByItsValue_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QString>("first"); // the first three records shown

    QTest::newRow("number") << int(RecordModel::NumberColumn) << Qt::AscendingOrder << "r1 r2 r3";
    QTest::newRow("date, unknown first") << int(RecordModel::RecordedAtColumn) << Qt::AscendingOrder << "r11 r1 r2";
    QTest::newRow("practitioner, whatever the case")
        << int(RecordModel::DoctorColumn) << Qt::AscendingOrder << "r3 r2 r1";
    // Records alike keep the order they had: newest first.
    QTest::newRow("notes first") << int(RecordModel::NotesColumn) << Qt::DescendingOrder << "r4 r10 r9";
}

void ViewPatientTest::everyColumnSortsByItsValue()
{
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QString, first);

    // Records r1 to r11, numbered 1 to 11; r11's date is unknown; r4 may no longer be edited.
    const QStringList doctors{"carl", "Boris", "anna"};
    QJsonArray records;
    for (int i = 1; i <= 11; ++i) {
        records.append(
            QJsonObject{{"id", QString("r%1").arg(i)},
                        {"recordedAt", i < 11 ? QString("2021-01-%1T10:00:00").arg(i, 2, 10, QChar('0')) : ""},
                        {"doctorName", doctors.value(i - 1, "zoe")},
                        {"editable", i != 4}});
    }
    m_card->onLoadSuccess(QJsonDocument(records).toJson());
    table()->sortByColumn(column, order);
    QCOMPARE(QStringList(shownIds().mid(0, 3)).join(' '), first);
}

void ViewPatientTest::returningShowsWhatChangedAbove()
{
    toggle(0); // b
    toggle(1); // c
    // Above the card: b's questionnaire filled in, c deleted, e recorded, the device's command cancelled.
    m_service->answer("GET", "/record/p1",
                      ScriptedResponse::json(200, "[" + recordJson("a", "2021-01-01T10:00:00") + "," +
                                                      R"({"id": "b", "recordedAt": "2021-03-01T10:00:00",)" +
                                                      R"( "questionnaire": true},)" +
                                                      recordJson("e", "2021-04-01T10:00:00") + "]"));
    Patient patient = m_card->patient();
    patient.clearCommand();
    PatientManager::instance().replacePatient(patient);
    ReturnableScreen* screen = m_card.get();
    screen->screenReturned();
    QTRY_COMPARE(m_service->requests("GET", "/record/p1").size(), 2);
    QTRY_VERIFY(idle());

    QCOMPARE(shownIds(), (QStringList{"e", "b", "a"}));
    QCOMPARE(shown(RecordModel::QuestionnaireColumn).at(1), QCoreApplication::translate("RecordModel", "Text.yes"));
    QCOMPARE(m_card->findChild<RecordModel*>()->checkedRecords().size(), 1);
    QCOMPARE(m_card->findChild<RecordModel*>()->checkedRecords().first().id(), QStringLiteral("b"));
    QVERIFY(button("buttonReceipt")->isEnabled());
    QVERIFY(m_card->patient().command().isEmpty());
}

void ViewPatientTest::deletionRemovesTheConfirmedRecord()
{
    // The service confirms only after a new record has moved every row down.
    ScriptedResponse slow = ScriptedResponse::json(200, "{}");
    slow.delayBeforeHeadersMs = 300;
    m_service->answer("DELETE", "/record/p1/b", slow);
    MessageBoxRecorder boxes(QMessageBox::No);
    clickTrash(0);
    QVERIFY(idle()); // declined: nothing goes to the service
    boxes.setAnswer(QMessageBox::Yes);
    clickTrash(0);
    m_card->onSaveSuccess(recordJson("d", "2021-04-01T10:00:00"));
    QTRY_COMPARE(table()->model()->rowCount(), 3);
    QCOMPARE(m_service->requests("DELETE", "/record/p1/b").size(), 1);
    QCOMPARE(shown(RecordModel::RecordedAtColumn),
             (QStringList{"2021-04-01 10:00:00", "2021-02-01 10:00:00", "2021-01-01 10:00:00"}));
}

void ViewPatientTest::editWorksOnAScratchCopy_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("onThePage");
    QTest::addColumn<QString>("shown"); // the card's patient: name, age

    // The service answers with age 41: only the list's row carries it.
    QTest::newRow("stored, patient on the page") << 200 << true << "Anna Edited, 41";
    QTest::newRow("stored, page moved on") << 200 << false << "Anna Edited, 40";
    QTest::newRow("refused") << 422 << true << "Anna, 40";
}

void ViewPatientTest::editWorksOnAScratchCopy()
{
    QFETCH(int, status);
    QFETCH(bool, onThePage);
    QFETCH(QString, shown);

    if (!onThePage)
        PatientManager::instance().model()->clear();
    const QJsonObject stored = FakePatientService::patient("p1", "Anna Edited", 41);
    m_service->answer("PUT", "/patient", ScriptedResponse::json(status, QJsonDocument(stored).toJson()));
    MessageBoxRecorder boxes;
    whenModalAppears([&boxes](QWidget* form) {
        form->findChild<QLineEdit*>(QStringLiteral("nameField"))->setText(QStringLiteral("Anna Edited"));
        button(form, "buttonSave")->click();
        // A refused form stays open until the practitioner gives up.
        if (QTest::qWaitFor([&] { return !form->isVisible() || !boxes.boxes.isEmpty(); }) && form->isVisible())
            button(form, "buttonCancel")->click();
    });
    button("buttonEditPatient")->click();

    QCOMPARE(m_card->patient().name() + ", " + QString::number(m_card->patient().age()), shown);
    QCOMPARE(m_card->findChild<QLabel*>(QStringLiteral("labelPatientName"))->text(), m_card->patient().name());
}

void ViewPatientTest::exportWorkbook_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("message");

    const QByteArray workbook = QByteArray("PK\x03\x04 workbook").toBase64();
    const QByteArray brokenLines = workbook.left(8) + "\r\n" + workbook.mid(8) + "\n";
    QTest::newRow("line breaks, no suffix") << brokenLines << "anna" << QStringLiteral("anna.xlsx") << QString();
    QTest::newRow("cancelled") << workbook << QString() << QString() << QString();
    QTest::newRow("not Base64") << QByteArray("<html>Bad gateway</html>") << "anna" << QString()
                                << text("PatientExport", "Text.exportInvalid");
    QTest::newRow("Base64 of no workbook") << QByteArray("<html>Bad gateway</html>").toBase64() << "anna" << QString()
                                           << text("PatientExport", "Text.exportInvalid");
    QTest::newRow("empty answer") << QByteArray() << "anna" << QString() << text("PatientExport", "Text.exportInvalid");
    QTest::newRow("folder that does not exist")
        << workbook << "missing/anna.xlsx" << QString() << text("PatientExport", "Text.errorSaveFile");
}

void ViewPatientTest::exportWorkbook()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QString, message);

    QTemporaryDir folder;
    m_service->answer("POST", "/export/excel", ScriptedResponse::json(200, body));
    SaveFileAnswer answer(chosen.isEmpty() ? QString() : folder.filePath(chosen));
    MessageBoxRecorder boxes;
    button("buttonExcelExport")->click();
    QTRY_COMPARE(m_service->requests("POST", "/export/excel").size(), 1);
    QTRY_VERIFY(idle());

    QCOMPARE(boxes.texts(),
             message.isEmpty() ? QStringList() : QStringList{QObject::tr("Text.error") + ": " + message});
    // The practitioner is asked only for a readable workbook.
    QCOMPARE(answer.questions.size(), message == text("PatientExport", "Text.exportInvalid") ? 0 : 1);
    // The dialog completes a bare name before it asks about replacing a file.
    QVERIFY(answer.questions.isEmpty() || answer.questions.first().defaultSuffix == "xlsx");
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList{written});
    QFile file(folder.filePath(written));
    QVERIFY(written.isEmpty() || (file.open(QIODevice::ReadOnly) && file.readAll() == "PK\x03\x04 workbook"));
}

void ViewPatientTest::deviceActionsReachTheServiceAndTheList_data()
{
    QTest::addColumn<CardAction>("action");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("patient"); // the card's afterwards, and the list's row

    const auto inDialog = [this](const char* name) {
        return CardAction([this, name] {
            whenModalAppears([name](QWidget* dialog) {
                button(dialog, name)->click();
                dialog->close();
            });
            button("buttonManageDevice")->click();
        });
    };
    // The service binds a device enabled.
    QTest::newRow("connect") << inDialog("buttonConnect") << "POST /patient/device"
                             << QStringLiteral("device enabled RECIPE");
    QTest::newRow("unblock") << inDialog("buttonToggle") << "PUT /patient/device"
                             << QStringLiteral("device enabled RECIPE");
    QTest::newRow("disconnect") << inDialog("buttonDisconnect") << "DELETE /patient/device/p1"
                                << QStringLiteral("none blocked RECIPE");
    // Whatever the card sends, the device starts a recording.
    QTest::newRow("command") << CardAction([this] { m_card->onSendCommand("AUTOSPECTRUM"); }) << "POST /command"
                             << QStringLiteral("device blocked RECORD");
    QTest::newRow("delete command") << CardAction([this] { button("buttonDeleteCommand")->click(); })
                                    << "DELETE /command/p1" << QStringLiteral("device blocked ");
}

void ViewPatientTest::deviceActionsReachTheServiceAndTheList()
{
    QFETCH(CardAction, action);
    QFETCH(QString, request);
    QFETCH(QString, patient);

    const QByteArray method = request.section(' ', 0, 0).toLatin1();
    const QString path = request.section(' ', 1);
    m_service->answer(method, path, ScriptedResponse::json(200, "{}"));
    ScopedSensor sensor(kSensor);
    MessageBoxRecorder boxes(QMessageBox::Yes);
    action();
    QTRY_COMPARE(m_service->requests(method, path).size(), 1);
    QTRY_VERIFY2(!boxes.boxes.isEmpty() && boxes.boxes.last().icon == QMessageBox::Information,
                 qPrintable(boxes.texts().join('|')));

    const auto state = [](const Patient& p) {
        return QStringLiteral("%1 %2 %3")
            .arg(p.hasDevices() ? "device" : "none", p.isEnabled() ? "enabled" : "blocked", p.command());
    };
    QCOMPARE(state(m_card->patient()), patient);
    QCOMPARE(state(PatientManager::instance().patientById(m_card->patient())), patient);
    if (request == "POST /patient/device")
        QCOMPARE(QJsonDocument::fromJson(m_service->requests(method, path).first().body)["deviceId"].toString(),
                 kSensor);
}

void ViewPatientTest::deviceDialogShowsTheAnswer_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("shown");   // the dialog's error label
    QTest::addColumn<QString>("enabled"); // connect, disconnect, toggle
    QTest::addColumn<int>("boxes");       // besides the disconnect question

    const QString reason = QStringLiteral("The device belongs to another patient.");
    // The patient's device stays bound after a refusal, and is bound enabled after a connect.
    QTest::newRow("connect refused") << "buttonConnect" << 409 << reason << "111" << 0;
    QTest::newRow("disconnect refused") << "buttonDisconnect" << 409 << reason << "111" << 0;
    QTest::newRow("connect accepted") << "buttonConnect" << 200 << QString() << "111" << 1;
    QTest::newRow("disconnect accepted") << "buttonDisconnect" << 200 << QString() << "100" << 1;
}

void ViewPatientTest::deviceDialogShowsTheAnswer()
{
    QFETCH(QString, clicked);
    QFETCH(int, status);
    QFETCH(QString, shown);
    QFETCH(QString, enabled);
    QFETCH(int, boxes);

    const QByteArray body = status == 200 ? "{}" : R"({"message": "The device belongs to another patient."})";
    const bool connecting = clicked == "buttonConnect";
    const QByteArray method = connecting ? "POST" : "DELETE";
    const QString path = connecting ? "/patient/device" : "/patient/device/p1";
    m_service->answer(method, path, ScriptedResponse::json(status, body));
    ScopedSensor sensor(kSensor);
    MessageBoxRecorder recorder(QMessageBox::Yes);
    QString label;
    QString buttons;
    whenModalAppears([&](QWidget* dialog) {
        button(dialog, qPrintable(clicked))->click();
        QVERIFY(QTest::qWaitFor([&] { return m_service->requests(method, path).size() == 1 && idle(); }));
        label = dialog->findChild<QLabel*>(QStringLiteral("labelError"))->text();
        for (const char* name : {"buttonConnect", "buttonDisconnect", "buttonToggle"})
            buttons += button(dialog, name)->isEnabled() ? '1' : '0';
        dialog->close();
    });
    button("buttonManageDevice")->click();

    QCOMPARE(label, shown);
    QCOMPARE(buttons, enabled);
    QCOMPARE(recorder.boxes.size(), (connecting ? 0 : 1) + boxes);
}

void ViewPatientTest::autospectrum_data()
{
    QTest::addColumn<CardAction>("action");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QList<int>>("played"); // sizes of the audio handed on, smallest first
    QTest::addColumn<QString>("message");

    const QByteArray twoBlocks = packedAudio({QByteArray(100, 'a'), QByteArray(50, 'b')});
    const auto minutes = [this](int count) { return CardAction([this, count] { m_card->onAutospectrum(count); }); };
    // One minute, the dialog's default, then two while the first is on its
    // way: each answer is stretched by its own request's minutes.
    QTest::newRow("two requests") << CardAction([this] {
        whenModalAppears([](QWidget* dialog) { button(dialog, "buttonConfirm")->click(); });
        button("buttonAutospectrum")->click();
        m_card->onAutospectrum(2);
    }) << twoBlocks << 2 << QList<int>{150 * 20, 150 * 40}
                                  << QString();
    QTest::newRow("zero minutes") << minutes(0) << twoBlocks << 0 << QList<int>{} << QString();
    // Refused before sending: once from the button, once from the minutes.
    QTest::newRow("player already active") << CardAction([this] {
        m_card->setPlayerActive(true);
        button("buttonAutospectrum")->click();
        m_card->onAutospectrum(1);
    }) << twoBlocks << 0 << QList<int>{} << text("PatientAutospectrum", "Text.playerActive");
    QTest::newRow("player started while the service answered") << CardAction([this] {
        m_card->onAutospectrum(1);
        m_card->setPlayerActive(true);
    }) << twoBlocks << 1 << QList<int>{} << text("PatientAutospectrum", "Text.playerActive");
    // A million minutes repeat each block about twenty million times: 3 GB.
    QTest::newRow("too long for memory") << minutes(1000000) << twoBlocks << 1 << QList<int>{}
                                         << QCoreApplication::translate("ImpactAudio", "Text.impactTooLong");
    QTest::newRow("no sound in the answer")
        << minutes(1) << packedAudio({}) << 1 << QList<int>{} << text("PatientAutospectrum", "Text.autospectrumEmpty");
}

void ViewPatientTest::autospectrum()
{
    QFETCH(CardAction, action);
    QFETCH(QByteArray, answer);
    QFETCH(int, requests);
    QFETCH(QList<int>, played);
    QFETCH(QString, message);

    ScriptedResponse slow = ScriptedResponse::json(200, answer);
    slow.delayBeforeHeadersMs = 200;
    m_service->answer("POST", "/recipe/autospectrum", slow);
    ScopedSensor sensor(kSensor);
    QList<int> sizes;
    connect(m_card.get(), &ViewPatient::onPlay, this, [&sizes](const QByteArray& samples) { sizes << samples.size(); });
    toggle(0);
    MessageBoxRecorder boxes;
    action();
    // Time for a request that should not go out to arrive all the same.
    if (requests == 0)
        QTest::qWait(300);
    const auto sent = [this] { return m_service->requests("POST", "/recipe/autospectrum"); };
    QTRY_COMPARE(sent().size(), requests);
    QTRY_VERIFY(idle());
    QTRY_COMPARE(boxes.boxes.size(), message.isEmpty() ? 0 : (requests == 0 ? 2 : 1));
    for (const ShownMessageBox& box : boxes.boxes)
        QCOMPARE(box.text, message);
    // The answers may come back in either order.
    std::sort(sizes.begin(), sizes.end());
    QCOMPARE(sizes, played);
    for (const RecordedRequest& request : sent()) {
        const QJsonDocument body = QJsonDocument::fromJson(request.body);
        QCOMPARE(body["recordId"].toString() + " " + body["deviceId"].toString(), "b " + kSensor);
    }
}

// The header's box is the rows' box: as large, as far from the left, centred
// alike. A tick shows where each box is drawn.
void ViewPatientTest::headerBoxStandsLikeTheRowBoxes()
{
    const auto tickArea = [](QWidget* widget, const std::function<void()>& tick) {
        const QImage before = widget->grab().toImage();
        tick();
        const QImage after = widget->grab().toImage();
        QRect area;
        for (int y = 0; y < before.height(); ++y) {
            for (int x = 0; x < before.width(); ++x)
                area |= before.pixel(x, y) != after.pixel(x, y) ? QRect(x, y, 1, 1) : QRect();
        }
        return area;
    };
    const QRect row = table()->visualRect(cell(0, RecordModel::CheckColumn));
    const QRect inRow = tickArea(table()->viewport(), [this] { toggle(0); }).translated(-row.topLeft());
    const QRect inHeader = tickArea(header(), [this] {
                               header()->setChecked(true);
                           }).translated(-header()->sectionViewportPosition(RecordModel::CheckColumn), 0);
    QString seen;
    QDebug(&seen) << inHeader << header()->height() << inRow << row.height();
    QVERIFY2(!inRow.isEmpty() && inHeader.size() == inRow.size() && inHeader.x() == inRow.x(), qPrintable(seen));
    const int offCentre = (2 * inHeader.center().y() - header()->height()) - (2 * inRow.center().y() - row.height());
    QVERIFY2(qAbs(offCentre) <= 2, qPrintable(seen));
}

QTEST_MAIN(ViewPatientTest)
#include "tst_viewpatient.moc"
