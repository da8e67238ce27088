#pragma once

#include <cstddef>

namespace kanvel::services {

// The file copy hands its paths over in fixed buffers of 256 characters, so
// a path may have at most 255; a longer one is refused, never cut or overrun.
inline constexpr std::size_t kCopyPathBufferSize = 256;
inline constexpr std::size_t kMaxCopyPathLength = kCopyPathBufferSize - 1;

}  // namespace kanvel::services
