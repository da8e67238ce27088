#pragma once

#include <cstddef>

namespace kanvel::services {

// The file copy hands its paths over in fixed buffers of 256 characters, so
// a path may have at most 255; a longer one is refused, never cut or overrun.
inline constexpr std::size_t kCopyPathBufferSize = 256;
inline constexpr std::size_t kMaxCopyPathLength = kCopyPathBufferSize - 1;

// The install panel's location field keeps the first character of a
// location and at most 1024 more: a longer location given from outside is
// refused, never cut.
inline constexpr std::size_t kMaxRestOfLocation = 1024;
inline constexpr std::size_t kMaxLocationLength = 1 + kMaxRestOfLocation;

// Without long paths Windows takes a path of at most MAX_PATH (260)
// characters with its terminating null.
inline constexpr std::size_t kMaxPathWithoutLongPaths = 259;

}  // namespace kanvel::services
