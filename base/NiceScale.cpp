#include "base/NiceScale.h"

#include <algorithm>
#include <cmath>

namespace {

// Tolerance for values that sit on a tick but come out of a division a hair
// beside it (0.3 / 0.1 = 2.9999999999999996).
constexpr double onTick = 1e-9;

double tickAtOrBelow(double value, double step)
{
    return std::floor(value / step + onTick) * step;
}

double tickAtOrAbove(double value, double step)
{
    return std::ceil(value / step - onTick) * step;
}

} // namespace

NiceScale NiceScale::of(double min, double max, int maxTicks, bool wholeSteps)
{
    maxTicks = std::max(3, maxTicks);
    if (min > max)
        std::swap(min, max);
    if (!(max - min > 0)) {
        const double step = wholeSteps || min == 0 ? 1 : std::pow(10, std::floor(std::log10(std::fabs(min))));
        return NiceScale{min - step, max + step, step, 3, step < 1 ? int(-std::floor(std::log10(step))) : 0};
    }

    const double rough = (max - min) / (maxTicks - 1);
    double decade = std::pow(10, std::floor(std::log10(rough)));
    if (wholeSteps)
        decade = std::max(1.0, decade);
    for (;; decade *= 10) {
        for (double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * decade;
            const double low = tickAtOrBelow(min, step);
            const double high = tickAtOrAbove(max, step);
            const int ticks = int(std::lround((high - low) / step)) + 1;
            if (ticks <= maxTicks) {
                const int decimals = step < 1 ? int(std::ceil(-std::log10(step) - onTick)) : 0;
                // -0 would print as "-0".
                return NiceScale{low == 0 ? 0.0 : low, high == 0 ? 0.0 : high, step, ticks, decimals};
            }
        }
    }
}
