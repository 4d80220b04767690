#include "api/DeviceApi.h"

#include "ServiceOptions.h"
#include "api/PatientRepository.h"
#include "http/ApiError.h"
#include "http/ServiceRouter.h"
#include "storage/Clock.h"
#include "storage/Database.h"

namespace localservice {

namespace {

constexpr size_t MaxDeviceIdLength = 64;

struct DeviceState
{
    bool bound = false;
    bool enabled = false;
};

DeviceState deviceOf(ApiRequest& request, const std::string& patientId)
{
    requireOwnedPatient(request.db(), request.account(), patientId);
    Statement query = request.db().prepare("SELECT device_id IS NOT NULL, device_enabled FROM patients WHERE id = ?");
    query.bind(1, patientId);
    query.step();
    return {query.integer(0) != 0, query.integer(1) != 0};
}

ApiResponse connectDevice(ApiRequest& request)
{
    const nlohmann::json& body = request.jsonObject();
    const std::string patientId = field::text(body, "patientId");
    const std::string deviceId = field::text(body, "deviceId");
    deviceOf(request, patientId);
    if (deviceId.empty() || deviceId.size() > MaxDeviceIdLength)
        throw ApiError(400, "deviceIdInvalid");
    Statement holder = request.db().prepare("SELECT id FROM patients WHERE device_id = ? AND id <> ?");
    holder.bind(1, deviceId).bind(2, patientId);
    if (holder.step())
        throw ApiError(409, "deviceTaken");
    request.db()
        .prepare("UPDATE patients SET device_id = ?, device_enabled = 1, command = '', command_record_id = NULL, "
                 "command_due_at = NULL, command_complete = 0 WHERE id = ?")
        .bind(1, deviceId)
        .bind(2, patientId)
        .run();
    return ApiResponse::ok();
}

ApiResponse toggleDevice(ApiRequest& request)
{
    const std::string patientId = field::text(request.jsonObject(), "patientId");
    if (!deviceOf(request, patientId).bound)
        throw ApiError(409, "deviceRequired");
    request.db()
        .prepare("UPDATE patients SET device_enabled = 1 - device_enabled WHERE id = ?")
        .bind(1, patientId)
        .run();
    return ApiResponse::ok();
}

ApiResponse disconnectDevice(ApiRequest& request)
{
    const std::string patientId = request.pathParameter(1);
    if (!deviceOf(request, patientId).bound)
        throw ApiError(409, "deviceRequired");
    request.db()
        .prepare("UPDATE patients SET device_id = NULL, device_enabled = 0, command = '', command_record_id = NULL, "
                 "command_due_at = NULL, command_complete = 0 WHERE id = ?")
        .bind(1, patientId)
        .run();
    return ApiResponse::ok();
}

} // namespace

std::string commandWord(const std::string& sent)
{
    if (sent == "SELFRECIPE")
        return "SELF_RECIPE";
    for (const char* word : {"RECORD", "SELF_RECORD", "AUTOSPECTRUM", "RECIPE", "SELF_RECIPE"}) {
        if (sent == word)
            return sent;
    }
    return {};
}

void startCommand(ApiRequest& request, const std::string& patientId, const std::string& command,
                  const std::string& recordId, int commandSeconds)
{
    const DeviceState device = deviceOf(request, patientId);
    if (!device.bound)
        throw ApiError(409, "deviceRequired");
    if (!device.enabled)
        throw ApiError(409, "deviceBlocked");
    const std::int64_t now = currentTimeMs();
    Statement update = request.db().prepare("UPDATE patients SET command = ?, command_record_id = ?, "
                                            "command_sent_at = ?, command_due_at = ?, command_complete = 0 "
                                            "WHERE id = ?");
    update.bind(1, command);
    if (recordId.empty())
        update.bindNull(2);
    else
        update.bind(2, recordId);
    update.bind(3, now).bind(4, now + static_cast<std::int64_t>(commandSeconds) * 1000).bind(5, patientId).run();
}

void addDeviceApi(ServiceRouter& router, const ServiceOptions& options)
{
    router.post("/patient/device", Access::SignedIn, connectDevice);
    router.put("/patient/device", Access::SignedIn, toggleDevice);
    router.remove("/patient/device/([^/]+)", Access::SignedIn, disconnectDevice);

    const int commandSeconds = options.commandSeconds;
    router.post("/command", Access::SignedIn, [commandSeconds](ApiRequest& request) {
        const nlohmann::json& body = request.jsonObject();
        const std::string patientId = field::text(body, "patientId");
        const std::string sent = field::text(body, "command");
        const std::string recordId = field::optionalText(body, "recordId");
        const std::string command = commandWord(sent);
        if (command.empty())
            throw ApiError(400, "unknownCommand", {sent});
        requireOwnedPatient(request.db(), request.account(), patientId);
        if (!recordId.empty())
            patientRecords(request.db(), patientId, {recordId}, false);
        startCommand(request, patientId, command, recordId, commandSeconds);
        return ApiResponse::ok();
    });
    router.remove("/command/([^/]+)", Access::SignedIn, [](ApiRequest& request) {
        const std::string patientId = request.pathParameter(1);
        requireOwnedPatient(request.db(), request.account(), patientId);
        request.db()
            .prepare("UPDATE patients SET command = '', command_record_id = NULL, command_due_at = NULL, "
                     "command_complete = 0 WHERE id = ?")
            .bind(1, patientId)
            .run();
        return ApiResponse::ok();
    });
}

} // namespace localservice
