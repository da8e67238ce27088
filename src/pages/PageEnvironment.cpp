#include "pages/PageEnvironment.h"

#include "services/installer/ProductVersion.h"

namespace kanvel::pages {

std::wstring PageEnvironment::offeredRelease() const {
    if (release != nullptr && !release->release().empty()) return release->release();
    if (source != nullptr && !source->list().release().empty()) return source->list().release();
    return std::wstring(services::kProductVersion);
}

}  // namespace kanvel::pages
