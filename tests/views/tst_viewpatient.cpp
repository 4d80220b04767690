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
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <functional>
#include <memory>

using CardAction = std::function<void(ViewPatient&)>;
Q_DECLARE_METATYPE(CardAction)
using PatientCheck = std::function<bool(const Patient&)>;
Q_DECLARE_METATYPE(PatientCheck)

namespace {

const QString kSensor = QStringLiteral("1A2B3C4D-5E6F-7A8B-9C0D-1E2F3A4B5C6D");
const QString kRecords = QStringLiteral("/record/p1");

QJsonObject recordJson(const QString& id, const QString& recordedAt)
{
    return {{QStringLiteral("id"), id},
            {QStringLiteral("patientId"), QStringLiteral("p1")},
            {QStringLiteral("doctorName"), QStringLiteral("Dr Ivanova")},
            {QStringLiteral("recordedAt"), recordedAt},
            {QStringLiteral("editable"), true}};
}

QByteArray compact(const QJsonValue& value)
{
    return value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                           : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

// The service lists A, B, C, oldest id first but not in date order.
const QByteArray kThreeRecords =
    compact(QJsonArray{recordJson("a", "2021-01-01T10:00:00"), recordJson("b", "2021-03-01T10:00:00"),
                       recordJson("c", "2021-02-01T10:00:00")});

QString text(const char* key)
{
    return QCoreApplication::translate("ViewPatient", key);
}

QTableView* table(ViewPatient& card)
{
    return card.findChild<QTableView*>(QStringLiteral("tableView"));
}

CheckBoxHeader* header(ViewPatient& card)
{
    return qobject_cast<CheckBoxHeader*>(table(card)->horizontalHeader());
}

QPushButton* button(ViewPatient& card, const char* name)
{
    return card.findChild<QPushButton*>(QLatin1String(name));
}

QString shown(ViewPatient& card, int row, int column)
{
    return table(card)->model()->index(row, column).data().toString();
}

void checkShownRow(ViewPatient& card, int row)
{
    QAbstractItemModel* model = table(card)->model();
    model->setData(model->index(row, RecordModel::CheckColumn), Qt::Checked, Qt::CheckStateRole);
}

void clickHeader(ViewPatient& card, int section)
{
    QHeaderView* view = header(card);
    const QPoint centre(view->sectionViewportPosition(section) + 10, view->height() / 2);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
}

void clickTrash(ViewPatient& card, int row)
{
    QWidget* viewport = table(card)->viewport();
    const QPoint centre = table(card)->visualRect(table(card)->model()->index(row, RecordModel::RemoveColumn)).center();
    QTest::mouseClick(card.windowHandle(), Qt::LeftButton, {}, viewport->mapTo(&card, centre));
}

// The service's autospectrum answer: a JSON array of Base64 blocks, gzipped,
// then Base64 again.
QByteArray packedAudio(const QList<QByteArray>& blocks)
{
    QJsonArray array;
    for (const QByteArray& block : blocks)
        array.append(QString::fromLatin1(block.toBase64()));
    return GzipFixtures::compress(compact(array)).toBase64();
}

} // namespace

class ViewPatientTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void particularsAndRecordsNewestFirst();
    void selectionRules_data();
    void selectionRules();
    void deletionRemovesTheConfirmedRecord();
    void newRecordIsUploadedAndShownFirst();
    void editWorksOnAScratchCopy_data();
    void editWorksOnAScratchCopy();
    void exportWorkbook_data();
    void exportWorkbook();
    void deviceActions_data();
    void deviceActions();
    void autospectrum_data();
    void autospectrum();

private:
    std::unique_ptr<ViewPatient> openCard(const QJsonObject& patient);
    std::unique_ptr<ViewPatient> openCard() { return openCard(FakePatientService::patient("p1", "Anna")); }
    bool idle(ViewPatient& card) const;

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    QTranslator m_translator;
};

void ViewPatientTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
}

