#pragma once

#include <string>

namespace localservice {

class ServiceRouter;
struct ServiceOptions;

// Sign-in, password change, interface language and the update check.
void addAuthApi(ServiceRouter& router, const ServiceOptions& options);

// True when the dotted version a is older than b ("2021.2.9" < "2021.3.0").
bool isOlderVersion(const std::string& a, const std::string& b);

} // namespace localservice
