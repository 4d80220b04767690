#include "storage/Seeder.h"

#include "signal/Catalogue.h"
#include "signal/SyntheticRecording.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/PasswordHasher.h"
#include "storage/Samples.h"
#include "storage/TextFolding.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace localservice {

namespace {

constexpr std::int64_t Day = 24LL * 3600 * 1000;

struct SeedPatient
{
    const char* name;
    const char* gender;
    const char* notes;
};

// Thirty Latin and thirty Cyrillic names, so that search and sorting meet
// both alphabets on every page.
const SeedPatient DemoPatients[] = {
    {"Anna Schmidt", "FEMALE", "Migraine since spring; sensitive to light"},
    {"Алексей Смирнов", "MALE", "Бессонница, работает посменно"},
    {"Benjamin Carter", "MALE", "Back pain after sports injury"},
    {"Мария Иванова", "FEMALE", "Хроническая усталость"},
    {"Charlotte Dubois", "FEMALE", "Seasonal allergy"},
    {"Дмитрий Кузнецов", "MALE", "Гипертония, контроль давления"},
    {"Daniel Novak", "MALE", ""},
    {"Елена Попова", "FEMALE", "Мигрень, чувствительность к погоде"},
    {"Emma Johansson", "FEMALE", "Stress at work, poor sleep"},
    {"Иван Соколов", "MALE", "После операции на колене"},
    {"Felix Wagner", "MALE", "Digestive complaints"},
    {"Ольга Лебедева", "FEMALE", "Тревожность"},
    {"Grace O'Neill", "FEMALE", "Recovery after flu"},
    {"Сергей Козлов", "MALE", "Боли в спине"},
    {"Hugo Martin", "MALE", "Tinnitus in the left ear"},
    {"Наталья Новикова", "FEMALE", ""},
    {"Isabella Rossi", "FEMALE", "Pregnancy, second trimester"},
    {"Андрей Морозов", "MALE", "Аллергия на пыльцу"},
    {"Jakob Berg", "MALE", "Insomnia"},
    {"Татьяна Петрова", "FEMALE", "Головные боли по утрам"},
    {"Klara Horvat", "FEMALE", "Joint pain in the hands"},
    {"Михаил Волков", "MALE", "Восстановление после гриппа"},
    {"Lucas Moreau", "MALE", "Fatigue, low iron"},
    {"Анастасия Соловьёва", "FEMALE", "Стресс, плохой сон"},
    {"Mia Andersen", "FEMALE", "Asthma, mild"},
    {"Николай Васильев", "MALE", "Проблемы с пищеварением"},
    {"Noah Fischer", "MALE", ""},
    {"Юлия Зайцева", "FEMALE", "Мигрень с аурой"},
    {"Olivia Brown", "FEMALE", "Anxiety before exams"},
    {"Павел Павлов", "MALE", "Шум в ушах"},
    {"Paul Weber", "MALE", "High blood pressure"},
    {"Екатерина Семёнова", "FEMALE", "Беременность"},
    {"Quentin Lambert", "MALE", "Neck stiffness"},
    {"Виктор Голубев", "MALE", "Боли в суставах"},
    {"Rosa Lindqvist", "FEMALE", "Eczema"},
    {"Светлана Виноградова", "FEMALE", "Аллергия на шерсть"},
    {"Samuel Cohen", "MALE", "Recovering from burnout"},
    {"Георгий Богданов", "MALE", ""},
    {"Sofia Costa", "FEMALE", "Dizziness when standing up"},
    {"Ирина Воробьёва", "FEMALE", "Усталость к вечеру"},
    {"Thomas Müller", "MALE", "Knee surgery follow-up"},
    {"Константин Фёдоров", "MALE", "Гастрит"},
    {"Ursula Keller", "FEMALE", "Menopause symptoms"},
    {"Людмила Михайлова", "FEMALE", "Давление скачет"},
    {"Victor Almeida", "MALE", "Headaches at the screen"},
    {"Роман Беляев", "MALE", "Спортивная травма плеча"},
    {"Wiktoria Nowak", "FEMALE", "Sleep apnoea suspected"},
    {"Ксения Тарасова", "FEMALE", "Тревога, панические атаки"},
    {"Xavier Laurent", "MALE", ""},
    {"Владимир Белов", "MALE", "Боли в пояснице"},
    {"Yasmin Haddad", "FEMALE", "Iron deficiency"},
    {"Полина Комарова", "FEMALE", "Сезонная депрессия"},
    {"Zoe Clarke", "FEMALE", "Migraine, family history"},
    {"Артём Орлов", "MALE", "Бессонница после переезда"},
    {"Adam Kowalski", "MALE", "Back pain, desk work"},
    {"Валентина Киселёва", "FEMALE", "Боли в коленях"},
    {"Bianca Ferrari", "FEMALE", "Allergy to dust mites"},
    {"Григорий Макаров", "MALE", "Аритмия"},
    {"Chloe Bernard", "FEMALE", "Fatigue after illness"},
    {"Юрий Андреев", "MALE", "Восстановление после COVID"},
};

const SeedPatient SecondPatients[] = {
    {"Петр Ковалёв", "MALE", "Пациент второго практикующего врача"},
    {"Helena Virtanen", "FEMALE", "Belongs to the second practitioner"},
    {"Остап Шевчук", "MALE", ""},
};

// Six device set-ups, one per state the client tells apart, plus a blocked
// device. A due time of 0 keeps the command running: its device is offline.
struct DeviceSetup
{
    bool bound;
    bool enabled;
    const char* command;
    bool complete;
};
const DeviceSetup DeviceSetups[] = {
    {true, true, "", false},             // connected, no command
    {true, true, "RECORD", false},       // recording in progress
    {true, true, "AUTOSPECTRUM", true},  // recording done
    {true, true, "RECIPE", false},       // recipe in progress
    {true, true, "SELF_RECIPE", true},   // recipe done
    {true, false, "SELF_RECORD", false}, // blocked while recording
};

std::string deviceIdFor(int index)
{
    char text[40];
    std::snprintf(text, sizeof text, "5e0d5e75-0000-4000-8000-%012d", index);
    return text;
}

std::string birthDateFor(int index)
{
    CalendarDate date{1950 + (index * 7) % 60, 1 + (index * 5) % 12, 1 + (index * 11) % 28};
    return formatIsoDate(date);
}

std::string phoneFor(int index)
{
    if (index % 9 == 4)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "+7 9%02d %03d-%02d-%02d", index % 100, (index * 37) % 1000, (index * 13) % 100,
                  (index * 7) % 100);
    return text;
}