void ViewPatientTest::init()
{
    m_service = std::make_unique<FakePatientService>();
    m_service->answer("GET", kRecords, ScriptedResponse::json(200, kThreeRecords));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
    // The patient is on the list's page, as when the card is opened from it.
    PatientModel* page = PatientManager::instance().model();
    page->clear();
    page->append(Patient(FakePatientService::patient("p1", "Anna")));
}

void ViewPatientTest::cleanup()
{
    m_environment.reset();
    m_service.reset();
}

bool ViewPatientTest::idle(ViewPatient& card) const
{
    return !card.findChild<QWidget*>(QStringLiteral("LoadingWindow"));
}

std::unique_ptr<ViewPatient> ViewPatientTest::openCard(const QJsonObject& patient)
{
    auto card = std::make_unique<ViewPatient>(Patient(patient));
    card->resize(1280, 800);
    card->show();
    if (!QTest::qWaitForWindowExposed(card.get()) || !QTest::qWaitFor([&] { return idle(*card); }))
        return nullptr;
    return card;
}

void ViewPatientTest::particularsAndRecordsNewestFirst()
{
    const auto card = openCard();
    QVERIFY(card);
    QVERIFY(card->findChild<QLabel*>(QStringLiteral("labelPhoneValue"))->isVisible());
    // No device: neither its picture nor the button that cancels its command.
    QVERIFY(!card->findChild<QLabel*>(QStringLiteral("labelConnectedDevice"))->isVisible());
    QVERIFY(!button(*card, "buttonDeleteCommand")->isVisible());
    // Source rows C, B, A are numbered 3, 2, 1; the view sorts by date, newest first.
    QCOMPARE(table(*card)->model()->rowCount(), 3);
    for (const auto& [row, number, date] :
         {std::tuple{0, "2", "2021-03-01 10:00:00"}, std::tuple{1, "3", "2021-02-01 10:00:00"},
          std::tuple{2, "1", "2021-01-01 10:00:00"}}) {
        QCOMPARE(shown(*card, row, RecordModel::NumberColumn), QLatin1String(number));
        QCOMPARE(shown(*card, row, RecordModel::RecordedAtColumn), QLatin1String(date));
    }
}

void ViewPatientTest::selectionRules_data()
{
    QTest::addColumn<CardAction>("action");
    QTest::addColumn<QList<bool>>("enabled"); // analysis, recovery history, autospectrum, recipe, comparative
    QTest::addColumn<bool>("headerChecked");

    const auto rows = [](QList<int> shownRows) {
        return CardAction([shownRows](ViewPatient& card) {
            for (int row : shownRows)
                checkShownRow(card, row);
        });
    };
    QTest::newRow("none") << rows({}) << QList<bool>{false, false, false, false, false} << false;
    QTest::newRow("one") << rows({1}) << QList<bool>{true, true, true, true, false} << false;
    QTest::newRow("two") << rows({0, 2}) << QList<bool>{true, true, false, false, false} << false;
    QTest::newRow("all three ticks the header")
        << rows({0, 1, 2}) << QList<bool>{true, true, false, false, true} << true;
    QTest::newRow("header ticks all") << CardAction([](ViewPatient& card) { clickHeader(card, 0); })
                                      << QList<bool>{true, true, false, false, true} << true;
    QTest::newRow("unticking a row unticks the header") << CardAction([](ViewPatient& card) {
        clickHeader(card, 0);
        checkShownRow(card, 1);
    }) << QList<bool>{true, true, false, false, false} << false;
    // The reloaded rows carry no marks: nor does the header.
    QTest::newRow("reload after ticking all") << CardAction([](ViewPatient& card) {
        clickHeader(card, 0);
        button(card, "buttonRefresh")->click();
        QTRY_VERIFY(!card.findChild<QWidget*>(QStringLiteral("LoadingWindow")));
    }) << QList<bool>{false, false, false, false, false}
                                              << false;
}

