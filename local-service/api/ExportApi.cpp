#include "api/ExportApi.h"

#include "api/PatientRepository.h"
#include "api/QuestionnaireApi.h"
#include "export/SpreadsheetExport.h"
#include "http/ApiError.h"
#include "http/ServiceRouter.h"
#include "signal/Base64.h"
#include "storage/Clock.h"
#include "storage/Database.h"

namespace localservice {

namespace {

ExportSheetTexts sheetTexts(const std::string& language)
{
    if (language == "ru")
        return {"Пациент",
                "Записи",
                "История восстановления",
                {"Имя", "Дата рождения", "Возраст", "Пол", "Телефон", "Заметки", "Последняя запись"},
                {"Дата записи", "Врач", "Анкета", "Датчик"},
                "Симптом"};
    return {"Patient",
            "Records",
            "Recovery history",
            {"Name", "Birth date", "Age", "Gender", "Phone", "Notes", "Last record"},
            {"Recorded at", "Doctor", "Questionnaire", "Sensor"},
            "Symptom"};
}

std::string genderText(const std::string& gender, const std::string& language)
{
    if (gender == "MALE")
        return language == "ru" ? "Мужской" : "Male";
    if (gender == "FEMALE")
        return language == "ru" ? "Женский" : "Female";
    return {};
}

std::string readable(const std::string& isoDateTime)
{
    std::string text = isoDateTime;
    if (text.size() > 10 && text[10] == 'T')
        text[10] = ' ';
    return text;
}

PatientWorkbook workbookOf(Database& db, const nlohmann::json& patient, const std::string& language)
{
    PatientWorkbook workbook;
    workbook.texts = sheetTexts(language);
    workbook.patientValues = {patient["name"].get<std::string>(),
                              patient["birthDate"].get<std::string>(),
                              std::to_string(patient["age"].get<int>()),
                              genderText(patient["gender"].get<std::string>(), language),
                              patient["phone"].get<std::string>(),
                              patient["notes"].get<std::string>(),
                              patient["lastRecordAt"].is_string() ? readable(patient["lastRecordAt"]) : std::string()};

    const std::string patientId = patient["id"];
    Statement query = db.prepare("SELECT id FROM records WHERE patient_id = ? ORDER BY recorded_at, id");
    query.bind(1, patientId);
    std::vector<std::string> recordIds;
    while (query.step())
        recordIds.push_back(query.text(0));
    // The recovery history covers the records that have a questionnaire.
    std::vector<std::string> answered;
    for (const std::string& id : recordIds) {
        const nlohmann::json record = recordJson(db, id);
        const bool hasQuestionnaire = record["questionnaire"].get<bool>();
        workbook.records.push_back(
            {readable(record["recordedAt"]), record["doctorName"],
             hasQuestionnaire ? (language == "ru" ? "да" : "yes") : (language == "ru" ? "нет" : "no"),
             record["sensorId"]});
        if (hasQuestionnaire)
            answered.push_back(id);
    }
    const nlohmann::json questionnaire = questionnaireJson(db, patientId, answered, language);
    for (const std::string& id : answered)
        workbook.recoveryDates.push_back(readable(questionnaire["dates"][id]));
    for (const nlohmann::json& row : questionnaire["rows"]) {
        ExportSymptomRow symptom{row["symptom"], {}};
        for (const std::string& id : answered) {
            const auto found = row["intensities"].find(id);
            symptom.intensities.push_back(
                found == row["intensities"].end() ? std::nullopt : std::optional<double>(found->get<double>()));
        }
        workbook.symptoms.push_back(std::move(symptom));
    }
    return workbook;
}

ApiResponse exportExcel(ApiRequest& request)
{
    const std::string patientId = field::text(request.jsonObject(), "patientId");
    settleCommands(request.db(), request.account(), currentTimeMs(), request.language());
    Database::Transaction snapshot(request.db(), Database::Transaction::Mode::Read);
    const nlohmann::json patient = ownedPatient(request.db(), request.account(), patientId);
    const PatientWorkbook workbook = workbookOf(request.db(), patient, request.language());
    snapshot.commit();
    const std::string xlsx = buildPatientWorkbook(workbook);
    if (xlsx.empty())
        throw ApiError(500, "internal");
    return ApiResponse::text(encodeBase64(xlsx));
}

} // namespace

void addExportApi(ServiceRouter& router)
{
    router.post("/export/excel", Access::SignedIn, exportExcel, Unit::OwnTransactions);
}

} // namespace localservice
