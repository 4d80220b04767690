#include "signal/Catalogue.h"

#include <unordered_map>

namespace localservice {

namespace {

std::vector<StandardSymptom> makeStandardSymptoms()
{
    return {
        {1, {"Headache", "Головная боль"}},
        {2, {"Fatigue", "Усталость"}},
        {3, {"Insomnia", "Бессонница"}},
        {4, {"Anxiety", "Тревожность"}},
        {5, {"Back pain", "Боль в спине"}},
        {6, {"Joint pain", "Боль в суставах"}},
        {7, {"Digestive discomfort", "Дискомфорт в животе"}},
        {8, {"Irritability", "Раздражительность"}},
        {9, {"Low mood", "Подавленное настроение"}},
        {10, {"Dizziness", "Головокружение"}},
        {11, {"Muscle tension", "Мышечное напряжение"}},
        {12, {"Frequent colds", "Частые простуды"}},
    };
}

// Every storage and marker of both catalogues by id, built once; the
// pointers stay valid because the catalogues never change.
struct CatalogueIndex
{
    std::unordered_map<std::string, const StorageInfo*> storages;
    std::unordered_map<std::string, const MarkerInfo*> markers;
};

const CatalogueIndex& catalogueIndex()
{
    static const CatalogueIndex index = [] {
        CatalogueIndex built;
        for (const auto* catalogue : {&diagnosticCatalogue(), &correctiveCatalogue()}) {
            for (const CategoryInfo& category : *catalogue) {
                for (const StorageInfo& s : category.storages) {
                    built.storages.emplace(s.id, &s);
                    for (const MarkerInfo& m : s.markers)
                        built.markers.emplace(m.id, &m);
                }
            }
        }
        return built;
    }();
    return index;
}

} // namespace

const StorageInfo* findStorage(const std::string& id)
{
    const auto& storages = catalogueIndex().storages;
    const auto found = storages.find(id);
    return found == storages.end() ? nullptr : found->second;
}

const MarkerInfo* findMarker(const std::string& id)
{
    const auto& markers = catalogueIndex().markers;
    const auto found = markers.find(id);
    return found == markers.end() ? nullptr : found->second;
}

const std::vector<StandardSymptom>& standardSymptoms()
{
    static const std::vector<StandardSymptom> symptoms = makeStandardSymptoms();
    return symptoms;
}

const StandardSymptom* findStandardSymptom(int id)
{
    const auto& symptoms = standardSymptoms();
    // Ids are 1.. in order.
    if (id < 1 || id > int(symptoms.size()))
        return nullptr;
    return &symptoms[std::size_t(id - 1)];
}

} // namespace localservice