void ViewPatientTest::selectionRules()
{
    QFETCH(CardAction, action);
    QFETCH(QList<bool>, enabled);
    QFETCH(bool, headerChecked);

    const auto card = openCard();
    QVERIFY(card);
    action(*card);
    const QList<bool> actual{
        button(*card, "buttonAnalysis")->isEnabled(), button(*card, "buttonRecoveryHistory")->isEnabled(),
        button(*card, "buttonAutospectrum")->isEnabled(), button(*card, "buttonReceipt")->isEnabled(),
        button(*card, "buttonComparativeAnalysis")->isEnabled()};
    QCOMPARE(actual, enabled);
    QCOMPARE(header(*card)->isChecked(), headerChecked);
    // The check box section never sorts.
    QCOMPARE(header(*card)->sortIndicatorSection(), int(RecordModel::RecordedAtColumn));
    QCOMPARE(header(*card)->sortIndicatorOrder(), Qt::DescendingOrder);
}

void ViewPatientTest::deletionRemovesTheConfirmedRecord()
{
    const auto card = openCard();
    QVERIFY(card);
    MessageBoxRecorder boxes(QMessageBox::No);
    clickTrash(*card, 0);
    QCOMPARE(boxes.boxes.size(), 1);
    QVERIFY(boxes.boxes.first().text.contains(QStringLiteral("2021-03-01 10:00:00")));

    // The service confirms only after a new record has moved every row down.
    ScriptedResponse slow = ScriptedResponse::json(200, "{}");
    slow.delayBeforeHeadersMs = 300;
    m_service->answer("DELETE", QStringLiteral("/record/p1/b"), slow);
    boxes.setAnswer(QMessageBox::Yes);
    clickTrash(*card, 0);
    card->onSaveSuccess(compact(recordJson("d", "2021-04-01T10:00:00")));
    QTRY_COMPARE(table(*card)->model()->rowCount(), 3);
    QCOMPARE(m_service->requests("DELETE", QStringLiteral("/record/p1/b")).size(), 1);
    QStringList dates;
    for (int row = 0; row < 3; ++row)
        dates << shown(*card, row, RecordModel::RecordedAtColumn).left(10);
    QCOMPARE(dates, (QStringList{"2021-04-01", "2021-02-01", "2021-01-01"}));
}

void ViewPatientTest::newRecordIsUploadedAndShownFirst()
{
    const auto card = openCard();
    QVERIFY(card);
    clickHeader(*card, 0);
    m_service->answer("POST", QStringLiteral("/record"),
                      ScriptedResponse::json(200, compact(recordJson("d", "2021-04-01T10:00:00"))));
    ScopedFakeAudioCapture capture;
    QString dialogClass;
    whenModalAppears([&dialogClass](QWidget* dialog) {
        dialogClass = QString::fromLatin1(dialog->metaObject()->className());
        auto* recorder = qobject_cast<AudioRecorder*>(dialog);
        QByteArray file("RIFF recording");
        emit recorder->onSave(file, kSensor);
        recorder->reject();
    });
    button(*card, "buttonNewRecord")->click();

    QCOMPARE(dialogClass, QStringLiteral("AudioRecorder"));
    QTRY_COMPARE(table(*card)->model()->rowCount(), 4);
    QCOMPARE(m_service->requests("POST", QStringLiteral("/record")).first().header("Sonvera-ID"), kSensor.toUtf8());
    QCOMPARE(shown(*card, 0, RecordModel::NumberColumn), QStringLiteral("4"));
    // The new record is not ticked, so neither is the header.
    QVERIFY(!header(*card)->isChecked());
}

void ViewPatientTest::editWorksOnAScratchCopy_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("onThePage");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("age");

    // The service answers with age 41: only the list's row carries it.
    QTest::newRow("stored, patient on the page") << 200 << true << "Anna Edited" << 41;
    QTest::newRow("stored, page moved on") << 200 << false << "Anna Edited" << 40;
    QTest::newRow("refused") << 422 << true << "Anna" << 40;
}

