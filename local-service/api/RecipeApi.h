#pragma once

namespace localservice {

class ServiceRouter;
class SpectrumCache;
struct ServiceOptions;

// Recipes per record, the impact audio of their markers, the remote recipe
// command and the autospectrum.
void addRecipeApi(ServiceRouter& router, const ServiceOptions& options, SpectrumCache& spectra);

} // namespace localservice
