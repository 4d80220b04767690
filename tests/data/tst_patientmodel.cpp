#include "app/Application.h"
#include "data/PatientModel.h"
#include "data/PatientProxyModel.h"

#include <QAbstractItemModelTester>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

namespace {

// A patient built from JSON written in the test; malformed JSON fails the test.
Patient patient(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        QTest::qFail(qPrintable(QStringLiteral("bad JSON in the test: ") + QString::fromUtf8(json)), __FILE__,
                     __LINE__);
    return Patient(document.object());
}

Patient named(const QString& id, const QString& name)
{
    Patient result = patient(QJsonDocument(QJsonObject{{QStringLiteral("id"), id}}).toJson());
    result.setName(name);
    return result;
}

QString nameAt(const QAbstractItemModel& model, int row)
{
    return model.data(model.index(row, PatientModel::NameColumn), Qt::DisplayRole).toString();
}

// A pixmap keeps its pixels premultiplied; a file read as an image does not.
QImage sameFormat(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

const QColor white(255, 255, 255);
const QColor oddRow(247, 249, 252);
const QColor text(65, 65, 65);
const int centre = int(Qt::AlignCenter);
const int left = int(Qt::AlignLeft | Qt::AlignVCenter);

const QByteArray fullPatient = R"({"id":"p1","name":"Anna Petrova","age":47,"gender":"FEMALE",
    "phone":"+7 900 000-00-00","notes":"after surgery","lastRecordAt":"2021-03-04T05:06:07",
    "hasDevices":true,"isEnabled":true,"command":"RECIPE","isComplete":false})";

} // namespace

class PatientModelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void staysConsistentThroughEveryChange();
    void runningNumber_data();
    void runningNumber();
    void pagingChangesRepaintTheNumbers();
    void cellRoles_data();
    void cellRoles();
    void picturesOfTheRow_data();
    void picturesOfTheRow();
    void rowColours();
    void deviceStatusToolTip_data();
    void deviceStatusToolTip();
    void header_data();
    void header();
    void pageCountSignalsOnlyChanges();
    void lookupById_data();
    void lookupById();
    void removingARowRenumbersTheRowsBelow();
    void indexesOutsideTheListAreIgnored();
    void updateRepaintsTheWholeRow();
    void isAFlatTable();
    void proxyColoursFollowTheShownRows();
};

void PatientModelTest::staysConsistentThroughEveryChange()
{
    PatientModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.append(patient(fullPatient));
    model.append(named(QStringLiteral("p2"), QStringLiteral("Boris")));
    model.append(Patient());
    model.updateAt(model.index(1, PatientModel::NumberColumn), named(QStringLiteral("p2"), QStringLiteral("Boris B.")));
    model.setPageSize(20);
    model.setCurrentPage(2);
    // The tester expects column 0 to travel with its row when rows above it
    // are removed, but a running number stays with the position; removing in
    // the middle is checked on its own below.
    model.removeAt(2);
    model.removeAt(5);
    model.removeAt(-1);
    model.clear();
    model.append(named(QStringLiteral("p3"), QStringLiteral("Vera")));
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(nameAt(model, 0), QStringLiteral("  Vera"));
}

void PatientModelTest::runningNumber_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("number");

    QTest::newRow("before paging is set up") << 1 << 0 << 2 << QStringLiteral("3");
    QTest::newRow("page 1") << 1 << 20 << 0 << QStringLiteral("1");
    QTest::newRow("page 3 of 20, first row") << 3 << 20 << 0 << QStringLiteral("41");
    QTest::newRow("page 3 of 20, third row") << 3 << 20 << 2 << QStringLiteral("43");
    QTest::newRow("no thousands separator") << 51 << 20 << 0 << QStringLiteral("1001");
}

