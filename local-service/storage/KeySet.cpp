#include "storage/KeySet.h"

#include <algorithm>

namespace localservice {

void KeySet::assign(std::int64_t first, std::int64_t last, const std::vector<std::int64_t>& keys)
{
    m_first = first;
    m_bits.clear();
    // Only as long as the largest key needs: keys are numbered from the
    // start of the range.
    std::int64_t largest = first - 1;
    for (const std::int64_t key : keys) {
        if (key >= first && key <= last)
            largest = std::max(largest, key);
    }
    m_bits.assign(std::size_t((largest - first + 1 + 63) / 64), 0);
    for (const std::int64_t key : keys) {
        if (key >= first && key <= last)
            m_bits[std::size_t((key - first) / 64)] |= std::uint64_t(1) << ((key - first) % 64);
    }
}

bool KeySet::contains(std::int64_t key) const
{
    if (key < m_first)
        return false;
    const std::uint64_t offset = std::uint64_t(key - m_first);
    return offset / 64 < m_bits.size() && (m_bits[offset / 64] >> (offset % 64) & 1) != 0;
}

} // namespace localservice
