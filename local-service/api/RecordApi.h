#pragma once

#include <memory>
#include <string>

namespace localservice {

class Database;
class ServiceRouter;
class Spectrum;
class SpectrumCache;

// A patient's recordings: the list, the upload of a sensor WAV and deletion,
// which also forgets the record's spectrum.
void addRecordApi(ServiceRouter& router, SpectrumCache& spectra);

// The spectrum of one of the patient's records, read from the cache or
// computed from its stored samples. Call it once the record is known to be
// the patient's.
std::shared_ptr<const Spectrum> recordSpectrum(Database& db, SpectrumCache& spectra, const std::string& patientId,
                                               const std::string& recordId);

} // namespace localservice
