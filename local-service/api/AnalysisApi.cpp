#include "api/AnalysisApi.h"

#include "api/PatientRepository.h"
#include "api/RecordApi.h"
#include "http/ApiError.h"
#include "http/Messages.h"
#include "http/ServiceRouter.h"
#include "signal/Catalogue.h"
#include "signal/MarkerAnalysis.h"
#include "signal/SpectrumCache.h"
#include "storage/Clock.h"
#include "storage/Database.h"

#include <algorithm>
#include <cmath>

namespace localservice {

namespace {

constexpr size_t MaxRecordsPerAnalysis = 50;

nlohmann::json catalogueJson(const std::vector<CategoryInfo>& catalogue, const std::string& language)
{
    nlohmann::json categories = nlohmann::json::array();
    for (const CategoryInfo& category : catalogue) {
        nlohmann::json storages = nlohmann::json::array();
        for (const StorageInfo& storage : category.storages)
            storages.push_back(
                {{"id", storage.id}, {"title", storage.title.in(language)}, {"frequencies", storage.frequencies}});
        categories.push_back({{"title", category.title.in(language)}, {"storages", storages}});
    }
    return categories;
}

// The records of the request, owned by its patient, oldest first: every
// analysis shows time from left to right.
struct AnalysedRecord
{
    std::string id;
    std::int64_t recordedAt;
    std::shared_ptr<const Spectrum> spectrum;
};

std::vector<AnalysedRecord> requestedRecords(ApiRequest& request, SpectrumCache& spectra, const nlohmann::json& body)
{
    const std::string patientId = field::text(body, "patientId");
    requireOwnedPatient(request.db(), request.account(), patientId);
    std::vector<std::string> ids = field::textArray(body, "records");
    if (ids.empty())
        throw ApiError(400, "recordsRequired");
    if (ids.size() > MaxRecordsPerAnalysis)
        throw ApiError(400, "tooManyRecords", {std::to_string(MaxRecordsPerAnalysis)});
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    std::vector<AnalysedRecord> records;
    for (const StoredRecord& stored : patientRecords(request.db(), patientId, ids, false))
        records.push_back({stored.id, stored.recordedAt, recordSpectrum(request.db(), spectra, patientId, stored.id)});
    std::sort(records.begin(), records.end(), [](const AnalysedRecord& a, const AnalysedRecord& b) {
        return a.recordedAt != b.recordedAt ? a.recordedAt < b.recordedAt : a.id < b.id;
    });
    return records;
}

ApiResponse analyse(ApiRequest& request, SpectrumCache& spectra)
{
    const nlohmann::json& body = request.jsonObject();
    const std::string storageId = field::optionalText(body, "storageId");
    const std::vector<AnalysedRecord> records = requestedRecords(request, spectra, body);
    if (storageId.empty())
        throw ApiError(400, "storageRequired");
    const StorageInfo* storage = findStorage(storageId);
    if (!storage)
        throw ApiError(404, "storageNotFound", {storageId});

    nlohmann::json columns = nlohmann::json::array();
    for (const AnalysedRecord& record : records)
        columns.push_back(formatLocalDateTime(record.recordedAt));
    nlohmann::json rows = nlohmann::json::array();
    const std::string& language = request.language();
    for (const MarkerInfo& marker : storage->markers) {
        nlohmann::json values = nlohmann::json::array();
        for (const AnalysedRecord& record : records)
            values.push_back(markerValue(*record.spectrum, *storage, marker));
        rows.push_back({{"id", marker.id},
                        {"title", marker.title.in(language)},
                        {"description", marker.description.in(language)},
                        {"values", values},
                        {"amount", marker.amount}});
    }
    return ApiResponse::json({{"columns", columns}, {"rows", rows}});
}

ApiResponse summary(ApiRequest& request, SpectrumCache& spectra)
{
    const std::vector<AnalysedRecord> records = requestedRecords(request, spectra, request.jsonObject());
    nlohmann::json columns = nlohmann::json::array();
    for (const AnalysedRecord& record : records)
        columns.push_back(formatLocalDateTimeShort(record.recordedAt));
    nlohmann::json rows = nlohmann::json::array();
    for (const CategoryInfo& category : diagnosticCatalogue()) {
        nlohmann::json values = nlohmann::json::array();
        for (const AnalysedRecord& record : records)
            values.push_back(categoryDeviation(*record.spectrum, category));
        rows.push_back({{"title", category.title.in(request.language())}, {"values", values}});
    }
    return ApiResponse::json({{"columns", columns}, {"rows", rows}});
}

// Complaints (symptoms felt at all) and their total severity per record.
void addComplaints(Database& db, const std::vector<AnalysedRecord>& records, const std::string& language,
                   nlohmann::json& complaints)
{
    nlohmann::json counts = nlohmann::json::array();
    nlohmann::json severities = nlohmann::json::array();
    for (const AnalysedRecord& record : records) {
        Statement query = db.prepare("SELECT COUNT(*), COALESCE(SUM(value), 0) FROM intensities "
                                     "WHERE record_id = ? AND value > 0");
        query.bind(1, record.id);
        query.step();
        counts.push_back(query.integer(0));
        severities.push_back(query.real(1));
    }
    complaints[language == "ru" ? "Жалобы" : "Complaints"] = counts;
    complaints[language == "ru" ? "Тяжесть" : "Severity"] = severities;
}

double roundedToTenth(double value)
{
    return std::round(value * 10.0) / 10.0;
}

ApiResponse comparative(ApiRequest& request, SpectrumCache& spectra)
{
    const std::vector<AnalysedRecord> records = requestedRecords(request, spectra, request.jsonObject());
    const std::string& language = request.language();
    const bool ru = language == "ru";

    nlohmann::json byCategory = nlohmann::json::object();
    std::vector<double> balance(records.size(), 0.0);
    for (const CategoryInfo& category : diagnosticCatalogue()) {
        nlohmann::json series = nlohmann::json::array();
        for (size_t i = 0; i < records.size(); ++i) {
            const double deviation = categoryDeviation(*records[i].spectrum, category);
            series.push_back(deviation);
            balance[i] += std::fabs(deviation) / static_cast<double>(diagnosticCatalogue().size());
        }
        byCategory[category.title.in(language)] = series;
    }

    nlohmann::json bands = {{ru ? "Низкие частоты" : "Low band", nlohmann::json::array()},
                            {ru ? "Средние частоты" : "Middle band", nlohmann::json::array()},
                            {ru ? "Высокие частоты" : "High band", nlohmann::json::array()}};
    for (const AnalysedRecord& record : records) {
        const BandBalance shares = bandBalance(*record.spectrum);
        bands[ru ? "Низкие частоты" : "Low band"].push_back(shares.low);
        bands[ru ? "Средние частоты" : "Middle band"].push_back(shares.middle);
        bands[ru ? "Высокие частоты" : "High band"].push_back(shares.high);
    }

    // The imbalance per record and its running mean, drawn smooth.
    const std::string balanceName = ru ? "Дисбаланс" : "Imbalance";
    const std::string trendName = ru ? "Тенденция" : "Trend";
    nlohmann::json imbalance = nlohmann::json::array();
    nlohmann::json trend = nlohmann::json::array();
    double sum = 0;
    for (size_t i = 0; i < balance.size(); ++i) {
        sum += balance[i];
        imbalance.push_back(roundedToTenth(balance[i]));
        trend.push_back(roundedToTenth(sum / static_cast<double>(i + 1)));
    }

    nlohmann::json complaints = nlohmann::json::object();
    addComplaints(request.db(), records, language, complaints);
    return ApiResponse::json({{"graph1", byCategory},
                              {"graph2", bands},
                              {"summary", {{balanceName, imbalance}, {trendName, trend}}},
                              {"smooth", {{trendName, {13, 180, 150}}}},
                              {"complaints", complaints}});
}

ApiResponse categories(ApiRequest& request, const std::vector<CategoryInfo>& catalogue)
{
    requireOwnedPatient(request.db(), request.account(), request.pathParameter(1));
    return ApiResponse::json(catalogueJson(catalogue, request.language()));
}

} // namespace

void addAnalysisApi(ServiceRouter& router, SpectrumCache& spectra)
{
    router.get("/category/diagnostic/([^/]+)", Access::SignedIn,
               [](ApiRequest& request) { return categories(request, diagnosticCatalogue()); });
    router.get("/category/corrective/([^/]+)", Access::SignedIn,
               [](ApiRequest& request) { return categories(request, correctiveCatalogue()); });
    router.post(
        "/analysis", Access::SignedIn, [&spectra](ApiRequest& request) { return analyse(request, spectra); },
        Unit::Read);
    router.post(
        "/analysis/summary", Access::SignedIn, [&spectra](ApiRequest& request) { return summary(request, spectra); },
        Unit::Read);
    router.post(
        "/analysis/comparative", Access::SignedIn,
        [&spectra](ApiRequest& request) { return comparative(request, spectra); }, Unit::Read);
}

} // namespace localservice
