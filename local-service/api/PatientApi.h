#pragma once

#include <optional>
#include <string>

namespace localservice {

class ServiceRouter;
struct ServiceOptions;

// The patient directory: the paged, sorted and searched list, create, edit
// and delete.
void addPatientApi(ServiceRouter& router, const ServiceOptions& options);

// The search text of the list request: Base64 of its UTF-8 in which "+",
// "/" and "=" were written ".", "_" and "-". nullopt when it isn't that.
std::optional<std::string> decodeNeedle(const std::string& needle);

} // namespace localservice
