#pragma once

#include <cstdint>
#include <vector>

namespace localservice {

// A set of keys within one range (one account's search keys), which SQL on
// the connection that holds it tests as in_key_set(key): a bitmap, so that a
// test for each entry of an index walked costs next to nothing.
class KeySet
{
public:
    void assign(std::int64_t first, std::int64_t last, const std::vector<std::int64_t>& keys);
    bool contains(std::int64_t key) const;

private:
    std::int64_t m_first = 0;
    std::vector<std::uint64_t> m_bits;
};

} // namespace localservice