void ViewPatientTest::editWorksOnAScratchCopy()
{
    QFETCH(int, status);
    QFETCH(bool, onThePage);
    QFETCH(QString, name);
    QFETCH(int, age);

    const auto card = openCard();
    QVERIFY(card);
    if (!onThePage)
        PatientManager::instance().model()->clear();
    QJsonObject stored = FakePatientService::patient("p1", "Anna Edited", 41);
    m_service->answer("PUT", QStringLiteral("/patient"),
                      status == 200 ? ScriptedResponse::json(200, compact(stored))
                                    : ScriptedResponse::json(status, R"({"message":"Refused"})"));
    MessageBoxRecorder boxes;
    whenModalAppears([&boxes](QWidget* form) {
        form->findChild<QLineEdit*>(QStringLiteral("nameField"))->setText(QStringLiteral("Anna Edited"));
        form->findChild<QPushButton*>(QStringLiteral("buttonSave"))->click();
        // A refused form stays open until the practitioner gives up.
        if (QTest::qWaitFor([&] { return !form->isVisible() || !boxes.boxes.isEmpty(); }) && form->isVisible())
            form->findChild<QPushButton*>(QStringLiteral("buttonCancel"))->click();
    });
    button(*card, "buttonEditPatient")->click();

    QCOMPARE(card->patient().name(), name);
    QCOMPARE(card->patient().age(), age);
    QCOMPARE(card->findChild<QLabel*>(QStringLiteral("labelPatientName"))->text(), name);
    QCOMPARE(boxes.boxes.size(), status == 200 ? 0 : 1);
}

void ViewPatientTest::exportWorkbook_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("message");

    const QByteArray workbook = QByteArray("PK\x03\x04 workbook").toBase64();
    QTest::newRow("name without suffix") << workbook << "anna"
                                         << "anna.xlsx" << QString();
    QTest::newRow("line breaks in the text") << workbook.left(8) + "\r\n" + workbook.mid(8) + "\n"
                                             << "anna.xlsx"
                                             << "anna.xlsx" << QString();
    QTest::newRow("cancelled") << workbook << QString() << QString() << QString();
    QTest::newRow("not Base64") << QByteArray("<html>Bad gateway</html>") << "anna" << QString()
                                << text("Text.exportInvalid");
    QTest::newRow("empty answer") << QByteArray() << "anna" << QString() << text("Text.exportInvalid");
    QTest::newRow("folder that does not exist")
        << workbook << "missing/anna.xlsx" << QString() << text("Text.errorSaveFile");
}

void ViewPatientTest::exportWorkbook()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QString, message);

    QTemporaryDir folder;
    m_service->answer("POST", QStringLiteral("/export/excel"), ScriptedResponse::json(200, body));
    const auto card = openCard();
    QVERIFY(card);
    SaveFileAnswer answer(chosen.isEmpty() ? QString() : folder.filePath(chosen));
    MessageBoxRecorder boxes;
    button(*card, "buttonExcelExport")->click();
    QTRY_COMPARE(m_service->requests("POST", QStringLiteral("/export/excel")).size(), 1);
    QTRY_VERIFY(idle(*card));

    QCOMPARE(boxes.texts(),
             message.isEmpty() ? QStringList() : QStringList{QObject::tr("Text.error") + ": " + message});
    // The practitioner is asked only for a readable workbook.
    QCOMPARE(answer.questions.size(), message == text("Text.exportInvalid") ? 0 : 1);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), written.isEmpty() ? QStringList() : QStringList{written});
    if (!written.isEmpty()) {
        QFile file(folder.filePath(written));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("PK\x03\x04 workbook"));
        QCOMPARE(answer.questions.first().filter, QStringLiteral("*.xlsx"));
    }
}

