#pragma once

namespace localservice {

class Database;

// Fills a new database with demonstration data: the account "demo" (password
// "demo") with 60 patients, their recordings, devices in every state, a
// saved recipe and a recovery history; and the account "second" (password
// "second") with a few patients of its own.
void seedDemoData(Database& db);

} // namespace localservice
