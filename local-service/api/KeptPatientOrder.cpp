#include "api/KeptPatientOrder.h"

#include "api/PatientRepository.h"
#include "http/JsonText.h"
#include "storage/Database.h"
#include "storage/KeySet.h"

#include <algorithm>

namespace localservice {

KeyListCache::Keys keptPatientOrder(Database& db, std::int64_t accountId, std::int64_t listVersion,
                                    const std::string& orderClause, bool readIfMissing)
{
    KeyListCache* const cache = db.keyListCache();
    if (!cache)
        return nullptr;
    const std::string name = "order " + std::to_string(accountId) + " " + orderClause;
    if (KeyListCache::Keys kept = cache->find(name, listVersion))
        return kept;
    if (!readIfMissing)
        return nullptr;
    // Every order's index ends with the search key, so this reads the index
    // alone.
    Statement ordered =
        db.prepare(("SELECT p.search_key FROM patients p WHERE p.account_id = ?1 ORDER BY " + orderClause).c_str());
    ordered.bind(1, accountId);
    auto keys = std::make_shared<std::vector<std::int64_t>>();
    while (ordered.step())
        keys->push_back(ordered.integer(0));
    cache->store(name, listVersion, keys);
    return keys;
}

std::vector<std::int64_t> pageKeys(const std::vector<std::int64_t>& order, const KeySet* matches, std::int64_t skip,
                                   std::int64_t count, bool fromEnd)
{
    std::vector<std::int64_t> page;
    const auto take = [&](auto first, auto last) {
        if (!matches) {
            const std::int64_t available = std::max<std::int64_t>(0, std::int64_t(last - first) - skip);
            first += std::min<std::int64_t>(skip, last - first);
            page.assign(first, first + std::min(count, available));
            return;
        }
        for (; first != last && std::int64_t(page.size()) < count; ++first) {
            if (!matches->contains(*first))
                continue;
            if (skip > 0)
                --skip;
            else
                page.push_back(*first);
        }
    };
    if (fromEnd) {
        take(order.rbegin(), order.rend());
        std::reverse(page.begin(), page.end());
    } else {
        take(order.begin(), order.end());
    }
    return page;
}

std::vector<std::string> patientsWithKeys(Database& db, std::int64_t accountId, const std::vector<std::int64_t>& keys)
{
    std::vector<std::string> patients;
    Statement row = db.prepare(
        ("SELECT " + std::string(PatientColumns) + " FROM patients p WHERE p.search_key = ?1 AND p.account_id = ?2")
            .c_str());
    for (const std::int64_t key : keys) {
        row.bind(1, key).bind(2, accountId);
        if (row.step()) {
            JsonText patient;
            writePatient(patient, row);
            patients.push_back(patient.take());
        }
        row.reset();
    }
    return patients;
}

} // namespace localservice
