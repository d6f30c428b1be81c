#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace driftscope {

// The pictures of the product's small-icon list (TIconIndex), drawn in code so that the
// GUI and the exported JPEG files show the same thing.
class TIconPictures {
public:
    static constexpr int kSize = 16;
    // 0xAARRGGBB per pixel, rows top to bottom; index 0 and unknown indexes are empty.
    static std::array<std::uint32_t, kSize * kSize> Argb(int index);
    // Packed RGB on a white background (JPEG has no transparency).
    static std::vector<std::uint8_t> Rgb(int index);
};

} // namespace driftscope
