#pragma once

#include <cstdint>
#include <limits>

namespace kanvel::services {

// The progress bar counts in 32-bit signed integers. A body of 2 GiB or
// more is shown in units of 2^shift bytes, so that its size still fits.
inline int ProgressShiftFor(std::int64_t expected) {
    int shift = 0;
    while ((expected >> shift) > std::numeric_limits<std::int32_t>::max()) ++shift;
    return shift;
}

inline int ScaledProgress(std::int64_t bytes, int shift) {
    const std::int64_t scaled = bytes >> shift;
    return scaled > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                             : static_cast<int>(scaled);
}

}  // namespace kanvel::services
