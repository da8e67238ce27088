#pragma once

#include <cstdint>

namespace kanvel::ui {

// A colour: either a plain RGB value or one of the system's colours, which
// the platform resolves when it draws (so the window follows the user's theme).
class Color {
public:
    enum class System : std::uint8_t { None, ButtonFace, ButtonText, InfoBackground, InfoText, Window, WindowText };

    constexpr Color() = default;
    static constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return Color(static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
                         (static_cast<std::uint32_t>(b) << 16),
                     System::None);
    }
    static constexpr Color FromSystem(System s) { return Color(0, s); }

    constexpr bool isSystem() const { return system_ != System::None; }
    constexpr System system() const { return system_; }
    // 0x00BBGGRR, the layout Windows uses.
    constexpr std::uint32_t rgb() const { return rgb_; }

    friend constexpr bool operator==(const Color&, const Color&) = default;

private:
    constexpr Color(std::uint32_t rgb, System s) : rgb_(rgb), system_(s) {}
    std::uint32_t rgb_ = 0;
    System system_ = System::ButtonFace;
};

namespace colors {
inline constexpr Color ButtonFace = Color::FromSystem(Color::System::ButtonFace);
inline constexpr Color ButtonText = Color::FromSystem(Color::System::ButtonText);
inline constexpr Color InfoBackground = Color::FromSystem(Color::System::InfoBackground);
inline constexpr Color InfoText = Color::FromSystem(Color::System::InfoText);
inline constexpr Color Window = Color::FromSystem(Color::System::Window);
inline constexpr Color WindowText = Color::FromSystem(Color::System::WindowText);
inline constexpr Color Black = Color::Rgb(0, 0, 0);
inline constexpr Color Blue = Color::Rgb(0, 0, 255);
inline constexpr Color Navy = Color::Rgb(0, 0, 128);
inline constexpr Color Teal = Color::Rgb(0, 128, 128);
inline constexpr Color Maroon = Color::Rgb(128, 0, 0);
}  // namespace colors

}  // namespace kanvel::ui
