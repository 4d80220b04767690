#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace localservice {

class Database;
class JsonText;
class Statement;
struct Account;

// The columns every patient query selects, in the order writePatient reads.
extern const char* const PatientColumns;

// A patient row (selected with PatientColumns) in the form the client reads.
void writePatient(JsonText& out, const Statement& row);
nlohmann::json patientJson(const Statement& row);

// The patient's JSON, or a 404 when it is not one of the account's patients.
nlohmann::json ownedPatient(Database& db, const Account& account, const std::string& patientId);
// Throws the 404 when the patient isn't the account's.
void requireOwnedPatient(Database& db, const Account& account, const std::string& patientId);

struct StoredRecord
{
    std::string id;
    std::int64_t recordedAt = 0;
    std::string samples;
};

// The patient's records with these ids, in the order given; a 404 for an id
// that isn't one of the patient's records.
std::vector<StoredRecord> patientRecords(Database& db, const std::string& patientId,
                                         const std::vector<std::string>& recordIds, bool withSamples);

// The columns of a record in the form the client reads, from records r.
extern const char* const RecordColumns;
// A record row (selected with RecordColumns) in the form the client reads.
void writeRecord(JsonText& out, const Statement& row);
nlohmann::json recordJson(Database& db, const std::string& recordId);

// Remote devices report their commands a while after they were sent; a
// report of a recording command brings the recording the device made.
// Called before anything that shows a patient, outside of a read
// transaction: it writes in one of its own when a report is due.
void settleCommands(Database& db, const Account& account, std::int64_t now, const std::string& language);

} // namespace localservice
