#pragma once

namespace localservice {

class Database;

// Creates the tables of a new database and brings one made by an older
// service up to date. Returns true when the database was empty (and so wants
// seeding).
bool ensureSchema(Database& db);

} // namespace localservice
