#include "api/PatientRepository.h"

#include "http/ApiError.h"
#include "http/ApiRequest.h"
#include "http/JsonText.h"
#include "http/Messages.h"
#include "signal/SyntheticRecording.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/PasswordHasher.h"
#include "storage/Samples.h"

namespace localservice {

namespace {

// FNV-1a: the same on every platform and library, unlike std::hash.
std::uint32_t stableHash(const std::string& text)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : text)
        hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    return hash;
}

} // namespace

const char* const PatientColumns =
    "p.id, p.name, p.birth_date, p.gender, p.notes, p.phone, p.device_id IS NOT NULL, p.device_enabled, "
    "p.command, p.command_complete, p.last_record_at";

void writePatient(JsonText& out, const Statement& row)
{
    const std::string birthDate = row.text(2);
    const std::optional<CalendarDate> birth = parseIsoDate(birthDate);
    out.beginObject();
    out.key("age").number(birth ? yearsBetween(*birth, localDate(currentTimeMs())) : 0);
    out.key("birthDate").string(birthDate);
    out.key("command").string(row.text(8));
    out.key("gender").string(row.text(3));
    out.key("hasDevices").boolean(row.integer(6) != 0);
    out.key("id").string(row.text(0));
    out.key("isComplete").boolean(row.integer(9) != 0);
    out.key("isEnabled").boolean(row.integer(7) != 0);
    out.key("lastRecordAt");
    if (row.isNull(10))
        out.null();
    else
        out.string(formatLocalDateTime(row.integer(10)));
    out.key("name").string(row.text(1));
    out.key("notes").string(row.text(4));
    out.key("phone").string(row.text(5));
    out.endObject();
}

nlohmann::json patientJson(const Statement& row)
{
    JsonText text;
    writePatient(text, row);
    return nlohmann::json::parse(text.text());
}

nlohmann::json ownedPatient(Database& db, const Account& account, const std::string& patientId)
{
    Statement query = db.prepare(
        (std::string("SELECT ") + PatientColumns + " FROM patients p WHERE p.id = ? AND p.account_id = ?").c_str());
    query.bind(1, patientId).bind(2, account.id);
    if (!query.step())
        throw ApiError(404, "patientNotFound");
    return patientJson(query);
}

void requireOwnedPatient(Database& db, const Account& account, const std::string& patientId)
{
    Statement query = db.prepare("SELECT 1 FROM patients WHERE id = ? AND account_id = ?");
    query.bind(1, patientId).bind(2, account.id);
    if (!query.step())
        throw ApiError(404, "patientNotFound");
}

std::vector<StoredRecord> patientRecords(Database& db, const std::string& patientId,
                                         const std::vector<std::string>& recordIds, bool withSamples)
{
    std::vector<StoredRecord> records;
    for (const std::string& id : recordIds) {
        Statement lookup = db.prepare(
            withSamples ? "SELECT r.recorded_at, s.bytes FROM records r JOIN samples s ON s.id = r.samples_id "
                          "WHERE r.id = ? AND r.patient_id = ?"
                        : "SELECT recorded_at FROM records WHERE id = ? AND patient_id = ?");
        lookup.bind(1, id).bind(2, patientId);
        if (!lookup.step())
            throw ApiError(404, "recordNotFound", {id});
        records.push_back({id, lookup.integer(0), withSamples ? lookup.blob(1) : std::string()});
    }
    return records;
}

const char* const RecordColumns = "r.id, r.patient_id, r.doctor_name, r.recorded_at, r.editable, r.sensor_id, "
                                  "EXISTS (SELECT 1 FROM intensities i WHERE i.record_id = r.id)";

void writeRecord(JsonText& out, const Statement& row)
{
    out.beginObject();
    out.key("doctorName").string(row.text(2));
    out.key("editable").boolean(row.integer(4) != 0);
    out.key("id").string(row.text(0));
    out.key("patientId").string(row.text(1));
    out.key("questionnaire").boolean(row.integer(6) != 0);
    out.key("recordedAt").string(formatLocalDateTime(row.integer(3)));
    out.key("sensorId").string(row.text(5));
    out.endObject();
}

nlohmann::json recordJson(Database& db, const std::string& recordId)
{
    Statement query = db.prepare((std::string("SELECT ") + RecordColumns + " FROM records r WHERE r.id = ?").c_str());
    query.bind(1, recordId);
    if (!query.step())
        throw ApiError(404, "recordNotFound", {recordId});
    JsonText text;
    writeRecord(text, query);
    return nlohmann::json::parse(text.text());
}

namespace {

bool hasDueCommands(Database& db, const Account& account, std::int64_t now)
{
    Statement due = db.prepare("SELECT EXISTS (SELECT 1 FROM patients WHERE account_id = ? AND command_complete = 0 "
                               "AND command_due_at IS NOT NULL AND command_due_at <= ?)");
    due.bind(1, account.id).bind(2, now);
    return due.step() && due.integer(0) != 0;
}

} // namespace

void settleCommands(Database& db, const Account& account, std::int64_t now, const std::string& language)
{
    if (!hasDueCommands(db, account, now))
        return;
    // Requests that come at once find the same reports due; the write lock
    // lets the first one settle them and the others find nothing left.
    Database::Transaction transaction(db);
    Statement due = db.prepare("SELECT id, command, command_due_at, device_id FROM patients WHERE account_id = ? "
                               "AND command <> '' AND command_complete = 0 AND command_due_at IS NOT NULL "
                               "AND command_due_at <= ?");
    due.bind(1, account.id).bind(2, now);
    struct Report
    {
        std::string patientId;
        std::string command;
        std::int64_t at;
        std::string deviceId;
    };
    std::vector<Report> reports;
    while (due.step())
        reports.push_back({due.text(0), due.text(1), due.integer(2), due.text(3)});

    for (const Report& report : reports) {
        Statement complete = db.prepare("UPDATE patients SET command_complete = 1 WHERE id = ?");
        complete.bind(1, report.patientId).run();
        const bool recording =
            report.command == "RECORD" || report.command == "SELF_RECORD" || report.command == "AUTOSPECTRUM";
        if (!recording)
            continue;
        const std::uint32_t seed = stableHash(report.patientId) ^ static_cast<std::uint32_t>(report.at);
        const std::int64_t samplesId = storeSamples(db, syntheticRecording(seed));
        Statement insert = db.prepare("INSERT INTO records (id, patient_id, doctor_name, recorded_at, sensor_id, "
                                      "editable, samples_id) VALUES (?, ?, ?, ?, ?, 0, ?)");
        insert.bind(1, newUuid())
            .bind(2, report.patientId)
            .bind(3, message("remoteDevice", language))
            .bind(4, report.at)
            .bind(5, report.deviceId)
            .bind(6, samplesId)
            .run();
    }
    transaction.commit();
}

} // namespace localservice
