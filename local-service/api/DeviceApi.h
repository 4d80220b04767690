#pragma once

#include <string>

namespace localservice {

class ApiRequest;
class ServiceRouter;
struct ServiceOptions;

// Remote devices bound to patients, and the commands sent to them.
void addDeviceApi(ServiceRouter& router, const ServiceOptions& options);

// The stored form of a command word, or empty for an unknown one. The
// client sends the self-recipe as "SELFRECIPE" and reads it as "SELF_RECIPE".
std::string commandWord(const std::string& sent);

// Sends the command to the patient's device, which must be bound and
// enabled; the device reports it done after the given seconds.
void startCommand(ApiRequest& request, const std::string& patientId, const std::string& command,
                  const std::string& recordId, int commandSeconds);

} // namespace localservice
