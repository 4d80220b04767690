#pragma once

#include "storage/KeyListCache.h"

#include <cstdint>
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

// The account's patients' search keys in the order of `orderClause` (terms
// on the patients table `p`), kept for later requests; read now only when
// `readIfMissing`, else null when none is kept for this version.
KeyListCache::Keys keptPatientOrder(Database& db, std::int64_t accountId, std::int64_t listVersion,
                                    const std::string& orderClause, bool readIfMissing);

// The keys of `count` entries of the order after the first `skip`, counting
// only the keys in `matches` (all when null), from the end of the order when
// `fromEnd`; in the order's direction either way.
std::vector<std::int64_t> pageKeys(const std::vector<std::int64_t>& order, const KeySet* matches, std::int64_t skip,
                                   std::int64_t count, bool fromEnd);

// The JSON of the account's patients with these keys, in the order of the keys.
std::vector<std::string> patientsWithKeys(Database& db, std::int64_t accountId, const std::vector<std::int64_t>& keys);

} // namespace localservice
