#include "storage/Schema.h"

#include "storage/Database.h"

namespace localservice {

namespace {

constexpr int SchemaVersion = 7;

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

// What version 2 adds to a database of version 1, in place:
// - tokens remember their last use, so idle ones expire;
// - the patient row keeps the time of its latest recording and the account
//   its number of patients, kept up to date by triggers, so a page of the
//   list and its page count come from indexes instead of a pass over every
//   patient;
// - an index for each order of the list, in both directions (the name and
//   the id break ties in ascending order either way), and one for commands
//   that are waiting for their report.
const char* const UpgradeToVersion2 = R"sql(
ALTER TABLE tokens ADD COLUMN last_used_at INTEGER NOT NULL DEFAULT 0;
UPDATE tokens SET last_used_at = created_at;
CREATE INDEX tokens_by_last_use ON tokens(last_used_at);
CREATE INDEX tokens_by_account ON tokens(account_id);

ALTER TABLE patients ADD COLUMN last_record_at INTEGER;
UPDATE patients SET last_record_at = (SELECT MAX(r.recorded_at) FROM records r WHERE r.patient_id = patients.id);
CREATE TRIGGER records_inserted AFTER INSERT ON records BEGIN
    UPDATE patients SET last_record_at =
        (SELECT MAX(recorded_at) FROM records WHERE patient_id = NEW.patient_id) WHERE id = NEW.patient_id;
END;
CREATE TRIGGER records_deleted AFTER DELETE ON records BEGIN
    UPDATE patients SET last_record_at =
        (SELECT MAX(recorded_at) FROM records WHERE patient_id = OLD.patient_id) WHERE id = OLD.patient_id;
END;
CREATE TRIGGER records_moved AFTER UPDATE OF patient_id, recorded_at ON records BEGIN
    UPDATE patients SET last_record_at =
        (SELECT MAX(recorded_at) FROM records WHERE patient_id = OLD.patient_id) WHERE id = OLD.patient_id;
    UPDATE patients SET last_record_at =
        (SELECT MAX(recorded_at) FROM records WHERE patient_id = NEW.patient_id) WHERE id = NEW.patient_id;
END;

ALTER TABLE accounts ADD COLUMN patient_count INTEGER NOT NULL DEFAULT 0;
UPDATE accounts SET patient_count = (SELECT COUNT(*) FROM patients p WHERE p.account_id = accounts.id);
CREATE TRIGGER patients_inserted AFTER INSERT ON patients BEGIN
    UPDATE accounts SET patient_count = patient_count + 1 WHERE id = NEW.account_id;
END;
CREATE TRIGGER patients_deleted AFTER DELETE ON patients BEGIN
    UPDATE accounts SET patient_count = patient_count - 1 WHERE id = OLD.account_id;
END;

DROP INDEX patients_by_account;
CREATE INDEX patients_by_creation ON patients(account_id, created_at, id);
CREATE INDEX patients_by_name ON patients(account_id, name_folded, id);
CREATE INDEX patients_by_name_desc ON patients(account_id, name_folded, id DESC);
CREATE INDEX patients_by_birth ON patients(account_id, birth_date, name_folded, id);
CREATE INDEX patients_by_birth_desc ON patients(account_id, birth_date, name_folded DESC, id DESC);
CREATE INDEX patients_by_gender ON patients(account_id, gender, name_folded, id);
CREATE INDEX patients_by_gender_desc ON patients(account_id, gender, name_folded DESC, id DESC);
CREATE INDEX patients_by_record ON patients(account_id, last_record_at, name_folded, id);
CREATE INDEX patients_by_record_desc ON patients(account_id, last_record_at, name_folded DESC, id DESC);
CREATE INDEX patients_by_notes ON patients(account_id, notes_folded, name_folded, id);
CREATE INDEX patients_by_notes_desc ON patients(account_id, notes_folded, name_folded DESC, id DESC);
CREATE INDEX patients_with_due_command ON patients(account_id, command_due_at)
    WHERE command_complete = 0 AND command_due_at IS NOT NULL;
)sql";

// What version 3 adds: a trigram index of the folded name and notes, so a
// search for three or more characters reads the patients that contain the
// text instead of every patient of the account. Its rows are keyed on
// search_key, a number of the patient's own that VACUUM leaves alone (unlike
// the rowid of a table whose primary key is text). The key holds the account
// in its high bits (see searchKeysOf), so the index finds one account's
// matches by a range of its keys without reading the patients; triggers give
// a new patient the account's next key and keep the index in step with every
// change. The index holds the folded text as it is (case_sensitive), so it
// matches exactly what a byte-wise substring test of the folded columns does.
const char* const UpgradeToVersion3 = R"sql(
ALTER TABLE patients ADD COLUMN search_key INTEGER;
UPDATE patients SET search_key = numbered.key FROM (
    SELECT rowid AS row, (account_id << 32) + row_number() OVER (PARTITION BY account_id ORDER BY rowid) AS key
    FROM patients) AS numbered
WHERE patients.rowid = numbered.row;
CREATE UNIQUE INDEX patients_by_search_key ON patients(search_key);
CREATE VIRTUAL TABLE patient_search USING fts5(name_folded, notes_folded, tokenize = 'trigram case_sensitive 1');
INSERT INTO patient_search (rowid, name_folded, notes_folded) SELECT search_key, name_folded, notes_folded FROM patients;
CREATE TRIGGER patients_search_added AFTER INSERT ON patients BEGIN
    UPDATE patients SET search_key = coalesce(
        (SELECT search_key + 1 FROM patients WHERE search_key BETWEEN NEW.account_id << 32
            AND (NEW.account_id << 32) + 4294967295 ORDER BY search_key DESC LIMIT 1),
        (NEW.account_id << 32) + 1) WHERE rowid = NEW.rowid;
    INSERT INTO patient_search (rowid, name_folded, notes_folded)
        SELECT search_key, name_folded, notes_folded FROM patients WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER patients_search_changed AFTER UPDATE OF name_folded, notes_folded ON patients BEGIN
    UPDATE patient_search SET name_folded = NEW.name_folded, notes_folded = NEW.notes_folded
        WHERE rowid = NEW.search_key;
END;
CREATE TRIGGER patients_search_removed AFTER DELETE ON patients BEGIN
    DELETE FROM patient_search WHERE rowid = OLD.search_key;
END;
)sql";

