#pragma once

namespace localservice {

class ServiceRouter;
class SpectrumCache;

// The catalogues and the analyses computed from a patient's recordings:
// marker tables, the summary by category and the comparative charts.
void addAnalysisApi(ServiceRouter& router, SpectrumCache& spectra);

} // namespace localservice