void PatientModelTest::runningNumber()
{
    QFETCH(int, page);
    QFETCH(int, pageSize);
    QFETCH(int, row);
    QFETCH(QString, number);

    PatientModel model;
    for (int i = 0; i < 3; ++i)
        model.append(Patient());
    model.setPageSize(pageSize);
    model.setCurrentPage(page);
    QCOMPARE(model.data(model.index(row, PatientModel::NumberColumn), Qt::DisplayRole).toString(), number);
}

void PatientModelTest::pagingChangesRepaintTheNumbers()
{
    PatientModel model;
    for (int i = 0; i < 3; ++i)
        model.append(Patient());
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.setPageSize(20);
    model.setCurrentPage(3);
    QCOMPARE(changed.count(), 2);
    for (const QList<QVariant>& emitted : changed) {
        QCOMPARE(emitted.at(0).toModelIndex(), model.index(0, PatientModel::NumberColumn));
        QCOMPARE(emitted.at(1).toModelIndex(), model.index(2, PatientModel::NumberColumn));
    }

    model.setPageSize(20);
    model.setCurrentPage(3);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(model.pageSize(), 20);
    QCOMPARE(model.currentPage(), 3);
}

void PatientModelTest::cellRoles_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QVariant>("display");
    QTest::addColumn<int>("alignment");

    QTest::newRow("number") << int(PatientModel::NumberColumn) << QVariant(QStringLiteral("1")) << centre;
    QTest::newRow("name") << int(PatientModel::NameColumn) << QVariant(QStringLiteral("  Anna Petrova")) << left;
    QTest::newRow("age") << int(PatientModel::AgeColumn) << QVariant(QStringLiteral("47")) << centre;
    QTest::newRow("last record") << int(PatientModel::LastRecordColumn)
                                 << QVariant(QStringLiteral("2021-03-04 05:06:07")) << centre;
    QTest::newRow("phone") << int(PatientModel::PhoneColumn) << QVariant(QStringLiteral("  +7 900 000-00-00")) << left;
    QTest::newRow("notes") << int(PatientModel::NotesColumn) << QVariant(QStringLiteral("  after surgery")) << left;
    QTest::newRow("edit") << int(PatientModel::EditColumn) << QVariant() << left;
    QTest::newRow("remove") << int(PatientModel::RemoveColumn) << QVariant() << left;
}

void PatientModelTest::cellRoles()
{
    QFETCH(int, column);
    QFETCH(QVariant, display);
    QFETCH(int, alignment);

    PatientModel model;
    model.append(patient(fullPatient));
    const QModelIndex index = model.index(0, column);
    QCOMPARE(model.data(index, Qt::DisplayRole), display);
    QCOMPARE(model.data(index, Qt::TextAlignmentRole).toInt(), alignment);
    const QVariant toolTip = model.data(index, Qt::ToolTipRole);
    QCOMPARE(toolTip.userType(), int(QMetaType::QString));
    QVERIFY(toolTip.toString().isEmpty());
    QVERIFY(!model.data(index, Qt::DecorationRole).isValid());
    QVERIFY(!model.data(index, Qt::EditRole).isValid());
}

void PatientModelTest::picturesOfTheRow_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("gender");

    QTest::newRow("no device, male") << QByteArray(R"({"gender":"MALE"})")
                                     << QStringLiteral(":/images/not-connected-device.png")
                                     << QStringLiteral(":/images/gender-male.png");
    QTest::newRow("recording, female") << QByteArray(R"({"gender":"FEMALE","hasDevices":true,"isEnabled":true,
                                                         "command":"RECORD"})")
                                       << QStringLiteral(":/images/connected-device-record.png")
                                       << QStringLiteral(":/images/gender-female.png");
    QTest::newRow("blocked, no gender") << QByteArray(R"({"hasDevices":true,"command":"RECIPE"})")
                                        << QStringLiteral(":/images/connected-device-blocked.png")
                                        << QStringLiteral(":/images/gender-female.png");
}