// What version 4 adds: a second full-text index, of every run of one or two
// characters of the folded name and notes, so a needle too short for the
// trigram index is a lookup too (a single character is in nearly every
// patient, and reading them all to count the matches took longer than a
// list may). Its words are the runs in hexadecimal (short_runs, a function of
// the service's own in storage/Database), keyed like the trigram index. It
// keeps no copy of the text, so a row is removed by handing it the runs that
// were indexed. The triggers of version 3 are replaced by ones that keep
// both indexes.
const char* const UpgradeToVersion4 = R"sql(
CREATE VIRTUAL TABLE patient_runs USING fts5(name_runs, notes_runs, content = '', tokenize = 'ascii');
INSERT INTO patient_runs (rowid, name_runs, notes_runs)
    SELECT search_key, short_runs(name_folded), short_runs(notes_folded) FROM patients;
DROP TRIGGER patients_search_added;
DROP TRIGGER patients_search_changed;
DROP TRIGGER patients_search_removed;
CREATE TRIGGER patients_search_added AFTER INSERT ON patients BEGIN
    UPDATE patients SET search_key = coalesce(
        (SELECT search_key + 1 FROM patients WHERE search_key BETWEEN NEW.account_id << 32
            AND (NEW.account_id << 32) + 4294967295 ORDER BY search_key DESC LIMIT 1),
        (NEW.account_id << 32) + 1) WHERE rowid = NEW.rowid;
    INSERT INTO patient_search (rowid, name_folded, notes_folded)
        SELECT search_key, name_folded, notes_folded FROM patients WHERE rowid = NEW.rowid;
    INSERT INTO patient_runs (rowid, name_runs, notes_runs)
        SELECT search_key, short_runs(name_folded), short_runs(notes_folded) FROM patients WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER patients_search_changed AFTER UPDATE OF name_folded, notes_folded ON patients
