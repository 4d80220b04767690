#include "api/PatientList.h"

#include "api/KeptPatientOrder.h"
#include "api/PatientApi.h"
#include "api/PatientRepository.h"
#include "http/ApiError.h"
#include "http/JsonText.h"
#include "storage/Clock.h"
#include "storage/Database.h"
#include "storage/KeySet.h"
#include "storage/Schema.h"
#include "storage/TextFolding.h"

#include <algorithm>
#include <map>

namespace localservice {

namespace {

constexpr int MaxPageSize = 100;
// Up to this many matches of a search are sorted by themselves; more of them
// are found soon enough along the order's index.
constexpr std::int64_t MaxSortedMatches = 5000;
// A page whose walk along the order's index would pass more patients than
// this is read along the order kept for the list, read first if need be.
constexpr std::int64_t MaxIndexWalk = 2000;
// Sorting a search's matches costs about this many times as much per match
// as reading the kept order does per patient; below this many matches the
// sort costs next to nothing.
constexpr std::int64_t SortCostPerKey = 20;
constexpr std::int64_t MinMatchesAlongOrder = 1000;

// One term of the list's order.
struct OrderTerm
{
    const char* column;
    bool ascending;
};

struct ListQuery
{
    std::vector<OrderTerm> order;
    std::string searchColumn; // empty: no search
    std::string searchIndex;  // the smallest index that holds the column
    std::string needle;       // folded
    // The trigram index's query for the needle; empty when the needle is too
    // short for it.
    std::string indexedPhrase;
    // The short-run index's query for a needle of one or two characters;
    // with neither query the search reads every patient.
    std::string runPhrase;
    // Whether the order's index holds the searched column, so that testing
    // each patient along it reads nothing else.
    bool orderHoldsSearchColumn = false;
    int size = 20;
    int pageIndex = 0;
};

int queryNumber(const httplib::Request& http, const char* name, int fallback, int lowest, int highest)
{
    if (!http.has_param(name) || http.get_param_value(name).empty())
        return fallback;
    const std::string text = http.get_param_value(name);
    if (text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        throw ApiError(400, "badQuery", {name});
    const int value = std::stoi(text);
    if (value < lowest || value > highest)
        throw ApiError(400, "badQuery", {name});
    return value;
}

// Ties are broken by name and then id, both ascending whatever the
// direction, so the order is total and pages never overlap. Each order has
// an index (storage/Schema) that reads it forwards or backwards.
std::vector<OrderTerm> orderOf(const std::string& sortBy, const std::string& direction)
{
    if (direction != "" && direction != "asc" && direction != "desc")
        throw ApiError(400, "badQuery", {"direction"});
    const bool ascending = direction != "desc";
    if (sortBy.empty())
        return {{"p.created_at", true}, {"p.id", true}};
    if (sortBy == "name")
        return {{"p.name_folded", ascending}, {"p.id", true}};
    // The older, the earlier the birth date.
    static const std::map<std::string, std::pair<const char*, bool>> columns = {
        {"age", {"p.birth_date", false}},
        {"gender", {"p.gender", true}},
        {"record", {"p.last_record_at", true}},
        {"notes", {"p.notes_folded", true}},
    };
    const auto found = columns.find(sortBy);
    if (found == columns.end())
        throw ApiError(400, "badQuery", {"sortby"});
    const auto& [column, sameDirection] = found->second;
    return {{column, ascending == sameDirection}, {"p.name_folded", true}, {"p.id", true}};
}

// Sorting the matches themselves instead of walking the order's index: an
// expression the index doesn't hold makes SQLite sort.
std::string orderClause(const std::vector<OrderTerm>& order, bool reversed, bool sortMatches)
{
    std::string clause;
    for (const OrderTerm& term : order) {
        if (!clause.empty())
            clause += ", ";
        clause += sortMatches ? "coalesce(" + std::string(term.column) + ", NULL)" : std::string(term.column);
        clause += term.ascending != reversed ? " ASC" : " DESC";
    }
    return clause;
}

// The trigram index answers needles of three or more characters: the
// needle, quoted so that no character of it means anything to the query
// syntax, as a phrase of the column's trigrams, which matches exactly the
// texts that contain it. A NUL would end the query early, so a needle with
// one is left to the substring test.
std::string trigramPhrase(const std::string& column, const std::string& foldedNeedle)
{
    if (utf8Length(foldedNeedle) < 3 || foldedNeedle.find('\0') != std::string::npos)
        return {};
    std::string phrase = "{" + column + "} : \"";
    for (const char c : foldedNeedle) {
        phrase += c;
        if (c == '"')
            phrase += '"';
    }
    return phrase + '"';
}

ListQuery listQuery(const httplib::Request& http)
{
    ListQuery query;
    query.order = orderOf(http.get_param_value("sortby"), http.get_param_value("direction"));
    query.size = queryNumber(http, "size", 20, 1, MaxPageSize);
    query.pageIndex = queryNumber(http, "current", 0, 0, 1000000);
    const std::string searchBy = http.get_param_value("searchby");
    if (searchBy == "name") {
        query.searchColumn = "p.name_folded";
        query.searchIndex = "patients_by_name";
    } else if (searchBy == "notes") {
        query.searchColumn = "p.notes_folded";
        query.searchIndex = "patients_by_notes";
    } else if (!searchBy.empty())
        throw ApiError(400, "badQuery", {"searchby"});
    if (!query.searchColumn.empty()) {
        const std::optional<std::string> needle = decodeNeedle(http.get_param_value("needle"));
        if (!needle || !isValidUtf8(*needle))
            throw ApiError(400, "badQuery", {"needle"});
        query.needle = foldCase(*needle);
        // The client names a search field even while its search box is
        // empty: that is the whole list, read along the order's index.
        if (query.needle.empty()) {
            query.searchColumn.clear();
            return query;
        }
        // Every order's index holds the name (it breaks ties) but the one of
        // creation; only the notes' own index holds the notes.
        query.orderHoldsSearchColumn = searchBy == "name" ? query.order.front().column != std::string("p.created_at")
                                                          : query.order.front().column == query.searchColumn;
        query.indexedPhrase = trigramPhrase(query.searchColumn.substr(2), query.needle);
        if (query.indexedPhrase.empty() && !query.needle.empty() && query.needle.find('\0') == std::string::npos)
            query.runPhrase =
                (searchBy == "name" ? "name_runs : " : "notes_runs : ") + hexWords({std::string_view(query.needle)});
    }
    return query;
}

std::string searchCondition(const ListQuery& query)
{
    return query.searchColumn.empty() ? std::string() : " AND instr(" + query.searchColumn + ", ?2) > 0";
}

// The patients a list request shows: how many, and while they are few, the
// keys of them all (in keyColumn). Many matches are found along the order's
// index: by the search itself when the index holds the searched column, else
// by their keys, put in the connection's key set. A search of the indexes
// also gives every match's key (allKeys), for a walk of a kept order.
struct Matches
{
    std::int64_t total = 0;
    std::optional<nlohmann::json> keys;
    const char* keyColumn = "p.rowid";
    bool inKeySet = false;
    KeyListCache::Keys allKeys;
};

// What the list reads of the account: its number of patients and the
// version of its list, which every change of an order or a search moves on.
struct AccountList
{
    std::int64_t patientCount = 0;
    std::int64_t version = 0;
};

AccountList accountListOf(Database& db, const Account& account)
{
    Statement read = db.prepare("SELECT patient_count, list_version FROM accounts WHERE id = ?1");
    read.bind(1, account.id);
    AccountList list;
    if (read.step())
        list = {read.integer(0), read.integer(1)};
    return list;
}

// The keys of the account's patients that the index query `phrase` finds,
// in ascending order; kept for later requests while the list is unchanged.
KeyListCache::Keys indexedMatches(Database& db, const Account& account, const AccountList& list, const ListQuery& query,
                                  const std::string& phrase)
{
    const std::string name = "matches " + std::to_string(account.id) + " " + phrase;
    KeyListCache* const cache = db.keyListCache();
    if (cache) {
        if (KeyListCache::Keys kept = cache->find(name, list.version))
            return kept;
    }
    // The trigram index answers needles of three or more characters, the
    // index of every run of one or two characters shorter ones: either finds
    // the account's patients that contain the needle by itself, as their
    // keys are a range of its rowids.
    const char* const index = !query.indexedPhrase.empty() ? "patient_search" : "patient_runs";
    Statement found = db.prepare((std::string("SELECT rowid FROM ") + index + " WHERE " + index +
                                  " MATCH ?1 AND rowid BETWEEN ?2 AND ?3 ORDER BY rowid")
                                     .c_str());
    const SearchKeys range = searchKeysOf(account.id);
    found.bind(1, phrase).bind(2, range.first).bind(3, range.last);
    auto keys = std::make_shared<std::vector<std::int64_t>>();
    while (found.step())
        keys->push_back(found.integer(0));
    if (cache)
        cache->store(name, list.version, keys);
    return keys;
}

Matches matchesOf(Database& db, const Account& account, const AccountList& list, const ListQuery& query)
{
    Matches matches;
    if (query.searchColumn.empty()) {
        matches.total = list.patientCount;
        return matches;
    }
    const std::string phrase = !query.indexedPhrase.empty() ? query.indexedPhrase : query.runPhrase;
    if (!phrase.empty()) {
        matches.allKeys = indexedMatches(db, account, list, query, phrase);
        matches.total = static_cast<std::int64_t>(matches.allKeys->size());
        matches.keyColumn = "p.search_key";
        if (matches.total <= MaxSortedMatches) {
            matches.keys = nlohmann::json(*matches.allKeys);
        } else if (!query.orderHoldsSearchColumn) {
            // Many matches are then found along the order's index soon
            // enough, testing each patient's key against the key set when
            // the index doesn't hold the searched column.
            const SearchKeys range = searchKeysOf(account.id);
            db.keySet().assign(range.first, range.last, *matches.allKeys);
            matches.inKeySet = true;
        }
        return matches;
    }
    // A needle with a NUL is left to reading every patient of the account,
    // through the index that holds the searched column and nothing much
    // else. Only a few matches are handed over one by one; SQLite counts the
    // rest by itself.
    const std::string scan =
        " FROM patients p INDEXED BY " + query.searchIndex + " WHERE p.account_id = ?1" + searchCondition(query);
    Statement found = db.prepare(("SELECT p.rowid" + scan + " LIMIT ?3").c_str());
    found.bind(1, account.id).bind(2, query.needle).bind(3, MaxSortedMatches + 1);
    std::vector<std::int64_t> keys;
    while (found.step())
        keys.push_back(found.integer(0));
    if (static_cast<std::int64_t>(keys.size()) <= MaxSortedMatches) {
        matches.total = static_cast<std::int64_t>(keys.size());
        matches.keys = nlohmann::json(keys);
        return matches;
    }
    Statement count = db.prepare(("SELECT COUNT(*)" + scan).c_str());
    count.bind(1, account.id).bind(2, query.needle);
    matches.total = count.step() ? count.integer(0) : 0;
    return matches;
}

// Where a page lies among the matches: its first row counted from either
// end of the list.
struct PagePlace
{
    std::int64_t offset = 0;
    std::int64_t rowCount = 0;
    std::int64_t offsetFromEnd = 0;
    bool fromEnd = false;
};

PagePlace placeOf(const ListQuery& query, const Matches& matches)
{
    PagePlace place;
    place.offset = static_cast<std::int64_t>(query.pageIndex) * query.size;
    place.rowCount = std::clamp<std::int64_t>(matches.total - place.offset, 0, query.size);
    place.offsetFromEnd = std::max<std::int64_t>(0, matches.total - place.offset - place.rowCount);
    place.fromEnd = place.offsetFromEnd < place.offset;
    return place;
}

// A page read along the order's index from whichever end is nearer, so the
// first and the last pages cost the same however long the list is. A few
// matches of a search are sorted by themselves instead.
std::vector<std::string> pageAlongIndex(Database& db, const Account& account, const ListQuery& query,
                                        const Matches& matches, const PagePlace& place)
{
    std::vector<std::string> data;
    const bool sortMatches = matches.keys.has_value();
    const std::string filter = sortMatches
                                   ? " AND " + std::string(matches.keyColumn) + " IN (SELECT value FROM json_each(?2))"
                               : matches.inKeySet ? std::string(" AND in_key_set(p.search_key)")
                                                  : searchCondition(query);
    // The matches' keys pick the rows; the unary plus keeps the planner off
    // the account's indexes, which would read every patient of it.
    const char* const accountTerm = sortMatches ? "+p.account_id = ?1" : "p.account_id = ?1";
    Statement rows =
        db.prepare(("SELECT " + std::string(PatientColumns) + " FROM patients p WHERE " + accountTerm + filter +
                    " ORDER BY " + orderClause(query.order, place.fromEnd, sortMatches) + " LIMIT ?3 OFFSET ?4")
                       .c_str());
    rows.bind(1, account.id);
    if (sortMatches)
        rows.bind(2, matches.keys->dump());
    else if (!query.searchColumn.empty() && !matches.inKeySet)
        rows.bind(2, query.needle);
    rows.bind(3, place.rowCount).bind(4, place.fromEnd ? place.offsetFromEnd : place.offset);
    while (rows.step()) {
        JsonText patient;
        writePatient(patient, rows);
        data.push_back(patient.take());
    }
    if (place.fromEnd)
        std::reverse(data.begin(), data.end());
    return data;
}

// A page of a long list along the order kept from an earlier request, or
// read now when that costs less than finding the page otherwise: a walk
// along the index past many patients, or sorting many matches of a search
// (each a row of the table) to take a page out of their middle. Null when
// the page is left to the index or the sort.
KeyListCache::Keys keptOrderFor(Database& db, const Account& account, const AccountList& list, const ListQuery& query,
                                const Matches& matches, const PagePlace& place)
{
    if ((!query.searchColumn.empty() && !matches.allKeys) || matches.total == 0)
        return nullptr;
    bool worthReading = false;
    if (matches.keys) {
        worthReading = matches.total > MinMatchesAlongOrder && list.patientCount < matches.total * SortCostPerKey;
    } else {
        // About how many patients of the order the index walk passes.
        const std::int64_t walked = std::min(place.offset, place.offsetFromEnd) * list.patientCount / matches.total;
        worthReading = walked > MaxIndexWalk;
    }
    return keptPatientOrder(db, account.id, list.version, orderClause(query.order, false, false), worthReading);
}

std::vector<std::string> pageOf(Database& db, const Account& account, const AccountList& list, const ListQuery& query,
                                const Matches& matches)
{
    const PagePlace place = placeOf(query, matches);
    if (place.rowCount == 0)
        return {};
    const KeyListCache::Keys order = keptOrderFor(db, account, list, query, matches, place);
    if (!order)
        return pageAlongIndex(db, account, query, matches, place);
    KeySet matched;
    if (matches.allKeys) {
        const SearchKeys range = searchKeysOf(account.id);
        matched.assign(range.first, range.last, *matches.allKeys);
    }
    const std::vector<std::int64_t> keys =
        pageKeys(*order, matches.allKeys ? &matched : nullptr, place.fromEnd ? place.offsetFromEnd : place.offset,
                 place.rowCount, place.fromEnd);
    return patientsWithKeys(db, account.id, keys);
}

} // namespace

ApiResponse filterPatients(ApiRequest& request)
{
    const ListQuery query = listQuery(request.http());
    Database& db = request.db();
    settleCommands(db, request.account(), currentTimeMs(), request.language());

    // The count and the page come from one snapshot.
    Database::Transaction snapshot(db, Database::Transaction::Mode::Read);
    const AccountList list = accountListOf(db, request.account());
    const Matches matches = matchesOf(db, request.account(), list, query);
    const std::vector<std::string> patients = pageOf(db, request.account(), list, query, matches);
    snapshot.commit();
    JsonText answer;
    answer.beginObject().key("data").beginArray();
    for (const std::string& patient : patients)
        answer.written(patient);
    answer.endArray().key("pages").number((matches.total + query.size - 1) / query.size).endObject();
    return ApiResponse::jsonText(answer.take());
}

} // namespace localservice