void PatientModelTest::picturesOfTheRow()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, device);
    QFETCH(QString, gender);

    PatientModel model;
    model.append(patient(json));
    const QVariant devicePicture = model.data(model.index(0, PatientModel::DeviceColumn), Qt::DisplayRole);
    const QVariant genderPicture = model.data(model.index(0, PatientModel::GenderColumn), Qt::DisplayRole);
    QCOMPARE(devicePicture.userType(), int(QMetaType::QPixmap));
    QCOMPARE(genderPicture.userType(), int(QMetaType::QPixmap));
    QCOMPARE(sameFormat(devicePicture.value<QPixmap>().toImage()), sameFormat(QImage(device)));
    QCOMPARE(sameFormat(genderPicture.value<QPixmap>().toImage()), sameFormat(QImage(gender)));
    QCOMPARE(model.data(model.index(0, PatientModel::DeviceColumn), Qt::TextAlignmentRole).toInt(), left);
    QCOMPARE(model.data(model.index(0, PatientModel::GenderColumn), Qt::TextAlignmentRole).toInt(), centre);
}

void PatientModelTest::rowColours()
{
    PatientModel model;
    for (int i = 0; i < 3; ++i)
        model.append(Patient());
    const QList<QColor> backgrounds = {white, oddRow, white};
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column) {
            const QModelIndex index = model.index(row, column);
            QCOMPARE(model.data(index, Qt::BackgroundRole).value<QColor>(), backgrounds.at(row));
            QCOMPARE(model.data(index, Qt::ForegroundRole).value<QColor>(), text);
        }
    }
}

void PatientModelTest::deviceStatusToolTip_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("status");

    // No translation is loaded, so the keys themselves are shown.
    QTest::newRow("not connected, whatever the command")
        << QByteArray(R"({"command":"RECORD"})") << QStringLiteral("Text.deviceNotConnected");
    QTest::newRow("no command") << QByteArray(R"({"hasDevices":true,"command":"record"})")
                                << QStringLiteral("Text.noCommands");
    QTest::newRow("recording, though blocked")
        << QByteArray(R"({"hasDevices":true,"isEnabled":false,"command":"RECORD"})")
        << QStringLiteral("Text.recordInProgress");
    QTest::newRow("autospectrum done") << QByteArray(
                                              R"({"hasDevices":true,"command":"AUTOSPECTRUM","isComplete":true})")
                                       << QStringLiteral("Text.recordComplete");
    QTest::newRow("recipe running") << QByteArray(R"({"hasDevices":true,"command":"RECIPE"})")
                                    << QStringLiteral("Text.recipeInProgress");
    QTest::newRow("own recipe done") << QByteArray(R"({"hasDevices":true,"command":"SELF_RECIPE","isComplete":true})")
                                     << QStringLiteral("Text.recipeComplete");
}

void PatientModelTest::deviceStatusToolTip()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, status);

    PatientModel model;
    model.append(Patient());
    model.append(patient(json));
    QCOMPARE(model.data(model.index(1, PatientModel::DeviceColumn), Qt::ToolTipRole).toString(), status);
}

void PatientModelTest::header_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("alignment");

    QTest::newRow("number") << int(PatientModel::NumberColumn) << QString() << centre;
    QTest::newRow("device") << int(PatientModel::DeviceColumn) << QString() << left;
    QTest::newRow("name") << int(PatientModel::NameColumn) << QStringLiteral("Text.name") << left;
    QTest::newRow("age") << int(PatientModel::AgeColumn) << QStringLiteral("Text.age") << centre;
    QTest::newRow("gender") << int(PatientModel::GenderColumn) << QStringLiteral("Text.gender") << centre;
    QTest::newRow("last record") << int(PatientModel::LastRecordColumn) << QStringLiteral("Text.lastRecordDate")
                                 << centre;
    QTest::newRow("phone") << int(PatientModel::PhoneColumn) << QStringLiteral("Text.phone") << left;
    QTest::newRow("notes") << int(PatientModel::NotesColumn) << QStringLiteral("Text.notes") << left;
    QTest::newRow("edit") << int(PatientModel::EditColumn) << QString() << left;
    QTest::newRow("remove") << int(PatientModel::RemoveColumn) << QString() << left;
}

