#include "api/RecipeApi.h"

#include "ServiceOptions.h"
#include "api/DeviceApi.h"
#include "api/PatientRepository.h"
#include "api/RecordApi.h"
#include "http/ApiError.h"
#include "http/ServiceRouter.h"
#include "signal/Catalogue.h"
#include "signal/MarkerAnalysis.h"
#include "signal/PackedAudio.h"
#include "signal/SpectrumCache.h"
#include "signal/ToneGenerator.h"
#include "storage/Clock.h"
#include "storage/Database.h"

#include <algorithm>

namespace localservice {

namespace {

constexpr size_t MaxRecipeMarkers = 200;
// Every marker of both catalogues once is 267 tones; an answer of 400 tones
// is 26 MB of samples.
constexpr int MaxRecipeTones = 400;
constexpr std::int64_t MaxDurationMinutes = 600;
constexpr int AutospectrumTones = 5;

const StorageInfo* storageOf(const MarkerInfo& marker)
{
    for (const auto* catalogue : {&diagnosticCatalogue(), &correctiveCatalogue()}) {
        for (const CategoryInfo& category : *catalogue) {
            for (const StorageInfo& storage : category.storages) {
                for (const MarkerInfo& member : storage.markers) {
                    if (member.id == marker.id)
                        return &storage;
                }
            }
        }
    }
    return nullptr;
}

struct RecipeBody
{
    std::string patientId;
    std::string recordId;
    std::vector<const MarkerInfo*> markers;
    std::int64_t duration = 0;
    std::string command;
};

RecipeBody readRecipe(ApiRequest& request)
{
    const nlohmann::json& body = request.jsonObject();
    RecipeBody recipe;
    recipe.patientId = field::text(body, "patientId");
    recipe.recordId = field::text(body, "recordId");
    recipe.duration = field::integer(body, "duration");
    recipe.command = field::optionalText(body, "command");
    field::optionalText(body, "deviceId"); // the client's sensor; only its type is checked
    const std::vector<std::string> ids = field::textArray(body, "markers");
    requireOwnedPatient(request.db(), request.account(), recipe.patientId);
    patientRecords(request.db(), recipe.patientId, {recipe.recordId}, false);
    if (recipe.duration < 0 || recipe.duration > MaxDurationMinutes)
        throw ApiError(400, "durationRange");
    if (ids.size() > MaxRecipeMarkers)
        throw ApiError(400, "tooManyMarkers", {std::to_string(MaxRecipeMarkers)});
    for (const std::string& id : ids) {
        const MarkerInfo* marker = findMarker(id);
        if (!marker)
            throw ApiError(400, "markerNotFound", {id});
        recipe.markers.push_back(marker);
    }
    return recipe;
}

void saveRecipe(Database& db, const RecipeBody& recipe)
{
    nlohmann::json ids = nlohmann::json::array();
    for (const MarkerInfo* marker : recipe.markers)
        ids.push_back(marker->id);
    db.prepare("INSERT INTO recipes (record_id, markers, duration, updated_at) VALUES (?, ?, ?, ?) "
               "ON CONFLICT (record_id) DO UPDATE SET markers = excluded.markers, duration = excluded.duration, "
               "updated_at = excluded.updated_at")
        .bind(1, recipe.recordId)
        .bind(2, ids.dump())
        .bind(3, recipe.duration)
        .bind(4, currentTimeMs())
        .run();
}

// The saved recipe's markers, each with its match to the record.
ApiResponse loadRecipe(ApiRequest& request, SpectrumCache& spectra)
{
    const std::string patientId = request.pathParameter(1);
    const std::string recordId = request.pathParameter(2);
    requireOwnedPatient(request.db(), request.account(), patientId);
    patientRecords(request.db(), patientId, {recordId}, false);
    nlohmann::json markers = nlohmann::json::array();
    Statement query = request.db().prepare("SELECT markers FROM recipes WHERE record_id = ?");
    query.bind(1, recordId);
    if (!query.step())
        return ApiResponse::json(markers);
    const Spectrum& spectrum = *recordSpectrum(request.db(), spectra, patientId, recordId);
    const nlohmann::json ids = nlohmann::json::parse(query.text(0), nullptr, false);
    for (const nlohmann::json& id : ids.is_array() ? ids : nlohmann::json::array()) {
        const MarkerInfo* marker = id.is_string() ? findMarker(id.get<std::string>()) : nullptr;
        if (!marker)
            continue; // a marker withdrawn from the catalogue
        const StorageInfo* storage = storageOf(*marker);
        markers.push_back({{"id", marker->id},
                           {"title", marker->title.in(request.language())},
                           {"description", marker->description.in(request.language())},
                           {"values", {storage ? markerValue(spectrum, *storage, *marker) : 0}},
                           {"amount", marker->amount}});
    }
    return ApiResponse::json(markers);
}

// Saves the recipe and answers the audio of its markers, one element each in
// the order sent, each as long as its amount of frequencies. The audio is
// made after the recipe is stored, so that other writers don't wait for it.
ApiResponse createRecipe(ApiRequest& request)
{
    RecipeBody recipe;
    {
        Database::Transaction transaction(request.db());
        recipe = readRecipe(request);
        if (recipe.markers.empty())
            throw ApiError(400, "markersRequired");
        int tones = 0;
        for (const MarkerInfo* marker : recipe.markers)
            tones += std::max(marker->amount, 1);
        if (tones > MaxRecipeTones)
            throw ApiError(400, "tooManyTones", {std::to_string(MaxRecipeTones)});
        saveRecipe(request.db(), recipe);
        transaction.commit();
    }
    PackedAudioWriter audio;
    for (const MarkerInfo* marker : recipe.markers)
        audio.add(markerAudio(marker->frequencyHz, marker->amount));
    return ApiResponse::text(audio.finish());
}

ApiResponse updateRecipe(ApiRequest& request, int commandSeconds)
{
    const RecipeBody recipe = readRecipe(request);
    Database::Transaction transaction(request.db());
    saveRecipe(request.db(), recipe);
    if (!recipe.command.empty()) {
        const std::string command = commandWord(recipe.command);
        if (command != "RECIPE" && command != "SELF_RECIPE")
            throw ApiError(400, "unknownCommand", {recipe.command});
        if (recipe.markers.empty())
            throw ApiError(400, "markersRequired");
        startCommand(request, recipe.patientId, command, recipe.recordId, commandSeconds);
    }
    transaction.commit();
    return ApiResponse::ok();
}

// Tones at the record's strongest frequencies.
ApiResponse autospectrum(ApiRequest& request, SpectrumCache& spectra)
{
    const nlohmann::json& body = request.jsonObject();
    const std::string patientId = field::text(body, "patientId");
    const std::string recordId = field::text(body, "recordId");
    field::optionalText(body, "deviceId");
    requireOwnedPatient(request.db(), request.account(), patientId);
    patientRecords(request.db(), patientId, {recordId}, false);
    std::vector<std::string> blocks;
    for (const double frequency :
         recordSpectrum(request.db(), spectra, patientId, recordId)->dominantFrequencies(AutospectrumTones))
        blocks.push_back(toneBlock(frequency));
    return ApiResponse::text(packAudio(blocks));
}

} // namespace

void addRecipeApi(ServiceRouter& router, const ServiceOptions& options, SpectrumCache& spectra)
{
    const int commandSeconds = options.commandSeconds;
    router.post(
        "/recipe/autospectrum", Access::SignedIn,
        [&spectra](ApiRequest& request) { return autospectrum(request, spectra); }, Unit::Read);
    router.get("/recipe/([^/]+)/([^/]+)", Access::SignedIn,
               [&spectra](ApiRequest& request) { return loadRecipe(request, spectra); });
    router.post("/recipe", Access::SignedIn, createRecipe, Unit::OwnTransactions);
    router.put("/recipe", Access::SignedIn,
               [commandSeconds](ApiRequest& request) { return updateRecipe(request, commandSeconds); });
}

} // namespace localservice