std::int64_t insertAccount(Database& db, const char* username, const char* password, const char* displayName,
                           const char* language, const char* country)
{
    db.prepare("INSERT INTO accounts (username, display_name, password_hash, language, country) VALUES (?, ?, ?, ?, ?)")
        .bind(1, username)
        .bind(2, displayName)
        .bind(3, PasswordHasher::hash(password))
        .bind(4, language)
        .bind(5, country)
        .run();
    Statement id = db.prepare("SELECT id FROM accounts WHERE username = ?");
    id.bind(1, username);
    id.step();
    return id.integer(0);
}

std::string insertPatient(Database& db, std::int64_t accountId, const SeedPatient& seed, int index, std::int64_t now)
{
    const std::string id = newUuid();
    db.prepare("INSERT INTO patients (id, account_id, name, name_folded, birth_date, gender, notes, notes_folded, "
               "phone, created_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, id)
        .bind(2, accountId)
        .bind(3, seed.name)
        .bind(4, foldCase(seed.name))
        .bind(5, birthDateFor(index))
        .bind(6, seed.gender)
        .bind(7, seed.notes)
        .bind(8, foldCase(seed.notes))
        .bind(9, phoneFor(index))
        .bind(10, now - (200 - index) * Day)
        .run();
    return id;
}

// Most patients have two to five recordings; in every ten, one has none, one
// a single recording and one a long history, so the patient card meets each.
int recordingCountFor(int index)
{
    switch (index % 10) {
    case 5:
        return 0;
    case 8:
        return 1;
    case 2:
        return 9;
    default:
        return 2 + index % 4;
    }
}

std::vector<std::string> insertRecordings(Database& db, const std::string& patientId, int index,
                                          const std::string& doctor, std::int64_t now)
{
    std::vector<std::string> ids;
    const int count = recordingCountFor(index);
    for (int k = 0; k < count; ++k) {
        const std::string id = newUuid();
        const std::int64_t recordedAt = now - (count - k) * 9 * Day - index * 3600 * 1000LL;
        const std::int64_t samplesId =
            storeSamples(db, syntheticRecording(static_cast<std::uint32_t>(index * 16 + k + 1)));
        db.prepare("INSERT INTO records (id, patient_id, doctor_name, recorded_at, sensor_id, editable, samples_id) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?)")
            .bind(1, id)
            .bind(2, patientId)
            .bind(3, doctor)
            .bind(4, recordedAt)
            .bind(5, "5e450a00-0000-4000-8000-000000000001")
            .bind(6, k % 5 == 4 ? 0 : 1)
            .bind(7, samplesId)
            .run();
        ids.push_back(id);
    }
    return ids;
}

void bindDevice(Database& db, const std::string& patientId, const DeviceSetup& setup, int index, std::int64_t now)
{
    Statement update = db.prepare("UPDATE patients SET device_id = ?, device_enabled = ?, command = ?, "
                                  "command_sent_at = ?, command_due_at = ?, command_complete = ? WHERE id = ?");
    update.bind(1, deviceIdFor(index)).bind(2, setup.enabled ? 1 : 0).bind(3, setup.command).bind(4, now - Day);
    if (setup.complete)
        update.bind(5, now - Day);
    else
        update.bindNull(5);
    update.bind(6, setup.complete ? 1 : 0).bind(7, patientId).run();
}

// The first patient's latest record carries a recipe of three corrective
// markers, and the patient a recovery history with a symptom of their own.
void seedRecipeAndHistory(Database& db, const std::string& patientId, const std::vector<std::string>& records,
                          std::int64_t now)
{
    nlohmann::json markers = nlohmann::json::array();
    for (const CategoryInfo& category : correctiveCatalogue()) {
        if (markers.size() < 3 && !category.storages.empty() && !category.storages.front().markers.empty())
            markers.push_back(category.storages.front().markers.front().id);
    }
    db.prepare("INSERT INTO recipes (record_id, markers, duration, updated_at) VALUES (?, ?, 10, ?)")
        .bind(1, records.back())
        .bind(2, markers.dump())
        .bind(3, now)
        .run();

    db.prepare("INSERT INTO custom_symptoms (patient_id, name) VALUES (?, ?)")
        .bind(1, patientId)
        .bind(2, "Light sensitivity")
        .run();
    Statement custom = db.prepare("SELECT id FROM custom_symptoms WHERE patient_id = ?");
    custom.bind(1, patientId);
    custom.step();
    const std::string customKey = "c:" + std::to_string(custom.integer(0));
    for (size_t r = 0; r < records.size(); ++r) {
        // Complaints ease from one visit to the next.
        const int level = static_cast<int>(records.size() - 1 - r);
        const std::vector<std::pair<std::string, int>> answers = {{"s:1", std::min(3, level + 1)},
                                                                  {"s:2", std::min(3, level)},
                                                                  {"s:3", level > 1 ? 1 : 0},
                                                                  {customKey, level}};
        for (const auto& [key, value] : answers) {
            db.prepare("INSERT INTO intensities (record_id, symptom_key, value) VALUES (?, ?, ?)")
                .bind(1, records[r])
                .bind(2, key)
                .bind(3, static_cast<double>(value))
                .run();
        }
    }
}

} // namespace

void seedDemoData(Database& db)
{
    const std::int64_t now = currentTimeMs();
    Database::Transaction transaction(db);

    const std::int64_t demo = insertAccount(db, "demo", "demo", "Dr. Demo", "en", "US");
    int index = 0;
    for (const SeedPatient& seed : DemoPatients) {
        const std::string patientId = insertPatient(db, demo, seed, index, now);
        const std::vector<std::string> records = insertRecordings(db, patientId, index, "Dr. Demo", now);
        // Every seventh patient has a remote device, in turn in each state.
        if (index % 7 == 3)
            bindDevice(db, patientId, DeviceSetups[(index / 7) % std::size(DeviceSetups)], index, now);
        if (index == 0)
            seedRecipeAndHistory(db, patientId, records, now);
        ++index;
    }

    const std::int64_t second = insertAccount(db, "second", "second", "Д-р Второй", "ru", "RU");
    for (const SeedPatient& seed : SecondPatients) {
        const std::string patientId = insertPatient(db, second, seed, index, now);
        insertRecordings(db, patientId, index, "Д-р Второй", now);
        ++index;
    }
    transaction.commit();
}

} // namespace localservice