void ViewPatientTest::deviceActions_data()
{
    QTest::addColumn<CardAction>("action");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");
    QTest::addColumn<PatientCheck>("changed");
    QTest::addColumn<QString>("message");

    const auto throughDialog = [](const char* buttonName) {
        return CardAction([buttonName](ViewPatient& card) {
            whenModalAppears([buttonName](QWidget* dialog) {
                dialog->findChild<QPushButton*>(QLatin1String(buttonName))->click();
                dialog->close();
            });
            button(card, "buttonManageDevice")->click();
        });
    };
    QTest::newRow("connect") << throughDialog("buttonConnect") << QByteArray("POST") << "/patient/device" << 200
                             << PatientCheck([](const Patient& p) { return p.hasDevices(); })
                             << text("Text.deviceConnectSuccess");
    QTest::newRow("block") << throughDialog("buttonToggle") << QByteArray("PUT") << "/patient/device" << 200
                           << PatientCheck([](const Patient& p) { return p.hasDevices() && !p.isEnabled(); })
                           << text("Text.deviceStatusChangeSuccess");
    QTest::newRow("disconnect") << CardAction([](ViewPatient& card) { card.onDeviceDisconnect(); })
                                << QByteArray("DELETE") << "/patient/device/p1" << 200
                                << PatientCheck([](const Patient& p) { return !p.hasDevices(); })
                                << text("Text.deviceDisconnectSuccess");
    QTest::newRow("command") << CardAction(
                                    [](ViewPatient& card) { card.onSendCommand(QStringLiteral("AUTOSPECTRUM")); })
                             << QByteArray("POST") << "/command" << 200
                             << PatientCheck([](const Patient& p) { return p.command() == QLatin1String("RECORD"); })
                             << text("Text.commandSuccess");
    QTest::newRow("delete command") << CardAction([](ViewPatient& card) {
        button(card, "buttonDeleteCommand")->click();
    }) << QByteArray("DELETE") << "/command/p1"
                                    << 200 << PatientCheck([](const Patient& p) { return p.command().isEmpty(); })
                                    << text("Text.deleteCommandSuccess");
    QTest::newRow("refused connect") << throughDialog("buttonConnect") << QByteArray("POST") << "/patient/device" << 409
                                     << PatientCheck([](const Patient& p) { return !p.hasDevices(); })
                                     << QStringLiteral("Busy");
}

void ViewPatientTest::deviceActions()
{
    QFETCH(CardAction, action);
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(int, status);
    QFETCH(PatientCheck, changed);
    QFETCH(QString, message);

    // Connecting starts from a patient without a device, the rest from one
    // with an enabled device; the list's page holds the same patient.
    QJsonObject patient = FakePatientService::patient("p1", "Anna");
    patient.insert(QStringLiteral("hasDevices"), !(method == "POST" && path == QLatin1String("/patient/device")));
    patient.insert(QStringLiteral("isEnabled"), true);
    patient.insert(QStringLiteral("command"), QStringLiteral("RECIPE"));
    PatientManager::instance().model()->clear();
    PatientManager::instance().model()->append(Patient(patient));
    m_service->answer(method, path,
                      status == 200 ? ScriptedResponse::json(200, "{}")
                                    : ScriptedResponse::json(status, R"({"message":"Busy"})"));
    const auto card = openCard(patient);
    QVERIFY(card);
    ScopedSensor sensor(kSensor);
    MessageBoxRecorder boxes(QMessageBox::Yes);

    action(*card);
    QTRY_COMPARE(m_service->requests(method, path).size(), 1);
    QTRY_VERIFY2(!boxes.boxes.isEmpty() && boxes.boxes.last().text == message, qPrintable(boxes.texts().join('|')));
    QVERIFY(changed(card->patient()));
    QCOMPARE(card->findChild<QLabel*>(QStringLiteral("labelConnectedDevice"))->isVisible(),
             card->patient().hasDevices());
    QCOMPARE(button(*card, "buttonDeleteCommand")->isVisible(), card->patient().hasDevices());
    // The list's row follows the card.
    const Patient listed = PatientManager::instance().patientById(card->patient());
    QCOMPARE(listed.deviceIconPath(), card->patient().deviceIconPath());
    QCOMPARE(listed.command(), card->patient().command());
    if (method == "POST" && path == QLatin1String("/patient/device")) {
        const QJsonObject sent = QJsonDocument::fromJson(m_service->requests(method, path).first().body).object();
        QCOMPARE(sent.value(QStringLiteral("deviceId")).toString(), kSensor);
    }
}

