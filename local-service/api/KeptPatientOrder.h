#pragma once

#include "storage/KeyListCache.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace localservice {

class Database;
class KeySet;

// A deep page of a long list read along its order's index walks every
// patient before it. The list keeps each order it had to walk that far as
// the account's search keys in that order, under the account's list
// version, so that later pages of the same list, searched or not, are a
// pass over a vector instead.

// What the list reads of the account: its number of patients and the
// version of its list, which every change of an order or a search moves on.
struct AccountList
{
    std::int64_t patientCount = 0;
    std::int64_t version = 0;
};

// The account's patients' search keys in the order of `orderClause` (terms
// on the patients table `p`) kept for this version of its list, or null.
// When none is kept and `worthReading`, the order is read: now for a short
// list, else in the background for the requests that follow.
KeyListCache::Keys keptPatientOrder(Database& db, std::int64_t accountId, const AccountList& list,
                                    const std::string& orderClause, bool worthReading);

// The keys of `count` entries of the order after the first `skip`, counting
// only the keys in `matches` (all when null), from the end of the order when
// `fromEnd`; in the order's direction either way.
std::vector<std::int64_t> pageKeys(const std::vector<std::int64_t>& order, const KeySet* matches, std::int64_t skip,
                                   std::int64_t count, bool fromEnd);

// The account's patients with these keys, in the order of the keys.
nlohmann::json patientsWithKeys(Database& db, std::int64_t accountId, const std::vector<std::int64_t>& keys);

} // namespace localservice
