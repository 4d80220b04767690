#include "storage/Schema.h"

#include "storage/Database.h"

namespace localservice {

namespace {

constexpr int SchemaVersion = 1;

// Times are milliseconds since the epoch. A patient's remote device, its
// last command and the command's state live on the patient row: a patient
// has at most one device.
const char* const CreateTables = R"sql(
CREATE TABLE accounts (
    id INTEGER PRIMARY KEY,
    username TEXT NOT NULL UNIQUE,
    display_name TEXT NOT NULL,
    password_hash TEXT NOT NULL,
    language TEXT NOT NULL,
    country TEXT NOT NULL
);
CREATE TABLE tokens (
    digest TEXT PRIMARY KEY,
    account_id INTEGER NOT NULL REFERENCES accounts(id) ON DELETE CASCADE,
    created_at INTEGER NOT NULL
);
CREATE TABLE patients (
    id TEXT PRIMARY KEY,
    account_id INTEGER NOT NULL REFERENCES accounts(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    name_folded TEXT NOT NULL,
    birth_date TEXT NOT NULL,
    gender TEXT NOT NULL,
    notes TEXT NOT NULL,
    notes_folded TEXT NOT NULL,
    phone TEXT NOT NULL,
    created_at INTEGER NOT NULL,
    device_id TEXT UNIQUE,
    device_enabled INTEGER NOT NULL DEFAULT 0,
    command TEXT NOT NULL DEFAULT '',
    command_record_id TEXT,
    command_sent_at INTEGER NOT NULL DEFAULT 0,
    -- When the device will report the command done; NULL while it is
    -- offline and won't report.
    command_due_at INTEGER,
    command_complete INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX patients_by_account ON patients(account_id, name_folded);
CREATE TABLE records (
    id TEXT PRIMARY KEY,
    patient_id TEXT NOT NULL REFERENCES patients(id) ON DELETE CASCADE,
    doctor_name TEXT NOT NULL,
    recorded_at INTEGER NOT NULL,
    sensor_id TEXT NOT NULL,
    editable INTEGER NOT NULL,
    samples BLOB NOT NULL
);
CREATE INDEX records_by_patient ON records(patient_id, recorded_at);
CREATE TABLE recipes (
    record_id TEXT PRIMARY KEY REFERENCES records(id) ON DELETE CASCADE,
    markers TEXT NOT NULL,
    duration INTEGER NOT NULL,
    updated_at INTEGER NOT NULL
);
CREATE TABLE custom_symptoms (
    id INTEGER PRIMARY KEY,
    patient_id TEXT NOT NULL REFERENCES patients(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    UNIQUE (patient_id, name)
);
-- A symptom key is "s:<standard id>" or "c:<custom symptom id>".
CREATE TABLE intensities (
    record_id TEXT NOT NULL REFERENCES records(id) ON DELETE CASCADE,
    symptom_key TEXT NOT NULL,
    value REAL NOT NULL,
    PRIMARY KEY (record_id, symptom_key)
);
)sql";

int storedVersion(Database& db)
{
    Statement query = db.prepare("PRAGMA user_version");
    return query.step() ? static_cast<int>(query.integer(0)) : 0;
}

} // namespace

bool ensureSchema(Database& db)
{
    if (storedVersion(db) >= SchemaVersion)
        return false;
    Database::Transaction transaction(db);
    db.execute(CreateTables);
    db.execute(("PRAGMA user_version = " + std::to_string(SchemaVersion)).c_str());
    transaction.commit();
    return true;
}

} // namespace localservice
