#pragma once

#include <string>
#include <vector>

namespace localservice {

// Texts of the catalogue in the two languages the service speaks.
struct LocalText
{
    std::string en;
    std::string ru;
    const std::string& in(const std::string& language) const { return language == "ru" ? ru : en; }
};

struct MarkerInfo
{
    std::string id; // stable, for example "mk-0407"
    LocalText title;
    LocalText description;
    double frequencyHz = 0; // the tone of the marker, 60..4000 Hz
    int amount = 1;         // amount of frequencies, 1..12
};

struct StorageInfo
{
    std::string id; // stable, for example "st-04"
    LocalText title;
    bool frequencies = false;
    std::vector<MarkerInfo> markers;
};

struct CategoryInfo
{
    LocalText title;
    std::vector<StorageInfo> storages;
};

struct StandardSymptom
{
    int id;
    LocalText name;
};

// Diagnostic catalogue (analysis screen): about 4 categories of 2..3 storages
// of 6..12 markers. Corrective catalogue (recipe screen): about 3 categories,
// some storages with the frequencies flag. Marker and storage ids are unique
// across both catalogues and never change between runs.
const std::vector<CategoryInfo>& diagnosticCatalogue();
const std::vector<CategoryInfo>& correctiveCatalogue();
const StorageInfo* findStorage(const std::string& id);
const MarkerInfo* findMarker(const std::string& id);

// About 12 symptoms of the recovery history, ids 1.. in display order.
const std::vector<StandardSymptom>& standardSymptoms();
const StandardSymptom* findStandardSymptom(int id);

} // namespace localservice