WHEN OLD.name_folded IS NOT NEW.name_folded OR OLD.notes_folded IS NOT NEW.notes_folded BEGIN
    UPDATE patient_search SET name_folded = NEW.name_folded, notes_folded = NEW.notes_folded
        WHERE rowid = NEW.search_key;
    INSERT INTO patient_runs (patient_runs, rowid, name_runs, notes_runs)
        VALUES ('delete', OLD.search_key, short_runs(OLD.name_folded), short_runs(OLD.notes_folded));
    INSERT INTO patient_runs (rowid, name_runs, notes_runs)
        VALUES (NEW.search_key, short_runs(NEW.name_folded), short_runs(NEW.notes_folded));
END;
CREATE TRIGGER patients_search_removed AFTER DELETE ON patients BEGIN
    DELETE FROM patient_search WHERE rowid = OLD.search_key;
    INSERT INTO patient_runs (patient_runs, rowid, name_runs, notes_runs)
        VALUES ('delete', OLD.search_key, short_runs(OLD.name_folded), short_runs(OLD.notes_folded));
END;
)sql";

// What version 5 adds: the samples of recordings in a table of their own.
// Removing a patient or a record then removes small rows at once and queues
// its samples (up to 661 kB a recording) in samples_removed, which the
// service purges a few at a time afterwards (storage/SamplesPurge): a
// removal of hundreds of recordings would otherwise hold every other writer
// up for seconds. Samples ids are never reused, so a queued id can only name
// the samples it was queued for.
const char* const UpgradeToVersion5 = R"sql(
CREATE TABLE samples (id INTEGER PRIMARY KEY AUTOINCREMENT, bytes BLOB NOT NULL);
CREATE TABLE samples_removed (samples_id INTEGER PRIMARY KEY);
ALTER TABLE records ADD COLUMN samples_id INTEGER;
INSERT INTO samples (id, bytes) SELECT rowid, samples FROM records;
UPDATE records SET samples_id = rowid;
ALTER TABLE records DROP COLUMN samples;
CREATE TRIGGER records_samples_removed AFTER DELETE ON records BEGIN
    INSERT OR IGNORE INTO samples_removed (samples_id) VALUES (OLD.samples_id);
END;
)sql";

// What version 6 adds: the search key at the end of every index of an order
// of the list, so that a search with many matches tests each patient along
// the order against the set of its matches' keys (in_key_set, a function of
// the service's own in storage/Database) without reading the patient. A new
// patient now comes with its key (the account's next), which spares every
// index a second change; the trigger still numbers one added without.
const char* const UpgradeToVersion6 = R"sql(
DROP INDEX IF EXISTS patients_by_creation;
DROP INDEX IF EXISTS patients_by_name;
DROP INDEX IF EXISTS patients_by_name_desc;
DROP INDEX IF EXISTS patients_by_birth;
DROP INDEX IF EXISTS patients_by_birth_desc;
DROP INDEX IF EXISTS patients_by_gender;
DROP INDEX IF EXISTS patients_by_gender_desc;
DROP INDEX IF EXISTS patients_by_record;
DROP INDEX IF EXISTS patients_by_record_desc;
DROP INDEX IF EXISTS patients_by_notes;
DROP INDEX IF EXISTS patients_by_notes_desc;
CREATE INDEX patients_by_creation ON patients(account_id, created_at, id, search_key);
CREATE INDEX patients_by_name ON patients(account_id, name_folded, id, search_key);
CREATE INDEX patients_by_name_desc ON patients(account_id, name_folded, id DESC, search_key);
CREATE INDEX patients_by_birth ON patients(account_id, birth_date, name_folded, id, search_key);
CREATE INDEX patients_by_birth_desc ON patients(account_id, birth_date, name_folded DESC, id DESC, search_key);
CREATE INDEX patients_by_gender ON patients(account_id, gender, name_folded, id, search_key);
CREATE INDEX patients_by_gender_desc ON patients(account_id, gender, name_folded DESC, id DESC, search_key);
CREATE INDEX patients_by_record ON patients(account_id, last_record_at, name_folded, id, search_key);
CREATE INDEX patients_by_record_desc ON patients(account_id, last_record_at, name_folded DESC, id DESC, search_key);
CREATE INDEX patients_by_notes ON patients(account_id, notes_folded, name_folded, id, search_key);
CREATE INDEX patients_by_notes_desc ON patients(account_id, notes_folded, name_folded DESC, id DESC, search_key);
DROP TRIGGER patients_search_added;
CREATE TRIGGER patients_search_added AFTER INSERT ON patients BEGIN
    UPDATE patients SET search_key = coalesce(
        (SELECT search_key + 1 FROM patients WHERE search_key BETWEEN NEW.account_id << 32
            AND (NEW.account_id << 32) + 4294967295 ORDER BY search_key DESC LIMIT 1),
        (NEW.account_id << 32) + 1) WHERE rowid = NEW.rowid AND NEW.search_key IS NULL;
    INSERT INTO patient_search (rowid, name_folded, notes_folded)
        SELECT search_key, name_folded, notes_folded FROM patients WHERE rowid = NEW.rowid;
    INSERT INTO patient_runs (rowid, name_runs, notes_runs)
        SELECT search_key, short_runs(name_folded), short_runs(notes_folded) FROM patients WHERE rowid = NEW.rowid;