void ViewPatientTest::autospectrum_data()
{
    QTest::addColumn<CardAction>("action");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("requests");
    QTest::addColumn<QList<int>>("played"); // sizes of the audio handed on, smallest first
    QTest::addColumn<QString>("message");

    const QByteArray twoBlocks = packedAudio({QByteArray(100, 'a'), QByteArray(50, 'b')});
    // One minute, the dialog's default, then two while the first is on its
    // way: each answer is stretched by its own request's minutes.
    QTest::newRow("two requests") << CardAction([](ViewPatient& card) {
        whenModalAppears(
            [](QWidget* dialog) { dialog->findChild<QPushButton*>(QStringLiteral("buttonConfirm"))->click(); });
        button(card, "buttonAutospectrum")->click();
        card.onAutospectrum(2);
    }) << twoBlocks << 2 << QList<int>{150 * 20, 150 * 40}
                                  << QString();
    QTest::newRow("zero minutes") << CardAction([](ViewPatient& card) { card.onAutospectrum(0); }) << twoBlocks << 0
                                  << QList<int>{} << QString();
    QTest::newRow("player already active") << CardAction([](ViewPatient& card) {
        card.setPlayerActive(true);
        button(card, "buttonAutospectrum")->click();
        card.onAutospectrum(1);
    }) << twoBlocks << 0 << QList<int>{} << text("Text.playerActive");
    QTest::newRow("player started while the service answered") << CardAction([](ViewPatient& card) {
        card.onAutospectrum(1);
        card.setPlayerActive(true);
    }) << twoBlocks << 1 << QList<int>{} << text("Text.playerActive");
    // A million minutes repeat each block about twenty million times: 3 GB.
    QTest::newRow("too long for memory") << CardAction([](ViewPatient& card) { card.onAutospectrum(1000000); })
                                         << twoBlocks << 1 << QList<int>{}
                                         << QCoreApplication::translate("ImpactAudio", "Text.impactTooLong");
    QTest::newRow("no sound in the answer") << CardAction([](ViewPatient& card) { card.onAutospectrum(1); })
                                            << packedAudio({}) << 1 << QList<int>{} << text("Text.autospectrumEmpty");
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
    m_service->answer("POST", QStringLiteral("/recipe/autospectrum"), slow);
    const auto card = openCard();
    QVERIFY(card);
    ScopedSensor sensor(kSensor);
    QList<int> sizes;
    connect(card.get(), &ViewPatient::onPlay, this, [&sizes](const QByteArray& samples, const QString& title) {
        sizes.append(title == QLatin1String("Anna") ? samples.size() : -1);
    });
    checkShownRow(*card, 0);
    MessageBoxRecorder boxes;

    action(*card);
    // Time for a request that should not go out to arrive all the same.
    if (requests == 0)
        QTest::qWait(300);
    QTRY_COMPARE(m_service->requests("POST", QStringLiteral("/recipe/autospectrum")).size(), requests);
    QTRY_VERIFY(idle(*card));
    QTRY_COMPARE(boxes.boxes.size(), message.isEmpty() ? 0 : (requests == 0 ? 2 : 1));
    for (const ShownMessageBox& box : boxes.boxes)
        QCOMPARE(box.text, message);
    // The answers may come back in either order.
    std::sort(sizes.begin(), sizes.end());
    QCOMPARE(sizes, played);
    if (requests > 0) {
        const QJsonObject sent =
            QJsonDocument::fromJson(m_service->requests("POST", QStringLiteral("/recipe/autospectrum")).first().body)
                .object();
        QCOMPARE(sent.value(QStringLiteral("recordId")).toString(), QStringLiteral("b"));
        QCOMPARE(sent.value(QStringLiteral("deviceId")).toString(), kSensor);
    }
}

QTEST_MAIN(ViewPatientTest)
#include "tst_viewpatient.moc"