void PatientModelTest::header()
{
    QFETCH(int, section);
    QFETCH(QString, title);
    QFETCH(int, alignment);

    PatientModel model;
    QCOMPARE(model.headerData(section, Qt::Horizontal, Qt::DisplayRole).toString(), title);
    QCOMPARE(model.headerData(section, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), alignment);
    QVERIFY(!model.headerData(section, Qt::Vertical, Qt::DisplayRole).isValid());
}

void PatientModelTest::pageCountSignalsOnlyChanges()
{
    PatientModel model;
    QSignalSpy changed(&model, &PatientModel::pageCountChanghed);
    model.setPageCount(0);
    QCOMPARE(changed.count(), 0);
    model.setPageCount(5);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.pageCount(), 5);
    model.setPageCount(5);
    QCOMPARE(changed.count(), 1);
    model.setPageCount(2);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(model.pageCount(), 2);
}

void PatientModelTest::lookupById_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");

    // The rows hold "" (an unsaved patient), "a", "b" and "a" again.
    QTest::newRow("empty id never matches") << QString() << -1 << QString();
    QTest::newRow("first of two equal ids") << QStringLiteral("a") << 1 << QStringLiteral("first a");
    QTest::newRow("last row") << QStringLiteral("b") << 2 << QStringLiteral("b");
    QTest::newRow("unknown") << QStringLiteral("c") << -1 << QString();
    QTest::newRow("ids are compared exactly") << QStringLiteral("A") << -1 << QString();
}

void PatientModelTest::lookupById()
{
    QFETCH(QString, id);
    QFETCH(int, row);
    QFETCH(QString, name);

    PatientModel model;
    model.append(named(QString(), QStringLiteral("unsaved")));
    model.append(named(QStringLiteral("a"), QStringLiteral("first a")));
    model.append(named(QStringLiteral("b"), QStringLiteral("b")));
    model.append(named(QStringLiteral("a"), QStringLiteral("second a")));

    QCOMPARE(model.indexOf(named(id, QStringLiteral("whatever"))), row);
    const Patient found = model.patientById(id);
    QCOMPARE(found.name(), name);
    QCOMPARE(found.id(), row < 0 ? QString() : id);
}

void PatientModelTest::removingARowRenumbersTheRowsBelow()
{
    PatientModel model;
    for (const char* name : {"a", "b", "c", "d"})
        model.append(named(QString::fromLatin1(name), QString::fromLatin1(name)));
    model.setPageSize(20);
    model.setCurrentPage(2);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.removeAt(1);

    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(removed.at(0).at(2).toInt(), 1);
    QCOMPARE(model.rowCount(), 3);
    const QStringList names = {QStringLiteral("  a"), QStringLiteral("  c"), QStringLiteral("  d")};
    const QStringList numbers = {QStringLiteral("21"), QStringLiteral("22"), QStringLiteral("23")};
    for (int row = 0; row < model.rowCount(); ++row) {
        QCOMPARE(nameAt(model, row), names.at(row));
        QCOMPARE(model.data(model.index(row, PatientModel::NumberColumn), Qt::DisplayRole).toString(), numbers.at(row));
    }
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, PatientModel::NumberColumn));
    QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(2, PatientModel::NumberColumn));

    model.removeAt(2);
    QCOMPARE(changed.count(), 1);
}