END;
)sql";

// What version 7 adds: the account's list version, which every change of
// what the patient list orders or searches by moves on, in the transaction
// that makes the change. The list keeps orders and matches read from the
// database (storage/KeyListCache) under this version, so a list read before
// a change is never used after it, whichever connection made the change.
const char* const UpgradeToVersion7 = R"sql(
ALTER TABLE accounts ADD COLUMN list_version INTEGER NOT NULL DEFAULT 0;
DROP TRIGGER patients_inserted;
DROP TRIGGER patients_deleted;
CREATE TRIGGER patients_inserted AFTER INSERT ON patients BEGIN
    UPDATE accounts SET patient_count = patient_count + 1, list_version = list_version + 1
        WHERE id = NEW.account_id;
END;
CREATE TRIGGER patients_deleted AFTER DELETE ON patients BEGIN
    UPDATE accounts SET patient_count = patient_count - 1, list_version = list_version + 1
        WHERE id = OLD.account_id;
END;
CREATE TRIGGER patients_list_changed
AFTER UPDATE OF account_id, id, name_folded, birth_date, gender, notes_folded, last_record_at, created_at, search_key
ON patients
WHEN OLD.account_id IS NOT NEW.account_id OR OLD.id IS NOT NEW.id OR OLD.name_folded IS NOT NEW.name_folded
    OR OLD.birth_date IS NOT NEW.birth_date OR OLD.gender IS NOT NEW.gender
    OR OLD.notes_folded IS NOT NEW.notes_folded OR OLD.last_record_at IS NOT NEW.last_record_at
    OR OLD.created_at IS NOT NEW.created_at OR OLD.search_key IS NOT NEW.search_key BEGIN
    UPDATE accounts SET list_version = list_version + 1 WHERE id IN (OLD.account_id, NEW.account_id);
END;
)sql";

int storedVersion(Database& db)
{
    Statement query = db.prepare("PRAGMA user_version");
    return query.step() ? static_cast<int>(query.integer(0)) : 0;
}

} // namespace

SearchKeys searchKeysOf(std::int64_t accountId)
{
    return {accountId << 32, (accountId << 32) + 0xFFFFFFFFLL};
}

bool ensureSchema(Database& db)
{
    const int version = storedVersion(db);
    if (version >= SchemaVersion)
        return false;
    Database::Transaction transaction(db);
    if (version < 1)
        db.execute(CreateTables);
    if (version < 2)
        db.execute(UpgradeToVersion2);
    if (version < 3)
        db.execute(UpgradeToVersion3);
    if (version < 4)
        db.execute(UpgradeToVersion4);
    if (version < 5)
        db.execute(UpgradeToVersion5);
    if (version < 6)
        db.execute(UpgradeToVersion6);
    db.execute(UpgradeToVersion7);
    db.execute(("PRAGMA user_version = " + std::to_string(SchemaVersion)).c_str());
    transaction.commit();
    return version < 1;
}

} // namespace localservice
