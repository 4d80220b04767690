#pragma once

#include <cstdint>

namespace localservice {

class Database;

// Creates the tables of a new database and brings one made by an older
// service up to date. Returns true when the database was empty (and so wants
// seeding).
bool ensureSchema(Database& db);

// The range of search keys (patients.search_key, the rowid of the search
// index) of one account's patients: the account's id in the high 32 bits.
struct SearchKeys
{
    std::int64_t first;
    std::int64_t last;
};
SearchKeys searchKeysOf(std::int64_t accountId);

} // namespace localservice
