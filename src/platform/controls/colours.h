// Colour numbers: &HBBGGRR for red, green and blue, or a system colour when
// the top bit is set (its index in the low byte), mapped to the palette of
// the running desktop.
#pragma once

#include <QColor>

#include <cstdint>

namespace tarvel::platform {

inline constexpr std::uint32_t kSysWindowBackground = 0x80000005u;
inline constexpr std::uint32_t kSysWindowText = 0x80000008u;
inline constexpr std::uint32_t kSysButtonFace = 0x8000000Fu;
inline constexpr std::uint32_t kSysButtonText = 0x80000012u;

QColor toQColor(std::uint32_t colourNumber);
// The colour number of a colour chosen in a dialog (&HBBGGRR).
std::uint32_t fromQColor(const QColor &colour);
inline constexpr std::uint32_t rgb(int r, int g, int b) {
    return std::uint32_t(r & 0xFF) | (std::uint32_t(g & 0xFF) << 8) |
           (std::uint32_t(b & 0xFF) << 16);
}

} // namespace tarvel::platform
