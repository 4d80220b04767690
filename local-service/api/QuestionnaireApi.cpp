#include "api/QuestionnaireApi.h"

#include "api/PatientRepository.h"
#include "http/ApiError.h"
#include "http/ServiceRouter.h"
#include "signal/Catalogue.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/TextFolding.h"

#include <map>
#include <set>

namespace localservice {

namespace {

constexpr size_t MaxSymptomNameLength = 100;

std::string standardKey(int id)
{
    return "s:" + std::to_string(id);
}

std::string customKey(std::int64_t id)
{
    return "c:" + std::to_string(id);
}

nlohmann::json intensitiesOf(Database& db, const std::string& key, const std::vector<std::string>& recordIds)
{
    nlohmann::json intensities = nlohmann::json::object();
    for (const std::string& recordId : recordIds) {
        Statement query = db.prepare("SELECT value FROM intensities WHERE record_id = ? AND symptom_key = ?");
        query.bind(1, recordId).bind(2, key);
        if (query.step())
            intensities[recordId] = query.real(0);
    }
    return intensities;
}

// A symptom member of the save body: a standard symptom's id in decimal, or
// the name of one of the patient's own symptoms.
struct SymptomEntry
{
    int standardId = 0; // 0 for a custom symptom
    std::string customName;
    double value = 0;
};

std::vector<SymptomEntry> readEntries(const nlohmann::json& symptoms)
{
    if (!symptoms.is_object())
        throw ApiError(400, "fieldType", {"questionnaire"});
    std::vector<SymptomEntry> entries;
    for (const auto& [key, value] : symptoms.items()) {
        if (!value.is_number() || value.get<double>() < 0 || value.get<double>() > 3)
            throw ApiError(400, "intensityRange");
        SymptomEntry entry;
        entry.value = value.get<double>();
        const bool numeric = !key.empty() && key.size() < 9 && key.find_first_not_of("0123456789") == std::string::npos;
        if (numeric && findStandardSymptom(std::stoi(key))) {
            entry.standardId = std::stoi(key);
        } else {
            if (key.empty() || utf8Length(key) > MaxSymptomNameLength)
                throw ApiError(400, "symptomNameInvalid");
            entry.customName = key;
        }
        entries.push_back(entry);
    }
    return entries;
}

std::int64_t customSymptomId(Database& db, const std::string& patientId, const std::string& name)
{
    db.prepare("INSERT OR IGNORE INTO custom_symptoms (patient_id, name) VALUES (?, ?)")
        .bind(1, patientId)
        .bind(2, name)
        .run();
    Statement query = db.prepare("SELECT id FROM custom_symptoms WHERE patient_id = ? AND name = ?");
    query.bind(1, patientId).bind(2, name);
    query.step();
    return query.integer(0);
}

// Custom symptoms that the body no longer mentions were removed by the
// practitioner; they go with their intensities.
void removeUnmentionedSymptoms(Database& db, const std::string& patientId, const std::set<std::string>& mentioned)
{
    Statement query = db.prepare("SELECT id, name FROM custom_symptoms WHERE patient_id = ?");
    query.bind(1, patientId);
    std::vector<std::int64_t> removed;
    while (query.step()) {
        if (!mentioned.count(query.text(1)))
            removed.push_back(query.integer(0));
    }
    for (const std::int64_t id : removed) {
        db.prepare("DELETE FROM intensities WHERE symptom_key = ? AND record_id IN "
                   "(SELECT id FROM records WHERE patient_id = ?)")
            .bind(1, customKey(id))
            .bind(2, patientId)
            .run();
        db.prepare("DELETE FROM custom_symptoms WHERE id = ?").bind(1, id).run();
    }
}

ApiResponse loadQuestionnaire(ApiRequest& request)
{
    const nlohmann::json& body = request.jsonObject();
    const std::string patientId = field::text(body, "patientId");
    const std::vector<std::string> recordIds = field::textArray(body, "records");
    requireOwnedPatient(request.db(), request.account(), patientId);
    return ApiResponse::json(questionnaireJson(request.db(), patientId, recordIds, request.language()));
}

ApiResponse saveQuestionnaire(ApiRequest& request)
{
    const std::string patientId = request.pathParameter(1);
    requireOwnedPatient(request.db(), request.account(), patientId);
    const nlohmann::json& body = request.jsonObject();

    // Everything is checked before anything is written.
    std::map<std::string, std::vector<SymptomEntry>> byRecord;
    std::set<std::string> mentioned;
    for (const auto& [recordId, symptoms] : body.items()) {
        patientRecords(request.db(), patientId, {recordId}, false);
        byRecord[recordId] = readEntries(symptoms);
        for (const SymptomEntry& entry : byRecord[recordId]) {
            if (entry.standardId == 0)
                mentioned.insert(entry.customName);
        }
    }

    Database& db = request.db();
    Database::Transaction transaction(db);
    for (const auto& [recordId, entries] : byRecord) {
        db.prepare("DELETE FROM intensities WHERE record_id = ?").bind(1, recordId).run();
        for (const SymptomEntry& entry : entries) {
            const std::string key = entry.standardId != 0 ? standardKey(entry.standardId)
                                                          : customKey(customSymptomId(db, patientId, entry.customName));
            db.prepare("INSERT OR REPLACE INTO intensities (record_id, symptom_key, value) VALUES (?, ?, ?)")
                .bind(1, recordId)
                .bind(2, key)
                .bind(3, entry.value)
                .run();
        }
    }
    if (!byRecord.empty())
        removeUnmentionedSymptoms(db, patientId, mentioned);
    transaction.commit();
    return ApiResponse::ok();
}

} // namespace

nlohmann::json questionnaireJson(Database& db, const std::string& patientId, const std::vector<std::string>& recordIds,
                                 const std::string& language)
{
    nlohmann::json dates = nlohmann::json::object();
    for (const StoredRecord& record : patientRecords(db, patientId, recordIds, false))
        dates[record.id] = formatLocalDateTime(record.recordedAt);

    nlohmann::json rows = nlohmann::json::array();
    for (const StandardSymptom& symptom : standardSymptoms()) {
        rows.push_back({{"id", symptom.id},
                        {"symptom", symptom.name.in(language)},
                        {"custom", false},
                        {"intensities", intensitiesOf(db, standardKey(symptom.id), recordIds)}});
    }
    Statement custom = db.prepare("SELECT id, name FROM custom_symptoms WHERE patient_id = ? ORDER BY id");
    custom.bind(1, patientId);
    while (custom.step()) {
        rows.push_back({{"symptom", custom.text(1)},
                        {"custom", true},
                        {"intensities", intensitiesOf(db, customKey(custom.integer(0)), recordIds)}});
    }
    return {{"dates", dates}, {"rows", rows}};
}

void addQuestionnaireApi(ServiceRouter& router)
{
    router.post("/patient/questionnaire", Access::SignedIn, loadQuestionnaire, Unit::Read);
    router.put("/patient/questionnaire/([^/]+)", Access::SignedIn, saveQuestionnaire);
}

} // namespace localservice