void PatientModelTest::indexesOutsideTheListAreIgnored()
{
    PatientModel model;
    for (const char* name : {"a", "b", "c"})
        model.append(named(QString::fromLatin1(name), QString::fromLatin1(name)));
    // An index kept from before a removal, as a view or a signal may still hold it.
    const QModelIndex stale = model.index(2, PatientModel::NameColumn);
    QCOMPARE(model.patientAt(stale).name(), QStringLiteral("c"));
    model.removeAt(2);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QVERIFY(!model.data(stale, Qt::DisplayRole).isValid());
    QVERIFY(!model.data(stale, Qt::BackgroundRole).isValid());
    QCOMPARE(model.flags(stale), Qt::ItemFlags(Qt::ItemIsEnabled));
    QVERIFY(model.patientAt(stale).id().isEmpty());
    QVERIFY(model.patientAt(QModelIndex()).name().isEmpty());
    model.updateAt(stale, named(QStringLiteral("x"), QStringLiteral("x")));
    model.updateAt(QModelIndex(), named(QStringLiteral("x"), QStringLiteral("x")));
    model.removeAt(-1);
    model.removeAt(2);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(removed.count(), 0);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.indexOf(named(QStringLiteral("x"), QString())), -1);
    QCOMPARE(model.flags(model.index(1, PatientModel::NameColumn)),
             Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren);
}

void PatientModelTest::updateRepaintsTheWholeRow()
{
    PatientModel model;
    for (const char* name : {"a", "b", "c"})
        model.append(named(QString::fromLatin1(name), QString::fromLatin1(name)));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    Patient changedPatient = named(QStringLiteral("b"), QStringLiteral("Boris"));
    changedPatient.setHasDevices(true);
    model.updateAt(model.index(1, PatientModel::NumberColumn), changedPatient);

    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 0));
    QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(1, PatientModel::ColumnCount - 1));
    QCOMPARE(nameAt(model, 1), QStringLiteral("  Boris"));
    QCOMPARE(model.data(model.index(1, PatientModel::DeviceColumn), Qt::ToolTipRole).toString(),
             QStringLiteral("Text.noCommands"));
    QCOMPARE(nameAt(model, 0), QStringLiteral("  a"));
    QCOMPARE(nameAt(model, 2), QStringLiteral("  c"));
    QCOMPARE(model.patientAt(model.index(1, PatientModel::PhoneColumn)).name(), QStringLiteral("Boris"));
}

void PatientModelTest::isAFlatTable()
{
    PatientModel model;
    model.append(Patient());
    const QModelIndex cell = model.index(0, 0);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 10);
    QCOMPARE(model.rowCount(cell), 0);
    QCOMPARE(model.columnCount(cell), 0);
}

void PatientModelTest::proxyColoursFollowTheShownRows()
{
    PatientModel model;
    for (const char* name : {"c", "a", "b", "d"})
        model.append(named(QString::fromLatin1(name), QString::fromLatin1(name)));
    PatientProxyModel proxy;
    QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
    proxy.setSourceModel(&model);
    proxy.sort(PatientModel::NameColumn);

    // Sorted a, b, c, d: source rows 1, 2, 0, 3, whose own colours would be odd, even, even, odd.
    const QStringList names = {QStringLiteral("  a"), QStringLiteral("  b"), QStringLiteral("  c"),
                               QStringLiteral("  d")};
    const QList<QColor> backgrounds = {white, oddRow, white, oddRow};
    for (int row = 0; row < proxy.rowCount(); ++row) {
        QCOMPARE(nameAt(proxy, row), names.at(row));
        for (int column = 0; column < proxy.columnCount(); ++column) {
            const QModelIndex index = proxy.index(row, column);
            QCOMPARE(proxy.data(index, Qt::BackgroundRole).value<QColor>(), backgrounds.at(row));
            QCOMPARE(proxy.data(index, Qt::ForegroundRole).value<QColor>(), text);
        }
    }
    QCOMPARE(proxy.data(proxy.index(1, PatientModel::AgeColumn), Qt::TextAlignmentRole).toInt(), centre);
    QVERIFY(!proxy.data(QModelIndex(), Qt::BackgroundRole).isValid());
}

QTEST_MAIN(PatientModelTest)
#include "tst_patientmodel.moc"
