#include "api/PatientApi.h"

#include "ServiceOptions.h"
#include "api/PatientList.h"
#include "api/PatientRepository.h"
#include "http/ApiError.h"
#include "http/ServiceRouter.h"
#include "signal/Base64.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/PasswordHasher.h"
#include "storage/TextFolding.h"

namespace localservice {

namespace {

constexpr size_t MaxNameLength = 255;
constexpr size_t MaxPhoneLength = 100;
constexpr size_t MaxNotesLength = 4000;

struct PatientFields
{
    std::string name;
    std::string birthDate;
    std::string gender;
    std::string notes;
    std::string phone;
};

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Reads and checks the editable fields; every problem is reported at once.
PatientFields validatedFields(const nlohmann::json& body, bool allowEmptyGender)
{
    PatientFields fields{field::optionalText(body, "name"), field::optionalText(body, "birthDate"),
                         field::optionalText(body, "gender"), field::optionalText(body, "notes"),
                         field::optionalText(body, "phone")};
    std::vector<FieldProblem> problems;
    if (trimmed(fields.name).empty())
        problems.push_back({"name", "isRequired", {}});
    else if (utf8Length(fields.name) > MaxNameLength)
        problems.push_back({"name", "tooLong", {std::to_string(MaxNameLength)}});

    const std::optional<CalendarDate> birth = parseIsoDate(fields.birthDate);
    if (fields.birthDate.empty())
        problems.push_back({"birthDate", "isRequired", {}});
    else if (!birth)
        problems.push_back({"birthDate", "invalidDate", {}});
    else if (localDate(currentTimeMs()) < *birth)
        problems.push_back({"birthDate", "futureDate", {}});
    else if (birth->year < 1900)
        problems.push_back({"birthDate", "tooOld", {}});

    const bool genderKnown = fields.gender == "MALE" || fields.gender == "FEMALE";
    if (!genderKnown && !(allowEmptyGender && fields.gender.empty()))
        problems.push_back({"gender", "invalidGender", {}});
    if (utf8Length(fields.phone) > MaxPhoneLength)
        problems.push_back({"phone", "tooLong", {std::to_string(MaxPhoneLength)}});
    if (utf8Length(fields.notes) > MaxNotesLength)
        problems.push_back({"notes", "tooLong", {std::to_string(MaxNotesLength)}});
    if (!problems.empty())
        throw ValidationError(problems);
    return fields;
}

void bindFields(Statement& statement, const PatientFields& fields)
{
    statement.bind(1, fields.name)
        .bind(2, foldCase(fields.name))
        .bind(3, fields.birthDate)
        .bind(4, fields.gender)
        .bind(5, fields.notes)
        .bind(6, foldCase(fields.notes))
        .bind(7, fields.phone);
}

ApiResponse createPatient(ApiRequest& request)
{
    const PatientFields fields = validatedFields(request.jsonObject(), false);
    const std::string id = newUuid();
    // With the account's next search key, which the indexes then take at
    // once (see storage/Schema).
    Statement insert = request.db().prepare(
        "INSERT INTO patients (name, name_folded, birth_date, gender, notes, notes_folded, phone, id, account_id, "
        "created_at, search_key) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, (SELECT coalesce(max(search_key), "
        "?9 << 32) + 1 FROM patients WHERE search_key BETWEEN ?9 << 32 AND (?9 << 32) + 4294967295))");
    bindFields(insert, fields);
    insert.bind(8, id).bind(9, request.account().id).bind(10, currentTimeMs()).run();
    return ApiResponse::json(ownedPatient(request.db(), request.account(), id), 201);
}

ApiResponse editPatient(ApiRequest& request)
{
    const nlohmann::json& body = request.jsonObject();
    const std::string id = field::text(body, "id");
    requireOwnedPatient(request.db(), request.account(), id);
    // Patients stored before gender was required may come back without one.
    const PatientFields fields = validatedFields(body, true);
    Statement update = request.db().prepare("UPDATE patients SET name = ?1, name_folded = ?2, birth_date = ?3, "
                                            "gender = ?4, notes = ?5, notes_folded = ?6, phone = ?7 WHERE id = ?8");
    bindFields(update, fields);
    update.bind(8, id).run();
    settleCommands(request.db(), request.account(), currentTimeMs(), request.language());
    return ApiResponse::json(ownedPatient(request.db(), request.account(), id));
}

ApiResponse removePatient(ApiRequest& request)
{
    const std::string id = request.pathParameter(1);
    requireOwnedPatient(request.db(), request.account(), id);
    Database::Transaction transaction(request.db());
    // Intensities of custom symptoms hang off records, which go with the
    // patient through the foreign keys.
    request.db().prepare("DELETE FROM patients WHERE id = ?").bind(1, id).run();
    transaction.commit();
    return ApiResponse::ok();
}

} // namespace

std::optional<std::string> decodeNeedle(const std::string& needle)
{
    std::string base64 = needle;
    for (char& c : base64) {
        if (c == '.')
            c = '+';
        else if (c == '_')
            c = '/';
        else if (c == '-')
            c = '=';
    }
    return decodeBase64(base64);
}

void addPatientApi(ServiceRouter& router, const ServiceOptions&)
{
    router.get("/patient/filter", Access::SignedIn, filterPatients, Unit::OwnTransactions);
    router.post("/patient", Access::SignedIn, createPatient);
    router.put("/patient", Access::SignedIn, editPatient);
    // Ids are UUIDs; the pattern leaves "device" and "questionnaire" to
    // their own endpoints.
    router.remove("/patient/([0-9a-fA-F-]{36})", Access::SignedIn, removePatient);
}

} // namespace localservice
