// The domain records as the service sends them, alone or in arrays: patients,
// records, markers, categories with their storages, and the saved recipe.
#include "FuzzCheck.h"
#include "FuzzModels.h"
#include "data/Category.h"
#include "data/Marker.h"
#include "data/Patient.h"
#include "data/Recipe.h"
#include "data/Record.h"
#include "data/RecordModel.h"
#include "data/Storage.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

void readRecords(const QJsonObject& object)
{
    const Patient patient(object);
    // What the client sends back reads as the same patient.
    const Patient echoed(QJsonDocument::fromJson(patient.toJson()).object());
    FUZZ_CHECK(echoed.name() == patient.name());
    FUZZ_CHECK(echoed.birthDate() == patient.birthDate());
    FUZZ_CHECK(echoed.gender() == patient.gender());
    FUZZ_CHECK(echoed.notes() == patient.notes());
    FUZZ_CHECK(echoed.phone() == patient.phone());
    FUZZ_CHECK(echoed.id() == patient.id());
    (void)patient.deviceState();
    (void)patient.deviceIconPath();

    const Record record(object);
    (void)record.recordedAt();

    const Marker marker(object);
    (void)marker.value();

    const Category category(object);
    FUZZ_CHECK(category.storages().size() == object.value(QLatin1String("storages")).toArray().size());
    const Storage storage(object);
    (void)storage.frequencies();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startOffscreenApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    const QJsonDocument document = QJsonDocument::fromJson(bytes);

    if (document.isObject())
        readRecords(document.object());
    const QJsonArray array = document.array();
    for (const QJsonValue& element : array)
        readRecords(element.toObject());

    // The patient card's records, newest first as the card lists them.
    QList<Record> records;
    for (int element = array.size() - 1; element >= 0; --element)
        records.append(Record(array.at(element).toObject()));
    RecordModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.append(records);
    FUZZ_CHECK(model.rowCount() == records.size());
    readCells(model);
    if (model.rowCount() > 0)
        model.setData(model.index(0, RecordModel::CheckColumn), Qt::Checked, Qt::CheckStateRole);
    FUZZ_CHECK(model.checkedRecords().size() == (records.isEmpty() ? 0 : 1));

    // One marker per element of the array, whatever the element is.
    const Recipe recipe = Recipe::fromJson(bytes);
    FUZZ_CHECK(recipe.size() == array.size());
    for (const Marker& marker : recipe.markers())
        FUZZ_CHECK(recipe.contains(marker.id()));
    return 0;
}
