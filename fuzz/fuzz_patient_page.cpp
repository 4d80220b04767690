// A page of the patient directory, read as the patient list reads it.
#include "FuzzCheck.h"
#include "FuzzModels.h"
#include "data/PatientModel.h"
#include "data/PatientPage.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startOffscreenApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    const std::optional<PatientPage> page = PatientPage::fromJson(bytes);

    QJsonParseError error{};
    const QJsonValue rows = QJsonDocument::fromJson(bytes, &error).object().value(QLatin1String("data"));
    // A page exactly when the answer is JSON with a "data" array, one patient
    // per element of it.
    FUZZ_CHECK(page.has_value() == (error.error == QJsonParseError::NoError && rows.isArray()));
    if (!page)
        return 0;
    FUZZ_CHECK(page->patients.size() == rows.toArray().size());

    // The page shown, filled as the patient directory fills it.
    PatientModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setPageCount(page->pageCount);
    model.clear();
    for (const Patient& patient : page->patients)
        model.append(patient);
    FUZZ_CHECK(model.rowCount() == page->patients.size());
    readCells(model);
    return 0;
}
