#include "api/RecordApi.h"

#include "api/PatientRepository.h"
#include "http/ApiError.h"
#include "http/JsonText.h"
#include "http/ServiceRouter.h"
#include "signal/SpectrumCache.h"
#include "signal/WavFormat.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/PasswordHasher.h"
#include "storage/Samples.h"
#include "storage/TextFolding.h"

#include <algorithm>

namespace localservice {

namespace {

constexpr size_t MaxSensorIdLength = 64;

ApiResponse listRecords(ApiRequest& request)
{
    const std::string patientId = request.pathParameter(1);
    settleCommands(request.db(), request.account(), currentTimeMs(), request.language());
    Database::Transaction snapshot(request.db(), Database::Transaction::Mode::Read);
    requireOwnedPatient(request.db(), request.account(), patientId);
    // One query for the whole list, each row in the form recordJson gives.
    Statement query = request.db().prepare(
        (std::string("SELECT ") + RecordColumns + " FROM records r WHERE r.patient_id = ? ORDER BY r.recorded_at, r.id")
            .c_str());
    query.bind(1, patientId);
    JsonText records;
    records.beginArray();
    while (query.step())
        writeRecord(records, query);
    records.endArray();
    snapshot.commit();
    return ApiResponse::jsonText(records.take());
}

ApiResponse uploadRecord(ApiRequest& request)
{
    const httplib::Request& http = request.http();
    if (!http.is_multipart_form_data() || !http.has_file("patientId") || !http.has_file("record"))
        throw ApiError(400, "uploadFields");
    const std::string patientId = http.get_file_value("patientId").content;
    requireOwnedPatient(request.db(), request.account(), patientId);

    const WavCheck wav = readSensorWav(http.get_file_value("record").content);
    if (!wav.valid)
        throw ApiError(400, wav.problem);
    // The sensor's identifier travels in a header; it is empty when the
    // client found no sensor. Taken whole, so that a NUL in it is refused
    // rather than cutting it short.
    const std::string sensorId = wholeHeaderValue(http, "Sonvera-ID");
    if (sensorId.size() > MaxSensorIdLength)
        throw ApiError(400, "deviceIdInvalid");
    // Checked before anything is stored: the answer and every later list
    // carry it as JSON text.
    const bool control =
        std::any_of(sensorId.begin(), sensorId.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
    if (!isValidUtf8(sensorId) || control)
        throw ApiError(400, "sensorIdNotText");

    const std::string id = newUuid();
    const std::int64_t samplesId = storeSamples(request.db(), wav.samples);
    request.db()
        .prepare("INSERT INTO records (id, patient_id, doctor_name, recorded_at, sensor_id, editable, samples_id) "
                 "VALUES (?, ?, ?, ?, ?, 1, ?)")
        .bind(1, id)
        .bind(2, patientId)
        .bind(3, request.account().displayName)
        .bind(4, currentTimeMs())
        .bind(5, sensorId)
        .bind(6, samplesId)
        .run();
    return ApiResponse::json(recordJson(request.db(), id), 201);
}

ApiResponse deleteRecord(ApiRequest& request, SpectrumCache& spectra)
{
    const std::string patientId = request.pathParameter(1);
    const std::string recordId = request.pathParameter(2);
    requireOwnedPatient(request.db(), request.account(), patientId);
    patientRecords(request.db(), patientId, {recordId}, false);
    request.db().prepare("DELETE FROM records WHERE id = ?").bind(1, recordId).run();
    // A request still reading the record in its snapshot may put it back;
    // harmless, as every use checks the record first and ids are not reused.
    spectra.drop(recordId);
    return ApiResponse::ok();
}

} // namespace

std::shared_ptr<const Spectrum> recordSpectrum(Database& db, SpectrumCache& spectra, const std::string& patientId,
                                               const std::string& recordId)
{
    return spectra.spectrum(recordId, [&] { return patientRecords(db, patientId, {recordId}, true).front().samples; });
}

void addRecordApi(ServiceRouter& router, SpectrumCache& spectra)
{
    router.get("/record/([^/]+)", Access::SignedIn, listRecords, Unit::OwnTransactions);
    router.post("/record", Access::SignedIn, uploadRecord);
    router.remove("/record/([^/]+)/([^/]+)", Access::SignedIn,
                  [&spectra](ApiRequest& request) { return deleteRecord(request, spectra); });
}

} // namespace localservice
