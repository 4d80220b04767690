#pragma once

#include "signal/Catalogue.h"

#include <utility>

// Building blocks of the catalogue's tables (signal/*Catalogue.cpp).
namespace localservice::catalogue {

inline MarkerInfo marker(const char* id, double frequencyHz, int amount, LocalText title, LocalText description)
{
    MarkerInfo m;
    m.id = id;
    m.title = std::move(title);
    m.description = std::move(description);
    m.frequencyHz = frequencyHz;
    m.amount = amount;
    return m;
}

inline StorageInfo storage(const char* id, LocalText title, bool frequencies, std::vector<MarkerInfo> markers)
{
    StorageInfo s;
    s.id = id;
    s.title = std::move(title);
    s.frequencies = frequencies;
    s.markers = std::move(markers);
    return s;
}

} // namespace localservice::catalogue
