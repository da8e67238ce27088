#pragma once

#include <concepts>
#include <tuple>

namespace kanvel::services {

// The few roles of the platform that one service uses, taken from the whole
// platform (services::Platform) or from one object that plays them all, so
// that a caller hands over what it has and the service's declaration says
// exactly what it uses.
template <typename... Role>
class PlatformRoles {
public:
    template <typename Player>
        requires(std::convertible_to<Player&, Role&> && ...)
    PlatformRoles(Player& player)  // not explicit: made from whatever the caller hands over
        : roles_(static_cast<Role&>(player)...) {}

    template <typename One>
    One& get() const {
        return std::get<One&>(roles_);
    }

private:
    std::tuple<Role&...> roles_;
};

}  // namespace kanvel::services
