#pragma once

namespace localservice {

class Database;

// Creates the tables of a new database; an existing one is left as it is.
// Returns true when the database was empty (and so wants seeding).
bool ensureSchema(Database& db);

} // namespace localservice
