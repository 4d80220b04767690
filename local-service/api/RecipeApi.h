#pragma once

namespace localservice {

class ServiceRouter;
struct ServiceOptions;

// Recipes per record, the impact audio of their markers, the remote recipe
// command and the autospectrum.
void addRecipeApi(ServiceRouter& router, const ServiceOptions& options);

} // namespace localservice
